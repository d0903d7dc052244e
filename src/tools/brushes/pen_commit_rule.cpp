#include "tools/brushes/pen_commit_rule.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "doc/canvas.h"
#include "tools/shapes/soften_edges.h"

namespace pixora {

void DrawPenSegment(Bitmap& target, TPoint from, TPoint to, int width, int32_t colour) {
    Canvas c(target);
    c.PenColour = colour;
    c.PenWidth = width;
    c.MoveTo(from.X, from.Y);
    c.LineTo(to.X, to.Y);
}

void RestoreFromBase(Bitmap& image, const Bitmap& base) {
    if (&image == &base) return;
    if (image.Width() != base.Width() || image.Height() != base.Height() ||
        image.BitsPerPixel() != base.BitsPerPixel()) {
        image.Assign(base);
        return;
    }
    if (!image.Empty()) std::memcpy(image.Data(), base.Data(), base.ByteSize());
}

namespace {

// Whether any of the eight overlay pixels from m on has a red byte of 0 or 1.
inline bool AnyMark8(const uint8_t* m) {
    unsigned any = 0;
    for (int k = 0; k < 8; ++k)
        any |= m[k * 4 + 2] <= 1 ? 1u : 0u;
    return any != 0;
}

} // namespace

void PaintMarks(Bitmap& image, const Bitmap* base, const Bitmap& overlay, const TStrokeOptions& o,
                const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test) {
    if (image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32) return;
    if (base &&
        (base->Width() != image.Width() || base->Height() != image.Height() || base->BitsPerPixel() != 32))
        base = nullptr;
    const int occ = std::clamp(o.Occupancy, 0, 100), v = 100 - occ;
    std::array<uint8_t, 256> kept{};
    for (int b = 0; b < 256; ++b)
        kept[static_cast<std::size_t>(b)] = static_cast<uint8_t>(b * v / 100);
    const auto part = [occ](int32_t c) {
        return std::array<int, 3>{BlueOf(c) * occ / 100, GreenOf(c) * occ / 100, RedOf(c) * occ / 100};
    };
    const std::array<int, 3> stroke = part(colours.Stroke), fill = part(colours.Fill);
    const int w = std::min(image.Width(), overlay.Width()), h = std::min(image.Height(), overlay.Height());
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* p = image.Row(y);
        if (base) std::memcpy(p, base->Row(y), image.Stride());
        if (y >= h) continue;
        const uint8_t* m = overlay.Row(y);
        for (int x = 0; x < w; ++x, m += 4, p += 4) {
            // Runs of untouched overlay are stepped over eight pixels at a time.
            if ((x & 7) == 0 && x + 8 <= w && !AnyMark8(m)) {
                x += 7;
                m += 28;
                p += 28;
                continue;
            }
            const uint8_t mark = m[2];
            if (mark > 1 || (mark == 1 && !withInterior)) continue;
            if (!test.Test(x, y)) continue;
            const std::array<int, 3>& c = mark == 0 ? stroke : fill;
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<uint8_t>(std::min(c[i] + kept[p[i]], 255));
            if (o.ChangeTransparency) p[3] = 0;
        }
    }
}

void CompositeOverlay(Bitmap& image, const Bitmap& base, const Bitmap& overlay, const TOverlayComposite& o,
                      const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test) {
    const bool flat = !o.UseGradient && image.BitsPerPixel() == 32 && overlay.BitsPerPixel() == 32 &&
                      image.Width() == base.Width() && image.Height() == base.Height() &&
                      base.BitsPerPixel() == 32 && &image != &base;
    if (!flat) RestoreFromBase(image, base);
    if (image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32) return;
    if (o.UseGradient)
        GradientFill(image, overlay, o.Gradient, 2, colours.Foreground, colours.Background, test);
    else
        PaintMarks(image, flat ? &base : nullptr, overlay, o, colours, withInterior, test);
    if (o.Soften) SoftenStrokeEdges(image, overlay, o.SoftenStrength);
}

void CommitPenStroke(Bitmap& image, const Bitmap& base, Bitmap& overlay, const TOverlayComposite& o,
                     const TStrokeColours& colours, const SelectionEditTest& test) {
    CompositeOverlay(image, base, overlay, o, colours, false, test);
    overlay.Fill(255, 255, 255, 0);
}

} // namespace pixora
