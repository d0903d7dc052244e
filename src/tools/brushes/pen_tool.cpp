#include "tools/brushes/pen_tool.h"

#include "tools/brushes/pen_commit_rule.h"

namespace pixora {

void PenTool::DrawSegment(const TStrokeSegment& s) {
    DrawPenSegment(s.Overlay, s.From, s.To, s.Width, 0);
    DrawPenSegment(s.View, s.From, s.To, s.Width, s.Colour);
}

} // namespace pixora
