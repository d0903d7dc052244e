#pragma once
// The help page without a browser: when the desktop has no program for
// HTML pages, the shipped page opens in a small window of our own.

#include <QString>
#include <QUrl>

class QWidget;

namespace pixora {

// Whether the desktop names a program for HTML pages (its default
// application for text/html); false when it names none or cannot be asked.
bool DesktopOpensHtml();

// Opens a page with the desktop's program, without waiting for it; false
// when the desktop has no program for it.
bool OpenWithDesktop(const QUrl& page);

// Shows the page at `path` in the help window, an own window of `owner`
// made on first use and raised on later ones; returns that window.
QWidget* ShowHelpWindow(QWidget* owner, const QString& path);

} // namespace pixora
