#include "tools/brushes/transparency_tool.h"

#include <algorithm>

#include "tools/brushes/stroke_path.h"
#include "tools/brushes/disc_stamp_rule.h"
#include "tools/brushes/transparency_rule.h"

namespace pixora {

namespace {

TTransparencyOptions ReadOptions(const ToolContext& c, int mode) {
    TTransparencyOptions o;
    o.Mode = mode;
    o.Size = c.Option(TOpt::TransparencySize);
    o.SprayDiameter = c.Option(TOpt::TransparencySprayRadius);
    o.Difference = c.Option(TOpt::TransparencyDifference);
    o.ForceValue = c.Option(TOpt::TransparencyForceValue) != 0;
    return o;
}

} // namespace

void TransparencyTool::Press(ToolContext& c, int x, int y) {
    mode_ = std::clamp(c.Option(TOpt::TransparencyTool), 0, static_cast<int>(TransparencySpray));
    drawing_ = true;
    shown_ = {};
    c.Slot.DownX = x;
    c.Slot.DownY = y;
    BeginTransparencyStroke(c.Slot.Bitmap, c.Ws.StrokeOverlay.Bitmap, ReadOptions(c, mode_));
    Draw(c, x, y, true);
}

void TransparencyTool::Move(ToolContext& c, int x, int y) {
    if (drawing_) Draw(c, x, y, false);
}

std::optional<TStampOutline> TransparencyTool::StampOutline(const ToolContext& c, int x, int y) const {
    if (c.Option(TOpt::TransparencyTool) != TransparencySpray) return std::nullopt;
    return TStampOutline{TDisc{x, y, c.Option(TOpt::TransparencySprayRadius)}.Reach(), true};
}

std::optional<TRect> TransparencyTool::DragSpan(const ToolContext& c) const {
    if (!drawing_ || mode_ == TransparencyPen || mode_ == TransparencySpray) return std::nullopt;
    return TRect{c.Slot.DownX, c.Slot.DownY, pointer_.X, pointer_.Y};
}

void TransparencyTool::Draw(ToolContext& c, int x, int y, bool press) {
    pointer_ = {x, y};
    const TTransparencyOptions o = ReadOptions(c, mode_);
    Bitmap& image = c.Slot.Bitmap;
    Bitmap& overlay = c.Ws.StrokeOverlay.Bitmap;
    // What changed on the image, for the view to redraw that part only.
    TChangedArea& changed = c.Ws.ViewChanged;
    if (mode_ == TransparencyPen) {
        // A segment from the last point; the press's goes one pixel left.
        const TPoint from = press ? TPoint{x, y} : c.Vars.LastPoint;
        const TPoint to = press ? TPoint{x - 1, y} : TPoint{x, y};
        TransparencyPenSegment(image, overlay, from, to, o);
        changed.Add(AroundSegment(from, to, std::max(o.Size, 1) + 2));
        c.Vars.LastPoint = {x, y};
    } else if (mode_ == TransparencySpray) {
        // Along the path from the last point, as the stamp brushes do.
        const SelectionEditTest test(c.Ws);
        changed.Add({});
        StampAlong(press ? TPoint{x, y} : c.Vars.LastPoint, {x, y}, [&](TPoint p) {
            TransparencySprayStamp(image, overlay, p, o, test);
            changed.Add(TDisc{p.X, p.Y, o.SprayDiameter}.Reach());
        });
        c.Vars.LastPoint = {x, y};
    } else {
        // The last preview is taken away and the new one drawn; an image
        // the base does not fit is restored whole (nothing said: all of it).
        const TRect before = shown_;
        const Bitmap& base = c.Ws.StrokeBase.Bitmap;
        const bool fits = image.Width() == base.Width() && image.Height() == base.Height();
        TransparencyShapePreview(image, c.Ws.StrokeBase.Bitmap, {c.Slot.DownX, c.Slot.DownY}, {x, y}, o,
                                 shown_);
        if (fits) {
            changed.Add(before);
            changed.Add(shown_);
        }
    }
}

void TransparencyTool::Release(ToolContext& c, int x, int y) {
    if (!drawing_) return;
    drawing_ = false;
    EndTransparencyStroke(c.Slot.Bitmap, c.Ws.StrokeBase.Bitmap, c.Ws.StrokeOverlay.Bitmap,
                          {c.Slot.DownX, c.Slot.DownY}, {x, y}, ReadOptions(c, mode_));
    FillRowTable(c.Slot.Bitmap, c.Slot.Rows);
}

} // namespace pixora
