// The wide loops of the point kernels in SSE2, which every x86-64
// processor has: four pixels a vector.
#include "effects/engine/point_kernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <emmintrin.h>

namespace pixora::kernels {

namespace {

struct TSse2 {
    using V = __m128i;
    static constexpr int kPixels = 4;
    static V Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V WidenLow(V v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
    static V WidenHigh(V v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }
    static V Narrow(V a, V b) { return _mm_packus_epi16(a, b); }
    static V Lanes16(int16_t a, int16_t b, int16_t c, int16_t d) {
        return _mm_setr_epi16(a, b, c, d, a, b, c, d);
    }
    static V Set16(int16_t a) { return _mm_set1_epi16(a); }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V MulLow16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V MulHighU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V ShiftRight16(V a, int n) { return _mm_srli_epi16(a, n); }
    static V Abs16(V a) { return _mm_max_epi16(a, _mm_sub_epi16(_mm_setzero_si128(), a)); }
    static V WithSignOf16(V q, V d) {
        const V negative = _mm_srai_epi16(d, 15);
        return _mm_sub_epi16(_mm_xor_si128(q, negative), negative);
    }
    static V MulAddPairs16(V a, V b) { return _mm_madd_epi16(a, b); }
    static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V SwapPairs32(V a) { return _mm_shuffle_epi32(a, _MM_SHUFFLE(2, 3, 0, 1)); }
    static V ShiftLeft32(V a, int n) { return _mm_slli_epi32(a, n); }
    static V ShiftRight32(V a, int n) { return _mm_srli_epi32(a, n); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
};

} // namespace

} // namespace pixora::kernels

#include "effects/engine/point_lanes_body.h"

namespace pixora::kernels {

int SaturationLanesSse2(const TSaturationLanes& k, uint8_t* p, int n) {
    return SaturationLanesWith<TSse2>(k, p, n);
}

// Generators 0 and 1 (even pixels) and 2 and 3 (odd pixels) in two
// registers, so that two chains of steps interleave: two pixels a step.
int NoiseLanesSse2(TNoiseStream& stream, const int16_t (&n)[4], uint8_t* p, int count) {
    const __m128i nv = _mm_setr_epi16(n[0], n[1], n[2], n[3], n[0], n[1], n[2], n[3]);
    const __m128i zero = _mm_setzero_si128();
    __m128i evenS0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S0));
    __m128i evenS1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S1));
    __m128i oddS0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S0 + 2));
    __m128i oddS1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S1 + 2));
    // First draws minus second draws (the eight words of a pixel), in lanes 0..3.
    auto change = [&](__m128i words) {
        const __m128i draws = _mm_mulhi_epu16(words, nv);
        return _mm_sub_epi16(draws, _mm_srli_si128(draws, 8));
    };
    const int pairs = count / 2;
    for (int i = 0; i < pairs; ++i) {
        uint8_t* q = p + 8 * static_cast<std::ptrdiff_t>(i);
        if ((i & 7) == 0) PrefetchAhead(q);
        const __m128i even = TNoiseStream::StepPair(evenS0, evenS1),
                      odd = TNoiseStream::StepPair(oddS0, oddS1);
        const __m128i d = _mm_unpacklo_epi64(change(even), change(odd));
        const __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)), zero);
        const __m128i r = _mm_add_epi16(v, d);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(q), _mm_packus_epi16(r, r));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(stream.S0), evenS0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(stream.S1), evenS1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(stream.S0 + 2), oddS0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(stream.S1 + 2), oddS1);
    stream.Position += 2 * static_cast<uint64_t>(pairs);
    return 2 * pairs;
}

} // namespace pixora::kernels

#endif
