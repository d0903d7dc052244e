#pragma once
// Undo, redo and their drop-down lists, and the other commands of the
// history part.

#include "window_kit/command_table.h"

namespace pixora {

class WindowHost;

TCommandList HistoryCommands();
// Adds the ten hidden items to the Undo and Redo buttons' drop-down lists.
void InstallHistoryLists(WindowHost& w);
// The "Undo ..." / "Redo ..." captions and both lists for the active image.
void ShowHistoryMenus(WindowHost& w);

} // namespace pixora
