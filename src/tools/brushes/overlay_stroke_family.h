#pragma once
// The overlay strokes (the pen, and the stroke modes of the transparency
// tool): while the button is held the stroke is drawn as live segments into
// StrokeOverlay and onto the view only; the release commits it into the
// image. A leaf is the rule that draws one segment; this base does the rest.
//
// Contract for a leaf:
//   - Derive from OverlayStrokeFamily, hand the commit rules (the gradient
//     fill and the edge softening, see overlay_commit.h) to its
//     constructor, and implement DrawSegment.
//   - DrawSegment(segment) draws the line From -> To (end point left out,
//     as lines are) of width segment.Width into segment.Overlay in black
//     (red byte 0 marks the stroke) and the same line onto segment.View in
//     segment.Colour. It changes nothing else: the image stays as it was at
//     the press until the release.
//   - A point is a segment of length zero: the press draws the segment from
//     the press point to one pixel left of it, so a click leaves a dot.
// The base: at the press it records LastPoint and draws the press's dot; at
// every move the segment from LastPoint to the pointer, then LastPoint :=
// pointer; after each segment it clears RefreshAfter (the view already
// shows the live stroke) and repaints the view. At the release it runs
// Finish, by default CommitOverlay with the tool's box options (Occ, UG,
// CT, Anti, AP) and the overlay cleared afterwards. A stroke cut short
// because the image is replaced while the button is held is dropped: the
// overlay is cleared and the release commits nothing. History, StrokeBase,
// the cleared overlay, the step name and the cursor come from the tool's
// row.

#include "tools/overlay_commit.h"
#include "tools/tool.h"

namespace pixora {

// One live segment of a stroke.
struct TStrokeSegment {
    ToolContext& C;
    TPoint From, To;
    bool Dot;        // the press's segment
    int Width;       // pen width: the box's Size
    int32_t Colour;  // the stroke colour of the press's button
    Bitmap& Overlay; // StrokeOverlay: draw the segment in black
    Bitmap& View;    // the display copy: draw it in Colour
};

class OverlayStrokeFamily : public Tool {
public:
    explicit OverlayStrokeFamily(const TCommitRules& rules) : rules_(rules) {}

    void Press(ToolContext& c, int x, int y) override;
    void Move(ToolContext& c, int x, int y) override;
    void Release(ToolContext& c, int x, int y) override;
    void BeforeImageReplaced(Workspace& ws) override;

protected:
    // The leaf's pixel rule: draws one segment.
    virtual void DrawSegment(const TStrokeSegment& segment) = 0;
    // The release's commit; a leaf with another commit (the transparency
    // tool changes the fourth bytes instead) puts its own in place.
    virtual void Finish(ToolContext& c, int x, int y);
    const TCommitRules& Rules() const { return rules_; }

private:
    void Segment(ToolContext& c, TPoint from, TPoint to, bool dot);

    const TCommitRules& rules_;
    bool drawing_ = false; // a stroke began at a press and has not ended
};

} // namespace pixora
