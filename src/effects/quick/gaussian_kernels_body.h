#pragma once
// The bodies of the Gaussian blur's sums (gaussian_kernels.h), written once
// and compiled by each instruction set's unit: kFused chooses fused
// multiply-adds. Everything here has internal linkage, so each unit keeps
// copies of its own.

#include <cstddef>
#include <cstdint>

#include "effects/quick/gaussian_kernels.h"

namespace pixora::quick {

namespace {

// New values of kRows lines of values: line r's centre[0..count-1], whose
// neighbours lie step floats apart (line r starts r steps after line 0),
// into out[r * outStride + 0..count-1]. Lanes up to the next multiple of
// kLanes are read (and must exist); out must hold that many too. Every
// load is of whole vectors on 64-byte boundaries where centre and step
// keep to them.
//
// The fused kind rounds once where the plain one rounds twice (after the
// product and after the sum), so it strays less and the same slack holds
// for both; the sum of a pair of bytes is exact either way.
template <bool kFused, int kLanes, int kRows>
[[gnu::always_inline]] inline void BlurValuesWith(const float* centre, std::ptrdiff_t step, const TPlan& p,
                                                  int count, int32_t* out, std::ptrdiff_t outStride) {
    const float w0 = p.Half[0], slack = p.Slack;
    for (int t0 = 0; t0 < count; t0 += kLanes) {
        const float* c = centre + t0;
        float acc[kRows][kLanes];
        const int s = p.Size;
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < kLanes; ++k)
                acc[r][k] = p.Half[s] * (c[(r - s) * step + k] + c[(r + s) * step + k]);
        for (int j = s - 1; j >= 1; --j) {
            const float wj = p.Half[j];
            for (int r = 0; r < kRows; ++r) {
                const float* a = c + (r - j) * step;
                const float* b = c + (r + j) * step;
                for (int k = 0; k < kLanes; ++k) {
                    if constexpr (kFused)
                        acc[r][k] = __builtin_fmaf(wj, a[k] + b[k], acc[r][k]);
                    else
                        acc[r][k] += wj * (a[k] + b[k]);
                }
            }
        }
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < kLanes; ++k) {
                if constexpr (kFused)
                    acc[r][k] = __builtin_fmaf(w0, c[r * step + k], acc[r][k]);
                else
                    acc[r][k] += w0 * c[r * step + k];
            }
        for (int r = 0; r < kRows; ++r) {
            int32_t* o = out + r * outStride + t0;
            int unsure = 0;
            uint8_t unsureAt[kLanes];
            // The sums lie between 0 and 255 plus some u (the weights add
            // up to 1 within a few u), and so does the band around each
            // but for a slack's width below 0: truncated, every end of a
            // band already is what limiting to 0..255 and truncating give.
            for (int k = 0; k < kLanes; ++k) {
                const int a = static_cast<int>(acc[r][k] - slack), b = static_cast<int>(acc[r][k] + slack);
                o[k] = a;
                unsureAt[k] = a != b;
                unsure |= a != b;
            }
            if (!unsure) continue;
            for (int k = 0; k < kLanes && t0 + k < count; ++k)
                if (unsureAt[k]) o[k] = ExactValue(c + r * step + k, step, p);
        }
    }
}

// The column kernels work out `rows` rows (rounded up to the rows done at
// once) from the centre row given on, their values `width` apart in out.
template <bool kFused, int kWidth, int kRows>
[[gnu::always_inline]] inline void BlurColumnWith(const float* centre, const TPlan& p, int rows,
                                                  int32_t* out) {
    for (int y = 0; y < rows; y += kRows)
        BlurValuesWith<kFused, kWidth, kRows>(centre + y * kWidth, kWidth, p, kWidth, out + y * kWidth,
                                              kWidth);
}
template <bool kFused> void BlurBandWith(const float* centre, const TPlan& p, int count, int32_t* out) {
    BlurValuesWith<kFused, kFused ? kFusedGroup : kGroup, 1>(centre, kBandStep, p, count, out, 0);
}
template <bool kFused>
void BlurNarrowColumnWith(const float* centre, const TPlan& p, int rows, int32_t* out) {
    BlurColumnWith<kFused, kNarrowStrip, 1>(centre, p, rows, out);
}
template <bool kFused> void BlurWideColumnWith(const float* centre, const TPlan& p, int rows, int32_t* out) {
    BlurColumnWith<kFused, kWideStrip, kFused ? kWideRows : kPlainWideRows>(centre, p, rows, out);
}

} // namespace

} // namespace pixora::quick
