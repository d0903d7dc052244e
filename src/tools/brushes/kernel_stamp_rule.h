#pragma once
// The 3x3 kernels of the Soften and Sharpen brushes: the weighted sum of a
// pixel and its eight neighbours, (sum + 3) div 128 (truncating toward zero),
// clamped. Pixels in the first or last row or column of the image are left
// unchanged. The kernel reads the image as this stamp has left it so far.

#include <array>

#include "tools/brushes/disc_stamp_rule.h"

namespace pixora {

// Weights row by row: above-left, above, above-right, left, centre, ...
using TKernel3x3 = std::array<int, 9>;

// changeAlpha (CT): the fourth byte goes through the same kernel.
void KernelStamp(Bitmap& image, const TDisc& disc, const TKernel3x3& kernel, bool changeAlpha,
                 const SelectionEditTest& test);

} // namespace pixora
