#pragma once
// The view's display copy at rest. A display copy with nothing drawn over
// it is the image blended with the checkerboard, which the view can as well
// do for the pixels it shows as it paints them. Such a copy is given back
// once an edit is stored, and the view paints the image itself until
// something is drawn on the view again, which first makes the copy anew. An
// image at rest then costs the image and the undo store's kept state, not a
// third picture.

#include <array>
#include <cstdint>

#include "doc/records.h"

namespace pixora {

class Bitmap;
class Workspace;

// Whether the display copy rests: given back while an image is shown.
bool DisplayCopyRests(const Workspace& ws);
// What the view shows: the display copy, or the active image while the
// copy rests (its transparency then blended as it is painted).
const Bitmap& ShownPicture(const Workspace& ws);
// The colour (B, G, R) the view shows at pixel (x, y) of the picture, inside it.
std::array<uint8_t, 3> ShownColour(const Workspace& ws, int x, int y);
// The display copy to draw on, made again from the active image first when
// it rests.
Bitmap& DisplayCopyToDrawOn(Workspace& ws);
// The display copy made again from the active image, as a refresh of the
// whole view makes it, or of `area` (image pixels) only; true when it was
// made whole. While the copy rests it stays given back: the view paints the
// image.
bool RefreshDisplayCopy(Workspace& ws);
bool RefreshDisplayCopyArea(Workspace& ws, const TRect& area);
// Gives the display copy's memory back when it holds nothing but the active
// image blended with the checkerboard; true when it did.
bool RestDisplayCopy(Workspace& ws);

} // namespace pixora
