#pragma once
// The layer commands of the Image menu, the "Layer Sheet" item and the
// layer strip on the sheet.

#include "window_kit/command_table.h"

namespace pixora {

class WindowHost;

TCommandList LayerCommands();
// Puts the layer windows in place of their frames and lets clicks on the
// strip choose layers.
void InstallLayerWindows(WindowHost& w);
// Draws the current layer's cell of a slot's strip and, for the active
// slot, shows the strip on the sheet.
void ShowLayerStrip(WindowHost& w, int slot);

} // namespace pixora
