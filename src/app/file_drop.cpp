#include "app/file_drop.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <chrono>
#include <memory>
#include <optional>

#include "app/first_look.h"
#include "app/main_window.h"
#include "io/outside_files.h"
#include "io/read_ahead.h"
#include "window_kit/message_dialog.h"

namespace pixora {

namespace {

// Sits on the main window; drags over its parts reach it because none of
// them takes drops itself.
class FileDropFilter : public QObject {
public:
    explicit FileDropFilter(MainWindow& w) : QObject(&w), w_(w) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &w_) return false;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDropEvent*>(event);
            if (Files(e).empty()) {
                e->ignore();
            } else {
                e->setDropAction(Qt::CopyAction);
                e->accept();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            const std::vector<std::string> files = Files(e);
            if (files.empty()) return false;
            e->setDropAction(Qt::CopyAction);
            e->accept();
            // The file manager waits for the drop to finish; open the files
            // (and show any error report) once it has.
            QMetaObject::invokeMethod(
                &w_, [w = &w_, files] { OpenFilesFromOutside(*w, files); }, Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
        }
    }

private:
    static std::vector<std::string> Files(const QDropEvent* e) {
        const QMimeData* data = e->mimeData();
        return data && data->hasUrls() ? DroppedFiles(data->urls()) : std::vector<std::string>{};
    }
    MainWindow& w_;
};

} // namespace

void OpenFilesFromOutside(MainWindow& w, const std::vector<std::string>& paths, ReadAhead* ahead) {
    if (paths.empty()) return;
    if (ahead && ahead->Holds(paths.front())) {
        // The window paints meanwhile; a long read shows that work goes on.
        ProcessingBox* box = w.Processing();
        bool shown = false;
        // A reduced decode, when one was started, is shown as soon as it is in.
        std::unique_ptr<FirstLook> look;
        ahead->Wait([&](std::chrono::milliseconds elapsed) {
            if (!look)
                if (std::optional<ReadAhead::TFirstLook> first = ahead->TakeFirstLook())
                    look = std::make_unique<FirstLook>(w.Pages(), std::move(first->Pixels), first->Reduce);
            if (!shown && elapsed.count() >= kOpenProgressAfterMs) {
                shown = true;
                box->Begin();
            }
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        OpenOutsideFiles(w.Ws(), paths, ahead);
        look.reset();
        if (shown) box->End();
    } else {
        OpenOutsideFiles(w.Ws(), paths, ahead);
    }
    w.ShowRecentFiles();
    w.ShowToolButtonState();
}

std::vector<std::string> DroppedFiles(const QList<QUrl>& urls) {
    std::vector<std::string> out;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir()) continue;
        out.push_back(path.toStdString());
    }
    return out;
}

void InstallFileDrop(MainWindow& w) {
    w.setAcceptDrops(true);
    w.installEventFilter(new FileDropFilter(w));
}

} // namespace pixora
