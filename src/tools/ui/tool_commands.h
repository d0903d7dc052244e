#pragma once
// Choosing tools from the window: the tool buttons, the Tools menu, the
// pop-up menu's "Paint Tools" and the View menu's option-box items, all made
// from the tool table's rows.

#include "window_kit/command_table.h"

namespace pixora {

class WindowHost;

// Chooses a tool (refused without an image, and for the History Brush
// without a history step) and shows it: buttons, command states, cursor and
// option box (the modal ones too). False when refused.
bool ChooseTool(WindowHost& w, int tool);
// The window's part of a tool just chosen by a command of its own (Select
// All chooses the selection tool).
void ShowChosenTool(WindowHost& w, int tool);
// The tab change's part: the cursor and option box of the slot's tool,
// without the boxes that open modally on choosing only.
void ShowSlotTool(WindowHost& w, int tool);

// The Tools menu, "Paint Tools" and the View menu's option-box items.
TCommandList ToolCommands();

} // namespace pixora
