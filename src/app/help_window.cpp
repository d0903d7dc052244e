#include "app/help_window.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

#include "window_kit/escape_keys.h"

namespace pixora {

namespace {

// A text browser over the page; links within it are followed in place,
// links to the web go to the desktop.
class HelpWindow : public QWidget {
public:
    explicit HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
        setObjectName("HelpWindow");
        setWindowTitle("Pixora Help");
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        browser_ = new QTextBrowser(this);
        browser_->setObjectName("HelpBrowser");
        browser_->setOpenExternalLinks(true);
        layout->addWidget(browser_);
        resize(720, 560);
        CloseOnEscape(this);
    }
    void Show(const QString& path) {
        browser_->setSource(QUrl::fromLocalFile(path));
        show();
        raise();
        activateWindow();
    }

private:
    QTextBrowser* browser_;
};

} // namespace

bool DesktopOpensHtml() {
    const QString query = QStandardPaths::findExecutable("xdg-mime");
    if (query.isEmpty()) return false;
    QProcess p;
    p.start(query, {"query", "default", "text/html"});
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    return p.exitCode() == 0 && !p.readAllStandardOutput().trimmed().isEmpty();
}

bool OpenWithDesktop(const QUrl& page) {
    // The opener starts even when the desktop has nothing to open the page
    // with, and then fails where nobody sees it: ask first.
    return DesktopOpensHtml() && QDesktopServices::openUrl(page);
}

QWidget* ShowHelpWindow(QWidget* owner, const QString& path) {
    auto* window =
        dynamic_cast<HelpWindow*>(owner->findChild<QWidget*>("HelpWindow", Qt::FindDirectChildrenOnly));
    if (!window) window = new HelpWindow(owner);
    window->Show(path);
    return window;
}

} // namespace pixora
