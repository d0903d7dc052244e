#pragma once
// The Floodfill tool (tool 16): recolours the region around the pressed
// pixel. The fill mode and tolerance come from its box at the press; the
// selection does not limit the fill.

#include "tools/tool.h"

namespace pixora {

class FloodFillTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override;
};

} // namespace pixora
