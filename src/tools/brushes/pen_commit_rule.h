#pragma once
// The overlay strokes' drawing and commit: the pen (and the shapes, which
// commit the same way) collect their stroke as marks in StrokeOverlay, red
// byte 0 for the outline and 1 for the interior of a filled shape, white
// elsewhere. At release the image is put back to StrokeBase and the marks
// are painted into it: a flat blend at the occupancy (with CT the fourth
// byte becomes 0) or the gradient, then the edges are softened if asked.

#include <cstdint>

#include "doc/bitmap.h"
#include "doc/records.h"
#include "tools/selection.h"
#include "tools/shapes/gradient_fill.h"

namespace pixora {

// The composite options of the pen and shape option boxes.
struct TStrokeOptions {
    int Occupancy = 100;            // Occ, 1..100 (unreadable: 100)
    bool ChangeTransparency = true; // CT
    bool UseGradient = false;       // UG
    bool Soften = false;            // Anti
    int SoftenStrength = 10;        // AP
};

// The same with the Gradient box's settings.
struct TOverlayComposite : TStrokeOptions {
    TGradientSettings Gradient; // read when UseGradient
};

struct TStrokeColours {
    int32_t Stroke = 0;     // outline: foreground for the left button, else background
    int32_t Fill = 0;       // interior: the other one
    int32_t Foreground = 0; // the slot's colours, for the gradient
    int32_t Background = 0;
};

// A pen segment from `from` to `to` (end point left out) with a pen of the
// given width: into StrokeOverlay in black, and the same on the view in the
// stroke colour. A press draws from the press point to (x - 1, y), so that a
// click leaves a dot.
void DrawPenSegment(Bitmap& target, TPoint from, TPoint to, int width, int32_t colour);

// The flat blend of the marks into image: outline marks take the stroke
// colour, interior marks (only withInterior) the fill colour, each colour
// byte Occ x colour div 100 + old x (100 - Occ) div 100; with CT the fourth
// byte becomes 0. With base, each row of image is first copied from it
// (same size), so the restore and the blend touch the row once.
void PaintMarks(Bitmap& image, const Bitmap* base, const Bitmap& overlay, const TStrokeOptions& o,
                const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test);

// Makes image a copy of base (in place when the sizes agree, so the image's
// row table stays valid; otherwise the caller refills it) and paints the
// overlay's marks into it as described above. Interior marks are painted
// only with withInterior (the closed shapes). Every painted pixel passes
// the test. The overlay is left as it is.
void CompositeOverlay(Bitmap& image, const Bitmap& base, const Bitmap& overlay, const TOverlayComposite& o,
                      const TStrokeColours& colours, bool withInterior, const SelectionEditTest& test);

// The pen's release: the composite of its outline, then the overlay is
// cleared to white for the next stroke.
void CommitPenStroke(Bitmap& image, const Bitmap& base, Bitmap& overlay, const TOverlayComposite& o,
                     const TStrokeColours& colours, const SelectionEditTest& test);

// Puts image back to base: row by row when the sizes agree, else a new copy.
void RestoreFromBase(Bitmap& image, const Bitmap& base);

} // namespace pixora
