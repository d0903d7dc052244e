#include "doc/blend_kernels.h"
#include "doc/vector_lanes.h"

#ifdef PIXORA_BLEND_X86

namespace pixora {

namespace {

#define PIXORA_AVX2 __attribute__((target("avx2")))
struct TAvx2 : lanes::TAvx2 {
    PIXORA_AVX2 static V TMask() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }
    PIXORA_AVX2 static V Zero() { return _mm256_setzero_si256(); }
    PIXORA_AVX2 static bool AllClear(V all) { return _mm256_testc_si256(all, TMask()); }
    PIXORA_AVX2 static bool AllOpaque(V any) { return _mm256_testz_si256(any, TMask()); }
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
