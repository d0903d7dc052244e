#pragma once
// View geometry: zoom steps, pointer mapping, the layout of the view controls
// on a tab page, and the navigator's formulas. Pure numbers, no widgets.
//
// How the main window uses this (all numbers are widget geometry in pixels):
//
//   * Zoom commands: `SetSlotZoom(slot, ZoomIn(SlotZoom(slot)))` (or
//     `ZoomOut`), a fixed step from `kZoomSteps` (`FindZoomStep(caption)`),
//     or `CustomZoom(spinA, spinB)` for the "Custom Zoom" dialog's OK. Then
//     lay out the view, place and draw the rulers.
//   * Layout: fill a `TViewInput` (client size of the active tab page, the
//     slot's Bitmap size and zoom, "Scale Bars" checked, the two scroll bar
//     positions) and call `LayoutView`. Move every control to the returned
//     rectangles. `Image` and `TopScale`/`LeftScale` rectangles are relative to
//     their parents (`ScrollPanel`, `TopSScroll`, `LeftSScroll`); everything
//     else is relative to the tab page. Sizes can come out negative on a tiny
//     page; Qt treats those as 0.
//   * Scroll bars: Qt's QScrollBar scrolls over the whole minimum..maximum
//     range whatever the page step, so use `setRange(0, bar.PositionLimit)`,
//     `setPageStep(bar.PageStep)` and `setSingleStep(bar.SingleStep)`;
//     `bar.Max` is the bar's nominal maximum which the navigator formulas
//     expect. On a bar's valueChanged move `Image` (and `TopScale` /
//     `LeftScale`) to minus the value. Wheel, keys and zooming about the
//     pointer: view_scroll.h.
//   * Pointer events on `Image`: `ViewToImage(X, SlotZoom(slot))` for x and
//     the same for y.
//   * Rulers (view_rulers.h): after every layout `DrawRulers(topBmp, leftBmp,
//     layout.Image.Width, layout.Image.Height, zoom)` and show the two
//     bitmaps in `TopScale` / `LeftScale`. On each pointer move while
//     "Scale Bars" is checked, `MarkRulers(topBmp, leftBmp, X, Y, topShown,
//     leftShown)` and show the two "shown" bitmaps.
//   * Display copy (checkerboard.h): on a tab change `BuildCheckerboard(
//     checker, w, h)` with the Bitmap's size; `RefreshView` is
//     `MakeDisplayCopy(slot.Bitmap, checker, display, !sys.MouseDown)` then
//     `FillRowTable(display, sys.ScratchRows)` and a repaint of `Image`
//     (which stretches `display` to its own size).
//   * Status bar (view_readout.h, status_hints.h): `PixelReadout(slot.Bitmap,
//     x, y)` at every move, drags included; an empty result leaves the
//     panel alone. `ControlHint(objectName)` on hover.
//   * Navigator: `FitNavigatorThumb` on show, `NavigatorScale` and
//     `NavigatorFrameSize` for the frame, `NavigatorFrameFromScroll` on a
//     press, `NavigatorDrag` on each move while dragging; set the positions
//     only on visible bars. `InvertFrame(thumbShown, l, t, l + fw, t + fh, 3)`
//     (view_draw.h) draws the not-xor frame.
//   * Bitmaps wrapped in a QImage for display are `Format_RGB32`: the fourth
//     byte is transparency, never let Qt read it as alpha.

#include <cstdint>
#include <string_view>

#include "doc/records.h"

namespace pixora {

// n / d rounded to the nearest integer, ties to the even one (d > 0; n may be
// negative). Exact: no floating point involved.
int64_t RoundDivHalfEven(int64_t n, int64_t d);

// ---- Zoom -------------------------------------------------------------------

struct TZoom {
    int32_t Num = 1;
    int32_t Den = 1;
    bool operator==(const TZoom&) const = default;
};

inline TZoom SlotZoom(const TImages& slot) { return {slot.ZoomNum, slot.ZoomDen}; }
inline void SetSlotZoom(TImages& slot, TZoom z) {
    slot.ZoomNum = z.Num;
    slot.ZoomDen = z.Den;
}

// "Zoom In": with a denominator of 1 the numerator grows, otherwise the
// denominator shrinks.
TZoom ZoomIn(TZoom z);
// "Zoom Out": while the denominator is below the numerator the numerator
// shrinks, otherwise the denominator grows.
TZoom ZoomOut(TZoom z);

// The zoom as a whole percentage, rounded half to even.
int ZoomPercent(TZoom z);

// The "Custom Zoom" dialog's values as a zoom pair. The dialog puts no bounds
// on its spin edits, but a pair must never hold 0 (or less): such a value is
// clamped to 1.
TZoom CustomZoom(int num, int den);

// The longest zoomed image side the view takes on. The rulers are bitmaps as
// long as the zoomed image (17 pixels across), so an unbounded custom pair
// would ask for gigabytes or overflow the sizes; 16:1 on a 65,536-pixel side
// still fits.
inline constexpr int64_t kMaxZoomedSide = int64_t{1} << 20;

// Whether an image of this size can be shown at zoom z: both zoomed sides at
// most kMaxZoomedSide. Computed without overflow for any pair of int32.
bool ZoomFits(TZoom z, int imageWidth, int imageHeight);

// The fixed zoom steps of the View menu, with the caption of each item.
struct TZoomStep {
    std::string_view Caption;
    TZoom Zoom;
};
inline constexpr TZoomStep kZoomSteps[] = {
    {"16:1 (1600%)", {16, 1}}, {"8:1 (800%)", {8, 1}},   {"4:1 (400%)", {4, 1}},
    {"2:1 (200%)", {2, 1}},    {"1:1 (100%)", {1, 1}},   {"1:2 (50%)", {1, 2}},
    {"1:4 (25%)", {1, 4}},     {"1:8 (12.5%)", {1, 8}},  {"1:16 (6.25%)", {1, 16}},
    {"Reset", {1, 1}},
};
// The step with this caption, or nullptr.
const TZoomStep* FindZoomStep(std::string_view caption);

// A view coordinate (pixels on `Image`) as an image coordinate: above full
// size the pixel under the view point (v / zoom rounded down); at and below
// it v / zoom rounded half to even. The status bar's read-out uses it too.
int ViewToImage(int v, TZoom z);

// The zoomed size of an image side: p x size div 100 with p the percentage.
int ZoomedLength(int length, TZoom z);

// ---- View layout ------------------------------------------------------------

struct TViewRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TViewRect&) const = default;
};

inline constexpr int kScrollBarSize = 17;  // width of a bar across its direction
inline constexpr int kRulerSize = 17;      // height of the top ruler, width of the left one
inline constexpr int kHorzPageSize = 12;
inline constexpr int kVertPageSize = 0;

struct TViewInput {
    int PageWidth = 0;   // client width of the tab page (W)
    int PageHeight = 0;  // client height of the tab page (H)
    int ImageWidth = 0;  // the slot's Bitmap
    int ImageHeight = 0;
    TZoom Zoom;
    bool RulersShown = true;  // "Scale Bars" checked
    int HorzPosition = 0;     // current position of ScrollBar1
    int VertPosition = 0;     // current position of ScrollBar2
};

struct TScrollBarLayout {
    TViewRect Bounds;
    bool Visible = false;
    int Max = 0;       // nominal maximum of the bar
    int PageSize = 0;  // nominal page: 12 horizontal, 0 vertical
    // The largest position the bar can take: the hidden part of the image
    // side, so that the far end shows the last pixel (with a hidden part of
    // 12 or more this is Max - PageSize + 1 with a page, Max without one).
    // The bar scrolls over 0..PositionLimit.
    int PositionLimit = 0;
    // What the bar's own controls move: a click in the track a page (the
    // visible part, which also makes the thumb proportional to it), an arrow
    // about a twentieth of it.
    int PageStep = 1;
    int SingleStep = 1;
    int Position = 0;  // current position, kept within 0..PositionLimit; 0 when hidden
};

struct TViewLayout {
    int ZoomPercent = 100;
    TViewRect ScrollPanel;  // on the tab page
    TViewRect BorderShape;  // on the tab page
    TViewRect Image;        // inside ScrollPanel: left/top = minus the scroll positions
    TScrollBarLayout ScrollBar1;  // horizontal
    TScrollBarLayout ScrollBar2;  // vertical
    bool RulersVisible = true;
    TViewRect TopSScroll;   // on the tab page
    TViewRect TopScale;     // inside TopSScroll
    TViewRect LeftSScroll;  // on the tab page
    TViewRect LeftScale;    // inside LeftSScroll
};

// Lays out the view controls for one tab page (the window does nothing when
// no tab is active).
TViewLayout LayoutView(const TViewInput& in);

// Moving a scroll bar: the image (and the matching ruler) moves to minus its
// position.
inline int ImageOffsetForPosition(int position) { return -position; }

// ---- Navigator --------------------------------------------------------------

// Where the thumbnail sits in the navigator panel (pw x ph) and its size.
TViewRect FitNavigatorThumb(int panelWidth, int panelHeight, int imageWidth, int imageHeight);

// Scale q of the thumbnail in percent: thumb width / image width x 100, rounded.
int NavigatorScale(int thumbWidth, int imageWidth);

struct TFrameSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TFrameSize&) const = default;
};
// The frame's size: the visible part of the view (ScrollPanel) scaled by q.
TFrameSize NavigatorFrameSize(int scale, int panelWidth, int panelHeight);

struct TNavigatorFrame {
    int Left = 0;
    int Top = 0;
    int HorzPosition = 0;  // new ScrollBar1 position
    int VertPosition = 0;  // new ScrollBar2 position
};

// Frame position that matches the current scroll positions (on a press).
// A bar that is hidden should be passed as position 0.
TNavigatorFrame NavigatorFrameFromScroll(TViewRect thumb, TFrameSize frame, int horzPosition,
                                         int horzMax, int vertPosition, int vertMax);

// A drag to pointer (px, py) on the thumbnail: the frame's top-left, kept on
// the thumbnail, and the scroll positions it asks for. When the frame is as
// wide (tall) as the thumbnail it cannot travel: it stays at 0 and asks for
// position 0. The positions follow the bars' nominal Max; a bar clamps them
// to its own range.
TNavigatorFrame NavigatorDrag(TViewRect thumb, TFrameSize frame, int px, int py, int horzMax,
                              int vertMax);

} // namespace pixora
