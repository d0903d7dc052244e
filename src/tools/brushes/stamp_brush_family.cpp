#include "tools/brushes/stamp_brush_family.h"

namespace pixora {

void StampBrushFamily::Stamp(ToolContext& c, int x, int y, unsigned event) {
    if (!(events_ & event)) return;
    Bitmap& image = c.Slot.Bitmap;
    if (image.Empty() || image.BitsPerPixel() != 32) return;
    if (c.Slot.Rows.Count() != image.Height() || (image.Height() > 0 && c.Slot.Rows[0] != image.Row(0)))
        FillRowTable(image, c.Slot.Rows);
    const SelectionEditTest test(c.Ws);
    const TStamp stamp{c, x, y, event, image, c.Slot.Rows, c.Ws.StrokeBase.Bitmap, test, c.StrokeColour()};
    PaintStamp(stamp);
}

} // namespace pixora
