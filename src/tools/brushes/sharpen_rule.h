#pragma once
// Sharpen Brush: 0 -1 0 / -1 132 -1 / 0 -1 0. Negative sums truncate toward
// zero before the clamp, so a dark pixel among bright ones goes to 0.

#include "tools/brushes/kernel_stamp_rule.h"

namespace pixora {

inline constexpr TKernel3x3 kSharpenKernel = {0, -1, 0, -1, 132, -1, 0, -1, 0};

// changeAlpha: the box's CT.
void SharpenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test);

} // namespace pixora
