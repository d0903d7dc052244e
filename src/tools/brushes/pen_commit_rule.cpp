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

namespace {

// PaintMarks, and with clear (the overlay itself, the image's size) each
// overlay row made white right after it is painted.
void PaintMarksAndClear(Bitmap& image, const Bitmap* base, const Bitmap& overlay, const TStrokeOptions& o,
                        const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test,
                        Bitmap* clear) {
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
            if (clear) WhiteOverlayRow(clear->Row(y), clear->Width());
        }
    });
}

// Whether the flat blend can restore each row from the base as it paints it.
bool FlatComposite(const Bitmap& image, const Bitmap& base, const Bitmap& overlay,
                   const TOverlayComposite& o) {
    return !o.UseGradient && image.BitsPerPixel() == 32 && overlay.BitsPerPixel() == 32 &&
           image.Width() == base.Width() && image.Height() == base.Height() && base.BitsPerPixel() == 32 &&
           &image != &base;
}

} // namespace

void PaintMarks(Bitmap& image, const Bitmap* base, const Bitmap& overlay, const TStrokeOptions& o,
                const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test) {
    PaintMarksAndClear(image, base, overlay, o, colours, withInterior, test, nullptr);
}

void CompositeOverlay(Bitmap& image, const Bitmap& base, const Bitmap& overlay, const TOverlayComposite& o,
                      const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test) {
    const bool flat = FlatComposite(image, base, overlay, o);
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
    // The overlay is cleared for the next stroke in the pass that reads it
    // last, while each row is at hand: the blend's, or the softening's.
    if (FlatComposite(image, base, overlay, o) && overlay.Width() == image.Width() &&
        overlay.Height() == image.Height()) {
        PaintMarksAndClear(image, &base, overlay, o, colours, false, test, o.Soften ? nullptr : &overlay);
        if (o.Soften) SoftenStrokeEdgesAndClear(image, overlay, o.SoftenStrength);
        return;
    }
    CompositeOverlay(image, base, overlay, o, colours, false, test);
    overlay.Fill(255, 255, 255, 0);
}

} // namespace pixora
