#include "tools/brushes/copy_brush_rule.h"

namespace pixora {

void CopyBrushStamp(Bitmap& image, const Bitmap& base, const TDisc& disc, TPoint press, bool changeAlpha,
                    const SelectionEditTest& test) {
    const int r = disc.Radius();
    const int e = 4 * r;
    // A stamp of radius 0 has no weight to blend with.
    if (e <= 0 || base.BitsPerPixel() != 32) return;
    const int channels = changeAlpha ? 4 : 3;
    const int64_t shiftX = static_cast<int64_t>(press.X) - disc.X;
    const int64_t shiftY = static_cast<int64_t>(press.Y) - disc.Y;
    ForEachDiscPixel(image, disc, test, [&](uint8_t* p, int x, int y, int d) {
        const int64_t sx = x + shiftX, sy = y + shiftY;
        if (sx < 0 || sy < 0 || sx >= base.Width() || sy >= base.Height()) return;
        const uint8_t* s = base.Row(static_cast<int>(sy)) + sx * 4;
        const int c = std::max(r - d, 0);
        for (int i = 0; i < channels; ++i)
            p[i] = ClampByte((p[i] * (e - c) + s[i] * c) / e);
    });
}

} // namespace pixora
