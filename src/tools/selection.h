#pragma once
// The selection tool (tool 15): making, moving, resizing and dropping a
// floating selection; the edit test every painting routine asks; Select
// All, Select None, the crop and the colour fills.

#include "doc/workspace.h"

namespace pixora {

enum SelectionShape : int { SelRectangle = 0, SelEllipse = 1, SelFreeHand = 2, SelMagicWand = 3 };

// The "Select Options" box, read live.
struct TSelectOptions {
    int Shape = SelRectangle;
    bool EditArea = false;          // "Edit Selection Area" (else "Edit Selected Canvas")
    bool ApplyToSelection = false;  // A
    bool ExcludeSelection = false;  // E
    bool DuplicateOnMouseUp = false;  // D
    bool DeleteUnderlying = false;    // DU
    int Tolerance = 0;                // T, 0..100
};
TSelectOptions ReadSelectOptions(const Workspace& ws);
int SelectionType(const Workspace& ws);

// Whether an edit may change image pixel (x, y), for one operation: the
// options and the mask are taken once, then Test() is cheap.
class SelectionEditTest {
public:
    explicit SelectionEditTest(const Workspace& ws);
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
    std::vector<uint8_t*> rows_;
};

// Commits the floating pixels and ends the selection; only while a
// selection exists and the active slot's tool is the selection tool.
// Returns whether anything was dropped.
bool DropSelection(Workspace& ws);

void SelectAll(Workspace& ws);
void SelectNone(Workspace& ws);
// Crops Bitmap to the crop rectangle shown; nothing without one (or when
// the rectangle has no area). Returns whether it cropped.
bool ApplyCrop(Workspace& ws);
// Fills the whole image with the foreground (fg true) or background colour.
void FillWithColour(Workspace& ws, bool fg);

// Pixel copies between bitmaps, clipped to both: the source rectangle is
// stretched into the destination rectangle (nearest pixel, sampled at pixel
// centres, so a stretch there and back is exact).
void StretchRect(const Bitmap& src, const TRect& from, Bitmap& dst, const TRect& to);

// Registers the selection, crop and colour picker tools.
void RegisterSelectionTools();

} // namespace pixora
