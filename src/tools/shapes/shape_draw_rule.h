#pragma once
// The shapes of the line, polygon, bezier, rectangle, ellipse and round
// rectangle tools, drawn by the canvas layer's rules: a line leaves out its
// end point; a closed shape from corner (l, t) to (r, b) lies inside
// columns l..r-1 and rows t..b-1 (for a pen of width 1; wider pens are
// centred on that outline); corners may come in any order.
//
// The preview goes on the view only. The commit draws the shape as marks
// into StrokeOverlay (black outline; interior RGB (1, 1, 1) unless "Clear
// Interior") and composites them into the image like the pen does.

#include <array>

#include "doc/bitmap.h"
#include "doc/records.h"
#include "tools/brushes/pen_commit_rule.h"

namespace pixora {

class Canvas;

enum class ShapeKind { Line, Bezier, Rectangle, Ellipse, RoundRect };

struct TShape {
    ShapeKind Kind = ShapeKind::Line;
    TPoint From, To;                // line ends, or two opposite corners
    std::array<TPoint, 4> Bezier{}; // start, first and second control point, end
    int Edge = 0;                   // round rectangle: both corner sizes (Edge)

    bool Closed() const {
        return Kind == ShapeKind::Rectangle || Kind == ShapeKind::Ellipse || Kind == ShapeKind::RoundRect;
    }
};

// The shape options of the line, shape and round-rectangle boxes.
struct TShapeOptions {
    int PenWidth = 1;          // Size
    bool ClearInterior = true; // Clear (closed shapes only)
    TOverlayComposite Composite;
};

// Draws the shape with the canvas's pen and brush as they are.
void DrawShape(Canvas& canvas, const TShape& shape);

// The preview on the view (which the caller has just restored from
// StrokeBase): pen of the given width in the stroke colour, solid and in
// copy mode; the brush in the fill colour, or clear with "Clear Interior".
void DrawShapePreview(Bitmap& view, const TShape& shape, const TShapeOptions& o,
                      const TStrokeColours& colours);

// The commit's marks: the overlay cleared to white, then the shape with a
// black pen of the given width and, for a closed shape, a brush of
// RGB (1, 1, 1) that is clear with "Clear Interior".
void DrawShapeMask(Bitmap& overlay, const TShape& shape, const TShapeOptions& o);

// The whole commit at release: the marks, then the composite from base.
void CommitShape(Bitmap& image, const Bitmap& base, Bitmap& overlay, const TShape& shape,
                 const TShapeOptions& o, const TStrokeColours& colours, const SelectionEditTest& test);

} // namespace pixora
