// The wide loops of the point kernels in AVX2: eight pixels a vector.
// Everything the file includes comes before the switch to AVX2, so that
// only this file's own code is compiled for it.
#include "doc/instruction_set.h"
#include "doc/vector_lanes.h"
#include "effects/engine/point_kernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

PIXORA_INSTRUCTION_SET_BEGIN("avx2")

namespace pixora::kernels {

namespace {

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
    return SaturationLanesWith<lanes::TAvx2>(k, p, n);
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
    const __m256i nv = lanes::TAvx2::Lanes16(n[0], n[1], n[2], n[3]);
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
    const __m256i nv = lanes::TAvx2::Lanes16(n[0], n[1], n[2], n[3]);
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

PIXORA_INSTRUCTION_SET_END

#endif
