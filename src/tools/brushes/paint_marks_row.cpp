#include "tools/brushes/paint_marks_row.h"

#include <algorithm>

#include "doc/bitmap.h"
#include "tools/shapes/soften_edges_pull.h"

namespace pixora {

TMarkBlend::TMarkBlend(int occupancy, int32_t stroke, int32_t fill, bool changeTransparency,
                       bool withInterior)
    : ChangeTransparency(changeTransparency), WithInterior(withInterior) {
    const int occ = std::clamp(occupancy, 0, 100);
    Kept = 100 - occ;
    for (int b = 0; b < 256; ++b)
        KeptOf[static_cast<std::size_t>(b)] = static_cast<uint8_t>(b * Kept / 100);
    const auto part = [occ](int32_t c) {
        return std::array<int, 3>{BlueOf(c) * occ / 100, GreenOf(c) * occ / 100, RedOf(c) * occ / 100};
    };
    Stroke = part(stroke);
    Fill = part(fill);
#ifdef PIXORA_SOFTEN_X86
    const soften::TDivision hundred(100, 255 * 100);
    KeptM = hundred.M;
    KeptShift = hundred.Shift;
    Vectors = hundred.Found && __builtin_cpu_supports("avx2");
#endif
}

namespace {

// Whether any of the eight overlay pixels from m on has a red byte of 0 or 1.
inline bool AnyMark8(const uint8_t* m) {
    unsigned any = 0;
    for (int k = 0; k < 8; ++k)
        any |= m[k * 4 + 2] <= 1 ? 1u : 0u;
    return any != 0;
}

// The rule, pixel by pixel, over the columns [x, end).
void PaintMarkPixels(uint8_t* p, const uint8_t* m, int x, int end, int y, const TMarkBlend& k,
                     const SelectionEditTest& test) {
    p += static_cast<std::size_t>(x) * 4;
    m += static_cast<std::size_t>(x) * 4;
    for (; x < end; ++x, m += 4, p += 4) {
        // Runs of untouched overlay are stepped over eight pixels at a time.
        if ((x & 7) == 0 && x + 8 <= end && !AnyMark8(m)) {
            x += 7;
            m += 28;
            p += 28;
            continue;
        }
        const uint8_t mark = m[2];
        if (mark > 1 || (mark == 1 && !k.WithInterior)) continue;
        if (!test.Test(x, y)) continue;
        const std::array<int, 3>& c = mark == 0 ? k.Stroke : k.Fill;
        for (int i = 0; i < 3; ++i)
            p[i] = static_cast<uint8_t>(std::min(c[i] + k.KeptOf[p[i]], 255));
        if (k.ChangeTransparency) p[3] = 0;
    }
}

#ifdef PIXORA_SOFTEN_X86

using soften::V;

PIXORA_AVX2 inline V Colour(const std::array<int, 3>& c) {
    return _mm256_set1_epi32(c[0] | c[1] << 8 | c[2] << 16);
}

// Bytes widened to 16 bits, each x Kept div 100.
PIXORA_AVX2 inline V Keep(V half, V kept, V mul, __m128i shift) {
    return _mm256_srl_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(half, kept), mul), shift);
}

// The rule eight pixels at a time over whole groups of eight; returns the
// first column left. b x Kept div 100 is a multiply and an exact multiply
// by the reciprocal; the sum saturates at 255 as the rule's minimum does.
PIXORA_AVX2 int PaintMarkVectors(uint8_t* p, const uint8_t* m, int width, const TMarkBlend& k) {
    const V stroke = Colour(k.Stroke), fill = Colour(k.Fill), zero = _mm256_setzero_si256();
    const V one = _mm256_set1_epi32(1), redByte = _mm256_set1_epi32(0xFF0000);
    const V kept = _mm256_set1_epi16(static_cast<short>(k.Kept));
    const V mul = _mm256_set1_epi16(static_cast<short>(static_cast<uint16_t>(k.KeptM)));
    const __m128i shift = _mm_cvtsi32_si128(k.KeptShift);
    const V colourBytes = _mm256_set1_epi32(0x00FFFFFF);
    const V fourth = k.ChangeTransparency ? zero : _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const V ov =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + static_cast<std::size_t>(x) * 4));
        const V red = _mm256_srli_epi32(_mm256_and_si256(ov, redByte), 16);
        const V isStroke = _mm256_cmpeq_epi32(red, zero);
        const V marked = k.WithInterior ? _mm256_or_si256(isStroke, _mm256_cmpeq_epi32(red, one)) : isStroke;
        if (_mm256_testz_si256(marked, marked)) continue;
        V* at = reinterpret_cast<V*>(p + static_cast<std::size_t>(x) * 4);
        const V px = _mm256_loadu_si256(at);
        const V keptBytes = _mm256_packus_epi16(Keep(_mm256_unpacklo_epi8(px, zero), kept, mul, shift),
                                                Keep(_mm256_unpackhi_epi8(px, zero), kept, mul, shift));
        const V sum = _mm256_adds_epu8(_mm256_blendv_epi8(fill, stroke, isStroke), keptBytes);
        const V painted = _mm256_or_si256(_mm256_and_si256(sum, colourBytes), _mm256_and_si256(px, fourth));
        _mm256_storeu_si256(at, _mm256_blendv_epi8(px, painted, marked));
    }
    return x;
}

#endif

} // namespace

void PaintMarkRow(uint8_t* p, const uint8_t* m, int width, int y, const TMarkBlend& k,
                  const SelectionEditTest& test) {
    int x = 0;
#ifdef PIXORA_SOFTEN_X86
    if (k.Vectors && !test.Active()) x = PaintMarkVectors(p, m, width, k);
#endif
    PaintMarkPixels(p, m, x, width, y, k, test);
}

} // namespace pixora
