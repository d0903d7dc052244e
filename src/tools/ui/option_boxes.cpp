// Connects the tool option boxes to the main window.
#include "app/installers.h"
#include "app/main_window.h"

namespace pixora {

void InstallOptionBoxes(MainWindow&) {}

} // namespace pixora
