#pragma once
// Vectors of 16-bit lanes for loops written once for every vector width
// (see doc/vector_kernels.h). A loop's body is a template over one of these
// traits; each width's file compiles it for that width's instruction set
// (doc/instruction_set.h), so that the body's vectors never cross a
// call. The traits' own functions carry their instruction sets.
//
//   V, kPixels                   a vector and the 32-bit pixels it holds
//   Load, Store                  unaligned, kPixels pixels
//   WidenLow, WidenHigh, Narrow  bytes to 16-bit lanes and back (limited to
//                                0..255); all work within each 16 bytes alike
//   Lanes16(a, b, c, d)          a, b, c, d in the four lanes of every pixel
//   Set16, Add16, Sub16, MulLow16, MulHighU16, ShiftLeft16, ShiftRight16,
//   Abs16, WithSignOf16(q, d)    q, negated where d < 0
//   AddOneWhereGreater16(q, a, b) q + 1 where a > b
//   MulAddPairs16                pairs of 16-bit products summed into 32 bits
//   Add32, SwapPairs32, ShiftLeft32, ShiftRight32, And, Or
//   FourthBytesOf(v, from)       v with the fourth byte of each pixel from `from`

#if defined(__x86_64__) && defined(__GNUC__)
#define PIXORA_VECTOR_LANES 1
#include <immintrin.h>

#include <cstdint>

namespace pixora::lanes {

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
    static V ShiftLeft16(V a, int n) { return _mm_slli_epi16(a, n); }
    static V ShiftRight16(V a, int n) { return _mm_srli_epi16(a, n); }
    static V Abs16(V a) { return _mm_max_epi16(a, _mm_sub_epi16(_mm_setzero_si128(), a)); }
    static V WithSignOf16(V q, V d) {
        const V negative = _mm_srai_epi16(d, 15);
        return _mm_sub_epi16(_mm_xor_si128(q, negative), negative);
    }
    // The comparison is -1 where a > b.
    static V AddOneWhereGreater16(V q, V a, V b) { return _mm_sub_epi16(q, _mm_cmpgt_epi16(a, b)); }
    static V MulAddPairs16(V a, V b) { return _mm_madd_epi16(a, b); }
    static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V SwapPairs32(V a) { return _mm_shuffle_epi32(a, _MM_SHUFFLE(2, 3, 0, 1)); }
    static V ShiftLeft32(V a, int n) { return _mm_slli_epi32(a, n); }
    static V ShiftRight32(V a, int n) { return _mm_srli_epi32(a, n); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V FourthBytesOf(V v, V from) {
        const V fourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        return _mm_or_si128(_mm_andnot_si128(fourth, v), _mm_and_si128(fourth, from));
    }
};

#define PIXORA_LANES_AVX2 __attribute__((target("avx2")))
struct TAvx2 {
    using V = __m256i;
    static constexpr int kPixels = 8;
    PIXORA_LANES_AVX2 static V Load(const uint8_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    PIXORA_LANES_AVX2 static void Store(uint8_t* p, V v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    PIXORA_LANES_AVX2 static V WidenLow(V v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
    PIXORA_LANES_AVX2 static V WidenHigh(V v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
    PIXORA_LANES_AVX2 static V Narrow(V a, V b) { return _mm256_packus_epi16(a, b); }
    PIXORA_LANES_AVX2 static V Lanes16(int16_t a, int16_t b, int16_t c, int16_t d) {
        return _mm256_setr_epi16(a, b, c, d, a, b, c, d, a, b, c, d, a, b, c, d);
    }
    PIXORA_LANES_AVX2 static V Set16(int16_t a) { return _mm256_set1_epi16(a); }
    PIXORA_LANES_AVX2 static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    PIXORA_LANES_AVX2 static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    PIXORA_LANES_AVX2 static V MulLow16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    PIXORA_LANES_AVX2 static V MulHighU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    PIXORA_LANES_AVX2 static V ShiftLeft16(V a, int n) { return _mm256_slli_epi16(a, n); }
    PIXORA_LANES_AVX2 static V ShiftRight16(V a, int n) { return _mm256_srli_epi16(a, n); }
    PIXORA_LANES_AVX2 static V Abs16(V a) { return _mm256_abs_epi16(a); }
    PIXORA_LANES_AVX2 static V WithSignOf16(V q, V d) { return _mm256_sign_epi16(q, d); }
    PIXORA_LANES_AVX2 static V AddOneWhereGreater16(V q, V a, V b) {
        return _mm256_sub_epi16(q, _mm256_cmpgt_epi16(a, b));
    }
    PIXORA_LANES_AVX2 static V MulAddPairs16(V a, V b) { return _mm256_madd_epi16(a, b); }
    PIXORA_LANES_AVX2 static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
    PIXORA_LANES_AVX2 static V SwapPairs32(V a) { return _mm256_shuffle_epi32(a, _MM_SHUFFLE(2, 3, 0, 1)); }
    PIXORA_LANES_AVX2 static V ShiftLeft32(V a, int n) { return _mm256_slli_epi32(a, n); }
    PIXORA_LANES_AVX2 static V ShiftRight32(V a, int n) { return _mm256_srli_epi32(a, n); }
    PIXORA_LANES_AVX2 static V And(V a, V b) { return _mm256_and_si256(a, b); }
    PIXORA_LANES_AVX2 static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    PIXORA_LANES_AVX2 static V FourthBytesOf(V v, V from) {
        return _mm256_blendv_epi8(v, from, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
    }
};
#undef PIXORA_LANES_AVX2

// The 32-bit shifts and shuffles take their zeroing forms with every lane
// kept: the plain ones of this compiler start from an undefined vector and
// warn of it.
#define PIXORA_LANES_AVX512 __attribute__((target("avx2,avx512bw")))
struct TAvx512 {
    using V = __m512i;
    static constexpr int kPixels = 16;
    static constexpr __mmask16 kAll32 = 0xFFFF;
    PIXORA_LANES_AVX512 static V Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
    PIXORA_LANES_AVX512 static void Store(uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
    PIXORA_LANES_AVX512 static V WidenLow(V v) { return _mm512_unpacklo_epi8(v, _mm512_setzero_si512()); }
    PIXORA_LANES_AVX512 static V WidenHigh(V v) { return _mm512_unpackhi_epi8(v, _mm512_setzero_si512()); }
    PIXORA_LANES_AVX512 static V Narrow(V a, V b) { return _mm512_packus_epi16(a, b); }
    PIXORA_LANES_AVX512 static V Lanes16(int16_t a, int16_t b, int16_t c, int16_t d) {
        const uint64_t pixel = static_cast<uint16_t>(a) |
                               static_cast<uint64_t>(static_cast<uint16_t>(b)) << 16 |
                               static_cast<uint64_t>(static_cast<uint16_t>(c)) << 32 |
                               static_cast<uint64_t>(static_cast<uint16_t>(d)) << 48;
        return _mm512_set1_epi64(static_cast<long long>(pixel));
    }
    PIXORA_LANES_AVX512 static V Set16(int16_t a) { return _mm512_set1_epi16(a); }
    PIXORA_LANES_AVX512 static V Add16(V a, V b) { return _mm512_add_epi16(a, b); }
    PIXORA_LANES_AVX512 static V Sub16(V a, V b) { return _mm512_sub_epi16(a, b); }
    PIXORA_LANES_AVX512 static V MulLow16(V a, V b) { return _mm512_mullo_epi16(a, b); }
    PIXORA_LANES_AVX512 static V MulHighU16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
    PIXORA_LANES_AVX512 static V ShiftLeft16(V a, int n) {
        return _mm512_slli_epi16(a, static_cast<unsigned>(n));
    }
    PIXORA_LANES_AVX512 static V ShiftRight16(V a, int n) {
        return _mm512_srli_epi16(a, static_cast<unsigned>(n));
    }
    PIXORA_LANES_AVX512 static V Abs16(V a) { return _mm512_abs_epi16(a); }
    PIXORA_LANES_AVX512 static V WithSignOf16(V q, V d) {
        return _mm512_mask_sub_epi16(q, _mm512_movepi16_mask(d), _mm512_setzero_si512(), q);
    }
    PIXORA_LANES_AVX512 static V AddOneWhereGreater16(V q, V a, V b) {
        return _mm512_mask_add_epi16(q, _mm512_cmpgt_epi16_mask(a, b), q, _mm512_set1_epi16(1));
    }
    PIXORA_LANES_AVX512 static V MulAddPairs16(V a, V b) { return _mm512_madd_epi16(a, b); }
    PIXORA_LANES_AVX512 static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
    PIXORA_LANES_AVX512 static V SwapPairs32(V a) {
        return _mm512_maskz_shuffle_epi32(kAll32, a, _MM_PERM_CDAB);
    }
    PIXORA_LANES_AVX512 static V ShiftLeft32(V a, int n) {
        return _mm512_maskz_slli_epi32(kAll32, a, static_cast<unsigned>(n));
    }
    PIXORA_LANES_AVX512 static V ShiftRight32(V a, int n) {
        return _mm512_maskz_srli_epi32(kAll32, a, static_cast<unsigned>(n));
    }
    PIXORA_LANES_AVX512 static V And(V a, V b) { return _mm512_and_si512(a, b); }
    PIXORA_LANES_AVX512 static V Or(V a, V b) { return _mm512_or_si512(a, b); }
    PIXORA_LANES_AVX512 static V FourthBytesOf(V v, V from) {
        return _mm512_mask_blend_epi8(0x8888888888888888ull, v, from);
    }
};
#undef PIXORA_LANES_AVX512

} // namespace pixora::lanes

#endif
