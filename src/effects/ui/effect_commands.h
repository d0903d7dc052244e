#pragma once
// The effects' commands, made from the effects table: the items of the
// Image menu's "Effects" and "Apply Tools", of the Colours menu and of the
// pop-up menu, and what the effect buttons run; with the colour commands
// beside them ("Select FG Colour", "Histogram").

#include "effects/effects_table.h"
#include "window_kit/command_table.h"

namespace pixora {

class WindowHost;

// The commands of `rows` (the program's effects table unless given).
TCommandList EffectCommands(std::span<const TEffectRow> rows = EffectTable());
// Runs an effect as its items and button do: a row whose window is a
// FilterDialog opens it; a quick effect shows its options window (closing
// the tool boxes), then runs on the active image with the values that
// window holds. Nothing without an open image (no window opens then), and
// nothing for a row with neither.
void RunEffect(WindowHost& w, const TEffectRow& row);

} // namespace pixora
