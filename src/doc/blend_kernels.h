#pragma once
// The blend kernels behind BlendLayerRow, one file per instruction set, and
// the row walk the vector kernels share.

#include <cstdint>

namespace pixora {

// The rule written out per pixel.
void BlendRowPlain(uint8_t* d, const uint8_t* l, int n);

#if defined(__x86_64__) && defined(__GNUC__)
#define PIXORA_BLEND_X86 1

// The vector kernels work on 16-bit lanes, two pixels per 128 bits:
//   t  = the pixel's transparency in all four of its lanes,
//   dp = (t x 100 + 128) x 257 >> 16      = (t x 100 + 127) div 255,
//   v div 100 = v x 5243 >> 19              for every v up to 25,500,
// both exact over the whole range (the tests go through every case). The
// fourth byte of dst is put back afterwards.
//
// Each kernel walks groups of four vectors. A group whose pixels are all
// clear (255) leaves dst alone, one whose pixels are all opaque (0) takes
// the layer's colour; only mixed groups are computed. Layers drawn on a
// clear ground are mostly such groups. Deciding per group rather than per
// vector keeps the branch off the loads' critical path.
constexpr int kGroup = 4;

void BlendRowSse2(uint8_t* d, const uint8_t* l, int n);
void BlendRowAvx2(uint8_t* d, const uint8_t* l, int n);
void BlendRowAvx512(uint8_t* d, const uint8_t* l, int n);

// The row walk shared by every width, written once and expanded inside each
// kernel so that all of it is compiled for that kernel's instruction set (a
// template without the target would pass wide vectors to the operations
// under a different calling convention).
#define PIXORA_BLEND_ROW_WALK(W)                                                                             \
    constexpr int kBytes = 4 * W::kPixels;                                                                   \
    int i = 0;                                                                                               \
    for (; i + kGroup * W::kPixels <= n; i += kGroup * W::kPixels) {                                         \
        const uint8_t* lp = l + 4 * i;                                                                       \
        uint8_t* dp = d + 4 * i;                                                                             \
        W::V all = W::TMask(), any = W::Zero();                                                              \
        for (int k = 0; k < kGroup; ++k) {                                                                   \
            const W::V v = W::Load(lp + kBytes * k);                                                         \
            all = W::And(all, v);                                                                            \
            any = W::Or(any, v);                                                                             \
        }                                                                                                    \
        if (W::AllClear(all)) continue; /* dst stays as it is */                                             \
        const bool opaque = W::AllOpaque(any);                                                               \
        for (int k = 0; k < kGroup; ++k) {                                                                   \
            const W::V L = W::Load(lp + kBytes * k), B = W::Load(dp + kBytes * k);                           \
            W::Store(dp + kBytes * k, W::FourthBytesOf(opaque ? L : W::Blend(L, B), B));                     \
        }                                                                                                    \
    }                                                                                                        \
    for (; i + W::kPixels <= n; i += W::kPixels) {                                                           \
        const W::V L = W::Load(l + 4 * i), B = W::Load(d + 4 * i);                                           \
        W::Store(d + 4 * i, W::FourthBytesOf(W::Blend(L, B), B));                                            \
    }                                                                                                        \
    BlendRowPlain(d + 4 * i, l + 4 * i, n - i)

#endif

} // namespace pixora
