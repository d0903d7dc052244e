#pragma once
// "Reset Image": blends the image's original state (history snapshot 1)
// back into the current image by a percentage, as an undoable step.

#include "doc/workspace.h"

namespace pixora {

// Over the area both bitmaps cover (the smaller width and height), each
// colour byte of `current` becomes
//     original x percent div 100 + current x (100 - percent) div 100;
// its fourth bytes and every pixel outside that area are kept.
void BlendTowardsOriginal(const Bitmap& original, Bitmap& current, int percent);

// The step "Image Reset" on the active image with the track bar's percent
// (1..100), ending with the tab change. False when nothing was done (no
// image, or a snapshot that could not be stored or read: reported).
bool ResetImage(Workspace& ws, int percent);

} // namespace pixora
