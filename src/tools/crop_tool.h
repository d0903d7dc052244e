#pragma once
// The crop rectangle (tool 25): drawn as a dotted not-xor rubber band on the
// view, edited by its handles or moved by its inside. The Crop commands
// (selection.h) apply it.

#include "tools/tool.h"

namespace pixora {

class CropTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override;
    void Move(ToolContext& c, int x, int y) override;
    void Release(ToolContext& c, int x, int y) override;
    // A rectangle being drawn or dragged is dropped (the tool set hides a
    // shown one).
    bool Cancel(ToolContext& c, bool held) override;
    // The band drawn last.
    std::optional<TRect> DragSpan(const ToolContext&) const override;

private:
    // Erases the band drawn last (not-xor twice restores) and draws the new one.
    void Band(ToolContext& c, const TRect& rect);

    bool drawn_ = false;
    TRect last_{};
};

} // namespace pixora
