#pragma once
// The preview of the "GIF Image Transparency" dialog: which pixels a GIF
// written with a given sensitivity keeps and which become transparent.

#include "doc/bitmap.h"

namespace pixora {

// Writes into `preview` (given the size of `image`): the checkerboard pixel
// wherever sensitivity >= 255 - T, the image's colour elsewhere. T of the
// preview is 0. `checker` must be at least as large as `image`.
void DrawGifPreview(const Bitmap& image, const Bitmap& checker, int sensitivity, Bitmap& preview);

} // namespace pixora
