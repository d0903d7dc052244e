#pragma once
// Helpers of the effects engine tests: random images and pixel access.

#include <gtest/gtest.h>

#include <random>

#include "doc/bitmap.h"
#include "effects/engine/effects.h"
#include "support/pixels.h"

namespace enginetest {

using namespace pixora;

// The suite's pixel helpers (support/pixels.h).
using pixora::testing::Px;
using pixora::testing::RandomImage;
using pixora::testing::SameImage;

inline TPixelBytes BytesAt(const Bitmap& b, int x, int y) {
    const uint8_t* p = Px(b, x, y);
    return {p[0], p[1], p[2], p[3]};
}

inline void SetPx(Bitmap& b, int x, int y, TPixelBytes v) {
    uint8_t* p = Px(b, x, y);
    p[0] = v.B;
    p[1] = v.G;
    p[2] = v.R;
    p[3] = v.T;
}

inline int Clamp(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// The channel sets the tests run every effect with.
inline const TChannelSet kSets[] = {{true, true, true, true},
                                    {true, false, true, false},
                                    {false, false, false, true},
                                    {false, true, false, false}};

} // namespace enginetest
