#include "tools/shapes/shape_draw_rule.h"

#include <vector>

#include "doc/canvas.h"

namespace pixora {

void DrawShape(Canvas& c, const TShape& s) {
    switch (s.Kind) {
    case ShapeKind::Line:
        c.MoveTo(s.From.X, s.From.Y);
        c.LineTo(s.To.X, s.To.Y);
        break;
    case ShapeKind::Bezier:
        c.PolyBezier(std::vector<TPoint>(s.Bezier.begin(), s.Bezier.end()));
        break;
    case ShapeKind::Rectangle:
        c.Rectangle(s.From.X, s.From.Y, s.To.X, s.To.Y);
        break;
    case ShapeKind::Ellipse:
        c.Ellipse(s.From.X, s.From.Y, s.To.X, s.To.Y);
        break;
    case ShapeKind::RoundRect:
        c.RoundRect(s.From.X, s.From.Y, s.To.X, s.To.Y, s.Edge, s.Edge);
        break;
    }
}

void DrawShapePreview(Bitmap& view, const TShape& shape, const TShapeOptions& o,
                      const TStrokeColours& colours) {
    Canvas c(view);
    c.Mode = PenMode::Copy;
    c.Style = PenStyle::Solid;
    c.PenWidth = o.PenWidth;
    c.PenColour = colours.Stroke;
    c.BrushColour = colours.Fill;
    c.BrushClear = o.ClearInterior;
    DrawShape(c, shape);
}

void DrawShapeMask(Bitmap& overlay, const TShape& shape, const TShapeOptions& o) {
    overlay.Fill(255, 255, 255, 0);
    Canvas c(overlay);
    c.PenWidth = o.PenWidth;
    c.PenColour = 0;
    c.BrushColour = RGBColour(1, 1, 1);
    c.BrushClear = o.ClearInterior;
    DrawShape(c, shape);
}

void CommitShape(Bitmap& image, const Bitmap& base, Bitmap& overlay, const TShape& shape,
                 const TShapeOptions& o, const TStrokeColours& colours, const SelectionEditTest& test) {
    DrawShapeMask(overlay, shape, o);
    CompositeOverlay(image, base, overlay, o.Composite, colours, shape.Closed(), test);
}

} // namespace pixora
