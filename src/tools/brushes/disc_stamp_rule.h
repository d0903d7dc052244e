#pragma once
// The disc every stamp brush paints: the pixels around the pointer whose
// integer distance to it is at most half the diameter, inside the image and
// passed by the selection edit test. They are visited in place, rows top to
// bottom and columns left to right, so a rule that reads its neighbours sees
// the ones this stamp has already changed.
//
// Only the stamp's bounding square is touched: a stamp costs O(D²) however
// large the image is.

#include <algorithm>
#include <cstdint>

#include "doc/bitmap.h"
#include "doc/records.h"
#include "tools/selection.h"
#include "tools/shapes/int_distance.h"

namespace pixora {

// Where a stamp lands and how large it is.
struct TDisc {
    int X = 0; // centre, image coordinates
    int Y = 0;
    int Diameter = 0; // the option box's size
    int Radius() const { return Diameter / 2; }
    // The bounding square of the pixels a stamp may change.
    TRect Reach() const { return {X - Radius(), Y - Radius(), X + Radius() + 1, Y + Radius() + 1}; }
};

inline uint8_t ClampByte(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

// Calls rule(p, x, y, d) for every pixel of the disc on a 32-bit image: p
// points at its B, G, R, T bytes, d is its distance to the centre (0..r).
template <class Rule>
void ForEachDiscPixel(Bitmap& image, const TDisc& disc, const SelectionEditTest& test, Rule&& rule) {
    const int r = disc.Radius();
    if (r < 0 || image.BitsPerPixel() != 32 || image.Empty()) return;
    const int64_t cx = disc.X, cy = disc.Y;
    const int x0 = static_cast<int>(std::max<int64_t>(cx - r, 0));
    const int x1 = static_cast<int>(std::min<int64_t>(cx + r, image.Width() - 1));
    const int y0 = static_cast<int>(std::max<int64_t>(cy - r, 0));
    const int y1 = static_cast<int>(std::min<int64_t>(cy + r, image.Height() - 1));
    for (int y = y0; y <= y1; ++y) {
        const int64_t dy2 = (y - cy) * (y - cy);
        uint8_t* p = image.Row(y) + static_cast<std::size_t>(x0) * 4;
        for (int x = x0; x <= x1; ++x, p += 4) {
            const int d = IntDistance((x - cx) * (x - cx) + dy2);
            if (d > r || !test.Test(x, y)) continue;
            rule(p, x, y, d);
        }
    }
}

} // namespace pixora
