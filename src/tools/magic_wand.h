#pragma once
// The magic wand: marks the colour region around a pixel in a grid, paints
// the marks into the selection mask and outlines them on the view.

#include <cstdint>

#include "doc/records.h"
#include "tools/flood_fill.h"

namespace pixora {

// Marks in grid the region grown from (x, y) on a 32-bit bitmap with
// tolerance t (0..1) around referenceColour. The grid is made afresh for
// the bitmap's size. A seed outside the bitmap marks nothing.
void WandRegion(const Bitmap& bitmap, int x, int y, TRegionGrid& grid, double t, int32_t referenceColour);

// Over rows 1 .. height - 2 and columns 1 .. width - 2 of the bitmap: with
// outline false, every marked pixel becomes black (colour and transparency
// bytes 0); with outline true, a marked pixel whose four neighbours are not
// all marked has its red, green and blue bytes inverted. The outermost rows
// and columns are never touched.
void PaintWandMask(Bitmap& bitmap, const TRegionGrid& grid, bool outline);

// The wand selection at (x, y) of the view's copy of the image, with the
// selection option box's tolerance position (0..100): SelectionMask becomes
// an image-size 32-bit white mask with the region painted black, its origin
// (MaskLeft, MaskTop) is (0, 0), and grid holds the region for the outline
// (PaintWandMask(viewCopy, grid, true)). Returns whether any pixel of the
// mask was painted.
bool WandSelectionMask(const Bitmap& viewCopy, int x, int y, int tolerancePercent, TWorkBitmap& selectionMask,
                       TToolVars& toolVars, TRegionGrid& grid);

} // namespace pixora
