// The wide loops of the point kernels in AVX2: eight pixels a vector.
// Everything the file includes comes before the switch to AVX2, so that
// only this file's own code is compiled for it.
#include "effects/engine/point_kernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace pixora::kernels {

namespace {

struct TAvx2 {
    using V = __m256i;
    static constexpr int kPixels = 8;
    static V Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static V WidenLow(V v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
    static V WidenHigh(V v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
    static V Narrow(V a, V b) { return _mm256_packus_epi16(a, b); }
    static V Lanes16(int16_t a, int16_t b, int16_t c, int16_t d) {
        return _mm256_setr_epi16(a, b, c, d, a, b, c, d, a, b, c, d, a, b, c, d);
    }
    static V Set16(int16_t a) { return _mm256_set1_epi16(a); }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V MulLow16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V MulHighU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V ShiftRight16(V a, int n) { return _mm256_srli_epi16(a, n); }
    static V Abs16(V a) { return _mm256_abs_epi16(a); }
    static V WithSignOf16(V q, V d) { return _mm256_sign_epi16(q, d); }
    static V MulAddPairs16(V a, V b) { return _mm256_madd_epi16(a, b); }
    static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V SwapPairs32(V a) { return _mm256_shuffle_epi32(a, _MM_SHUFFLE(2, 3, 0, 1)); }
    static V ShiftLeft32(V a, int n) { return _mm256_slli_epi32(a, n); }
    static V ShiftRight32(V a, int n) { return _mm256_srli_epi32(a, n); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
};

// One step of all four generators: the words of an even pixel (from
// generators 0 and 1) and of the odd one after it (2 and 3).
__m256i StepAll(__m256i& s0, __m256i& s1) {
    __m256i a = s0;
    const __m256i b = s1;
    s0 = b;
    a = _mm256_xor_si256(a, _mm256_slli_epi64(a, 23));
    s1 = _mm256_xor_si256(_mm256_xor_si256(a, b),
                          _mm256_xor_si256(_mm256_srli_epi64(a, 18), _mm256_srli_epi64(b, 5)));
    return _mm256_add_epi64(s1, b);
}

} // namespace

} // namespace pixora::kernels

#include "effects/engine/point_lanes_body.h"

namespace pixora::kernels {

int SaturationLanesAvx2(const TSaturationLanes& k, uint8_t* p, int n) {
    return SaturationLanesWith<TAvx2>(k, p, n);
}

namespace {

// The stream's generators, held in two registers while a loop runs.
struct TGenerators {
    __m256i S0, S1;
    explicit TGenerators(const TNoiseStream& s)
        : S0(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.S0))),
          S1(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.S1))) {}
    void Leave(TNoiseStream& s, int pixels) const {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.S0), S0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.S1), S1);
        s.Position += static_cast<uint64_t>(pixels);
    }
};

// Pixels q[0..3], two steps of the generators.
void NoiseGroup(TGenerators& g, __m256i n, uint8_t* q) {
    // Draws of pixels x, x + 1 and of x + 2, x + 3; each pixel's first
    // draws, then its second ones.
    const __m256i a = _mm256_mulhi_epu16(StepAll(g.S0, g.S1), n);
    const __m256i b = _mm256_mulhi_epu16(StepAll(g.S0, g.S1), n);
    // Per 64 bits, pixels x, x + 2, x + 1, x + 3: put in order.
    const __m256i change = _mm256_permute4x64_epi64(
        _mm256_sub_epi16(_mm256_unpacklo_epi64(a, b), _mm256_unpackhi_epi64(a, b)), _MM_SHUFFLE(3, 1, 2, 0));
    const __m256i r =
        _mm256_add_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q))), change);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(q),
                     _mm_packus_epi16(_mm256_castsi256_si128(r), _mm256_extracti128_si256(r, 1)));
}

} // namespace

// Four pixels a round.
int NoiseLanesAvx2(TNoiseStream& stream, const int16_t (&n)[4], uint8_t* p, int count) {
    const __m256i nv = TAvx2::Lanes16(n[0], n[1], n[2], n[3]);
    TGenerators g(stream);
    const int groups = count / 4;
    for (int i = 0; i < groups; ++i) {
        uint8_t* q = p + 16 * static_cast<std::ptrdiff_t>(i);
        if ((i & 3) == 0) PrefetchAhead(q);
        NoiseGroup(g, nv, q);
    }
    g.Leave(stream, 4 * groups);
    return 4 * groups;
}

// Each step waits on the one before, so one row's stream leaves most of
// the processor idle; two rows' streams side by side keep it busy.
int NoiseLanesTwoRowsAvx2(TNoiseStream& a, uint8_t* pa, TNoiseStream& b, uint8_t* pb, const int16_t (&n)[4],
                          int count) {
    const __m256i nv = TAvx2::Lanes16(n[0], n[1], n[2], n[3]);
    TGenerators ga(a), gb(b);
    const int groups = count / 4;
    for (int i = 0; i < groups; ++i) {
        const std::ptrdiff_t at = 16 * static_cast<std::ptrdiff_t>(i);
        if ((i & 3) == 0) {
            PrefetchAhead(pa + at);
            PrefetchAhead(pb + at);
        }
        NoiseGroup(ga, nv, pa + at);
        NoiseGroup(gb, nv, pb + at);
    }
    ga.Leave(a, 4 * groups);
    gb.Leave(b, 4 * groups);
    return 4 * groups;
}

} // namespace pixora::kernels

#pragma GCC pop_options

#endif
