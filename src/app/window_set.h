#pragma once
// Every window of the program, created once at start-up in a fixed order
// and kept until exit. Windows are found by their name ("TForm34").

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace pixora {

struct WindowEntry {
    QString Name;     // object name, e.g. "TForm2"
    QString Caption;  // window title
};

// The start-up order with captions (the main window "TForm1" first).
const std::vector<WindowEntry>& StartupWindows();

class WindowSet {
public:
    // Makes the windows after the main window. `make` may return a window
    // of its own class for a name; otherwise a plain dialog frame is made.
    using Factory = std::function<QWidget*(const WindowEntry&, QWidget* owner)>;
    void CreateAll(QWidget* owner, const Factory& make);

    QWidget* Find(const QString& name) const;
    // Puts a subsystem's own window class in the place of a plain frame,
    // keeping the start-up order, name and caption; the frame is deleted.
    void Replace(const QString& name, QWidget* window);
    const std::vector<QWidget*>& All() const { return windows_; }

private:
    std::vector<QWidget*> windows_;
};

} // namespace pixora
