// The wide loops of the point kernels in SSE2, which every x86-64
// processor has: four pixels a vector.
#include "doc/vector_lanes.h"
#include "effects/engine/point_kernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <emmintrin.h>

#include "effects/engine/point_lanes_body.h"

namespace pixora::kernels {

int SaturationLanesSse2(const TSaturationLanes& k, uint8_t* p, int n) {
    return SaturationLanesWith<lanes::TSse2>(k, p, n);
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
