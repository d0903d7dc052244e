#include "doc/view_scroll.h"

#include <algorithm>

namespace pixora {

namespace {

constexpr int kNotch = 120;

int ClampAxis(const TScrollBarLayout& bar, int position) {
    return bar.Visible ? std::clamp(position, 0, bar.PositionLimit) : 0;
}

// Pixels a wheel angle scrolls on a bar: LinesPerNotch single steps a notch,
// at least one pixel for any movement at all.
int AngleToPixels(int angle, int lines, int step) {
    if (angle == 0) return 0;
    const int64_t pixels = RoundDivHalfEven(int64_t{angle} * lines * step, kNotch);
    if (pixels == 0) return angle > 0 ? 1 : -1;
    return static_cast<int>(pixels);
}

// The view coordinate that takes the place of `v` when the image side goes
// from `from` to `to` zoomed pixels.
int Rescale(int v, int from, int to) {
    if (from <= 0) return 0;
    return static_cast<int>(RoundDivHalfEven(int64_t{v} * to, from));
}

} // namespace

TScrollPosition ClampScroll(const TViewLayout& l, TScrollPosition p) {
    return {ClampAxis(l.ScrollBar1, p.Horz), ClampAxis(l.ScrollBar2, p.Vert)};
}

TScrollPosition ScrollForWheel(const TViewLayout& l, const TWheel& w) {
    const bool pixels = w.PixelX != 0 || w.PixelY != 0;
    // Each axis's movement in pixels, positive towards the top / the left.
    const int across = pixels ? w.PixelX : AngleToPixels(w.AngleX, w.LinesPerNotch, l.ScrollBar1.SingleStep);
    const int alongHorz =
        pixels ? w.PixelY : AngleToPixels(w.AngleY, w.LinesPerNotch, l.ScrollBar1.SingleStep);
    const int alongVert =
        pixels ? w.PixelY : AngleToPixels(w.AngleY, w.LinesPerNotch, l.ScrollBar2.SingleStep);
    const bool vertWheelGoesAcross = w.Shift || (!l.ScrollBar2.Visible && l.ScrollBar1.Visible);
    TScrollPosition p = CurrentScroll(l);
    if (vertWheelGoesAcross) {
        // Some platforms turn a Shift+wheel into a horizontal wheel already.
        p.Horz -= alongHorz != 0 ? alongHorz : across;
    } else {
        p.Vert -= alongVert;
        p.Horz -= across;
    }
    return ClampScroll(l, p);
}

TScrollPosition ScrollForKey(const TViewLayout& l, TScrollKey key) {
    TScrollPosition p = CurrentScroll(l);
    const bool pageAcross = !l.ScrollBar2.Visible && l.ScrollBar1.Visible;
    switch (key) {
    case TScrollKey::Left:
        p.Horz -= l.ScrollBar1.SingleStep;
        break;
    case TScrollKey::Right:
        p.Horz += l.ScrollBar1.SingleStep;
        break;
    case TScrollKey::Up:
        p.Vert -= l.ScrollBar2.SingleStep;
        break;
    case TScrollKey::Down:
        p.Vert += l.ScrollBar2.SingleStep;
        break;
    case TScrollKey::PageUp:
        (pageAcross ? p.Horz : p.Vert) -= pageAcross ? l.ScrollBar1.PageStep : l.ScrollBar2.PageStep;
        break;
    case TScrollKey::PageDown:
        (pageAcross ? p.Horz : p.Vert) += pageAcross ? l.ScrollBar1.PageStep : l.ScrollBar2.PageStep;
        break;
    case TScrollKey::Home:
        p = {0, 0};
        break;
    case TScrollKey::End:
        p = {l.ScrollBar1.PositionLimit, l.ScrollBar2.PositionLimit};
        break;
    }
    return ClampScroll(l, p);
}

int WheelZoomSteps(int& pending, int angleY) {
    pending += angleY;
    const int steps = pending / kNotch;
    pending -= steps * kNotch;
    return steps;
}

TViewLayout LayoutZoomedAbout(TViewInput in, TZoom to, int pageX, int pageY) {
    const TViewLayout before = LayoutView(in);
    // The point on the zoomed image under the pointer now ...
    const int vx = pageX - before.ScrollPanel.Left - before.Image.Left;
    const int vy = pageY - before.ScrollPanel.Top - before.Image.Top;
    in.Zoom = to;
    // ... and where it lies on the image at the new zoom. The bars and the
    // panel do not depend on the positions, so one layout finds the panel.
    const TViewLayout after = LayoutView(in);
    in.HorzPosition = Rescale(vx, before.Image.Width, after.Image.Width) - (pageX - after.ScrollPanel.Left);
    in.VertPosition = Rescale(vy, before.Image.Height, after.Image.Height) - (pageY - after.ScrollPanel.Top);
    return LayoutView(in);
}

bool NeedsScrolling(const TViewInput& in) {
    const TViewLayout l = LayoutView(in);
    return l.ScrollBar1.Visible || l.ScrollBar2.Visible;
}

TZoom FitZoom(TViewInput in) {
    constexpr TZoom kLargest{16, 1};
    in.Zoom = {1, 1};
    if (NeedsScrolling(in)) {
        // Down to 1 %: a step below it would show the image 0 pixels wide.
        while (NeedsScrolling(in) && ZoomPercent(ZoomOut(in.Zoom)) >= 1)
            in.Zoom = ZoomOut(in.Zoom);
        return in.Zoom;
    }
    for (TViewInput next = in; !(in.Zoom == kLargest);) {
        next.Zoom = ZoomIn(in.Zoom);
        if (NeedsScrolling(next) || !ZoomFits(next.Zoom, in.ImageWidth, in.ImageHeight)) break;
        in.Zoom = next.Zoom;
    }
    return in.Zoom;
}

} // namespace pixora
