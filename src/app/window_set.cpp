#include "app/window_set.h"

#include <QDialog>

#include "window_kit/window_support.h"

namespace pixora {

namespace {

// Where the window of an id sits in the set; -1 for None and the main window.
int IndexOf(TWindow id) {
    return id == TWindow::None || id == TWindow::Main ? -1 : static_cast<int>(id) - 2;
}

} // namespace

void WindowSet::CreateAll(QWidget* owner, const Factory& make) {
    for (const TWindowRow& row : kWindowTable) {
        if (row.Id == TWindow::Main) continue;
        QWidget* w = make ? make(row.Id, owner) : nullptr;
        if (!w) {
            auto* frame = new QDialog(owner);
            frame->setModal(true);
            w = frame;
        }
        NameWindow(w, row.Id);
        w->hide();
        windows_.push_back(w);
    }
}

void WindowSet::Replace(TWindow id, QWidget* window) {
    const int i = IndexOf(id);
    if (i < 0 || i >= static_cast<int>(windows_.size())) return;
    QWidget*& w = windows_[static_cast<std::size_t>(i)];
    NameWindow(window, id);
    window->hide();
    w->deleteLater();
    w = window;
}

QWidget* WindowSet::Find(TWindow id) const {
    const int i = IndexOf(id);
    return i >= 0 && i < static_cast<int>(windows_.size()) ? windows_[static_cast<std::size_t>(i)] : nullptr;
}

} // namespace pixora
