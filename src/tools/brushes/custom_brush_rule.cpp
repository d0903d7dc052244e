#include "tools/brushes/custom_brush_rule.h"

namespace pixora {

void CustomBrushStamp(Bitmap& image, const Bitmap& brush, TPoint centre, int occupancy,
                      const SelectionEditTest& test) {
    if (image.BitsPerPixel() != 32 || brush.Empty()) return;
    const int bpp = brush.BytesPerPixel();
    if (bpp < 3) return;
    const int hw = brush.Width() / 2, hh = brush.Height() / 2;
    const int64_t left = static_cast<int64_t>(centre.X) - hw + 1;
    const int64_t top = static_cast<int64_t>(centre.Y) - hh + 1;
    const int64_t right = static_cast<int64_t>(centre.X) + hw - 1;
    const int64_t bottom = static_cast<int64_t>(centre.Y) + hh - 1;
    const int x0 = static_cast<int>(std::max<int64_t>(left, 0));
    const int x1 = static_cast<int>(std::min<int64_t>(right, image.Width() - 1));
    const int y0 = static_cast<int>(std::max<int64_t>(top, 0));
    const int y1 = static_cast<int>(std::min<int64_t>(bottom, image.Height() - 1));
    const int occ = occupancy, v = 100 - occupancy;
    for (int y = y0; y <= y1; ++y) {
        const uint8_t* b = brush.Row(static_cast<int>(y - top)) + static_cast<std::size_t>(x0 - left) * bpp;
        uint8_t* p = image.Row(y) + static_cast<std::size_t>(x0) * 4;
        for (int x = x0; x <= x1; ++x, p += 4, b += bpp) {
            if (b[0] == 255 && b[1] == 255 && b[2] == 255) continue;
            if (!test.Test(x, y)) continue;
            for (int i = 0; i < 3; ++i)
                p[i] = ClampByte(b[i] * occ / 100 + p[i] * v / 100);
        }
    }
}

TRect CustomBrushReach(const Bitmap& brush, TPoint centre) {
    const int hw = brush.Width() / 2, hh = brush.Height() / 2;
    return {centre.X - hw + 1, centre.Y - hh + 1, centre.X + hw, centre.Y + hh};
}

} // namespace pixora
