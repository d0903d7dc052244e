#pragma once
// The view's commands: zoom (menu, pop-up, tool bar), "Custom Zoom", the
// navigator and "Scale Bars"; and the view's windows.

#include "window_kit/command_table.h"

namespace pixora {

class MainWindow;

TCommandList ViewCommands();
// Puts the custom zoom dialog and the navigator in place of their frames.
void InstallViewWindows(MainWindow& w);

} // namespace pixora
