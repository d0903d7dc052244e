#include "effects/quick/antialias_pull.h"

#include <algorithm>
#include <cstring>

#include "doc/vector_kernels.h"
#include "doc/vector_lanes.h"
#include "effects/quick/antialias.h"

namespace pixora::quick {

namespace {

// The vector loops' rounding (antialias_pull_body.h), checked against the
// rule for every pair of bytes.
constexpr uint32_t Towards(uint32_t v) {
    const uint32_t q = (v * 10923u) >> 16;
    const uint32_t r = v - 6 * q;
    return q + (r + (q & 1) > 3);
}

constexpr bool TowardsMatchesTheRule() {
    for (int c = 0; c < 256; ++c)
        for (int n = 0; n < 256; ++n)
            if (Towards(static_cast<uint32_t>(c + 5 * n)) != TowardsCentre(c, n)) return false;
    return true;
}
static_assert(TowardsMatchesTheRule());

void PullOneByOne(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    const uint8_t* t = TowardsTable().data();
    for (std::size_t i = 0; i < 4 * count; i += 4) {
        const uint8_t b = t[c[i] + 5 * n[i]], g = t[c[i + 1] + 5 * n[i + 1]], r = t[c[i + 2] + 5 * n[i + 2]];
        dst[i + 3] = n[i + 3];
        dst[i] = b;
        dst[i + 1] = g;
        dst[i + 2] = r;
    }
}

} // namespace

void PullRunWith(int kernel, uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    kernel = std::min(kernel, static_cast<int>(WidestVectorKernel()));
    std::size_t done = 0;
#if PIXORA_VECTOR_LANES
    // A wide kernel leaves its remainder to the narrower ones.
    if (kernel >= 3) done = PullRunAvx512(dst, n, c, count);
    if (kernel >= 2) done += PullRunAvx2(dst + 4 * done, n + 4 * done, c + 4 * done, count - done);
    if (kernel >= 1) done += PullRunSse2(dst + 4 * done, n + 4 * done, c + 4 * done, count - done);
#endif
    PullOneByOne(dst + 4 * done, n + 4 * done, c + 4 * done, count - done);
}

void PullRun(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    PullRunWith(static_cast<int>(VectorKernelInUse()), dst, n, c, count);
}

} // namespace pixora::quick
