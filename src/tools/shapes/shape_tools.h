#pragma once
// The shape tools: line (2), bezier curve (3), polygon chain (4),
// rectangle (5), ellipse (6) and round rectangle (7). Each is its figure
// drawn by the canvas rules of shape_draw_rule.h; previews, commits and the
// click sequences are their families' (shape_family.h, multi_click_family.h),
// and the commit's gradient and softening are the program's rules.

#include "tools/overlay_commit.h"
#include "tools/shapes/multi_click_family.h"
#include "tools/shapes/shape_draw_rule.h"
#include "tools/shapes/shape_family.h"

namespace pixora {

// Draws the figure of a kind through the family's points: a line From ->
// To, the curve through Curve, or the closed shape with corners From and
// To (the round rectangle's corner size from its box's Edge).
void DrawFamilyShape(ShapeKind kind, Canvas& canvas, const TShapeDraw& shape);

// Line and the closed shapes, dragged from the press point. The closed
// shapes use the brush and show a first preview at the press.
template <ShapeKind Kind> class DraggedShapeTool final : public ShapeFamily {
public:
    DraggedShapeTool()
        : ShapeFamily(kStrokeCommitRules,
                      {.Closed = Kind != ShapeKind::Line, .PreviewOnPress = Kind != ShapeKind::Line}) {}
    void DrawShape(Canvas& canvas, const TShapeDraw& shape) const override {
        DrawFamilyShape(Kind, canvas, shape);
    }
};

// The bezier curve over three clicks and the polygon chain of segments.
template <class Clicks, ShapeKind Kind> class ClickedShapeTool final : public MultiClickShape<Clicks> {
public:
    ClickedShapeTool() : MultiClickShape<Clicks>(kStrokeCommitRules) {}
    void DrawShape(Canvas& canvas, const TShapeDraw& shape) const override {
        DrawFamilyShape(Kind, canvas, shape);
    }
};

using LineTool = DraggedShapeTool<ShapeKind::Line>;
using RectangleTool = DraggedShapeTool<ShapeKind::Rectangle>;
using EllipseTool = DraggedShapeTool<ShapeKind::Ellipse>;
using RoundRectTool = DraggedShapeTool<ShapeKind::RoundRect>;
using BezierTool = ClickedShapeTool<StagedClicks, ShapeKind::Bezier>;
using PolygonTool = ClickedShapeTool<ChainClicks, ShapeKind::Line>;

} // namespace pixora
