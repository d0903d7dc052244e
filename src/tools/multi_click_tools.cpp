#include "tools/multi_click_tools.h"

#include "tools/tool_table.h"

namespace pixora {

TMultiClickDrawing& MultiClickDrawing() {
    static TMultiClickDrawing drawing;
    return drawing;
}

namespace {

class BezierTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override { Point(c, x, y, true); }
    void Move(ToolContext& c, int x, int y) override { Point(c, x, y, false); }
    void Release(ToolContext& c, int, int) override {
        TToolVars& v = c.Vars;
        if (v.BezierStage == 0) {
            v.BezierStage = 1;
            v.RefreshAfter = 0;
        } else if (v.BezierStage == 1) {
            v.BezierStage = 2;
            v.RefreshAfter = 0;
        } else {
            v.BezierStage = 0;
            if (MultiClickDrawing().BezierCommit) MultiClickDrawing().BezierCommit(c);
        }
    }

private:
    static void Point(ToolContext& c, int x, int y, bool press) {
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
        if (MultiClickDrawing().BezierPreview) MultiClickDrawing().BezierPreview(c);
    }
};

class PolygonTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override {
        TToolVars& v = c.Vars;
        if (v.PolygonOpen) {
            if (MultiClickDrawing().SegmentPreview) MultiClickDrawing().SegmentPreview(c, x, y);
        } else {
            v.PolygonOpen = 1;
            c.Slot.DownX = x;
            c.Slot.DownY = y;
        }
        // The right button ends the chain: the next press starts a new one.
        if (v.PressButton == 1) v.PolygonOpen = 0;
    }
    void Move(ToolContext& c, int x, int y) override {
        if (MultiClickDrawing().SegmentPreview) MultiClickDrawing().SegmentPreview(c, x, y);
    }
    void Release(ToolContext& c, int x, int y) override {
        if (MultiClickDrawing().SegmentCommit) MultiClickDrawing().SegmentCommit(c, x, y);
        c.Slot.DownX = x;
        c.Slot.DownY = y;
    }
};

} // namespace

void RegisterMultiClickTools() {
    static BezierTool bezier;
    static PolygonTool polygon;
    RegisterTool(ToolBezier, &bezier);
    RegisterTool(ToolPolygon, &polygon);
}

} // namespace pixora
