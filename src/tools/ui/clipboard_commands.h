#pragma once
// The clipboard and library commands (cut, copy, paste, delete, the paste
// and import variants, archiving and pattern fills). Their operations come
// with the clipboard and the pattern and brush libraries; until then the
// items are listed and do nothing.

#include "app/command_table.h"

namespace pixora {

TCommandList ClipboardCommands();

} // namespace pixora
