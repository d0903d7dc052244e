#pragma once
// "Invert Selection": the pixels outside the selection become the selection.

#include "doc/workspace.h"

namespace pixora {

// Inverts the selection of the active image, whatever its shape: the
// floating pixels are committed where they are, and the pixels the
// selection left out become a region selection of the wand's kind
// (outlined by its edge, moved by its pixels; the selection type follows).
// Without a selection everything is selected; inverting everything leaves
// no selection. The edit-test options keep applying to the new region.
// False without an image.
bool InvertSelection(Workspace& ws);

} // namespace pixora
