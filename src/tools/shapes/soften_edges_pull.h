#pragma once
// The pull of the edge softening in AVX2 lanes, for the band worker
// (soften_edges_bands.cpp): n := (a x s + 50 x n) / (a + 50) rounded to
// nearest with halves to even, exact for every byte pair.
//
// With d = a + 50 and u = a x s + 50 x n + d / 2, rounding half up gives
// floor(u / d). Where d is even a half gives u a multiple of d, and an odd
// quotient must come down by one: writing u = 2d x r + m, the result is 2r
// for m <= d and 2r + 1 above, which is floor(u / 2d) + floor((u + d - 1) /
// 2d); the two divisions are independent multiplies, so the rounding costs
// no compare and sits short on the chain from one pixel to the next. With d
// odd there are no halves and floor(u / d) is the answer.

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#define PIXORA_AVX2 __attribute__((target("avx2")))

namespace pixora::soften {

using V = __m256i;

// floor(t / d) = (t x M) >> 16 >> Shift for every t up to top.
struct TDivision {
    int M = 0, Shift = 0;
    bool Found = false;
    TDivision(int d, int top) {
        for (int shift = 0; shift < 16 && !Found; ++shift) {
            const long long m = ((1LL << (16 + shift)) + d - 1) / d;
            if (m > 65535) break;
            bool exact = true;
            for (long long t = 0; t <= top && exact; ++t)
                exact = ((t * m) >> (16 + shift)) == t / d;
            if (exact) M = static_cast<int>(m), Shift = shift, Found = true;
        }
    }
};

struct TPull {
    V A, Fifty, Weights, LowBytes, Low, High, M;
    __m128i Shift;
    bool Found = false;
};

// The constants for strength a (0..100); Found is false where no multiply
// divides exactly.
PIXORA_AVX2 inline TPull MakePull(int a) {
    TPull k;
    const int d = a + 50;
    const bool halves = d % 2 == 0;
    const TDivision div = halves ? TDivision(2 * d, 255 * d + 3 * d / 2 - 1) : TDivision(d, 255 * d + d / 2);
    k.Found = div.Found;
    k.A = _mm256_set1_epi16(static_cast<short>(a));
    k.Fifty = _mm256_set1_epi16(50);
    k.Weights = _mm256_set1_epi16(static_cast<short>(a | 50 << 8)); // bytes a, 50
    k.LowBytes = _mm256_set1_epi16(255);
    k.Low = _mm256_set1_epi16(static_cast<short>(d / 2));
    k.High = _mm256_set1_epi16(static_cast<short>(halves ? 3 * d / 2 - 1 : 0));
    k.M = _mm256_set1_epi16(static_cast<short>(static_cast<uint16_t>(div.M)));
    k.Shift = _mm_cvtsi32_si128(div.Shift);
    return k;
}

// The 16 results for the (s, n) byte pairs interleaved in sn. The weighted
// sums stay below 32768 for a up to 78 (one multiply-add); above that
// (Wide) the products are taken one by one.
template <bool Halves, bool Wide> PIXORA_AVX2 inline V Pull16(V sn, const TPull& k) {
    V sum;
    if constexpr (Wide) {
        const V s = _mm256_and_si256(sn, k.LowBytes), n = _mm256_srli_epi16(sn, 8);
        sum = _mm256_add_epi16(_mm256_mullo_epi16(s, k.A), _mm256_mullo_epi16(n, k.Fifty));
    } else {
        sum = _mm256_maddubs_epi16(sn, k.Weights);
    }
    const V low = _mm256_srl_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(sum, k.Low), k.M), k.Shift);
    if constexpr (!Halves) return low;
    const V high = _mm256_srl_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(sum, k.High), k.M), k.Shift);
    return _mm256_add_epi16(low, high);
}

// The pixels n, each byte pulled toward the same byte of s.
template <bool Halves, bool Wide> PIXORA_AVX2 inline V PullAll(V n, V s, const TPull& k) {
    const V lo = Pull16<Halves, Wide>(_mm256_unpacklo_epi8(s, n), k);
    const V hi = Pull16<Halves, Wide>(_mm256_unpackhi_epi8(s, n), k);
    return _mm256_packus_epi16(lo, hi);
}

// The same where the pixel's mask lane is all ones; the others unchanged.
template <bool Halves, bool Wide> PIXORA_AVX2 inline V Pull(V n, V s, V mask, const TPull& k) {
    return _mm256_blendv_epi8(n, PullAll<Halves, Wide>(n, s, k), mask);
}

// Rows of eight 32-bit values in, columns out: r[j] lane k := r[k] lane j.
PIXORA_AVX2 inline void Transpose8(V r[8]) {
    V t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
    }
    for (int i = 0; i < 8; i += 4) {
        u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
        u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
        u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
        u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
        r[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
    }
}

} // namespace pixora::soften

#define PIXORA_SOFTEN_X86 1
#endif
