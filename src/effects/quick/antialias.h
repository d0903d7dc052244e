#pragma once
// Antialiasing: every pixel that passes the pixel test pulls those of its
// four neighbours whose colour differs one sixth of the way towards its own.
// The image wraps around (the right neighbour of the last column is column
// 0, the row above the first is the last), the pixels are changed in place
// so later pixels see the smoothed values, and column 0 is never a centre.
// The order of the walk matters: a second thread may only follow the
// first (see AntialiasEveryPixel).

#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "effects/quick/quick_frame.h"

namespace pixora::quick {

// n + (c - n) / 6 as c + (n - c) * 50 / 60 rounded to nearest, halves to
// even (the quotient is exact in rationals: (c + 5 n) / 6).
constexpr uint8_t TowardsCentre(int c, int n) {
    const int v = c + 5 * n;
    int q = v / 6;
    const int r = v % 6;
    if (r > 3 || (r == 3 && (q & 1))) ++q;
    return static_cast<uint8_t>(q);
}

// TowardsCentre depends on c + 5 n only: its value for every such sum, a
// table small enough to stay in the first-level cache (the walk waits on
// each lookup, since every centre is the value its left neighbour just
// wrote).
constexpr int kTowardsSums = 255 * 6 + 1;
using TTowardsTable = std::array<uint8_t, kTowardsSums>;
const TTowardsTable& TowardsTable();

// The walk over every pixel (no pixel test), in the same order's results:
// each row's centres first, one after the other, then the pulls that do not
// feed the next centre (the left, upper and lower neighbours), a block of
// columns at a time. On a large image, on a machine with four hardware
// threads or more, a second thread follows the first with everything the
// next row's centres do not wait for; TRowBandsOverride(1) keeps the walk
// on one thread, (2) forces two.
void AntialiasEveryPixel(Bitmap& bitmap);

template <class Test = TAllPixels> void Antialiasing(Bitmap& bitmap, const Test& test = {}) {
    if (bitmap.Empty()) return;
    if constexpr (std::is_same_v<Test, TAllPixels>) {
        AntialiasEveryPixel(bitmap);
        return;
    }
    const TTowardsTable& towards = TowardsTable();
    const int w = bitmap.Width(), h = bitmap.Height();
    // Pixels as words; the fourth byte never changes. A neighbour of the
    // same colour needs no test: TowardsCentre(c, c) is c.
    auto pulled = [&towards](uint32_t n, uint32_t c) {
        return (n & 0xFF000000u) | towards[(c & 0xFF) + 5 * (n & 0xFF)] |
               static_cast<uint32_t>(towards[((c >> 8) & 0xFF) + 5 * ((n >> 8) & 0xFF)]) << 8 |
               static_cast<uint32_t>(towards[((c >> 16) & 0xFF) + 5 * ((n >> 16) & 0xFF)]) << 16;
    };
    auto pull = [&pulled](uint8_t* q, uint32_t c) {
        uint32_t n;
        std::memcpy(&n, q, 4);
        n = pulled(n, c);
        std::memcpy(q, &n, 4);
        return n;
    };
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bitmap.Row(y);
        uint8_t* up = bitmap.Row(y == 0 ? h - 1 : y - 1);
        uint8_t* down = bitmap.Row(y == h - 1 ? 0 : y + 1);
        // The right neighbour just written is the next centre: kept in a
        // register, the walk need not wait for it to come back from memory.
        bool carried = false;
        uint32_t next = 0;
        for (int x = 1; x < w; ++x) {
            if (!test(x, y)) {
                carried = false;
                continue;
            }
            const std::ptrdiff_t at = 4 * static_cast<std::ptrdiff_t>(x);
            uint32_t c = next;
            if (!carried) std::memcpy(&c, row + at, 4);
            pull(row + at - 4, c);
            next = pull(row + (x == w - 1 ? 0 : at + 4), c);
            carried = true;
            pull(up + at, c);
            pull(down + at, c);
        }
    }
}

} // namespace pixora::quick
