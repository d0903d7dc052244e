#include "doc/blend_kernels.h"

namespace pixora {

namespace {

// a / 255 x 100 never lies halfway between two integers (255 is odd), so
// adding 127 before the division rounds it to nearest.
inline uint32_t LayerShare(uint32_t a) {
    return (a * 100u + 127u) / 255u;
}

} // namespace

void BlendRowPlain(uint8_t* d, const uint8_t* l, int n) {
    for (int i = 0; i < n; ++i, d += 4, l += 4) {
        const uint32_t dp = LayerShare(l[3]);
        const uint32_t lp = 100u - dp;
        d[0] = static_cast<uint8_t>(lp * l[0] / 100u + dp * d[0] / 100u);
        d[1] = static_cast<uint8_t>(lp * l[1] / 100u + dp * d[1] / 100u);
        d[2] = static_cast<uint8_t>(lp * l[2] / 100u + dp * d[2] / 100u);
    }
}

} // namespace pixora
