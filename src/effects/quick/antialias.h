#pragma once
// Antialiasing: every pixel that passes the pixel test pulls those of its
// four neighbours whose colour differs one sixth of the way towards its own.
// The image wraps around (the right neighbour of the last column is column
// 0, the row above the first is the last), the pixels are changed in place
// so later pixels see the smoothed values, and column 0 is never a centre.
// The order of the walk matters, so it runs on one thread.

#include <array>
#include <cstdint>

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

// TowardsCentre for every centre and neighbour byte, indexed [c][n].
using TTowardsTable = std::array<std::array<uint8_t, 256>, 256>;
const TTowardsTable& TowardsTable();

template <class Test = TAllPixels> void Antialiasing(Bitmap& bitmap, const Test& test = {}) {
    if (bitmap.Empty()) return;
    const TTowardsTable& towards = TowardsTable();
    const int w = bitmap.Width(), h = bitmap.Height();
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bitmap.Row(y);
        uint8_t* up = bitmap.Row(y == 0 ? h - 1 : y - 1);
        uint8_t* down = bitmap.Row(y == h - 1 ? 0 : y + 1);
        for (int x = 1; x < w; ++x) {
            if (!test(x, y)) continue;
            const uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
            const uint8_t c[3] = {p[0], p[1], p[2]};
            const std::ptrdiff_t right = 4 * static_cast<std::ptrdiff_t>(x == w - 1 ? 0 : x + 1);
            uint8_t* around[4] = {row + 4 * static_cast<std::ptrdiff_t>(x - 1), row + right,
                                  up + 4 * static_cast<std::ptrdiff_t>(x),
                                  down + 4 * static_cast<std::ptrdiff_t>(x)};
            for (uint8_t* n : around) {
                if (n[0] == c[0] && n[1] == c[1] && n[2] == c[2]) continue;
                for (int k = 0; k < 3; ++k)
                    n[k] = towards[c[k]][n[k]];
            }
        }
    }
}

} // namespace pixora::quick
