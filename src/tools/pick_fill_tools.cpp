// Two one-click tools: the colour picker (tool 20), which takes a colour off
// the view, and the Floodfill tool (tool 16), which recolours the region
// around the pressed pixel.
#include "doc/slots.h"
#include "tools/flood_fill.h"
#include "tools/tool.h"
#include "tools/tool_table.h"

namespace pixora {

namespace {

class ColourPicker : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override { Pick(c, x, y, false); }
    void Move(ToolContext& c, int x, int y) override { Pick(c, x, y, false); }
    void Release(ToolContext& c, int x, int y) override { Pick(c, x, y, true); }

private:
    // The colour on the view goes to the foreground swatch for the left
    // button and to the background swatch for any other; the release makes
    // it the slot's colour.
    static void Pick(ToolContext& c, int x, int y, bool commit) {
        const Bitmap& view = c.View();
        if (x < 0 || y < 0 || x >= view.Width() || y >= view.Height()) return;
        const uint8_t* p =
            view.Row(y) + static_cast<std::size_t>(x) * static_cast<std::size_t>(view.BytesPerPixel());
        const int32_t colour = RGBColour(p[2], p[1], p[0]);
        const int which = c.Vars.PressButton == 0 ? 0 : 1;
        if (c.Ws.Port) c.Ws.Port->ShowSwatchColour(which, colour);
        if (!commit) return;
        if (which == 0)
            SetFGColour(c.Slot, colour);
        else
            SetBGColour(c.Slot, colour);
    }
};

// The fill mode and tolerance come from the Floodfill box at the press; the
// selection does not limit the fill.
class FloodFillTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override {
        FloodFillPress(c.Slot.Bitmap, x, y, c.Vars.PressButton, c.Option("TForm25", "ComboBox"),
                       c.Option("TForm25", "TrackBar"), c.Slot.FGColour, c.Slot.BGColour);
    }
};

} // namespace

void RegisterPickAndFillTools() {
    static ColourPicker picker;
    static FloodFillTool fill;
    RegisterTool(ToolColourPicker, &picker);
    RegisterTool(ToolFloodFill, &fill);
}

} // namespace pixora
