#pragma once
// The two rulers ("Scale Bars") above and left of the view: where their ticks
// and labels go, drawing them into the ruler bitmaps, and the pointer marks.

#include <cstddef>
#include <functional>
#include <vector>

#include "doc/bitmap.h"
#include "doc/view_draw.h"
#include "doc/view_geometry.h"

namespace pixora {

enum class RulerSide { Top, Left };

struct TRulerTick {
    int Pos = 0;        // column (top ruler) or row (left ruler) in view pixels
    bool Major = false;
    int Label = 0;      // number written beside a major tick (100, 200 ...); 0 for minor ticks
    int LabelX = 0;     // top-left of the label's text (before rotation on the left ruler)
    int LabelY = 0;
};

// Distance between ticks in view pixels: zoom x 10, rounded half to even.
// One tick stands for 10 image pixels.
int RulerTickStep(TZoom z);

// The ticks of a ruler `length` view pixels long, in order. Position 0 always
// carries a minor tick; tick k falls where image pixel 10 x k is shown
// (rounded half to even), every tenth one major with its label 10 x k. With a
// step of 0 (zoom below 1/19) position 0 is the only tick.
std::vector<TRulerTick> RulerTicks(RulerSide side, int length, TZoom z);

// Which major ticks get their label drawn: walking along the ruler, a label
// is left out when its text (`textLength(label)` pixels along the ruler)
// would reach within 4 pixels of the last one drawn, so labels never overlap
// at any zoom. Indices into `ticks`.
std::vector<std::size_t> LabelsShown(RulerSide side, const std::vector<TRulerTick>& ticks,
                                     const std::function<int(int label)>& textLength);

// Sizes the ruler bitmaps to the zoomed image (top: imageWidth x 17, left:
// 17 x imageHeight), fills them white and draws ticks and labels.
// Needs a QGuiApplication for the label fonts.
void DrawRulers(Bitmap& top, Bitmap& left, int imageWidth, int imageHeight, TZoom z);

// One ruler only (the side decides the orientation).
void DrawRuler(Bitmap& ruler, RulerSide side, int length, TZoom z);

// The pointer marks: restores the shown ruler pictures from the ruler bitmaps
// and draws a small black-framed, white-filled rectangle at the pointer
// position (X, Y) in view pixels on each.
void MarkRulers(const Bitmap& top, const Bitmap& left, int X, int Y, Bitmap& topShown,
                Bitmap& leftShown);

} // namespace pixora
