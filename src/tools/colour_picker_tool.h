#pragma once
// The colour picker (tool 20): takes a colour off the view.

#include "tools/tool.h"

namespace pixora {

class ColourPicker : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override { Pick(c, x, y, false); }
    void Move(ToolContext& c, int x, int y) override { Pick(c, x, y, false); }
    void Release(ToolContext& c, int x, int y) override { Pick(c, x, y, true); }

private:
    // The colour on the view goes to the foreground swatch for the left
    // button and to the background swatch for any other; the release makes
    // it the slot's colour.
    static void Pick(ToolContext& c, int x, int y, bool commit);
};

} // namespace pixora
