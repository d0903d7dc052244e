#pragma once
// Helpers of the quick effect tests: the pixel rules written out plainly,
// one pixel at a time, to hold the fast kernels against.

#include <gtest/gtest.h>

#include <cmath>

#include "effects/quick/quick_frame.h"
#include "engine_support.h"

namespace quicktest {

using namespace pixora;
using enginetest::Px;
using enginetest::RandomImage;
using enginetest::SameImage;

// A pixel test that passes on a checkerboard of 3 x 2 blocks.
struct TBlocks {
    bool operator()(int x, int y) const { return ((x / 3) + (y / 2)) % 2 == 0; }
};

// Applies rule(bgr) to the colour bytes of every pixel that passes test.
template <class Rule, class Test = quick::TAllPixels>
Bitmap ByRule(const Bitmap& src, Rule rule, const Test& test = {}) {
    Bitmap out = src;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            if (test(x, y)) rule(Px(out, x, y));
    return out;
}

} // namespace quicktest
