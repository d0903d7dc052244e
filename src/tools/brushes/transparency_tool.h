#pragma once
// The transparency tool (22) in its five modes (TForm44 T): the rules of
// transparency_rule.h on the press, the moves and the release.
//
//   "Pen"        segments inverted on the image as the preview and drawn
//                black into StrokeOverlay; the press leaves a dot, as the
//                pen's does
//   "Line", "Rectangle", "Ellipse"
//                the shape from the press point to the pointer inverted on
//                the image, the previous preview taken away first
//   "Spray"      the disc of diameter SR darkens the image as the preview
//                and keeps the new fourth bytes in the overlay, stamped
//                at every pixel of the pointer's path
// The release puts the image back to StrokeBase and changes the fourth
// bytes of the marked pixels (TD, FV), once per stroke. The mode is the
// one of the press for the whole stroke (the overlay was begun for it);
// the other options are read live. A stroke cut short because the image is
// replaced while the button is held is dropped.

#include "doc/records.h"
#include "tools/tool.h"

namespace pixora {

class TransparencyTool final : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override;
    void Move(ToolContext& c, int x, int y) override;
    void Release(ToolContext& c, int x, int y) override;
    void BeforeImageReplaced(Workspace&) override { drawing_ = false; }
    // The spray's disc; the shapes' span while one is dragged.
    std::optional<TStampOutline> StampOutline(const ToolContext& c, int x, int y) const override;
    std::optional<TRect> DragSpan(const ToolContext& c) const override;

private:
    void Draw(ToolContext& c, int x, int y, bool press);

    bool drawing_ = false;
    int mode_ = 0;
    TPoint pointer_{}; // the last point drawn to
    TRect shown_{}; // where the last shape preview may lie
};

} // namespace pixora
