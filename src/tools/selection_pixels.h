#pragma once
// Pixel and rectangle helpers shared by the selection tool, the selection
// commands and the crop rectangle: stretched copies, the floating pixels
// under their mask, dotted outlines on the view, and normalising a dragged
// rectangle.

#include <vector>

#include "doc/canvas.h"
#include "doc/workspace.h"

namespace pixora {

// Pixel copies between bitmaps, clipped to both: the source rectangle is
// stretched into the destination rectangle (nearest pixel, sampled at pixel
// centres, so a stretch there and back is exact).
void StretchRect(const Bitmap& src, const TRect& from, Bitmap& dst, const TRect& to);
// The whole of src stretched into `to`.
void StretchInto(const Bitmap& src, Bitmap& dst, const TRect& to);
// The same, laid over what dst holds: each pixel's transparency weighs it
// as a layer's does (BlendLayer's colour rule), and the transparency that
// stays is the product of both (an opaque pixel is copied as it is, a
// fully transparent one leaves dst alone). Both 32 bits.
void StretchOver(const Bitmap& src, Bitmap& dst, const TRect& to);

// A pasted picture (a paste or an import to fit, drawn over the whole
// floating rectangle) is laid over the image; pixels lifted from the image
// itself keep their own bytes when they move.
inline bool FloatIsPasted(const TToolVars& v) {
    return v.FloatInset == 0;
}
// StretchOver for a pasted picture, StretchInto for lifted pixels.
void StretchFloating(const TToolVars& v, Bitmap& dst, const TRect& to);

TRect NormalisedRect(TRect r);
// The rectangle shrunk by one pixel on every side.
inline TRect InnerRect(const TRect& r) {
    return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}
// The selection or crop rectangle of a slot: (DownX, DownY)-(SelRight, SelBottom).
inline TRect SelectionRect(const TImages& s, const TToolVars& v) {
    return {s.DownX, s.DownY, v.SelRight, v.SelBottom};
}
// Where a rectangle selection's floating pixels are drawn: the selection
// rectangle shrunk by FloatInset on every side.
inline TRect FloatingRect(const TImages& s, const TToolVars& v) {
    const TRect r = SelectionRect(s, v);
    const int i = v.FloatInset;
    return {r.Left + i, r.Top + i, r.Right - i, r.Bottom - i};
}

// The handle code that names the same corner or edge once the rectangle
// has been mirrored left-right and/or top-bottom.
int FlipHandle(int code, bool horizontal, bool vertical);
// Puts (DownX, DownY) at the top left of the rectangle and (SelRight,
// SelBottom) at the bottom right, and sets LastPoint to (DownX, DownY).
// Returns the handle code that now names the corner or edge `handle` was
// dragging, so a drag past the opposite corner goes on moving the same
// side of the rectangle.
int NormaliseCorners(TImages& s, TToolVars& v, int handle = 0);

// The dotted not-xor outline of a rectangle (columns Left..Right-1, rows
// Top..Bottom-1) on the view: every other outline pixel has its colour
// bytes inverted, so drawing it twice puts the view back. Costs the
// perimeter, not the area.
void DottedRectangle(Bitmap& view, const TRect& r);

// A canvas with the outline pen of selections and the crop rectangle:
// not-xor, dotted, clear brush.
Canvas DottedNotXor(Bitmap& target);

// One frame of a drag: view becomes a copy of base with the floating
// pixels over it, in one pass over the rows. The same as copying base and
// then StretchInto(floating, view, to) (StretchOver with `over`) ...
void ComposeStretched(const Bitmap& base, const Bitmap& floating, const TRect& to, Bitmap& view,
                      bool over = false);
// ... or WriteFloating(floating, mask, view, left, top).
void ComposeMasked(const Bitmap& base, const Bitmap& floating, const Bitmap& mask, int left, int top,
                   Bitmap& view);

// The selected pixels of a mask (blue byte 0) as runs of columns per row:
// read once when a drag starts, they spare every frame the mask.
class TMaskRuns {
public:
    explicit TMaskRuns(const Bitmap& mask);
    int Height() const { return static_cast<int>(rowStart_.size()) - 1; }
    struct TRun {
        int Begin, End; // columns [Begin, End)
    };
    const TRun* RowBegin(int y) const { return runs_.data() + rowStart_[static_cast<std::size_t>(y)]; }
    const TRun* RowEnd(int y) const { return runs_.data() + rowStart_[static_cast<std::size_t>(y) + 1]; }

private:
    std::vector<std::size_t> rowStart_;
    std::vector<TRun> runs_;
};
// ComposeMasked with the mask's runs worked out beforehand.
void ComposeRuns(const Bitmap& base, const Bitmap& floating, const TMaskRuns& runs, int left, int top,
                 Bitmap& view);

// Writes every selected floating pixel (mask blue byte 0) to
// (left + mx, top + my) of target, skipping targets outside it.
void WriteFloating(const Bitmap& floating, const Bitmap& mask, Bitmap& target, int left, int top);
// Inverts the colour bytes of the mask's edge pixels (selected pixels with
// an unselected or missing 4-neighbour) placed at (left, top) on view.
void OutlineMask(const Bitmap& mask, Bitmap& view, int left, int top);

// An image-size white 32-bit work bitmap.
void WhiteImageSize(TWorkBitmap& w, const Bitmap& image);
// `overlay` becomes image-size white with the mask's selected pixels,
// placed at (left, top), black.
void MaskIntoOverlay(const Bitmap& mask, int left, int top, const Bitmap& image, TWorkBitmap& overlay);

} // namespace pixora
