#pragma once
// The program's own commands: "Exit", the Help menu, "Properties",
// "Preferences...".

#include "window_kit/command_table.h"

namespace pixora {

TCommandList AppCommands();
// Puts the tips and about windows in place of their start-up frames.
void InstallAppWindows(WindowHost& w);

} // namespace pixora
