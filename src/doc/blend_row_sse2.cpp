#include "doc/blend_kernels.h"
#include "doc/vector_lanes.h"

#ifdef PIXORA_BLEND_X86

namespace pixora {

namespace {

// One vector width: the shared lane traits and the operations the row walk
// adds. Blend() is the rule on one vector; FourthBytesOf() puts dst's fourth
// bytes back; AllClear() / AllOpaque() look at the fourth bytes of a group
// gathered by And() / Or().
struct TSse2 : lanes::TSse2 {
    static V TMask() { return _mm_set1_epi32(static_cast<int>(0xFF000000u)); }
    static V Zero() { return _mm_setzero_si128(); }
    static bool AllClear(V all) { return _mm_movemask_epi8(_mm_cmpeq_epi8(all, TMask())) == 0xFFFF; }
    static bool AllOpaque(V any) {
        return (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(any, TMask()), Zero())) & 0x8888) == 0x8888;
    }
    static V Lanes(V lw, V bw) {
        const V t = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lw, 0xFF), 0xFF);
        const V dp = _mm_mulhi_epu16(
            _mm_add_epi16(_mm_mullo_epi16(t, _mm_set1_epi16(100)), _mm_set1_epi16(128)), _mm_set1_epi16(257));
        const V lp = _mm_sub_epi16(_mm_set1_epi16(100), dp);
        const V top = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(lp, lw), _mm_set1_epi16(5243)), 3);
        const V below = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(dp, bw), _mm_set1_epi16(5243)), 3);
        return _mm_add_epi16(top, below);
    }
    static V Blend(V L, V B) {
        return _mm_packus_epi16(Lanes(_mm_unpacklo_epi8(L, Zero()), _mm_unpacklo_epi8(B, Zero())),
                                Lanes(_mm_unpackhi_epi8(L, Zero()), _mm_unpackhi_epi8(B, Zero())));
    }
};

} // namespace

void BlendRowSse2(uint8_t* d, const uint8_t* l, int n) {
    PIXORA_BLEND_ROW_WALK(TSse2);
}

} // namespace pixora

#endif
