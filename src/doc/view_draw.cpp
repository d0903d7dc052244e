#include "doc/view_draw.h"

#include <algorithm>

namespace pixora {

namespace {

struct Span {
    int X0, Y0, X1, Y1;
};

// The part of [x0, x1) x [y0, y1) inside the bitmap.
Span Clip(const Bitmap& bm, int x0, int y0, int x1, int y1) {
    return {std::max(x0, 0), std::max(y0, 0), std::min(x1, bm.Width()), std::min(y1, bm.Height())};
}

} // namespace

void FillGreyBlock(Bitmap& bitmap, int left, int top, int right, int bottom, uint8_t level) {
    const Span s = Clip(bitmap, left, top, right, bottom);
    for (int y = s.Y0; y < s.Y1; ++y) {
        uint8_t* p = bitmap.Row(y) + 4 * s.X0;
        for (int x = s.X0; x < s.X1; ++x, p += 4) {
            p[0] = p[1] = p[2] = level;
            p[3] = 0;
        }
    }
}

void FrameRectangle(Bitmap& bitmap, int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    FillGreyBlock(bitmap, left, top, right, bottom, 0);
    FillGreyBlock(bitmap, left + 1, top + 1, right - 1, bottom - 1, 255);
}

void InvertFrame(Bitmap& bitmap, int left, int top, int right, int bottom, int penWidth) {
    if (penWidth < 1) penWidth = 1;
    // A one-pixel outline runs along column left and column right - 1 (rows
    // likewise); a wider pen spreads about those lines.
    const int before = (penWidth - 1) / 2;
    const int after = penWidth - 1 - before;
    const int outerL = left - before, outerT = top - before;
    const int outerR = right + after, outerB = bottom + after;
    const int innerL = left + after + 1, innerT = top + after + 1;
    const int innerR = right - 1 - before, innerB = bottom - 1 - before;
    const Span s = Clip(bitmap, outerL, outerT, outerR, outerB);
    for (int y = s.Y0; y < s.Y1; ++y) {
        const bool band = y < innerT || y >= innerB;
        uint8_t* row = bitmap.Row(y);
        for (int x = s.X0; x < s.X1; ++x) {
            if (!band && x >= innerL && x < innerR) {
                x = innerR - 1;  // skip the inside
                continue;
            }
            uint8_t* p = row + 4 * x;
            p[0] = static_cast<uint8_t>(~p[0]);
            p[1] = static_cast<uint8_t>(~p[1]);
            p[2] = static_cast<uint8_t>(~p[2]);
        }
    }
}

} // namespace pixora
