#pragma once
// Soften Brush: 1 2 1 / 2 116 2 / 1 2 1. On a uniform area (128 x v + 3)
// div 128 = v, so it changes nothing there.

#include "tools/brushes/kernel_stamp_rule.h"

namespace pixora {

inline constexpr TKernel3x3 kSoftenKernel = {1, 2, 1, 2, 116, 2, 1, 2, 1};

// changeAlpha: the box's CT.
void SoftenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test);

} // namespace pixora
