// The wide loops of the point kernels in AVX-512BW: sixteen pixels a
// vector. Everything the file includes comes before the switch, so that
// only this file's own code is compiled for it.
#include "doc/instruction_set.h"
#include "doc/vector_lanes.h"
#include "effects/engine/point_kernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

PIXORA_INSTRUCTION_SET_BEGIN("avx2,avx512bw")

#include "effects/engine/point_lanes_body.h"

namespace pixora::kernels {

int SaturationLanesAvx512(const TSaturationLanes& k, uint8_t* p, int n) {
    return SaturationLanesWith<lanes::TAvx512>(k, p, n);
}

namespace {

// One step of all eight generators. The shifts take their zeroing forms
// with every lane kept (see TAvx512).
__m512i StepAll(__m512i& s0, __m512i& s1) {
    constexpr __mmask8 kAll = 0xFF;
    __m512i x = s0;
    const __m512i y = s1;
    s0 = y;
    x = _mm512_xor_si512(x, _mm512_maskz_slli_epi64(kAll, x, 23));
    s1 = _mm512_ternarylogic_epi64(x, y, _mm512_maskz_srli_epi64(kAll, x, 18), 0x96);
    s1 = _mm512_xor_si512(s1, _mm512_maskz_srli_epi64(kAll, y, 5));
    return _mm512_add_epi64(s1, y);
}

} // namespace

// Rows a and b side by side: the generators of a in the low half of each
// register, those of b in the high half, so that every step serves two
// pixels of each row.
int NoiseLanesTwoRowsAvx512(TNoiseStream& a, uint8_t* pa, TNoiseStream& b, uint8_t* pb, const int16_t (&n)[4],
                            int count) {
    constexpr __mmask8 kLow = 0x0F, kHigh = 0xF0;
    const __m512i nv = lanes::TAvx512::Lanes16(n[0], n[1], n[2], n[3]);
    __m512i s0 = _mm512_mask_expandloadu_epi64(_mm512_maskz_loadu_epi64(kLow, a.S0), kHigh, b.S0);
    __m512i s1 = _mm512_mask_expandloadu_epi64(_mm512_maskz_loadu_epi64(kLow, a.S1), kHigh, b.S1);
    // After the subtraction, per 64 bits: a's pixels x .. x + 3, then b's.
    const __m512i firsts = _mm512_setr_epi64(0, 2, 8, 10, 4, 6, 12, 14);
    const __m512i seconds = _mm512_setr_epi64(1, 3, 9, 11, 5, 7, 13, 15);
    const __m512i halves = _mm512_setr_epi64(0, 2, 4, 6, 0, 2, 4, 6);
    const int groups = count / 4;
    for (int i = 0; i < groups; ++i) {
        const std::ptrdiff_t at = 16 * static_cast<std::ptrdiff_t>(i);
        if ((i & 3) == 0) {
            PrefetchAhead(pa + at);
            PrefetchAhead(pb + at);
        }
        // Per 64 bits, the first and second draws of a's pixel x, of x + 1,
        // then b's; d2 the same for x + 2 and x + 3.
        const __m512i d1 = _mm512_mulhi_epu16(StepAll(s0, s1), nv),
                      d2 = _mm512_mulhi_epu16(StepAll(s0, s1), nv);
        const __m512i change = _mm512_sub_epi16(_mm512_permutex2var_epi64(d1, firsts, d2),
                                                _mm512_permutex2var_epi64(d1, seconds, d2));
        const __m256i bytes = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pa + at))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb + at)), 1);
        const __m512i r = _mm512_add_epi16(_mm512_cvtepu8_epi16(bytes), change);
        // Packing doubles each 16 bytes; every other 64 bits make the result.
        const __m256i out = _mm512_maskz_extracti64x4_epi64(
            0xF, _mm512_maskz_permutexvar_epi64(0xFF, halves, _mm512_packus_epi16(r, r)), 0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pa + at), _mm256_castsi256_si128(out));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pb + at), _mm256_extracti128_si256(out, 1));
    }
    _mm512_mask_storeu_epi64(a.S0, kLow, s0);
    _mm512_mask_compressstoreu_epi64(b.S0, kHigh, s0);
    _mm512_mask_storeu_epi64(a.S1, kLow, s1);
    _mm512_mask_compressstoreu_epi64(b.S1, kHigh, s1);
    a.Position += 4 * static_cast<uint64_t>(groups);
    b.Position += 4 * static_cast<uint64_t>(groups);
    return 4 * groups;
}

} // namespace pixora::kernels

PIXORA_INSTRUCTION_SET_END

#endif
