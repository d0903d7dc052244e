#pragma once
// The shapes (line, rectangle, ellipse, round rectangle, and through the
// multi-click family the bezier curve and the polygon chain): previewed on
// the view while the button is held, committed at the release through
// marks in StrokeOverlay. A leaf is the rule that draws its shape into a
// canvas; this base does the rest.
//
// Contract for a leaf:
//   - Derive from ShapeFamily (or MultiClickShape, multi_click_family.h),
//     hand the commit rules (overlay_commit.h) and the shape's traits to
//     the constructor, and implement DrawShape.
//   - DrawShape(canvas, shape) draws the shape with the canvas's pen and
//     brush as the base set them up, from shape.Points: a line or segment
//     From -> To, a rectangle, ellipse or round rectangle with corners From
//     and To, a curve through the four Curve points. Further options (the
//     round rectangle's Edge) come from shape.Option. It draws the same
//     figure for the preview and the commit; only the canvas differs.
//   - Closed shapes (traits.Closed) use the brush; open ones only the pen.
// The base:
//   - Press: DownX, DownY := the press point; shapes with
//     traits.PreviewOnPress show a first preview at (x, y + 1).
//   - Preview (every move): the part of the view the previous preview
//     drew on is restored from StrokeBase (blended), the canvas on the view gets pen width
//     Size, the stroke colour, and the fill colour as brush (clear for a
//     closed shape when Clear is checked, always for open ones); then
//     DrawShape; RefreshAfter is cleared and both previews' parts of the
//     view repainted.
//   - Commit (release): StrokeOverlay is cleared to white and the canvas on
//     it gets a black pen of width Size and the brush RGB (1, 1, 1) (clear
//     as above), so that interior pixels are marked 1 and outline pixels 0;
//     then DrawShape and CommitOverlay (occupancy or gradient, the stroke
//     colour for outlines, the fill colour for interiors, softening).
//   - A drag cut short because the image is replaced, or by Escape,
//     commits nothing.
// History, StrokeBase, the step name and the cursor come from the row.

#include <array>

#include "doc/canvas.h"
#include "tools/overlay_commit.h"
#include "tools/tool.h"

namespace pixora {

// Where a shape lies.
struct TShapePoints {
    TPoint From;                   // DownX, DownY
    TPoint To;                     // the pointer
    std::array<TPoint, 4> Curve{}; // a curve's start, two control points, end
};

// What DrawShape is given besides the canvas.
struct TShapeDraw {
    const ToolContext& C;
    const TShapePoints& Points;
    bool Preview; // on the view (true) or into the overlay (false)
    int Option(TOpt id) const { return C.Option(id); }
};

// The one virtual of a shape leaf.
class ShapeRule {
public:
    virtual ~ShapeRule() = default;
    virtual void DrawShape(Canvas& canvas, const TShapeDraw& shape) const = 0;
};

struct TShapeTraits {
    bool Closed = false;         // uses the brush (and the Clear option)
    bool PreviewOnPress = false; // a first preview at (x, y + 1)
};

// The two shared steps, for the shape families. `shown` is the part of the
// view the last preview may have drawn on (empty before the first): only it
// is restored, and it becomes the new preview's part.
void PreviewShape(ToolContext& c, const ShapeRule& rule, const TShapeTraits& traits,
                  const TShapePoints& points, TRect& shown);
void CommitShape(ToolContext& c, const ShapeRule& rule, const TShapeTraits& traits,
                 const TShapePoints& points, const TCommitRules& rules);

class ShapeFamily : public Tool, public ShapeRule {
public:
    ShapeFamily(const TCommitRules& rules, TShapeTraits traits) : rules_(rules), traits_(traits) {}

    void Press(ToolContext& c, int x, int y) override;
    void Move(ToolContext& c, int x, int y) override;
    void Release(ToolContext& c, int x, int y) override;
    void BeforeImageReplaced(Workspace&) override { dragging_ = false; }
    // A shape being dragged is dropped, its preview taken off the view.
    bool Cancel(ToolContext& c, bool held) override;
    // The press point and the pointer while the shape is dragged.
    std::optional<TRect> DragSpan(const ToolContext& c) const override;

private:
    TShapePoints Points(const ToolContext& c, int x, int y) const;

    const TCommitRules& rules_;
    TShapeTraits traits_;
    bool dragging_ = false;
    TPoint pointer_{};
    TRect shown_{}; // where the last preview lies on the view
};

} // namespace pixora
