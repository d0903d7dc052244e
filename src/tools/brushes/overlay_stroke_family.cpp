#include "tools/brushes/overlay_stroke_family.h"

#include <algorithm>

#include "tools/selection_pixels.h"

namespace pixora {

void OverlayStrokeFamily::Press(ToolContext& c, int x, int y) {
    drawing_ = true;
    c.Vars.LastPoint = {x, y};
    Segment(c, {x, y}, {x - 1, y}, true);
}

void OverlayStrokeFamily::Move(ToolContext& c, int x, int y) {
    if (!drawing_) return;
    Segment(c, c.Vars.LastPoint, {x, y}, false);
    c.Vars.LastPoint = {x, y};
}

void OverlayStrokeFamily::Release(ToolContext& c, int x, int y) {
    if (!drawing_) return;
    drawing_ = false;
    Finish(c, x, y);
}

void OverlayStrokeFamily::BeforeImageReplaced(Workspace& ws) {
    if (!drawing_) return;
    drawing_ = false;
    if (const TActiveImage s = ws.ActiveImage()) WhiteImageSize(ws.StrokeOverlay, s->Bitmap);
}

void OverlayStrokeFamily::Finish(ToolContext& c, int, int) {
    CommitOverlay(c, rules_, true);
}

void OverlayStrokeFamily::Segment(ToolContext& c, TPoint from, TPoint to, bool dot) {
    const TStrokeSegment segment{
        c, from, to, dot, c.Option(c.StrokeOptions().Size), c.StrokeColour(), c.Ws.StrokeOverlay.Bitmap, c.View()};
    DrawSegment(segment);
    c.Vars.RefreshAfter = 0;
    // Only the segment's part of the view is painted again.
    c.Ws.Port->RepaintViewArea(AroundSegment(from, to, std::max(segment.Width, 1) + 2));
}

} // namespace pixora
