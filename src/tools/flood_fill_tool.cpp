#include "tools/flood_fill_tool.h"

#include "tools/flood_fill.h"

namespace pixora {

void FloodFillTool::Press(ToolContext& c, int x, int y) {
    FloodFillPress(c.Slot.Bitmap, x, y, c.Vars.PressButton, c.Option(TOpt::FillMode), c.Option(TOpt::FillTolerance),
                   c.Slot.FGColour, c.Slot.BGColour);
}

} // namespace pixora
