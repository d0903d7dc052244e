#pragma once
#include "doc/bitmap.h"

namespace pixora {

// Scales src into dst (both 32 bits per pixel) with bilinear weights in
// 16.16 fixed point. dst keeps its size and its fourth bytes; only the
// colour bytes are written. A destination of zero width or height, or a
// source without pixels, is handled by the plain stretched copy and never
// reads outside a bitmap.
void BilinearResample(const Bitmap& src, Bitmap& dst);

// BilinearResample that weighs the fourth byte like the colour bytes, so a
// scaled image keeps its transparency (both bitmaps 32 bits per pixel;
// otherwise only the colour bytes are written).
void BilinearResampleAll(const Bitmap& src, Bitmap& dst);

// Plain nearest-pixel stretch of the whole of src into the whole of dst
// (colour bytes only).
void StretchCopy(const Bitmap& src, Bitmap& dst);

// Multiply-then-divide rounded to nearest, halves to even (c > 0).
long long MulDivRound(long long a, long long b, long long c);

} // namespace pixora
