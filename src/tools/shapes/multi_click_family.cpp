#include "tools/shapes/multi_click_family.h"

namespace pixora {

// ---- the curve's three clicks ------------------------------------------------

bool StagedClicks::ContinuesStep(const ToolContext& c) const {
    return c.Vars.BezierStage == 1 || c.Vars.BezierStage == 2;
}

TShapePoints StagedClicks::Curve(const ToolContext& c) {
    TShapePoints p;
    p.Curve = c.Vars.BezierPoints;
    p.From = p.Curve[0];
    p.To = p.Curve[3];
    return p;
}

void StagedClicks::Point(ToolContext& c, int x, int y, bool press) {
    TToolVars& v = c.Vars;
    const TPoint p{x, y};
    if (v.BezierStage == 0) {
        if (press) {
            v.BezierPoints[0] = v.BezierPoints[1] = v.BezierPoints[2] = p;
            return;
        }
        // The first drag shows the curve as the straight line it is so far.
        v.BezierPoints[3] = p;
        v.BezierPoints[2] = p;
    } else {
        v.BezierPoints[v.BezierStage == 1 ? 1 : 2] = p;
    }
    Preview(c, Curve(c));
}

void StagedClicks::Release(ToolContext& c, int, int) {
    TToolVars& v = c.Vars;
    if (v.BezierStage == 0 || v.BezierStage == 1) {
        v.BezierStage += 1;
        v.RefreshAfter = 0;
        return;
    }
    v.BezierStage = 0;
    Commit(c, Curve(c));
}

bool StagedClicks::Cancel(ToolContext& c, bool held) {
    if (c.Vars.BezierStage == 0 && !held) return false;
    c.Vars.BezierStage = 0;
    c.RefreshView();
    return true;
}

// ---- the polygon chain ------------------------------------------------------------

TShapePoints ChainClicks::Segment(const ToolContext& c, int x, int y) {
    TShapePoints p;
    p.From = {c.Slot.DownX, c.Slot.DownY};
    p.To = {x, y};
    return p;
}

void ChainClicks::Press(ToolContext& c, int x, int y) {
    TToolVars& v = c.Vars;
    if (v.PolygonOpen) {
        Preview(c, Segment(c, x, y));
    } else {
        v.PolygonOpen = 1;
        c.Slot.DownX = x;
        c.Slot.DownY = y;
    }
    // The right button ends the chain: the next press starts a new one.
    if (v.PressButton == 1) v.PolygonOpen = 0;
}

void ChainClicks::Move(ToolContext& c, int x, int y) {
    Preview(c, Segment(c, x, y));
}

void ChainClicks::Release(ToolContext& c, int x, int y) {
    Commit(c, Segment(c, x, y));
    c.Slot.DownX = x;
    c.Slot.DownY = y;
}

bool ChainClicks::Cancel(ToolContext& c, bool held) {
    if (!c.Vars.PolygonOpen && !held) return false;
    c.Vars.PolygonOpen = 0;
    c.RefreshView();
    return true;
}

} // namespace pixora
