#pragma once
// Soften and Sharpen: a 3 x 3 convolution read from an unchanged copy of the
// document (the scratch copy) and written to the document's colour bytes.
//
// A neighbour outside the image, or any neighbour of a pixel that fails the
// pixel test, is replaced by the centre pixel itself. Both kernels sum to
// their divisors, so a refused pixel comes out as it was (it is not
// written at all) and a uniform image stays the same.

#include "effects/quick/quick_frame.h"

namespace pixora::quick {

enum class TConvolution { Soften, Sharpen };

// The colour bytes of pixels x0..x1-1 of row y, convolved from source, into
// target's row y (target keeps its fourth bytes). Both bitmaps are 32-bit
// and of one size, and must not be the same bitmap.
void ConvolveRun(TConvolution kind, const Bitmap& source, Bitmap& target, int y, int x0, int x1);
// Throws std::invalid_argument unless source and target are two distinct
// 32-bit bitmaps of one size.
void CheckConvolutionPair(const Bitmap& source, const Bitmap& target);

template <class Test = TAllPixels>
void Convolve(TConvolution kind, const Bitmap& source, Bitmap& target, const Test& test = {}) {
    CheckConvolutionPair(source, target);
    const int w = source.Width();
    ForRowRanges(source.Height(), source.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            ForEachPassingRun(test, y, w, [&](int a, int b) { ConvolveRun(kind, source, target, y, a, b); });
    });
}

// Soften: 1 2 1 / 2 20 2 / 1 2 1, divided by 32.
template <class Test = TAllPixels>
void Soften(const Bitmap& scratch, Bitmap& document, const Test& test = {}) {
    Convolve(TConvolution::Soften, scratch, document, test);
}
// Sharpen: 0 -1 0 / -1 6 -1 / 0 -1 0, divided by 2 (towards zero), clamped.
template <class Test = TAllPixels>
void Sharpen(const Bitmap& scratch, Bitmap& document, const Test& test = {}) {
    Convolve(TConvolution::Sharpen, scratch, document, test);
}

} // namespace pixora::quick
