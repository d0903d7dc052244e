#pragma once
// The bodies of the Gaussian blur's lane layouts (gaussian_lanes.h),
// compiled by each instruction set's unit, with internal linkage. Sixteen
// 32-bit pixels make one vector of sixteen lanes: the band layout turns
// sixteen rows of them around (a 16 x 16 transposition in four rounds of
// two-vector shuffles), the strip layout splits them into their channels.
// Other runs (24-bit rows, the last pixels of a row) go one value at a time.
#include "effects/quick/gaussian_lanes.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace pixora::quick {

namespace {

using TU32x16 = uint32_t __attribute__((vector_size(64)));
using TF32x16 = float __attribute__((vector_size(64)));

// Round d of the transposition swaps, between vectors i and i + d (i
// without bit d), the lanes with bit d set in the first and clear in the
// second: kLow[k] and kHigh[k] pick the new vectors i and i + d (indices
// from 16 on name the second vector).
// clang-format off
constexpr int kRounds[4] = {8, 4, 2, 1};
alignas(64) constexpr int32_t kLow[4][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 22, 23},
    {0, 1, 2, 3, 16, 17, 18, 19, 8, 9, 10, 11, 24, 25, 26, 27},
    {0, 1, 16, 17, 4, 5, 20, 21, 8, 9, 24, 25, 12, 13, 28, 29},
    {0, 16, 2, 18, 4, 20, 6, 22, 8, 24, 10, 26, 12, 28, 14, 30}};
alignas(64) constexpr int32_t kHigh[4][16] = {
    {8, 9, 10, 11, 12, 13, 14, 15, 24, 25, 26, 27, 28, 29, 30, 31},
    {4, 5, 6, 7, 20, 21, 22, 23, 12, 13, 14, 15, 28, 29, 30, 31},
    {2, 3, 18, 19, 6, 7, 22, 23, 10, 11, 26, 27, 14, 15, 30, 31},
    {1, 17, 3, 19, 5, 21, 7, 23, 9, 25, 11, 27, 13, 29, 15, 31}};
// clang-format on

// Vectors i and i + d of a round, from a and b (vectors are passed by
// reference: the plain build has no registers this wide).
template <int Round, std::size_t... Lane>
[[gnu::always_inline]] inline void SwapLanes(TU32x16& a, TU32x16& b, std::index_sequence<Lane...>) {
    const TU32x16 low = __builtin_shufflevector(a, b, kLow[Round][Lane]...);
    b = __builtin_shufflevector(a, b, kHigh[Round][Lane]...);
    a = low;
}

template <int Round> [[gnu::always_inline]] inline void TransposeRound(TU32x16 (&m)[16]) {
    constexpr int d = kRounds[Round];
    for (int i = 0; i < 16; ++i)
        if (!(i & d)) SwapLanes<Round>(m[i], m[i + d], std::make_index_sequence<16>{});
}

[[gnu::always_inline]] inline void Transpose16(TU32x16 (&m)[16]) {
    TransposeRound<0>(m);
    TransposeRound<1>(m);
    TransposeRound<2>(m);
    TransposeRound<3>(m);
}

// Writes channel c of sixteen pixels as sixteen floats.
[[gnu::always_inline]] inline void StoreChannel(const TU32x16& pixels, int c, float* dst) {
    const TU32x16 v = (pixels >> (8 * c)) & 0xFFu;
    const TF32x16 f = __builtin_convertvector(v, TF32x16);
    std::memcpy(dst, &f, sizeof f);
}

void LoadBand(const uint8_t* const* rows, int n, int bpp, float* t) {
    int x = 0;
    if (bpp == 4)
        for (; x + 16 <= n; x += 16) {
            TU32x16 m[16];
            for (int r = 0; r < kBandRows; ++r)
                std::memcpy(&m[r], rows[r] + 4 * x, 64);
            Transpose16(m); // m[i]: pixel x + i of every row
            for (int i = 0; i < 16; ++i)
                for (int c = 0; c < 3; ++c)
                    StoreChannel(m[i], c, t + (3 * (x + i) + c) * kBandRows);
        }
    for (; x < n; ++x)
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < kBandRows; ++r)
                t[(3 * x + c) * kBandRows + r] = rows[r][bpp * x + c];
}

void StoreBand(uint8_t* const* rows, int used, int x0, int count, int bpp, const int32_t* out) {
    int i = 0;
    if (bpp == 4)
        for (; i + 16 <= count; i += 16) {
            TU32x16 m[16];
            for (int k = 0; k < 16; ++k) {
                TU32x16 v[3];
                std::memcpy(v, out + 3 * (i + k) * kBandRows, sizeof v);
                m[k] = v[0] | (v[1] << 8) | (v[2] << 16);
            }
            Transpose16(m); // m[r]: pixels i.. i + 15 of row r
            for (int r = 0; r < used; ++r) {
                uint8_t* p = rows[r] + 4 * (x0 + i);
                TU32x16 d;
                std::memcpy(&d, p, 64);
                d = (d & 0xFF000000u) | m[r];
                std::memcpy(p, &d, 64);
            }
        }
    for (; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < used; ++r)
                rows[r][bpp * (x0 + i) + c] = static_cast<uint8_t>(out[(3 * i + c) * kBandRows + r]);
}

void LoadStrip(const uint8_t* src, int m, int bpp, int pixels, float* f) {
    int x = 0;
    if (bpp == 4)
        for (; x + 16 <= m; x += 16) {
            TU32x16 v;
            std::memcpy(&v, src + 4 * x, 64);
            for (int c = 0; c < 3; ++c)
                StoreChannel(v, c, f + c * pixels + x);
        }
    for (; x < m; ++x)
        for (int c = 0; c < 3; ++c)
            f[c * pixels + x] = src[bpp * x + c];
}

void StoreStrip(uint8_t* dst, int m, int bpp, int pixels, const int32_t* out) {
    int x = 0;
    if (bpp == 4)
        for (; x + 16 <= m; x += 16) {
            TU32x16 v[3], d;
            for (int c = 0; c < 3; ++c)
                std::memcpy(&v[c], out + c * pixels + x, 64);
            std::memcpy(&d, dst + 4 * x, 64);
            d = (d & 0xFF000000u) | v[0] | (v[1] << 8) | (v[2] << 16);
            std::memcpy(dst + 4 * x, &d, 64);
        }
    for (; x < m; ++x)
        for (int c = 0; c < 3; ++c)
            dst[bpp * x + c] = static_cast<uint8_t>(out[c * pixels + x]);
}

} // namespace

} // namespace pixora::quick
