#pragma once
// The selection tool (tool 15): making, moving, resizing and dropping a
// floating selection; the edit test every painting routine asks; Select
// All, Select None, the crop and the colour fills.
//
// The image itself never carries a selection's outline: outlines are drawn
// on the view only, so Bitmap is always the clean image and dropping the
// selection just writes the floating pixels into it.

#include <vector>

#include "doc/workspace.h"
#include "tools/selection_pixels.h"

namespace pixora {

enum SelectionShape : int { SelRectangle = 0, SelEllipse = 1, SelFreeHand = 2, SelMagicWand = 3 };

// The box the selection options live in.
inline constexpr TWindow kSelectBox = TWindow::SelectOptions;

// The "Select Options" box, read live.
struct TSelectOptions {
    int Shape = SelRectangle;
    bool EditArea = false;           // "Edit Selection Area" (else "Edit Selected Canvas")
    bool ApplyToSelection = false;   // A
    bool ExcludeSelection = false;   // E
    bool DuplicateOnMouseUp = false; // D
    bool DeleteUnderlying = false;   // DU
    int Tolerance = 0;               // T, 0..100
};
TSelectOptions ReadSelectOptions(const Workspace& ws);
int SelectionType(const Workspace& ws);

// Whether an edit may change image pixel (x, y), for one operation: the
// options and the mask are taken once, then Test() is cheap. A selection
// made on another image than the active one confines nothing.
class SelectionEditTest {
public:
    // Confines nothing: every pixel may change.
    SelectionEditTest() = default;
    explicit SelectionEditTest(const Workspace& ws);
    // From the pieces themselves: a 32-bit mask (blue byte 0 = selected)
    // whose top-left pixel lies at image (left, top); apply true keeps edits
    // inside the selection, false keeps them outside it. The mask must
    // outlive the test.
    SelectionEditTest(const Bitmap& mask, int left, int top, bool apply);
    // A test that passes every pixel (for edits that ignore the selection).
    static SelectionEditTest PassAll() { return SelectionEditTest(); }
    bool Test(int x, int y) const {
        if (!active_) return true;
        const int mx = x - left_, my = y - top_;
        const bool inside = mx >= 0 && my >= 0 && mx < width_ && my < height_;
        const bool selected = inside && rows_[static_cast<std::size_t>(my)][mx * 4] == 0;
        return apply_ ? selected : !selected;
    }
    bool Active() const { return active_; }

private:
    bool active_ = false, apply_ = false;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::vector<const uint8_t*> rows_;
};

// The slot the current selection belongs to: the one it was made on, or
// the active slot for a selection that did not say.
int SelectionOwner(const Workspace& ws);
// Ends the selection without committing anything.
void ForgetSelection(TToolVars& v);

// Cuts the selection down to the bounding box of the black pixels of the
// image-size mask in SelectionMask (StrokeOverlay holds the same): the
// mask, the corners and the floating pixels (from StrokeBase, the clean
// image) become that box's.
// Returns false when the mask selects nothing.
bool TightenSelection(Workspace& ws, TImages& s);

// Commits the floating pixels into the image the selection was made on and
// ends the selection; only while a selection exists and that image's tool
// is the selection tool. Returns whether anything was dropped.
bool DropSelection(Workspace& ws);
// What undo, redo, the layer choice and the tab change do before the image
// on screen changes: drop a selection of the selection tool, and end one
// kept for the edit test when it belongs to another image than the active
// one. Returns whether an image changed.
bool EndSelection(Workspace& ws);

void SelectAll(Workspace& ws);
void SelectNone(Workspace& ws);
// Crops Bitmap to the crop rectangle shown; nothing without one (or when
// the rectangle has no area). Returns whether it cropped.
bool ApplyCrop(Workspace& ws);
// "Crop to Selection" and the double click: the crop rectangle when one is
// shown; otherwise, with a selection of the selection tool, the selection
// is committed and the image cropped to its bounding rectangle.
bool CropToSelection(Workspace& ws);
// Fills the whole image with the foreground (fg true) or background colour.
void FillWithColour(Workspace& ws, bool fg);

// The outline of the current selection on the view at its place: the
// dotted rectangle, ellipse or polygon, or the inverted edge of a wand mask.
void DrawSelectionOutline(Workspace& ws, int shape);

// The view has just been drawn afresh from the image: a selection kept for
// another tool's edits ("Apply Edit to Selection Only" or "Exclude Selection
// from Edit") gets its outline back, so it stays in sight while painting.
// The selection tool's own selection is left to that tool. True when drawn.
bool DrawKeptSelection(Workspace& ws);

} // namespace pixora
