// Soften and Sharpen. Inner pixels (all nine neighbours inside the image)
// go four at a time through 16-bit lanes; border pixels take the general
// rule with the centre standing in for missing neighbours.
#include "effects/quick/convolve.h"

#include <stdexcept>


namespace pixora::quick {

namespace {

struct TKernel3 {
    int W[3][3];
    int Divisor;
};

constexpr TKernel3 kSoften{{{1, 2, 1}, {2, 20, 2}, {1, 2, 1}}, 32};
constexpr TKernel3 kSharpen{{{0, -1, 0}, {-1, 6, -1}, {0, -1, 0}}, 2};

const TKernel3& KernelOf(TConvolution kind) {
    return kind == TConvolution::Soften ? kSoften : kSharpen;
}

// The rule as written, for any pixel.
void GeneralPixel(const TKernel3& k, const Bitmap& src, int x, int y, uint8_t* out) {
    const int w = src.Width(), h = src.Height();
    const uint8_t* centre = src.Row(y) + 4 * static_cast<std::ptrdiff_t>(x);
    int sum[3] = {0, 0, 0};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            const bool inside = nx >= 0 && ny >= 0 && nx < w && ny < h;
            const uint8_t* s = inside ? src.Row(ny) + 4 * static_cast<std::ptrdiff_t>(nx) : centre;
            for (int c = 0; c < 3; ++c)
                sum[c] += k.W[dy + 1][dx + 1] * s[c];
        }
    for (int c = 0; c < 3; ++c)
        out[c] = Clamp255(sum[c] / k.Divisor);
}

#if PIXORA_QUICK_SSE2
// Pixels x..x+3 of an inner row; u, m, d are the rows above, at and below.
inline __m128i InnerGroup(TConvolution kind, const uint8_t* u, const uint8_t* m, const uint8_t* d, int x) {
    const __m128i zero = _mm_setzero_si128();
    auto at = [x](const uint8_t* row, int dx) {
        return _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(row + 4 * static_cast<std::ptrdiff_t>(x + dx)));
    };
    const __m128i mC = at(m, 0), mL = at(m, -1), mR = at(m, 1), uC = at(u, 0), dC = at(d, 0);
    __m128i half[2];
    if (kind == TConvolution::Soften) {
        const __m128i uL = at(u, -1), uR = at(u, 1), dL = at(d, -1), dR = at(d, 1);
        for (int i = 0; i < 2; ++i) {
            auto wide = [&](__m128i v) {
                return i == 0 ? _mm_unpacklo_epi8(v, zero) : _mm_unpackhi_epi8(v, zero);
            };
            const __m128i corners =
                _mm_add_epi16(_mm_add_epi16(wide(uL), wide(uR)), _mm_add_epi16(wide(dL), wide(dR)));
            const __m128i edges =
                _mm_add_epi16(_mm_add_epi16(wide(uC), wide(dC)), _mm_add_epi16(wide(mL), wide(mR)));
            const __m128i c = wide(mC);
            const __m128i centre = _mm_add_epi16(_mm_slli_epi16(c, 4), _mm_slli_epi16(c, 2)); // 20 c
            const __m128i sum = _mm_add_epi16(_mm_add_epi16(corners, _mm_slli_epi16(edges, 1)), centre);
            half[i] = _mm_srli_epi16(sum, 5);
        }
    } else {
        for (int i = 0; i < 2; ++i) {
            auto wide = [&](__m128i v) {
                return i == 0 ? _mm_unpacklo_epi8(v, zero) : _mm_unpackhi_epi8(v, zero);
            };
            const __m128i edges =
                _mm_add_epi16(_mm_add_epi16(wide(uC), wide(dC)), _mm_add_epi16(wide(mL), wide(mR)));
            const __m128i c = wide(mC);
            const __m128i six = _mm_add_epi16(_mm_slli_epi16(c, 2), _mm_slli_epi16(c, 1));
            const __m128i s = _mm_sub_epi16(six, edges);
            // Halving towards zero: a negative sum gets one added first.
            half[i] = _mm_srai_epi16(_mm_add_epi16(s, _mm_srli_epi16(s, 15)), 1);
        }
    }
    return _mm_packus_epi16(half[0], half[1]);
}
#endif

} // namespace

void CheckConvolutionPair(const Bitmap& source, const Bitmap& target) {
    if (&source == &target)
        throw std::invalid_argument("the convolution reads an unchanged copy of the image");
    if (source.BitsPerPixel() != 32 || target.BitsPerPixel() != 32 || source.Width() != target.Width() ||
        source.Height() != target.Height())
        throw std::invalid_argument("the convolution needs two 32-bit bitmaps of one size");
}

void ConvolveRun(TConvolution kind, const Bitmap& source, Bitmap& target, int y, int x0, int x1) {
    const TKernel3& k = KernelOf(kind);
    const int w = source.Width(), h = source.Height();
    uint8_t* out = target.Row(y);
    int x = x0;
    if (y > 0 && y < h - 1) {
        const uint8_t* u = source.Row(y - 1);
        const uint8_t* m = source.Row(y);
        const uint8_t* d = source.Row(y + 1);
        // The first column has no left neighbour.
        if (x == 0 && x < x1) GeneralPixel(k, source, x++, y, out);
#if PIXORA_QUICK_SSE2
        const __m128i colours = _mm_set1_epi32(0x00FFFFFF);
        for (; x + 3 < x1 && x + 3 <= w - 2; x += 4) {
            __m128i* q = reinterpret_cast<__m128i*>(out + 4 * static_cast<std::ptrdiff_t>(x));
            const __m128i v = InnerGroup(kind, u, m, d, x);
            _mm_storeu_si128(
                q, _mm_or_si128(_mm_and_si128(v, colours), _mm_andnot_si128(colours, _mm_loadu_si128(q))));
        }
#endif
    }
    for (; x < x1; ++x)
        GeneralPixel(k, source, x, y, out + 4 * static_cast<std::ptrdiff_t>(x));
}

} // namespace pixora::quick
