#include "tools/colour_picker_tool.h"

#include "doc/slots.h"

namespace pixora {

void ColourPicker::Pick(ToolContext& c, int x, int y, bool commit) {
    const Bitmap& view = ShownPicture(c.Ws);
    if (x < 0 || y < 0 || x >= view.Width() || y >= view.Height()) return;
    const std::array<uint8_t, 3> p = ShownColour(c.Ws, x, y);
    const int32_t colour = RGBColour(p[2], p[1], p[0]);
    const int which = c.Vars.PressButton == 0 ? 0 : 1;
    c.Ws.Port->ShowSwatchColour(which, colour);
    if (!commit) return;
    if (which == 0)
        SetFGColour(c.Slot, colour);
    else
        SetBGColour(c.Slot, colour);
}

} // namespace pixora
