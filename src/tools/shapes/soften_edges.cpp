#include "tools/shapes/soften_edges.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include "effects/engine/round_mode.h"
#include "tools/shapes/soften_edges_bands.h"

namespace pixora {

namespace {

// Pulled[s * 256 + n]: byte n pulled toward stroke byte s, by the formula.
struct TPullTable {
    std::array<uint8_t, 256 * 256> Pulled;

    explicit TPullTable(int a) {
        TRoundToNearest nearest;
        for (int s = 0; s < 256; ++s)
            for (int n = 0; n < 256; ++n) {
                const double v = s + static_cast<double>((n - s) * 50) / (a + 50);
                Pulled[static_cast<std::size_t>(s * 256 + n)] = static_cast<uint8_t>(RoundHalfEven(v));
            }
    }
    const uint8_t* For(uint8_t s) const { return Pulled.data() + s * 256; }
};

// Pulls neighbour n toward stroke pixel s (its four bytes in one word),
// unless all four bytes agree. The result is stored as one word, so that the
// next stroke pixel, often this neighbour, reads it back without a stall.
static_assert(std::endian::native == std::endian::little, "bytes are taken from the low end of a word");
inline void Pull(uint8_t* n, uint32_t s, const uint8_t* const table[4]) {
    uint32_t v;
    std::memcpy(&v, n, 4);
    if (v == s) return;
    const uint32_t pulled = uint32_t{table[0][v & 255]} | uint32_t{table[1][(v >> 8) & 255]} << 8 |
                            uint32_t{table[2][(v >> 16) & 255]} << 16 | uint32_t{table[3][v >> 24]} << 24;
    std::memcpy(n, &pulled, 4);
}

// Whether any of the eight pixels from o on is a stroke pixel.
inline bool AnyStroke8(const uint8_t* o) {
    unsigned any = 0;
    for (int k = 0; k < 8; ++k)
        any |= o[k * 4] ^ 255u;
    return any != 0;
}

} // namespace

void SoftenStrokeEdges(Bitmap& image, const Bitmap& overlay, int strength) {
    // Below 0 the pull would overshoot past the stroke's own value.
    if (SoftenStrokeEdgesBands(image, overlay, std::max(strength, 0))) return;
    SoftenStrokeEdgesInOrder(image, overlay, strength);
}

void SoftenStrokeEdgesAndClear(Bitmap& image, Bitmap& overlay, int strength) {
    if (SoftenStrokeEdgesBandsAndClear(image, overlay, std::max(strength, 0))) return;
    SoftenStrokeEdgesInOrder(image, overlay, strength);
    overlay.Fill(255, 255, 255, 0);
}

void SoftenStrokeEdgesInOrder(Bitmap& image, const Bitmap& overlay, int strength) {
    const int w = image.Width(), h = image.Height();
    if (image.Empty() || image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32 || overlay.Width() != w ||
        overlay.Height() != h)
        return;
    // Below 0 the pull would overshoot past the stroke's own value.
    const auto table = std::make_unique<TPullTable>(std::max(strength, 0));
    for (int y = 0; y < h; ++y) {
        const uint8_t* o = overlay.Row(y);
        uint8_t* row = image.Row(y);
        uint8_t* above = image.Row(y == 0 ? h - 1 : y - 1);
        uint8_t* below = image.Row(y == h - 1 ? 0 : y + 1);
        for (int x = 1; x < w; ++x) {
            // Most of an image is no stroke: step over it eight pixels at a time.
            if ((x & 7) == 0 && x + 8 <= w && !AnyStroke8(o + static_cast<std::size_t>(x) * 4)) {
                x += 7;
                continue;
            }
            const std::size_t at = static_cast<std::size_t>(x) * 4;
            if (o[at] == 255) continue;
            const uint8_t* c = row + at;
            const uint8_t* const t[4] = {table->For(c[0]), table->For(c[1]), table->For(c[2]),
                                         table->For(c[3])};
            uint32_t s;
            std::memcpy(&s, c, 4);
            Pull(row + at - 4, s, t);
            Pull(row + (x + 1 == w ? 0 : at + 4), s, t);
            Pull(above + at, s, t);
            Pull(below + at, s, t);
        }
    }
}

} // namespace pixora
