#include "tools/shapes/soften_edges.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "effects/engine/round_mode.h"

namespace pixora {

namespace {

// Pulled[s * 256 + n]: byte n pulled toward stroke byte s.
std::unique_ptr<uint8_t[]> PullTable(int a) {
    auto table = std::make_unique<uint8_t[]>(256 * 256);
    TRoundToNearest nearest;
    for (int s = 0; s < 256; ++s)
        for (int n = 0; n < 256; ++n) {
            const double v = s + static_cast<double>((n - s) * 50) / (a + 50);
            table[static_cast<std::size_t>(s * 256 + n)] = static_cast<uint8_t>(RoundHalfEven(v));
        }
    return table;
}

inline void Pull(uint8_t* n, const uint8_t* s, const uint8_t* table) {
    if (std::memcmp(n, s, 4) == 0) return;
    for (int i = 0; i < 4; ++i)
        n[i] = table[s[i] * 256 + n[i]];
}

} // namespace

void SoftenStrokeEdges(Bitmap& image, const Bitmap& overlay, int strength) {
    const int w = image.Width(), h = image.Height();
    if (image.Empty() || image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32 || overlay.Width() != w ||
        overlay.Height() != h)
        return;
    // Below 0 the pull would overshoot past the stroke's own value.
    const auto table = PullTable(std::max(strength, 0));
    const uint8_t* t = table.get();
    for (int y = 0; y < h; ++y) {
        const uint8_t* o = overlay.Row(y);
        uint8_t* row = image.Row(y);
        uint8_t* above = image.Row(y == 0 ? h - 1 : y - 1);
        uint8_t* below = image.Row(y == h - 1 ? 0 : y + 1);
        for (int x = 1; x < w; ++x) {
            const std::size_t at = static_cast<std::size_t>(x) * 4;
            if (o[at] == 255) continue;
            const uint8_t* s = row + at;
            Pull(row + at - 4, s, t);
            Pull(row + (x + 1 == w ? 0 : at + 4), s, t);
            Pull(above + at, s, t);
            Pull(below + at, s, t);
        }
    }
}

} // namespace pixora
