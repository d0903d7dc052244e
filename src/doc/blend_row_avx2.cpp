#include "doc/blend_kernels.h"

#ifdef PIXORA_BLEND_X86
#include <immintrin.h>

namespace pixora {

namespace {

#define PIXORA_AVX2 __attribute__((target("avx2")))
struct TAvx2 {
    using V = __m256i;
    static constexpr int kPixels = 8;
    PIXORA_AVX2 static V Load(const uint8_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    PIXORA_AVX2 static void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    PIXORA_AVX2 static V TMask() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }
    PIXORA_AVX2 static V Zero() { return _mm256_setzero_si256(); }
    PIXORA_AVX2 static V And(V a, V b) { return _mm256_and_si256(a, b); }
    PIXORA_AVX2 static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    PIXORA_AVX2 static bool AllClear(V all) { return _mm256_testc_si256(all, TMask()); }
    PIXORA_AVX2 static bool AllOpaque(V any) { return _mm256_testz_si256(any, TMask()); }
    PIXORA_AVX2 static V KeepT(V r, V b) { return _mm256_blendv_epi8(r, b, TMask()); }
    PIXORA_AVX2 static V Lanes(V lw, V bw) {
        const V t = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(lw, 0xFF), 0xFF);
        const V dp = _mm256_mulhi_epu16(
            _mm256_add_epi16(_mm256_mullo_epi16(t, _mm256_set1_epi16(100)), _mm256_set1_epi16(128)),
            _mm256_set1_epi16(257));
        const V lp = _mm256_sub_epi16(_mm256_set1_epi16(100), dp);
        const V top =
            _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(lp, lw), _mm256_set1_epi16(5243)), 3);
        const V below =
            _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(dp, bw), _mm256_set1_epi16(5243)), 3);
        return _mm256_add_epi16(top, below);
    }
    PIXORA_AVX2 static V Blend(V L, V B) {
        return _mm256_packus_epi16(Lanes(_mm256_unpacklo_epi8(L, Zero()), _mm256_unpacklo_epi8(B, Zero())),
                                   Lanes(_mm256_unpackhi_epi8(L, Zero()), _mm256_unpackhi_epi8(B, Zero())));
    }
};

} // namespace

PIXORA_AVX2 void BlendRowAvx2(uint8_t* d, const uint8_t* l, int n) {
    PIXORA_BLEND_ROW_WALK(TAvx2);
}

} // namespace pixora

#endif
