#pragma once
// The shared shape of every painting tool. The dispatcher does what all
// tools share at a press (as the tool's row says: history snapshot, the
// stroke base copy, the overlay, refreshing); a tool adds its own routine
// through the hooks below. Tools live in their workspace's tool set, so a
// tool may keep state of its own in members: every workspace has its own.

#include <cstdint>
#include <optional>

#include "doc/display_copy.h"
#include "doc/workspace.h"
#include "tools/tool_options.h"

namespace pixora {

struct TToolDescription;

// What a tool works on during one pointer event or choice.
struct ToolContext {
    Workspace& Ws;
    int SlotIndex;
    TImages& Slot;
    TToolVars& Vars;
    const TToolDescription& Row; // the row of the slot's tool

    // The view canvas: the display copy shown by the view. Drawing here
    // never touches the image.
    Bitmap& View() { return DisplayCopyToDrawOn(Ws); }
    // Reads an option box control live.
    int Option(TOpt id) const;
    // The ids of the stroke options of the tool's own box (the pen's or a
    // shape's).
    const TStrokeOptionIds& StrokeOptions() const;
    void RepaintView() const;
    void RefreshView() const;
    // The stroke colour of the press: the foreground colour for the left
    // button, the background colour for any other; the fill colour is the
    // other one.
    int32_t StrokeColour() const;
    int32_t FillColour() const;
};

// Where a press would paint: the box of the stamp in image pixels (right
// and bottom excluded), a disc or ellipse in it when Round, else the box.
// The view draws its outline over the picture; the image is not touched.
struct TStampOutline {
    TRect Box;
    bool Round = true;
};

class Tool {
public:
    virtual ~Tool() = default;

    // Choosing: `Left` runs on the slot's tool when another one is chosen,
    // before the choice drops or keeps the selection; `Chosen` runs once
    // the tool has become the slot's tool.
    virtual void Left(ToolContext&) {}
    virtual void Chosen(ToolContext&) {}

    // Pointer events in image pixels. Press and Release come in pairs;
    // Move comes while the button is held, Hover while it is not.
    virtual void Press(ToolContext&, int /*x*/, int /*y*/) {}
    virtual void Move(ToolContext&, int /*x*/, int /*y*/) {}
    virtual void Release(ToolContext&, int /*x*/, int /*y*/) {}
    virtual void Hover(ToolContext&, int /*x*/, int /*y*/) {}

    // True when this press goes on with the step an earlier press began:
    // no snapshot, no stroke base copy and no step name then.
    virtual bool ContinuesStep(const ToolContext&) const { return false; }
    // Whether this press copies the image into StrokeBase (the row's word
    // unless the tool knows better).
    virtual bool TakesStrokeBase(const ToolContext& c) const;

    // Escape: drops what the tool has under way (a drag, a multi-click
    // shape, a move), puts the view back as it was before, and says whether
    // there was anything to drop. The image is never changed by it.
    virtual bool Cancel(ToolContext&, bool /*held*/) { return false; }

    // The stamp a press at (x, y) would paint, with the options as they are
    // now; nothing for a tool that paints no stamp.
    virtual std::optional<TStampOutline> StampOutline(const ToolContext&, int /*x*/, int /*y*/) const {
        return std::nullopt;
    }
    // While a shape, selection or crop rectangle is dragged: the press
    // corner and the opposite one (not normalised), for the status bar's
    // width and height; nothing otherwise.
    virtual std::optional<TRect> DragSpan(const ToolContext&) const { return std::nullopt; }

    // The image on screen is about to be replaced (undo, redo, a layer
    // choice, the tab change).
    virtual void BeforeImageReplaced(Workspace&) {}
};

} // namespace pixora
