#include "doc/blend_kernels.h"
#include "doc/vector_lanes.h"

#ifdef PIXORA_BLEND_X86

namespace pixora {

namespace {

#define PIXORA_AVX512 __attribute__((target("avx2,avx512bw")))
struct TAvx512 : lanes::TAvx512 {
    PIXORA_AVX512 static V TMask() { return _mm512_set1_epi32(static_cast<int>(0xFF000000u)); }
    PIXORA_AVX512 static V Zero() { return _mm512_setzero_si512(); }
    PIXORA_AVX512 static bool AllClear(V all) {
        return _mm512_cmpneq_epi32_mask(_mm512_and_si512(all, TMask()), TMask()) == 0;
    }
    PIXORA_AVX512 static bool AllOpaque(V any) { return _mm512_test_epi32_mask(any, TMask()) == 0; }
    PIXORA_AVX512 static V Lanes(V lw, V bw) {
        const V t = _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(lw, 0xFF), 0xFF);
        const V dp = _mm512_mulhi_epu16(
            _mm512_add_epi16(_mm512_mullo_epi16(t, _mm512_set1_epi16(100)), _mm512_set1_epi16(128)),
            _mm512_set1_epi16(257));
        const V lp = _mm512_sub_epi16(_mm512_set1_epi16(100), dp);
        const V top =
            _mm512_srli_epi16(_mm512_mulhi_epu16(_mm512_mullo_epi16(lp, lw), _mm512_set1_epi16(5243)), 3);
        const V below =
            _mm512_srli_epi16(_mm512_mulhi_epu16(_mm512_mullo_epi16(dp, bw), _mm512_set1_epi16(5243)), 3);
        return _mm512_add_epi16(top, below);
    }
    PIXORA_AVX512 static V Blend(V L, V B) {
        return _mm512_packus_epi16(Lanes(_mm512_unpacklo_epi8(L, Zero()), _mm512_unpacklo_epi8(B, Zero())),
                                   Lanes(_mm512_unpackhi_epi8(L, Zero()), _mm512_unpackhi_epi8(B, Zero())));
    }
};

} // namespace

__attribute__((target("avx2,avx512bw"))) void BlendRowAvx512(uint8_t* d, const uint8_t* l, int n) {
    PIXORA_BLEND_ROW_WALK(TAvx512);
}

} // namespace pixora

#endif
