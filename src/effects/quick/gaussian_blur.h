#pragma once
// Gaussian blur: a separable blur with a kernel trimmed to the part that can
// change a byte, one pass along the rows and then one down the columns.
//
// The kernel holds single-precision weights; each new value is the double
// precision sum of weight times byte, limited to 0..255 and truncated.
// Indices beyond the ends of a row or column are limited to its ends.

#include <array>

#include "doc/bitmap.h"

namespace pixora::quick {

// The radius options window.
struct TBlurRadius {
    int Radius = 8; // 1..24
};

struct TGaussKernel {
    int Size = 0;                  // weights -Size..Size are used
    std::array<float, 201> Weight; // Weight[100 + j] for j = -100..100
    float At(int j) const { return Weight[static_cast<std::size_t>(100 + j)]; }
};

// 201 weights exp(-(j / r)^2 / 2) divided by their sum; then, from size 100
// and a total of 0, while the total is below 1 / 510 and the size above 1,
// the total takes 2 * w[size] and the size shrinks by one; the weights kept
// are divided by their own sum. Radius must be above 0.
TGaussKernel MakeGaussKernel(double radius);

// Blurs a 24-bit bitmap in place. Throws std::invalid_argument with
// "GBlur only works for 24-bit bitmaps" for any other bitmap.
void GBlur(Bitmap& bitmap, double radius);

// The quick effect: the colour bytes of a 32-bit document blurred as GBlur
// blurs a 24-bit copy of them, written back into every pixel (no selection
// test); the fourth bytes stay as they are.
void GaussianBlur(Bitmap& document, const TBlurRadius& params);

} // namespace pixora::quick
