#pragma once
// The view's display copy at rest. A picture without transparency, shown
// with nothing drawn over it, has a display copy equal to the image byte for
// byte. Such a copy is given back once an edit is stored, and the view shows
// the image itself until something is drawn on the view again, which first
// makes the copy anew. A photo at rest then costs the image and the undo
// store's kept state, not a third picture.

#include "doc/records.h"

namespace pixora {

class Bitmap;
class Workspace;

// What the view shows: the display copy, or the active image while the
// copy rests.
const Bitmap& ShownPicture(const Workspace& ws);
// The display copy to draw on, made again from the active image first when
// it rests.
Bitmap& DisplayCopyToDrawOn(Workspace& ws);
// The display copy made again from the active image, as a refresh of the
// whole view makes it, or of `area` (image pixels) only; true when it was
// made whole. While the copy rests and the image (or the area) has no
// transparency, the copy would hold the image's own bytes, and it stays
// given back: the view paints the image.
bool RefreshDisplayCopy(Workspace& ws);
bool RefreshDisplayCopyArea(Workspace& ws, const TRect& area);
// Gives the display copy's memory back when it holds nothing but the active
// image's own bytes (same size, 32 bits, every row equal); true when it did.
bool RestDisplayCopy(Workspace& ws);

} // namespace pixora
