#pragma once
// The commit that the overlay strokes (the pen) and the shapes share: the
// stroke, collected as marks in StrokeOverlay while the button was held,
// goes into the image at the release.
//
// Marks: an overlay pixel whose red byte is 0 is an outline pixel, one
// whose red byte is 1 an interior pixel of a filled shape (RGB 1, 1, 1);
// anything else (white) is untouched.
//
// CommitOverlay, in this order:
//   1. v := 100 - Occ; an occupancy that cannot be read (0) counts as 100.
//   2. Bitmap := StrokeBase (the image as at the press), Rows refilled.
//   3. "Use Gradient" checked: the gradient rule fills the marks. Otherwise
//      every marked pixel that passes the selection edit test becomes, per
//      colour byte, Occ x colour div 100 + base x v div 100 (outline marks
//      take the stroke colour, interior marks the fill colour); with
//      "Change Transparency" checked its fourth byte becomes 0.
//   4. "Antialiasing" checked: the softening rule, strength AP.
//   5. With clearOverlay the overlay is cleared to white (the pen does; a
//      shape leaves its marks until the next press clears them).
// The options are read live from the tool's own box (Occ, UG, CT, Anti,
// AP) and the gradient's from the Gradient box (TForm41).

#include <cstdint>

#include "doc/bitmap.h"
#include "tools/brushes/pen_commit_rule.h"
#include "tools/selection.h"
#include "tools/tool.h"

namespace pixora {

// The Gradient box's settings and the box options of the pen and shapes
// (Occ, UG, CT, Anti, AP), read live.
TGradientSettings ReadGradientSettings(const ToolContext& c);
TStrokeOptions ReadStrokeOptions(const ToolContext& c);

// Everything one commit works with, for the composite and the two rules.
struct TOverlayCommit {
    Bitmap& Image;         // the slot's Bitmap, already the stroke base again
    const Bitmap& Overlay; // the marks
    const SelectionEditTest& EditTest;
    int32_t Stroke;     // colour of outline marks (by the press's button)
    int32_t Fill;       // colour of interior marks
    int32_t Foreground; // the slot's drawing colours, for the gradient
    int32_t Background;
    TStrokeOptions Options;
    TGradientSettings Gradient;
};

// The two rules a commit hands on, written beside the shapes' other pixel
// rules: the gradient fill of the marks and the softening of the stroke's
// edges. Every member passes both; a missing one leaves its step out.
struct TCommitRules {
    void (*Gradient)(const TOverlayCommit& commit) = nullptr;
    void (*Soften)(const TOverlayCommit& commit, int strength) = nullptr;
};

// The program's rules: the gradient fill at scale 2 with the slot's
// colours, and the softening of the stroke's edges.
extern const TCommitRules kStrokeCommitRules;

// Step 3 without the gradient: the occupancy composite of the marks, in
// place.
void CompositeMarks(const TOverlayCommit& commit);

// Steps 1 to 5 for the active tool of `c`.
void CommitOverlay(ToolContext& c, const TCommitRules& rules, bool clearOverlay);

} // namespace pixora
