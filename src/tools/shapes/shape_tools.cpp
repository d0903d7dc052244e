#include "tools/shapes/shape_tools.h"

namespace pixora {

void DrawFamilyShape(ShapeKind kind, Canvas& canvas, const TShapeDraw& shape) {
    TShape s;
    s.Kind = kind;
    s.From = shape.Points.From;
    s.To = shape.Points.To;
    s.Bezier = shape.Points.Curve;
    if (kind == ShapeKind::RoundRect) s.Edge = shape.Option(TOpt::RoundRectEdges);
    DrawShape(canvas, s);
}

} // namespace pixora
