#pragma once
// The stamp brushes (spray, soften, sharpen, noise, copy, lighten, darken,
// history, custom, effect, and the transparency tool's spray mode): a leaf
// is the rule that paints one stamp; this base does the rest.
//
// Contract for a leaf:
//   - Derive from StampBrushFamily, pass the events that stamp (press and
//     move unless told: the copy brush stamps on moves only, the
//     transparency spray also at the release), and implement PaintStamp.
//   - PaintStamp(stamp) paints one stamp centred on (Cx, Cy), in place in
//     stamp.Image through stamp.Rows: rows top to bottom, columns left to
//     right, so that a rule reading neighbours sees the image as already
//     changed by this stamp (and by every stamp before it). It skips pixels
//     outside the image and those stamp.EditTest refuses, and reads its
//     options live through stamp.Option with the control's id.
//   - Leaves keep no state between stamps; each stamp is independent.
// The base, per event that stamps: takes the selection edit test afresh
// (the options are read at every stamp), makes sure Rows lists the image's
// rows, gathers the stamps' reach in Workspace::ViewChanged and leaves
// RefreshAfter at 1 so the dispatcher redraws that part of the view. History, the stroke base copy,
// the step name and the cursor come from the tool's row; StrokeBase holds
// the image as at the press (the history brush's row keeps the chosen
// snapshot there instead).
// Stamps follow the pointer's path: the press stamps where it is, and a
// move stamps at every pixel of the straight path from the position of the
// event before (stroke_path.h), so a fast drag leaves no gaps and paints
// as the same drag given pixel by pixel would.

#include "doc/records.h"
#include "tools/selection.h"
#include "tools/tool.h"

namespace pixora {

enum TStampEvents : unsigned {
    StampOnPress = 1,
    StampOnMove = 2,
    StampOnRelease = 4,
};

// What one stamp works on.
struct TStamp {
    ToolContext& C;
    int Cx, Cy;     // the stamp's centre, image pixels
    unsigned Event; // the event that stamps: StampOnPress, ...
    Bitmap& Image;  // the slot's Bitmap, 32 bits
    const TRowTable& Rows;
    const Bitmap& StrokeBase;
    const SelectionEditTest& EditTest;
    int32_t Colour; // the stroke colour of the press's button
    // An option control, read live.
    int Option(TOpt id) const { return C.Option(id); }
};

class StampBrushFamily : public Tool {
public:
    explicit StampBrushFamily(unsigned events = StampOnPress | StampOnMove) : events_(events) {}

    void Press(ToolContext& c, int x, int y) override;
    void Move(ToolContext& c, int x, int y) override;
    void Release(ToolContext& c, int x, int y) override;
    void BeforeImageReplaced(Workspace&) override { inStroke_ = false; }

protected:
    // The leaf's pixel rule: paints one stamp and returns the part of the
    // image it may have changed (the view redraws that part only).
    virtual TRect PaintStamp(const TStamp& stamp) = 0;

private:
    // Stamps along the path from the last position to (x, y).
    void StampTo(ToolContext& c, int x, int y, unsigned event);

    unsigned events_;
    bool inStroke_ = false; // a press began the stroke and last_ is its position
    TPoint last_{};
};

} // namespace pixora
