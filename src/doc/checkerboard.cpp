#include "doc/checkerboard.h"

#include "doc/row_ranges.h"
#include "doc/view_geometry.h"

#include <algorithm>
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

// Blends one row: img holds the transparency, disp the colour to blend (may
// be the same memory as img), out receives the result. `shares` is scratch
// space of width x 4 bytes.
//
// The first pass spreads each pixel's checkerboard share b over its three
// colour bytes (0 on the T byte); the second then works on plain bytes,
// which the compiler turns into vector code. With b = 0 the formula gives
// the display value back, so opaque pixels and T bytes need no branch.
inline void BlendRow(const uint8_t* img, const uint8_t* disp, const uint8_t* chk, uint8_t* out, int width,
                     const uint8_t* share, uint8_t* shares) {
    for (int x = 0; x < width; ++x) {
        // b in the three colour bytes (B, G, R order in memory), 0 in T.
        const uint32_t b = share[img[4 * x + 3]];
        const uint8_t spread[4] = {static_cast<uint8_t>(b), static_cast<uint8_t>(b), static_cast<uint8_t>(b), 0};
        std::memcpy(shares + 4 * x, spread, 4);
    }
    const int bytes = 4 * width;
    for (int i = 0; i < bytes; ++i) {
        const uint16_t b = shares[i];
        const uint16_t keep = static_cast<uint16_t>(100 - b);
        out[i] = static_cast<uint8_t>(static_cast<uint16_t>(keep * disp[i]) / 100 +
                                      static_cast<uint16_t>(b * chk[i]) / 100);
    }
}

// Blends rows [y0, y1) of `display` (`source` supplies the colours, which
// may be the display itself).
void BlendRows(const Bitmap& image, const Bitmap& source, const Bitmap& checker, Bitmap& display, int width,
               int y0, int y1) {
    const uint8_t* share = CheckerShareTable().data();
    std::vector<uint8_t> shares(static_cast<std::size_t>(width) * 4);
    for (int y = y0; y < y1; ++y)
        BlendRow(image.Row(y), source.Row(y), checker.Row(y), display.Row(y), width, share, shares.data());
}

bool SameShape(const Bitmap& a, const Bitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitsPerPixel() == b.BitsPerPixel();
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
    for (int y = 0; y < height; ++y) {
        const std::size_t phase = static_cast<std::size_t>((y / kCheckerCell) & 1);
        std::memcpy(checker.Row(y), patterns.get() + phase * stride, stride);
    }
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
    const int height = std::min({image.Height(), checker.Height(), display.Height()});
    if (width <= 0 || height <= 0) return;
    ForRowRanges(height, static_cast<std::size_t>(width) * 4 * static_cast<std::size_t>(height),
                 [&](int y0, int y1) { BlendRows(image, display, checker, display, width, y0, y1); });
}

void MakeDisplayCopy(const Bitmap& image, const Bitmap& checker, Bitmap& display, bool blend) {
    const bool fits = blend && image.BitsPerPixel() == 32 && SameShape(image, checker);
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

} // namespace pixora
