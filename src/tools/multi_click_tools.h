#pragma once
// The click sequences of the bezier curve (three press-release cycles make
// one curve and one history step) and the polygon chain (each segment its
// own step, a right-button press ends the chain). The pixels they draw come
// from the shape drawing, which plugs in through the hooks below.

#include <functional>

#include "tools/tool.h"

namespace pixora {

struct TMultiClickDrawing {
    // Bezier: preview of BezierPoints on the view; commit into Bitmap.
    std::function<void(ToolContext&)> BezierPreview;
    std::function<void(ToolContext&)> BezierCommit;
    // Polygon: preview of the segment (DownX, DownY)-(x, y); commit it.
    std::function<void(ToolContext&, int x, int y)> SegmentPreview;
    std::function<void(ToolContext&, int x, int y)> SegmentCommit;
};
TMultiClickDrawing& MultiClickDrawing();

} // namespace pixora
