#pragma once
// The tool option boxes as the tools see them: which box a tool shows, and
// closing or toggling the boxes. The boxes themselves are windows of the
// main window's window set, reached by their ids.

#include "doc/window_ids.h"

namespace pixora {

class WindowHost;

// The window shown when a tool is chosen: PenOptions for the pen ... ; None
// for tools without one. Tools 18 and 19 show theirs modally.
TWindow OptionBoxForTool(int tool);

// Shows the option box of a tool (the history brush's undo history and the
// custom brush library modally); tools without a box show nothing.
void ShowOptionBoxForTool(WindowHost& w, int tool);

// Closes every open tool option box, the quick-effect channel options and
// the text editor.
void CloseToolBoxes(WindowHost& w);

// The View menu's toolbar items: shows the current tool's box when it is
// hidden and closes it when it is shown.
void ToggleToolBox(WindowHost& w);

// Puts the option boxes in place of their frames and keeps the View menu's
// toolbar items checked while their box is shown.
void InstallOptionBoxes(WindowHost& w);

} // namespace pixora
