#pragma once
// The selection tool (tool 15): making a rectangle, ellipse, freehand or
// magic-wand selection, and moving or resizing the one that exists. Drags
// draw on the view only; StrokeBase keeps the clean image.

#include <optional>

#include "tools/selection_pixels.h"
#include "tools/tool.h"

namespace pixora {

class SelectionTool : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override;
    void Move(ToolContext& c, int x, int y) override;
    void Release(ToolContext& c, int x, int y) override;
    // A rectangle's handles show their sizing cursors.
    void Hover(ToolContext& c, int x, int y) override;
    // Choosing the tool starts without a selection; leaving it commits the
    // floating selection unless an option keeps it for the edit test.
    void Chosen(ToolContext& c) override;
    void Left(ToolContext& c) override;
    // With a selection the clean copy of the image is kept.
    bool TakesStrokeBase(const ToolContext& c) const override;
    // The floating selection goes into its image before that is replaced.
    void BeforeImageReplaced(Workspace& ws) override;
    // Floats pixels a command has just put in FloatBitmap (a paste): the
    // drag of handle HandleHit to (x, y) and its release, as the pointer
    // would make them.
    void DragAndRelease(ToolContext& c, int x, int y);
    // Escape during a drag: a selection being made is dropped; one being
    // moved or resized goes back to where it was at the press.
    bool Cancel(ToolContext& c, bool held) override;
    // A rectangle, ellipse or freehand selection being made, or a
    // rectangle being moved or resized.
    std::optional<TRect> DragSpan(const ToolContext& c) const override;

private:
    void DragNew(ToolContext& c, int x, int y);
    void Finish(ToolContext& c, int x, int y);
    void DragExisting(ToolContext& c, int x, int y);
    void ReleaseExisting(ToolContext& c, int x, int y);

    bool making_ = false;
    TPoint pointer_{}; // the last point a new selection was dragged to
    // The selection's corners at the press of a drag, for Escape.
    TRect pressed_{};
    // The mask's runs, read at the first frame of a drag.
    std::optional<TMaskRuns> runs_;
};

} // namespace pixora
