#include "effects/quick/antialias_pull.h"

#include <cstring>

#include <immintrin.h>

#include "effects/quick/antialias.h"

namespace pixora::quick {

namespace {

// In 16-bit lanes: v = c + 5 n (at most 1530), q = v / 6 as the high half
// of v * 10923 (exact for every such v), r = v - 6 q; the quotient rounds
// up when r > 3, or r = 3 and q is odd, that is when r + (q & 1) > 3.
constexpr uint32_t Towards(uint32_t v) {
    const uint32_t q = (v * 10923u) >> 16;
    const uint32_t r = v - 6 * q;
    return q + (r + (q & 1) > 3);
}

constexpr bool TowardsMatchesTheRule() {
    for (int c = 0; c < 256; ++c)
        for (int n = 0; n < 256; ++n)
            if (Towards(static_cast<uint32_t>(c + 5 * n)) != TowardsCentre(c, n)) return false;
    return true;
}
static_assert(TowardsMatchesTheRule());

void PullOneByOne(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    const uint8_t* t = TowardsTable().data();
    for (std::size_t i = 0; i < 4 * count; i += 4) {
        const uint8_t b = t[c[i] + 5 * n[i]], g = t[c[i + 1] + 5 * n[i + 1]], r = t[c[i + 2] + 5 * n[i + 2]];
        dst[i + 3] = n[i + 3];
        dst[i] = b;
        dst[i + 1] = g;
        dst[i + 2] = r;
    }
}

__m128i TowardsLanes(__m128i cv, __m128i nv) {
    const __m128i v = _mm_add_epi16(cv, _mm_add_epi16(_mm_slli_epi16(nv, 2), nv));
    const __m128i q = _mm_mulhi_epu16(v, _mm_set1_epi16(10923));
    const __m128i r = _mm_sub_epi16(v, _mm_add_epi16(_mm_slli_epi16(q, 2), _mm_slli_epi16(q, 1)));
    const __m128i odd = _mm_and_si128(q, _mm_set1_epi16(1));
    // The comparison is -1 where the quotient rounds up.
    return _mm_sub_epi16(q, _mm_cmpgt_epi16(_mm_add_epi16(r, odd), _mm_set1_epi16(3)));
}

std::size_t PullSse2(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    const __m128i zero = _mm_setzero_si128(), fourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i nv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n + 4 * i));
        const __m128i cv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 4 * i));
        const __m128i lo = TowardsLanes(_mm_unpacklo_epi8(cv, zero), _mm_unpacklo_epi8(nv, zero));
        const __m128i hi = TowardsLanes(_mm_unpackhi_epi8(cv, zero), _mm_unpackhi_epi8(nv, zero));
        const __m128i t = _mm_packus_epi16(lo, hi);
        const __m128i out = _mm_or_si128(_mm_andnot_si128(fourth, t), _mm_and_si128(fourth, nv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), out);
    }
    return i;
}

#define PIXORA_AVX2 __attribute__((target("avx2")))
PIXORA_AVX2 __m256i TowardsLanes(__m256i cv, __m256i nv) {
    const __m256i v = _mm256_add_epi16(cv, _mm256_add_epi16(_mm256_slli_epi16(nv, 2), nv));
    const __m256i q = _mm256_mulhi_epu16(v, _mm256_set1_epi16(10923));
    const __m256i r = _mm256_sub_epi16(v, _mm256_add_epi16(_mm256_slli_epi16(q, 2), _mm256_slli_epi16(q, 1)));
    const __m256i odd = _mm256_and_si256(q, _mm256_set1_epi16(1));
    return _mm256_sub_epi16(q, _mm256_cmpgt_epi16(_mm256_add_epi16(r, odd), _mm256_set1_epi16(3)));
}

// Unpacking and packing work within each 16-byte half alike, so the bytes
// come back where they were.
PIXORA_AVX2 std::size_t PullAvx2(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    const __m256i zero = _mm256_setzero_si256(), fourth = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i nv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(n + 4 * i));
        const __m256i cv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c + 4 * i));
        const __m256i lo = TowardsLanes(_mm256_unpacklo_epi8(cv, zero), _mm256_unpacklo_epi8(nv, zero));
        const __m256i hi = TowardsLanes(_mm256_unpackhi_epi8(cv, zero), _mm256_unpackhi_epi8(nv, zero));
        const __m256i t = _mm256_packus_epi16(lo, hi);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 4 * i), _mm256_blendv_epi8(t, nv, fourth));
    }
    return i;
}

#define PIXORA_AVX512 __attribute__((target("avx2,avx512bw")))
PIXORA_AVX512 __m512i TowardsLanes(__m512i cv, __m512i nv) {
    const __m512i v = _mm512_add_epi16(cv, _mm512_add_epi16(_mm512_slli_epi16(nv, 2), nv));
    const __m512i q = _mm512_mulhi_epu16(v, _mm512_set1_epi16(10923));
    const __m512i r = _mm512_sub_epi16(v, _mm512_add_epi16(_mm512_slli_epi16(q, 2), _mm512_slli_epi16(q, 1)));
    const __m512i odd = _mm512_and_si512(q, _mm512_set1_epi16(1));
    const __mmask32 up = _mm512_cmpgt_epi16_mask(_mm512_add_epi16(r, odd), _mm512_set1_epi16(3));
    return _mm512_mask_add_epi16(q, up, q, _mm512_set1_epi16(1));
}

PIXORA_AVX512 std::size_t PullAvx512(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    const __m512i zero = _mm512_setzero_si512();
    constexpr __mmask64 kFourth = 0x8888888888888888ull;
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m512i nv = _mm512_loadu_si512(n + 4 * i);
        const __m512i cv = _mm512_loadu_si512(c + 4 * i);
        const __m512i lo = TowardsLanes(_mm512_unpacklo_epi8(cv, zero), _mm512_unpacklo_epi8(nv, zero));
        const __m512i hi = TowardsLanes(_mm512_unpackhi_epi8(cv, zero), _mm512_unpackhi_epi8(nv, zero));
        _mm512_storeu_si512(dst + 4 * i, _mm512_mask_blend_epi8(kFourth, _mm512_packus_epi16(lo, hi), nv));
    }
    return i;
}

int WidestKernel() {
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512bw")) return 3;
    return __builtin_cpu_supports("avx2") ? 2 : 1;
}

} // namespace

void PullRunWith(int kernel, uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    const int widest = WidestKernel();
    if (kernel > widest) kernel = widest;
    std::size_t done = 0;
    // A wide kernel leaves its remainder to the narrower ones.
    if (kernel >= 3) done = PullAvx512(dst, n, c, count);
    if (kernel >= 2) done += PullAvx2(dst + 4 * done, n + 4 * done, c + 4 * done, count - done);
    if (kernel >= 1) done += PullSse2(dst + 4 * done, n + 4 * done, c + 4 * done, count - done);
    PullOneByOne(dst + 4 * done, n + 4 * done, c + 4 * done, count - done);
}

void PullRun(uint8_t* dst, const uint8_t* n, const uint8_t* c, std::size_t count) {
    PullRunWith(3, dst, n, c, count);
}

} // namespace pixora::quick
