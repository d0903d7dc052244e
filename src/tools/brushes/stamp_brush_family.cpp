#include "tools/brushes/stamp_brush_family.h"

#include "tools/brushes/stroke_path.h"

namespace pixora {

void StampBrushFamily::Press(ToolContext& c, int x, int y) {
    inStroke_ = true;
    last_ = {x, y};
    StampTo(c, x, y, StampOnPress);
}

void StampBrushFamily::Move(ToolContext& c, int x, int y) {
    StampTo(c, x, y, StampOnMove);
}

void StampBrushFamily::Release(ToolContext& c, int x, int y) {
    StampTo(c, x, y, StampOnRelease);
    inStroke_ = false;
}

void StampBrushFamily::StampTo(ToolContext& c, int x, int y, unsigned event) {
    // An event that stamps nothing changes nothing on the view either.
    c.Ws.ViewChanged.Add({});
    if (!(events_ & event)) return;
    Bitmap& image = c.Slot.Bitmap;
    if (image.Empty() || image.BitsPerPixel() != 32) return;
    if (c.Slot.Rows.Count() != image.Height() || (image.Height() > 0 && c.Slot.Rows[0] != image.Row(0)))
        FillRowTable(image, c.Slot.Rows);
    const SelectionEditTest test(c.Ws);
    const int32_t colour = c.StrokeColour();
    const auto stamp = [&](TPoint p) {
        c.Ws.ViewChanged.Add(
            PaintStamp(TStamp{c, p.X, p.Y, event, image, c.Slot.Rows, c.Ws.StrokeBase.Bitmap, test, colour}));
    };
    // Without a press of this tool (or at the press itself) there is no
    // path to follow.
    if (inStroke_)
        StampAlong(last_, {x, y}, stamp);
    else
        stamp({x, y});
    last_ = {x, y};
}

} // namespace pixora
