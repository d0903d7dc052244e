#pragma once
// The pixels of the straight line from (x0, y0) to (x1, y1) in Bresenham's
// order: the start first, every pixel up to the end, the end itself left
// out (a line whose ends meet visits nothing).

#include <cstdlib>

namespace pixora {

template <class Visit> void WalkLine(int x0, int y0, int x1, int y1, Visit&& visit) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        visit(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace pixora
