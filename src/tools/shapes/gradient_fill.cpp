#include "tools/shapes/gradient_fill.h"

#include <algorithm>
#include <cstdlib>

#include "effects/engine/round_mode.h"
#include "tools/brushes/disc_stamp_rule.h"
#include "tools/shapes/int_distance.h"

namespace pixora {

TGradientPlace PlaceGradient(const Bitmap& mask, const TGradientSettings& g, int scale, int targetWidth,
                             int targetHeight) {
    TGradientPlace place;
    if (mask.BitsPerPixel() != 32) return place;
    int minX = mask.Width(), maxX = -1, minY = mask.Height(), maxY = -1;
    for (int y = 0; y < mask.Height(); ++y) {
        const uint8_t* row = mask.Row(y);
        int first = -1, last = -1;
        for (int x = 0; x < mask.Width(); ++x)
            if (row[static_cast<std::size_t>(x) * 4] == 0) {
                first = x;
                break;
            }
        if (first < 0) continue;
        for (int x = mask.Width() - 1; x >= first; --x)
            if (row[static_cast<std::size_t>(x) * 4] == 0) {
                last = x;
                break;
            }
        minX = std::min(minX, first);
        maxX = std::max(maxX, last);
        minY = std::min(minY, y);
        maxY = y;
    }
    if (maxY < 0 || targetWidth <= 0 || targetHeight <= 0) return place;
    place.Empty = false;
    place.CentreX = minX + g.LeftPercent * (maxX - minX) / 100;
    place.CentreY = minY + g.TopPercent * (maxY - minY) / 100;
    const bool wide = (maxY - minY) < (maxX - minX);
    const int e = wide ? maxX - minX : maxY - minY;
    const int n = wide ? targetWidth : targetHeight;
    TRoundToNearest nearest;
    const double p = static_cast<double>(scale) * e / n * 100;
    const double z = RoundHalfEven(static_cast<double>(g.Size) * p / 100);
    place.Radius = static_cast<int>(z) / 2;
    return place;
}

namespace {

// Paints the pixels of the rectangle x0..x1, y0..y1 (already inside target
// and mask) whose distance is at most r.
template <class Distance>
void Paint(Bitmap& target, const Bitmap& mask, const TGradientSettings& g, int r, int x0, int x1, int y0,
           int y1, int32_t foreground, int32_t background, const SelectionEditTest& test,
           Distance&& distance) {
    const int depth = std::max(g.Depth, 1); // the box keeps it at 2 or more
    const int fg[3] = {BlueOf(foreground), GreenOf(foreground), RedOf(foreground)};
    const int bg[3] = {BlueOf(background), GreenOf(background), RedOf(background)};
    for (int y = y0; y <= y1; ++y) {
        uint8_t* p = target.Row(y) + static_cast<std::size_t>(x0) * 4;
        const uint8_t* m = mask.Row(y) + static_cast<std::size_t>(x0) * 4;
        for (int x = x0; x <= x1; ++x, p += 4, m += 4) {
            const int d = distance(x, y);
            if (d > r || m[0] > 1 || !test.Test(x, y)) continue;
            const int w = r - d;
            for (int i = 0; i < 3; ++i) {
                int v;
                if (m[0] == 0) {
                    const int a = g.TransparentBG ? p[i] : bg[i];
                    const int b = g.TransparentFG ? p[i] : fg[i];
                    v = ((depth - w) * a + w * b) / depth;
                } else {
                    v = ((depth - w) * p[i] + w * bg[i]) / depth;
                }
                p[i] = ClampByte(v);
            }
        }
    }
}

} // namespace

void GradientFill(Bitmap& target, const Bitmap& mask, const TGradientSettings& g, int scale,
                  int32_t foreground, int32_t background, const SelectionEditTest& test) {
    if (target.BitsPerPixel() != 32 || target.Empty()) return;
    const TGradientPlace place = PlaceGradient(mask, g, scale, target.Width(), target.Height());
    if (place.Empty) return;
    const int64_t cx = place.CentreX, cy = place.CentreY, r = place.Radius;
    // Only pixels inside both the target and the mask are looked at.
    const int w = std::min(target.Width(), mask.Width()), h = std::min(target.Height(), mask.Height());
    auto clampX = [&](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, w - 1)); };
    auto clampY = [&](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, h - 1)); };
    if (g.Kind == GradientRadial) {
        if (cx + r < 0 || cy + r < 0 || cx - r >= w || cy - r >= h) return;
        Paint(target, mask, g, place.Radius, clampX(cx - r), clampX(cx + r), clampY(cy - r), clampY(cy + r),
              foreground, background, test,
              [&](int x, int y) { return IntDistance((x - cx) * (x - cx) + (y - cy) * (y - cy)); });
    } else if (g.Kind == GradientRows) {
        if (cy + r < 0 || cy - r >= h) return;
        Paint(target, mask, g, place.Radius, 0, w - 1, clampY(cy - r), clampY(cy + r), foreground, background,
              test, [&](int, int y) { return static_cast<int>(std::llabs(y - cy)); });
    } else if (g.Kind == GradientColumns) {
        if (cx + r < 0 || cx - r >= w) return;
        Paint(target, mask, g, place.Radius, clampX(cx - r), clampX(cx + r), 0, h - 1, foreground, background,
              test, [&](int x, int) { return static_cast<int>(std::llabs(x - cx)); });
    }
}

Bitmap GradientPreview(const TGradientSettings& g, int kind, int32_t foreground, int32_t background) {
    Bitmap preview(100, 100, 32);
    preview.Fill(BlueOf(background), GreenOf(background), RedOf(background), 0);
    Bitmap mask(100, 100, 32);
    mask.Fill(0, 0, 0, 0);
    TGradientSettings s = g;
    s.Kind = kind;
    GradientFill(preview, mask, s, 1, foreground, background, SelectionEditTest());
    return preview;
}

} // namespace pixora
