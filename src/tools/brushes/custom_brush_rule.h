#pragma once
// Custom Brush: stamps the chosen brush image instead of a disc. With
// hw := w div 2 and hh := h div 2 it covers image columns cx - hw + 1 ..
// cx + hw - 1 and rows cy - hh + 1 .. cy + hh - 1, reading the brush from its
// column and row 0 upward, so the last column and row of an even-sized brush
// are never used. Pure white brush pixels (255, 255, 255) are see-through;
// the others blend at the occupancy. The fourth byte is not changed.

#include "tools/brushes/disc_stamp_rule.h"

namespace pixora {

// brush: CustomBrushBitmap (24 or 32 bits); centre: the pointer;
// occupancy: the Custom Brush box's Occ track bar (1..100).
// new := brush x Occ div 100 + old x (100 - Occ) div 100 per colour byte.
void CustomBrushStamp(Bitmap& image, const Bitmap& brush, TPoint centre, int occupancy,
                      const SelectionEditTest& test);
// The columns and rows above as a rectangle (right and bottom excluded).
TRect CustomBrushReach(const Bitmap& brush, TPoint centre);

} // namespace pixora
