#pragma once
// The clipboard and library commands: cut, copy, paste, delete, the paste
// and import variants, archiving and pattern fills. The pictures go to and
// come from the system clipboard (tools/clipboard_image.h).

#include "window_kit/command_table.h"

namespace pixora {

class WindowHost;

TCommandList ClipboardCommands();

// "Fill Canvas" (a Selection menu item).
void RunFillCanvas(WindowHost& w);

} // namespace pixora
