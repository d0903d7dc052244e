// The Gaussian blur's loops in AVX-512 with fused multiply-adds
// (gaussian_kernels.h), and the row pass's sums written out in 16-lane
// vectors. Everything the file includes comes before the switch, so that
// only this file's own code is compiled for it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include <immintrin.h>

#include "doc/instruction_set.h"
#include "effects/quick/gaussian_kernels.h"
#include "effects/quick/gaussian_lanes.h"

#if defined(__x86_64__) && defined(__GNUC__)

PIXORA_INSTRUCTION_SET_BEGIN("avx2,fma,avx512f,avx512bw")

#include "effects/quick/gaussian_kernels_body.h"
#include "effects/quick/gaussian_lanes_body.h"

namespace pixora::quick {

namespace {

// The band kernel of machines with 16-lane vectors, written out in them:
// kBandVectors vectors of values side by side, whose neighbours lie
// kBandHop vectors apart. The value a vector reads on the left at one pair
// is the one the vector kBandHop further on reads at the next pair (on the
// right, kBandHop back), so each pair loads 2 kBandHop vectors afresh and
// passes the rest along in registers. The sums are those of BlurValuesWith
// to the last rounding (the same operations in the same order).
constexpr int kBandVectors = 8, kBandHop = 3;

void BlurBandWide(const float* centre, const TPlan& p, int count, int32_t* out) {
    const int s = p.Size;
    const __m512 slack = _mm512_set1_ps(p.Slack), w0 = _mm512_set1_ps(p.Half[0]);
    constexpr int kKept = kBandVectors - kBandHop;
    for (int t0 = 0; t0 < count; t0 += 16 * kBandVectors) {
        const float* c = centre + t0;
        __m512 left[kBandVectors], right[kBandVectors], acc[kBandVectors];
        const __m512 ws = _mm512_set1_ps(p.Half[s]);
        for (int i = 0; i < kBandVectors; ++i) {
            left[i] = _mm512_load_ps(c + 16 * (i - kBandHop * s));
            right[i] = _mm512_load_ps(c + 16 * (i + kBandHop * s));
            acc[i] = _mm512_mul_ps(ws, _mm512_add_ps(left[i], right[i]));
        }
        for (int j = s - 1; j >= 1; --j) {
            const __m512 wj = _mm512_set1_ps(p.Half[j]);
            for (int i = 0; i < kKept; ++i)
                left[i] = left[i + kBandHop];
            for (int i = kKept; i < kBandVectors; ++i)
                left[i] = _mm512_load_ps(c + 16 * (i - kBandHop * j));
            for (int i = kBandVectors - 1; i >= kBandHop; --i)
                right[i] = right[i - kBandHop];
            for (int i = 0; i < kBandHop; ++i)
                right[i] = _mm512_load_ps(c + 16 * (i + kBandHop * j));
            for (int i = 0; i < kBandVectors; ++i)
                acc[i] = _mm512_fmadd_ps(wj, _mm512_add_ps(left[i], right[i]), acc[i]);
        }
        for (int i = 0; i < kBandVectors; ++i) {
            acc[i] = _mm512_fmadd_ps(w0, _mm512_load_ps(c + 16 * i), acc[i]);
            const __m512i a = _mm512_maskz_cvttps_epi32(0xFFFF, _mm512_sub_ps(acc[i], slack));
            const __m512i b = _mm512_maskz_cvttps_epi32(0xFFFF, _mm512_add_ps(acc[i], slack));
            _mm512_storeu_si512(out + t0 + 16 * i, a);
            __mmask16 unsure = _mm512_cmpneq_epi32_mask(a, b);
            while (unsure) {
                const int k = __builtin_ctz(unsure), q = 16 * i + k;
                unsure &= unsure - 1;
                if (t0 + q < count) out[t0 + q] = ExactValue(c + q, kBandStep, p);
            }
        }
    }
}

} // namespace

const TGaussianKernels kGaussianAvx512 = {
    BlurBandWide, BlurNarrowColumnWith<true>, BlurWideColumnWith<true>, LoadBand, StoreBand, LoadStrip,
    StoreStrip};

} // namespace pixora::quick

PIXORA_INSTRUCTION_SET_END

#endif
