#pragma once
// Moving around the view: the wheel (plain, Shift, touchpad pixels), the
// navigation keys, zoom steps from Ctrl+wheel and zooming about a point of
// the page. Pure numbers over a laid-out view (view_geometry.h), no widgets:
// the view controls turn events into these inputs and set the bars to the
// positions returned.

#include "doc/view_geometry.h"

namespace pixora {

// The positions of ScrollBar1 (horizontal) and ScrollBar2 (vertical).
struct TScrollPosition {
    int Horz = 0;
    int Vert = 0;
    bool operator==(const TScrollPosition&) const = default;
};

inline TScrollPosition CurrentScroll(const TViewLayout& l) {
    return {l.ScrollBar1.Position, l.ScrollBar2.Position};
}

// Positions kept within what each bar takes; a hidden bar stays at 0.
TScrollPosition ClampScroll(const TViewLayout& l, TScrollPosition p);

// One wheel event. Angles are in eighths of a degree (120 a notch, less from
// high-resolution wheels); pixels come from touchpads and take precedence
// when present. Positive values scroll towards the top / the left.
struct TWheel {
    int AngleX = 0;
    int AngleY = 0;
    int PixelX = 0;
    int PixelY = 0;
    bool Shift = false;    // the vertical wheel scrolls horizontally
    int LinesPerNotch = 3; // the desktop's setting; a line is a bar's single step
};

// Where the wheel takes the view. A notch moves LinesPerNotch single steps
// (never less than a pixel for a partial notch), a touchpad its own pixels.
// The vertical wheel scrolls vertically, or horizontally with Shift or when
// only the horizontal bar is shown; the horizontal wheel scrolls
// horizontally.
TScrollPosition ScrollForWheel(const TViewLayout& l, const TWheel& w);

enum class TScrollKey { Left, Right, Up, Down, PageUp, PageDown, Home, End };

// Where a navigation key takes the view: the arrows move a single step, Page
// Up / Page Down a page (horizontally when only that bar is shown), Home the
// top-left corner, End the bottom-right one.
TScrollPosition ScrollForKey(const TViewLayout& l, TScrollKey key);

// Ctrl+wheel: the zoom steps that `angleY` completes, with `pending` carrying
// the part of a notch not yet used (high-resolution wheels send fractions).
// Positive steps zoom in.
int WheelZoomSteps(int& pending, int angleY);

// The view laid out at zoom `to` so that the image point under page point
// (pageX, pageY) stays under it, as far as the bars' ranges allow. `in` is
// the view as it is now (its zoom and bar positions).
TViewLayout LayoutZoomedAbout(TViewInput in, TZoom to, int pageX, int pageY);

// "Fit to Window": the largest zoom of the Zoom In / Zoom Out steps at which
// the view shows the whole image without a scroll bar, up to 16:1 (the
// largest fixed step); an image no step shows whole gets the smallest step
// still shown at 1 %. `in` gives the page, the image and the rulers.
TZoom FitZoom(TViewInput in);

// Whether the image of `in` at its zoom is larger than the view shows whole.
bool NeedsScrolling(const TViewInput& in);

} // namespace pixora
