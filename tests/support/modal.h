#pragma once
// Acting on a modal dialog a test opens. The helper polls for the dialog
// from the event loop that the dialog's exec() runs; it belongs to the
// running test (test_scope.h), so it never acts on a later test's dialog,
// and when the dialog does not come in time it fails the test and closes
// whatever modal window is up, so that the test ends instead of hanging.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "support/test_scope.h"

namespace pixora::testing {

// Runs `act` on the first visible modal dialog named `name` (any modal
// dialog when `name` is empty), polling every 10 ms for at most timeoutMs.
inline void WhenModalDialog(const QString& name, std::function<void(QWidget*)> act, int timeoutMs = 10000) {
    QTimer::singleShot(10, TestScope(), [name, act, timeoutMs] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->isVisible() && (name.isEmpty() || w->objectName() == name)) {
            act(w);
            return;
        }
        if (timeoutMs > 0) {
            WhenModalDialog(name, act, timeoutMs - 10);
            return;
        }
        ADD_FAILURE() << "no modal dialog " << name.toStdString() << " came up";
        if (w) w->close();
    });
}

// Makes a choice in a file dialog (`choose` sets its folder and names) and
// accepts it. A widget file dialog still reading its folder can drop the
// first accept (the listing that arrives resets its name field), so the
// choice is made again every 20 ms until the dialog closes; a dialog that
// never closes is left to the caller's checks.
inline void AcceptFileDialogWith(QFileDialog* dialog, std::function<void(QFileDialog*)> choose, int tries = 250) {
    choose(dialog);
    QMetaObject::invokeMethod(dialog, "accept");
    if (!dialog->isVisible() || tries <= 0) return;
    QPointer<QFileDialog> d(dialog);
    QTimer::singleShot(20, TestScope(), [d, choose, tries] {
        if (d && d->isVisible()) AcceptFileDialogWith(d, choose, tries - 1);
    });
}

// Chooses `path` in a file dialog and accepts it, as above. The name is
// typed into the name field as well: selectFile() leaves that field alone
// while it has the keyboard focus, which it may or may not have by then.
inline void AcceptFileDialog(QFileDialog* dialog, const QString& path) {
    AcceptFileDialogWith(dialog, [path](QFileDialog* d) {
        const QFileInfo info(path);
        if (info.isAbsolute()) d->setDirectory(info.absolutePath());
        d->selectFile(path);
        if (auto* name = d->findChild<QLineEdit*>("fileNameEdit")) name->setText(info.isAbsolute() ? info.fileName() : path);
    });
}

} // namespace pixora::testing
