#pragma once
// Small drawing helpers for the view's own bitmaps (rulers, navigator
// thumbnail): rectangles written straight through the rows, clipped to the
// bitmap. Coordinates follow the usual rectangle rule: left and top
// included, right and bottom excluded. 32-bit bitmaps only.

#include <cstdint>

#include "doc/bitmap.h"

namespace pixora {

// Fills [left, right) x [top, bottom) with one grey level (0 black, 255
// white); T becomes 0.
void FillGreyBlock(Bitmap& bitmap, int left, int top, int right, int bottom, uint8_t level);

// A rectangle drawn with a one-pixel black pen and a white brush: the frame
// black, the inside white.
void FrameRectangle(Bitmap& bitmap, int left, int top, int right, int bottom);

// The navigator's frame: the outline of the rectangle from (left, top) to
// (right, bottom) drawn with a pen `penWidth` pixels wide centred on the
// outline, inverting the colour bytes beneath (T is left alone). Each pixel
// is inverted once, so drawing the same frame twice restores the picture.
void InvertFrame(Bitmap& bitmap, int left, int top, int right, int bottom, int penWidth);

} // namespace pixora
