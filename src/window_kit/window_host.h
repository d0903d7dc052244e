#pragma once
// What the windows and commands of a subsystem may ask of the main window.
// Window files in */ui/ take a WindowHost, never the main window itself.
//
// Every window has an id (doc/window_ids.h) and a class (window_class.h).
// A subsystem installs its window with Install<TWindow::Resize>(new
// ResizeDialog(...)) (a window of another class does not compile) and
// reaches it with Get<TWindow::Resize>(), which gives a ResizeDialog*.

#include <QString>
#include <type_traits>

#include "window_kit/window_class.h"

class QAction;
class QLabel;
class QWidget;

namespace pixora {

class OptionControls;
class SwatchWidget;
class UpDown;
class Workspace;

class WindowHost {
public:
    virtual ~WindowHost() = default;

    virtual Workspace& Ws() = 0;
    // The main window as the owner of dialogs and the context of connections.
    virtual QWidget* Owner() = 0;
    // A window of the window set, as a widget (to show, hide or place it),
    // and putting a subsystem's own window in place of its start-up frame.
    virtual QWidget* Window(TWindow id) const = 0;
    virtual void PlaceWindow(TWindow id, QWidget* window) = 0;
    // A command (menu item or tool-bar button action) by object name.
    virtual QAction* Command(const QString& name) const = 0;
    // The status bar, above which the option boxes sit.
    virtual QWidget* StatusBar() const = 0;
    // The caption of the tab page of a slot.
    virtual QString PageCaption(int slot) const = 0;
    // The layer sheet's strip picture and its up-down.
    virtual QLabel* LayerStripImage() const = 0;
    virtual UpDown* LayerStripUpDown() const = 0;
    // The tool panel's foreground (0) and background (1) swatch.
    virtual SwatchWidget* Swatch(int which) const = 0;
    // The option controls the tools read by id: each box binds its controls
    // here when it is made.
    virtual OptionControls& Options() = 0;

    // Brings the tool buttons, the enabled state of commands, the view and
    // the recent-file menus up to date.
    virtual void ShowToolButtonState() = 0;
    virtual void UpdateCommandStates() = 0;
    virtual void RefreshView() = 0;
    virtual void SetCanvasCursor(int cursor) = 0;
    virtual void ShowRecentFiles() = 0;

    // The window of an id as its own class; null until it is installed.
    template <TWindow id> WindowClassOf<id>* Get() const {
        return dynamic_cast<WindowClassOf<id>*>(Window(id));
    }
    // Puts a window of the id's class in place of the id's frame.
    template <TWindow id, class T> T* Install(T* window) {
        static_assert(std::is_base_of_v<WindowClassOf<id>, T>, "the window is not of its id's class");
        PlaceWindow(id, window);
        return window;
    }
};

} // namespace pixora
