#pragma once
// A workspace's tools: the rows of the tool table and one Tool object per
// row that has pointer behaviour, made afresh for every workspace. The set
// is the pointer dispatcher too: a pointer event reaches the tools by one
// route, the view handing it to the set.

#include <memory>
#include <vector>

#include "doc/workspace.h"
#include "tools/pointer_target.h"
#include "tools/tool.h"
#include "tools/tool_table.h"

namespace pixora {

class ToolSet : public WorkspaceExtension, public PointerTarget {
public:
    // Makes the tools of every row of `rows` (the program's table unless
    // given) and subscribes them to "before the image is replaced".
    explicit ToolSet(Workspace& ws, std::span<const TToolDescription> rows = ToolTable());
    ~ToolSet() override;

    // The tool object of a number, or nullptr.
    Tool* For(int number) const;
    // The row of a number (the empty row outside the set).
    const TToolDescription& Row(int number) const;

    // Puts `tool` in the place of a number's tool, keeping its row; or adds
    // a row (replacing one of the same number) with its tool.
    void Install(int number, std::unique_ptr<Tool> tool);
    void Install(const TToolDescription& row, std::unique_ptr<Tool> tool);

    // PointerTarget: image pixels, button 0 left, 1 right, 2 middle.
    void Down(int x, int y, int button) override;
    void Move(int x, int y) override;
    void Up(int x, int y) override;
    void DoubleClick() override;

    // What the view shows of the active slot's tool beside the picture: the
    // outline of the stamp a press at (x, y) would paint, and the span of
    // the drag under way (only while the button is held).
    std::optional<TStampOutline> StampOutline(int x, int y);
    std::optional<TRect> DragSpan();

    // The window-free part of choosing a tool; see SelectToolCore.
    bool Choose(int tool);

    // Escape: the slot's tool drops what it has under way and the crop
    // rectangle goes; a held button then ends nothing more (its release is
    // ignored). True when anything was dropped.
    bool Cancel();

    // Ends the step of the last press: a step exists only when the press
    // changed the image, stored as it was before and named after the tool.
    void FinishStep();

    // Once an edit is done: the stroke base and the overlay that the last
    // press made are image-sized and no tool reads them until the next
    // press, so they are given back (the overlay only when it is all white
    // again). Kept while a button is held, a step goes on over several
    // presses, a selection floats or a crop rectangle is shown, and when
    // anything else has put its own picture there since (the history
    // brush's chosen source). A later press that takes neither makes them
    // again as they were: the overlay white, the base the state of the
    // history that the press which took it found.
    void Rest();

private:
    void Grow(int number);
    // Shows what the tool's event changed: the part it told
    // (Workspace::ViewChanged), or the whole view when it told nothing.
    void ShowChanges();

    // The step a press opened and has not ended yet.
    struct TPendingStep {
        int Slot = -1;
        // The history as it stood at the press: another command's step in
        // between has taken the press's change into its own snapshot.
        int Pos = 0;
        int Count = 0;
        std::string_view Name;
        // The image as it was at the press: the undo store's kept state
        // when it held the image (Kept), else a copy made for the step.
        const Bitmap* Kept = nullptr;
        Bitmap Before;
    };
    TPendingStep pending_;

    // What the last press made, and what Rest has given back.
    struct TScratch {
        int Slot = -1;
        int State = 0; // the history state the stroke base holds
        const uint8_t* Base = nullptr;
        const uint8_t* Overlay = nullptr;
    };
    TScratch made_;
    bool baseParked_ = false, overlayParked_ = false;
    TScratch parked_;
    // Makes again, for a press that takes neither, what Rest gave back.
    void Unpark(const TToolDescription& row, bool takeBase, const Bitmap& image);

    Workspace& ws_;
    std::vector<TToolDescription> rows_; // index = tool number
    std::vector<std::unique_ptr<Tool>> tools_;
};

// The workspace's tool set, made on first use.
ToolSet& ToolsOf(Workspace& ws);

// ToolSet::Rest for the workspace's tools, when it has any.
void RestTools(Workspace& ws);

} // namespace pixora
