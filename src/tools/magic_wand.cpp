#include "tools/magic_wand.h"

#include <algorithm>

namespace pixora {

void WandRegion(const Bitmap& bitmap, int x, int y, TRegionGrid& grid, double t, int32_t referenceColour) {
    MarkRegion(bitmap, x, y, grid, TTolerance(t, referenceColour));
}

void PaintWandMask(Bitmap& bitmap, const TRegionGrid& grid, bool outline) {
    // The grid may come from a smaller bitmap; stay inside both.
    const int w = std::min(bitmap.Width(), grid.Width() - 5);
    const int h = std::min(bitmap.Height(), grid.Height() - 5);
    const std::size_t bpp = static_cast<std::size_t>(bitmap.BytesPerPixel());
    // Signed, so that the row above is a step back rather than a wrap around.
    const std::ptrdiff_t gw = grid.Width();
    for (int y = 1; y <= h - 2; ++y) {
        const uint8_t* g = grid.Cells() + grid.Index(0, y);
        uint8_t* p = bitmap.Row(y);
        for (int x = 1; x <= w - 2; ++x) {
            if (!g[x]) continue;
            uint8_t* px = p + static_cast<std::size_t>(x) * bpp;
            if (!outline) {
                px[0] = px[1] = px[2] = 0;
                if (bpp == 4) px[3] = 0;
            } else if (!(g[x - 1] && g[x + 1] && g[x - gw] && g[x + gw])) {
                px[0] = static_cast<uint8_t>(~px[0]);
                px[1] = static_cast<uint8_t>(~px[1]);
                px[2] = static_cast<uint8_t>(~px[2]);
            }
        }
    }
}

bool WandSelectionMask(const Bitmap& viewCopy, int x, int y, int tolerancePercent, TWorkBitmap& selectionMask,
                       TToolVars& toolVars, TRegionGrid& grid) {
    const int w = viewCopy.Width(), h = viewCopy.Height();
    selectionMask.Bitmap.SetBitsPerPixel(32);
    selectionMask.Bitmap.SetSizeUncleared(w, h);
    selectionMask.Bitmap.Fill(255, 255, 255, 0);
    selectionMask.Refill();
    toolVars.MaskLeft = 0;
    toolVars.MaskTop = 0;
    int32_t reference = 0;
    if (x >= 0 && y >= 0 && x < w && y < h) {
        const uint8_t* p = viewCopy.Row(y) + static_cast<std::size_t>(x) * viewCopy.BytesPerPixel();
        reference = RGBColour(p[2], p[1], p[0]);
    }
    WandRegion(viewCopy, x, y, grid, tolerancePercent / 100.0, reference);
    PaintWandMask(selectionMask.Bitmap, grid, false);
    for (int row = 1; row <= h - 2; ++row) {
        const uint8_t* g = grid.Cells() + grid.Index(1, row);
        for (int col = 0; col < w - 2; ++col)
            if (g[col]) return true;
    }
    return false;
}

} // namespace pixora
