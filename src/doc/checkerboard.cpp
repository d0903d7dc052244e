#include "doc/checkerboard.h"

#include "doc/row_ranges.h"
#include "doc/view_geometry.h"

#include <algorithm>
#include <atomic>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>
#include <thread>
#include <vector>

namespace pixora {

namespace {

std::array<uint8_t, 256> MakeShareTable() {
    std::array<uint8_t, 256> t{};
    for (int a = 0; a < 256; ++a)
        t[static_cast<std::size_t>(a)] = static_cast<uint8_t>(RoundDivHalfEven(int64_t{a} * 100, 255));
    return t;
}

#if defined(__SSE2__)
// x / 100 for every 16-bit lane x <= 25,500: (x * 5243) >> 19, exact over
// that range.
inline __m128i Div100(__m128i x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(0x147B)), 3); }

// The blend of whole groups of four pixels in 16-bit lanes; returns how many
// pixels it did. Per pixel, b = (a x 100 + 127) div 255, which is a / 255 x
// 100 rounded (255 is odd, so there is never a tie), computed as
// (y x 0x8081) >> 23, exact for y <= 25,627. The T lanes get b = 0, so the
// formula hands their byte back unchanged.
inline int BlendPixelsSse2(const uint8_t* img, const uint8_t* disp, const uint8_t* chk, uint8_t* out, int width) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i hundred = _mm_set1_epi16(100);
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        // a in the low half of each pixel's 32 bits, 0 in the high half.
        const __m128i a = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(img + 4 * x)), 24);
        const __m128i y = _mm_add_epi16(_mm_mullo_epi16(a, hundred), _mm_set1_epi32(127));
        __m128i b = _mm_srli_epi16(_mm_mulhi_epu16(y, _mm_set1_epi32(0x8081)), 7);
        b = _mm_or_si128(b, _mm_slli_epi32(b, 16));
        const __m128i bLo = _mm_and_si128(_mm_unpacklo_epi32(b, b), colourLanes);  // pixels 0 and 1
        const __m128i bHi = _mm_and_si128(_mm_unpackhi_epi32(b, b), colourLanes);  // pixels 2 and 3
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(disp + 4 * x));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chk + 4 * x));
        const __m128i lo = _mm_add_epi16(Div100(_mm_mullo_epi16(_mm_sub_epi16(hundred, bLo), _mm_unpacklo_epi8(d, zero))),
                                         Div100(_mm_mullo_epi16(bLo, _mm_unpacklo_epi8(c, zero))));
        const __m128i hi = _mm_add_epi16(Div100(_mm_mullo_epi16(_mm_sub_epi16(hundred, bHi), _mm_unpackhi_epi8(d, zero))),
                                         Div100(_mm_mullo_epi16(bHi, _mm_unpackhi_epi8(c, zero))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_packus_epi16(lo, hi));
    }
    return x;
}
#endif

// Blends one row: img holds the transparency, disp the colour to blend (may
// be the same memory as img), out receives the result. `shares` is scratch
// space of width x 4 bytes.
//
// Where the vector unit is known, groups of four pixels go through it; the
// rest takes two passes: the first spreads each pixel's checkerboard share b
// over its three colour bytes (0 on the T byte), the second works on plain
// bytes, which the compiler turns into vector code. With b = 0 the formula
// gives the display value back, so opaque pixels and T bytes need no branch.
inline void BlendRow(const uint8_t* img, const uint8_t* disp, const uint8_t* chk, uint8_t* out, int width,
                     const uint8_t* share, uint8_t* shares) {
    int first = 0;
#if defined(__SSE2__)
    first = BlendPixelsSse2(img, disp, chk, out, width);
#endif
    for (int x = first; x < width; ++x) {
        // b in the three colour bytes (B, G, R order in memory), 0 in T.
        const uint32_t b = share[img[4 * x + 3]];
        const uint8_t spread[4] = {static_cast<uint8_t>(b), static_cast<uint8_t>(b), static_cast<uint8_t>(b), 0};
        std::memcpy(shares + 4 * x, spread, 4);
    }
    const int bytes = 4 * width;
    for (int i = 4 * first; i < bytes; ++i) {
        const uint16_t b = shares[i];
        const uint16_t keep = static_cast<uint16_t>(100 - b);
        out[i] = static_cast<uint8_t>(static_cast<uint16_t>(keep * disp[i]) / 100 +
                                      static_cast<uint16_t>(b * chk[i]) / 100);
    }
}

// Blends columns [x0, x0 + width) of rows [y0, y1) of `display` (`source`
// supplies the colours, which may be the display itself).
void BlendRows(const Bitmap& image, const Bitmap& source, const Bitmap& checker, Bitmap& display, int width,
               int y0, int y1, int x0 = 0) {
    const uint8_t* share = CheckerShareTable().data();
    std::vector<uint8_t> shares(static_cast<std::size_t>(width) * 4);
    const std::size_t at = static_cast<std::size_t>(x0) * 4;
    for (int y = y0; y < y1; ++y)
        BlendRow(image.Row(y) + at, source.Row(y) + at, checker.Row(y % checker.Height()) + at, display.Row(y) + at,
                 width, share, shares.data());
}

bool SameShape(const Bitmap& a, const Bitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitsPerPixel() == b.BitsPerPixel();
}

// Whether `checker` has a row for every pixel of a width x height picture:
// as tall as the picture, or a band of whole cell pairs that repeats
// downwards (row y of the picture reads row y mod height of the band).
bool CheckerCovers(const Bitmap& checker, int width, int height) {
    return checker.BitsPerPixel() == 32 && !checker.Empty() && checker.Width() >= width &&
           (checker.Height() >= height || checker.Height() % kCheckerBand == 0);
}

// Gives dst the shape of src without copying pixels, keeping its storage if
// it already fits.
void Reshape(const Bitmap& src, Bitmap& dst) {
    if (SameShape(src, dst)) return;
    if (dst.BitsPerPixel() != src.BitsPerPixel()) {
        dst.Clear();
        dst.SetBitsPerPixel(src.BitsPerPixel());
    }
    dst.SetSize(src.Width(), src.Height());
}

} // namespace

void BuildCheckerboard(Bitmap& checker, int width, int height) {
    if (checker.BitsPerPixel() != 32) {
        checker.Clear();
        checker.SetBitsPerPixel(32);
    }
    if (checker.Width() != width || checker.Height() != height) checker.SetSize(width, height);
    if (checker.Empty()) return;
    // Two row patterns, one starting grey and one starting white; every band
    // of ten rows is a copy of one of them.
    const std::size_t stride = checker.Stride();
    std::unique_ptr<uint8_t[]> patterns(new uint8_t[2 * stride]);
    for (int phase = 0; phase < 2; ++phase) {
        uint8_t* p = patterns.get() + static_cast<std::size_t>(phase) * stride;
        for (int x = 0; x < width; ++x) {
            const uint8_t v = ((x / kCheckerCell + phase) & 1) ? kCheckerWhite : kCheckerGrey;
            p[4 * x + 0] = v;
            p[4 * x + 1] = v;
            p[4 * x + 2] = v;
            p[4 * x + 3] = 0;
        }
    }
    // A fresh image-sized checkerboard is mostly the system clearing its
    // pages on first touch: both cores share that.
    ForRowRanges(height, checker.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::size_t phase = static_cast<std::size_t>((y / kCheckerCell) & 1);
            std::memcpy(checker.Row(y), patterns.get() + phase * stride, stride);
        }
    });
}

void BuildCheckerBand(Bitmap& checker, int width, int height) {
    BuildCheckerboard(checker, width, std::min(height, kCheckerBand));
}

const std::array<uint8_t, 256>& CheckerShareTable() {
    static const std::array<uint8_t, 256> table = MakeShareTable();
    return table;
}

uint8_t CheckerShare(uint8_t transparency) { return CheckerShareTable()[transparency]; }

void CopyBitmapInto(const Bitmap& src, Bitmap& dst) {
    if (&src == &dst) return;
    Reshape(src, dst);
    if (src.Empty()) return;
    const std::size_t stride = src.Stride();
    const uint8_t* from = src.Data();
    uint8_t* to = dst.Data();
    ForRowRanges(src.Height(), src.ByteSize(), [&](int y0, int y1) {
        const std::size_t first = stride * static_cast<std::size_t>(y0);
        std::memcpy(to + first, from + first, stride * static_cast<std::size_t>(y1 - y0));
    });
}

void BlendTransparency(const Bitmap& image, const Bitmap& checker, Bitmap& display) {
    if (image.BitsPerPixel() != 32 || checker.BitsPerPixel() != 32 || display.BitsPerPixel() != 32) return;
    const int width = std::min({image.Width(), checker.Width(), display.Width()});
    int height = std::min(image.Height(), display.Height());
    if (!CheckerCovers(checker, width, height)) height = std::min(height, checker.Height());
    if (width <= 0 || height <= 0) return;
    ForRowRanges(height, static_cast<std::size_t>(width) * 4 * static_cast<std::size_t>(height),
                 [&](int y0, int y1) { BlendRows(image, display, checker, display, width, y0, y1); });
}

void MakeDisplayCopy(const Bitmap& image, const Bitmap& checker, Bitmap& display, bool blend) {
    // A copy of another size is made afresh whole: the old one goes first,
    // so that the two are never held at once (a rotation's peak).
    if (!SameShape(image, display)) display.Clear();
    const bool fits = blend && image.BitsPerPixel() == 32 && CheckerCovers(checker, image.Width(), image.Height());
    if (!fits) {
        CopyBitmapInto(image, display);
        if (blend) BlendTransparency(image, checker, display);
        return;
    }
    Reshape(image, display);
    if (image.Empty()) return;
    const int width = image.Width();
    ForRowRanges(image.Height(), image.ByteSize(),
                 [&](int y0, int y1) { BlendRows(image, image, checker, display, width, y0, y1); });
}

bool IsDisplayCopyOf(const Bitmap& image, const Bitmap& checker, const Bitmap& display) {
    if (!SameShape(image, display)) return false;
    if (image.BitsPerPixel() != 32 || !CheckerCovers(checker, image.Width(), image.Height()))
        return SameBitmap(image, display);
    const int width = image.Width();
    const std::size_t bytes = static_cast<std::size_t>(width) * 4;
    std::atomic<bool> differs{false};
    ForRowRanges(image.Height(), 2 * image.ByteSize(), [&](int y0, int y1) {
        const uint8_t* share = CheckerShareTable().data();
        std::vector<uint8_t> blended(bytes), shares(bytes);
        for (int y = y0; y < y1 && !differs.load(std::memory_order_relaxed); ++y) {
            // Rows without transparency are the image's own bytes.
            if (std::memcmp(image.Row(y), display.Row(y), bytes) == 0) continue;
            BlendRow(image.Row(y), image.Row(y), checker.Row(y % checker.Height()), blended.data(), width, share,
                     shares.data());
            if (std::memcmp(blended.data(), display.Row(y), bytes) != 0) differs = true;
        }
    });
    return !differs;
}

void BlendedPixel(const uint8_t* pixel, int x, int y, uint8_t out[3]) {
    BlendedPixel(CheckerShareTable().data(), pixel, x, y, out);
}

bool RefreshDisplayArea(const Bitmap& image, const Bitmap& checker, Bitmap& display, const TRect& area) {
    if (image.BitsPerPixel() != 32 || !CheckerCovers(checker, image.Width(), image.Height()) ||
        !SameShape(image, display)) {
        MakeDisplayCopy(image, checker, display, true);
        return true;
    }
    const int x0 = std::max(area.Left, 0), x1 = std::min(area.Right, image.Width());
    const int y0 = std::max(area.Top, 0), y1 = std::min(area.Bottom, image.Height());
    if (x0 >= x1 || y0 >= y1) return false;
    const int width = x1 - x0;
    ForRowRanges(y1 - y0, static_cast<std::size_t>(width) * 4 * static_cast<std::size_t>(y1 - y0),
                 [&](int r0, int r1) { BlendRows(image, image, checker, display, width, y0 + r0, y0 + r1, x0); });
    return false;
}

} // namespace pixora
