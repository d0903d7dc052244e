#include "doc/layer_strip.h"

#include <algorithm>

#include "doc/layers.h"
#include "doc/resample.h"

namespace pixora {

TThumbPlace PlaceLayerThumbnail(int w, int h) {
    TThumbPlace p;
    p.Size = FitThumbnail(w, h, kLayerThumbLimit);
    if (w > kLayerThumbLimit || h > kLayerThumbLimit) {
        p.X = (kLayerThumbLimit - p.Size.Width) / 2;
        p.Y = (kLayerThumbLimit - p.Size.Height) / 2;
    } else {
        p.X = 27 - w / 2;
        p.Y = 27 - h / 2;
    }
    return p;
}

namespace {

// One-pixel black outline of the rectangle (l, t)..(r, b), right column and
// bottom row excluded.
void Outline(Bitmap& b, int l, int t, int r, int bottom) {
    b.FillGreyRect(l, t, r, t + 1, 0);
    b.FillGreyRect(l, bottom - 1, r, bottom, 0);
    b.FillGreyRect(l, t, l + 1, bottom, 0);
    b.FillGreyRect(r - 1, t, r, bottom, 0);
}

bool StripFits(const TImages& s) {
    return s.LayerStrip.Width() == s.LayerCount * kLayerCellPitch &&
           s.LayerStrip.Height() == kLayerCellSize && s.LayerStrip.BitsPerPixel() == 32;
}

void DrawCell(TImages& s, int n, const Bitmap& source) {
    Bitmap& strip = s.LayerStrip;
    const int c = (n - 1) * kLayerCellPitch;
    strip.FillGreyRect(c, 0, c + kLayerCellSize, kLayerCellSize, 255);
    Outline(strip, c, 0, c + kLayerCellSize, kLayerCellSize);
    const TThumbPlace place = PlaceLayerThumbnail(source.Width(), source.Height());
    if (place.Size.Width > 0 && place.Size.Height > 0) {
        Bitmap thumb(place.Size.Width, place.Size.Height, 32);
        BilinearResample(source, thumb);
        const int x0 = c + place.X + 1, y0 = place.Y + 1;
        for (int y = 0; y < thumb.Height(); ++y) {
            const int sy = y0 + y;
            if (sy < 0 || sy >= strip.Height()) continue;
            const int from = std::max(0, -x0), to = std::min(thumb.Width(), strip.Width() - x0);
            if (to <= from) continue;
            uint8_t* d = strip.Row(sy) + 4 * (x0 + from);
            const uint8_t* p = thumb.Row(y) + 4 * from;
            for (int x = from; x < to; ++x, d += 4, p += 4)
                d[0] = p[0], d[1] = p[1], d[2] = p[2];
        }
    }
    if (n == s.CurrentLayer) Outline(strip, c + 1, 1, c + kLayerCellSize - 1, kLayerCellSize - 1);
}

} // namespace

void RedrawLayerStripBitmap(TImages& s) {
    const int count = std::max(s.LayerCount, 0);
    s.LayerStrip = Bitmap(count * kLayerCellPitch, kLayerCellSize, 32);
    s.LayerStrip.FillGreyRect(0, 0, s.LayerStrip.Width(), kLayerCellSize, 255);
    for (int n = 1; n <= count; ++n)
        DrawCell(s, n, n == s.CurrentLayer ? s.Bitmap : LayerBitmap(s, n));
}

void DrawLayerCell(TImages& s, int n, const Bitmap& source) {
    if (n < 1 || n > s.LayerCount) return;
    if (!StripFits(s)) {
        RedrawLayerStripBitmap(s);
        if (&source == &s.Bitmap && n == s.CurrentLayer) return; // already drawn from it
    }
    DrawCell(s, n, source);
}

void RedrawCurrentLayerCell(TImages& s) {
    if (s.CurrentLayer > 0)
        DrawLayerCell(s, s.CurrentLayer, s.Bitmap);
    else if (!StripFits(s))
        RedrawLayerStripBitmap(s);
}

int LayerAtStripX(const TImages& s, int x) {
    if (s.LayerCount <= 1) return 0;
    for (int i = 0; i < s.LayerCount; ++i)
        if (i * kLayerCellPitch < x && x < i * kLayerCellPitch + kLayerCellSize) return i + 1;
    return 0;
}

} // namespace pixora
