#pragma once
// "Copy Steps as Recipe" and "Save Steps as Recipe...": the active image's
// steps as pixora-convert --apply steps, on the clipboard or in a file.

#include "window_kit/command_table.h"

namespace pixora {

TCommandList RecipeCommands();

} // namespace pixora
