#pragma once
// What the windows and commands of a subsystem may ask of the main window.
// Window files in */ui/ take a WindowHost, never the main window itself.

#include <QString>

class QAction;
class QLabel;
class QWidget;

namespace pixora {

class UpDown;
class Workspace;

class WindowHost {
public:
    virtual ~WindowHost() = default;

    virtual Workspace& Ws() = 0;
    // The main window as the owner of dialogs and the context of connections.
    virtual QWidget* Owner() = 0;
    // A window of the window set by name ("TForm34"), and putting a
    // subsystem's own window class in place of a start-up frame.
    virtual QWidget* Window(const QString& name) const = 0;
    virtual void ReplaceWindow(const QString& name, QWidget* window) = 0;
    // A command (menu item or tool-bar button action) by object name.
    virtual QAction* Command(const QString& name) const = 0;
    // The status bar, above which the option boxes sit.
    virtual QWidget* StatusBar() const = 0;
    // The caption of the tab page of a slot.
    virtual QString PageCaption(int slot) const = 0;
    // The layer sheet's strip picture and its up-down.
    virtual QLabel* LayerStripImage() const = 0;
    virtual UpDown* LayerStripUpDown() const = 0;

    // Brings the tool buttons, the enabled state of commands, the view and
    // the recent-file menus up to date.
    virtual void ShowToolButtonState() = 0;
    virtual void UpdateCommandStates() = 0;
    virtual void RefreshView() = 0;
    virtual void SetCanvasCursor(int cursor) = 0;
    virtual void ShowRecentFiles() = 0;
};

} // namespace pixora
