// The wide loops of the point kernels in AVX-512BW: sixteen pixels a
// vector. Everything the file includes comes before the switch, so that
// only this file's own code is compiled for it.
#include "effects/engine/point_kernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,avx512bw")

namespace pixora::kernels {

namespace {

struct TAvx512 {
    using V = __m512i;
    static constexpr int kPixels = 16;
    // The 32-bit operations take the zeroing forms with every lane kept:
    // the plain ones start from an undefined vector, which this compiler
    // warns of.
    static constexpr __mmask16 kAll32 = 0xFFFF;
    static V Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
    static void Store(uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
    static V WidenLow(V v) { return _mm512_unpacklo_epi8(v, _mm512_setzero_si512()); }
    static V WidenHigh(V v) { return _mm512_unpackhi_epi8(v, _mm512_setzero_si512()); }
    static V Narrow(V a, V b) { return _mm512_packus_epi16(a, b); }
    static V Lanes16(int16_t a, int16_t b, int16_t c, int16_t d) {
        const uint64_t pixel = static_cast<uint16_t>(a) |
                               static_cast<uint64_t>(static_cast<uint16_t>(b)) << 16 |
                               static_cast<uint64_t>(static_cast<uint16_t>(c)) << 32 |
                               static_cast<uint64_t>(static_cast<uint16_t>(d)) << 48;
        return _mm512_set1_epi64(static_cast<long long>(pixel));
    }
    static V Set16(int16_t a) { return _mm512_set1_epi16(a); }
    static V Add16(V a, V b) { return _mm512_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm512_sub_epi16(a, b); }
    static V MulLow16(V a, V b) { return _mm512_mullo_epi16(a, b); }
    static V MulHighU16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
    static V ShiftRight16(V a, int n) { return _mm512_srli_epi16(a, static_cast<unsigned>(n)); }
    static V Abs16(V a) { return _mm512_abs_epi16(a); }
    static V WithSignOf16(V q, V d) {
        return _mm512_mask_sub_epi16(q, _mm512_movepi16_mask(d), _mm512_setzero_si512(), q);
    }
    static V MulAddPairs16(V a, V b) { return _mm512_madd_epi16(a, b); }
    static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
    static V SwapPairs32(V a) { return _mm512_maskz_shuffle_epi32(kAll32, a, _MM_PERM_CDAB); }
    static V ShiftLeft32(V a, int n) { return _mm512_maskz_slli_epi32(kAll32, a, static_cast<unsigned>(n)); }
    static V ShiftRight32(V a, int n) { return _mm512_maskz_srli_epi32(kAll32, a, static_cast<unsigned>(n)); }
    static V Or(V a, V b) { return _mm512_or_si512(a, b); }
};

} // namespace

} // namespace pixora::kernels

#include "effects/engine/point_lanes_body.h"

namespace pixora::kernels {

int SaturationLanesAvx512(const TSaturationLanes& k, uint8_t* p, int n) {
    return SaturationLanesWith<TAvx512>(k, p, n);
}

} // namespace pixora::kernels

#pragma GCC pop_options

#endif
