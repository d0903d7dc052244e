#pragma once
// Copy Brush: blends in the image as it was at the press, taken from around
// the press point. The source does not follow the pointer: the pixel at
// offset (x - cx, y - cy) from the pointer reads the base at the same offset
// from the press point. The tool stamps on moves only, not at the press.

#include "tools/brushes/disc_stamp_rule.h"

namespace pixora {

// base: StrokeBase (the image at the press); press: DownX, DownY.
// With c := max(r - d, 0) and e := 4r, new := (old x (e - c) + source x c)
// div e per colour byte, and on the fourth byte too with changeAlpha (CT). A
// source outside the base leaves the pixel unchanged.
void CopyBrushStamp(Bitmap& image, const Bitmap& base, const TDisc& disc, TPoint press, bool changeAlpha,
                    const SelectionEditTest& test);

} // namespace pixora
