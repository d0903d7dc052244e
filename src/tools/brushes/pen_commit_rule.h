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

// The composite settings of the pen and shape option boxes.
struct TOverlayComposite {
    int Occupancy = 100;            // Occ, 1..100 (unreadable: 100)
    bool ChangeTransparency = true; // CT
    bool UseGradient = false;       // UG
    TGradientSettings Gradient;     // the Gradient box, read when UseGradient
    bool Soften = false;            // Anti
    int SoftenStrength = 10;        // AP
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
