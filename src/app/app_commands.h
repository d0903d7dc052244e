#pragma once
// The program's own commands: "Exit", the Help menu, "Properties".

#include "app/command_table.h"

namespace pixora {

TCommandList AppCommands();

} // namespace pixora
