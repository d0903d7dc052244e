#pragma once
// Every window of the program, created once at start-up in the order of the
// window table (doc/window_ids.h) and kept until exit; each is reached by
// its id.

#include <QWidget>
#include <functional>
#include <vector>

#include "doc/window_ids.h"

namespace pixora {

class WindowSet {
public:
    // Makes the windows after the main window. `make` may return a window
    // of its own class for an id; otherwise a plain dialog frame is made.
    // Each window takes the object name and caption of its id.
    using Factory = std::function<QWidget*(TWindow id, QWidget* owner)>;
    void CreateAll(QWidget* owner, const Factory& make);

    // The window of an id; null for None, the main window and before
    // CreateAll.
    QWidget* Find(TWindow id) const;
    // Puts a subsystem's own window class in the place of a plain frame,
    // keeping the start-up order, name and caption; the frame is deleted.
    void Replace(TWindow id, QWidget* window);
    const std::vector<QWidget*>& All() const { return windows_; }

private:
    // In the table's order, the main window left out: the window of id
    // is at static_cast<int>(id) - 2.
    std::vector<QWidget*> windows_;
};

} // namespace pixora
