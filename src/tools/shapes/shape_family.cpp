#include "tools/shapes/shape_family.h"

#include "doc/checkerboard.h"
#include "tools/selection_pixels.h"

namespace pixora {

namespace {

// The brush of a shape: the Clear option empties a closed shape; open
// shapes never fill.
bool BrushClear(const ToolContext& c, const TShapeTraits& traits) {
    if (!traits.Closed) return true;
    const TOpt clear = c.StrokeOptions().ClearInterior;
    return clear != TOpt::Count && c.Option(clear) != 0;
}

} // namespace

void PreviewShape(ToolContext& c, const ShapeRule& rule, const TShapeTraits& traits,
                  const TShapePoints& points, TRect& shown) {
    Workspace& ws = c.Ws;
    // The last preview taken away: the clean image there, as the view shows it.
    const bool whole = RefreshDisplayArea(ws.StrokeBase.Bitmap, ws.Checkerboard.Bitmap, c.View(), shown);
    if (whole) FillRowTable(c.View(), ws.SysData.ScratchRows);
    Canvas canvas(c.View());
    canvas.PenWidth = c.Option(c.StrokeOptions().Size);
    canvas.PenColour = c.StrokeColour();
    canvas.BrushColour = c.FillColour();
    canvas.BrushClear = BrushClear(c, traits);
    rule.DrawShape(canvas, {c, points, true});
    c.Vars.RefreshAfter = 0;
    TChangedArea repaint;
    repaint.Add(shown);
    repaint.Add(canvas.Touched().Box());
    shown = canvas.Touched().Box();
    if (whole)
        c.RepaintView();
    else if (!repaint.Empty())
        ws.Port->RepaintViewArea(repaint.Box());
}

void CommitShape(ToolContext& c, const ShapeRule& rule, const TShapeTraits& traits,
                 const TShapePoints& points, const TCommitRules& rules) {
    WhiteImageSize(c.Ws.StrokeOverlay, c.Slot.Bitmap);
    Canvas canvas(c.Ws.StrokeOverlay.Bitmap);
    canvas.PenWidth = c.Option(c.StrokeOptions().Size);
    canvas.PenColour = 0;
    canvas.BrushColour = RGBColour(1, 1, 1);
    canvas.BrushClear = BrushClear(c, traits);
    rule.DrawShape(canvas, {c, points, false});
    CommitOverlay(c, rules, false);
}

TShapePoints ShapeFamily::Points(const ToolContext& c, int x, int y) const {
    TShapePoints p;
    p.From = {c.Slot.DownX, c.Slot.DownY};
    p.To = {x, y};
    return p;
}

void ShapeFamily::Press(ToolContext& c, int x, int y) {
    dragging_ = true;
    pointer_ = {x, y};
    c.Slot.DownX = x;
    c.Slot.DownY = y;
    if (traits_.PreviewOnPress) PreviewShape(c, *this, traits_, Points(c, x, y + 1), shown_);
}

void ShapeFamily::Move(ToolContext& c, int x, int y) {
    if (!dragging_) return;
    pointer_ = {x, y};
    PreviewShape(c, *this, traits_, Points(c, x, y), shown_);
}

std::optional<TRect> ShapeFamily::DragSpan(const ToolContext& c) const {
    if (!dragging_) return std::nullopt;
    return TRect{c.Slot.DownX, c.Slot.DownY, pointer_.X, pointer_.Y};
}

bool ShapeFamily::Cancel(ToolContext& c, bool held) {
    if (!dragging_ || !held) return false;
    dragging_ = false;
    c.RefreshView();
    return true;
}

void ShapeFamily::Release(ToolContext& c, int x, int y) {
    if (!dragging_) return;
    dragging_ = false;
    CommitShape(c, *this, traits_, Points(c, x, y), rules_);
}

} // namespace pixora
