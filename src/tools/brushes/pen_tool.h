#pragma once
// The pen (1): live segments of width Size into StrokeOverlay in black and
// onto the view in the stroke colour; the release commits the overlay at
// the occupancy or with the gradient and softens its edges when asked (the
// family's commit with the program's rules).

#include "tools/brushes/overlay_stroke_family.h"

namespace pixora {

class PenTool final : public OverlayStrokeFamily {
public:
    PenTool() : OverlayStrokeFamily(kStrokeCommitRules) {}

protected:
    void DrawSegment(const TStrokeSegment& segment) override;
};

} // namespace pixora
