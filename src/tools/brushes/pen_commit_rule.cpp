#include "tools/brushes/pen_commit_rule.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "doc/canvas.h"
#include "doc/row_ranges.h"
#include "tools/brushes/paint_marks_row.h"
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

void PaintMarks(Bitmap& image, const Bitmap* base, const Bitmap& overlay, const TStrokeOptions& o,
                const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test) {
    if (image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32) return;
    if (base &&
        (base->Width() != image.Width() || base->Height() != image.Height() || base->BitsPerPixel() != 32))
        base = nullptr;
    const TMarkBlend blend(o.Occupancy, colours.Stroke, colours.Fill, o.ChangeTransparency, withInterior);
    const int w = std::min(image.Width(), overlay.Width()), h = std::min(image.Height(), overlay.Height());
    // Each row is restored and painted on its own, so rows go to both cores.
    ForRowRanges(image.Height(), image.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = image.Row(y);
            if (base) std::memcpy(p, base->Row(y), image.Stride());
            if (y < h) PaintMarkRow(p, overlay.Row(y), w, y, blend, test);
        }
    });
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
