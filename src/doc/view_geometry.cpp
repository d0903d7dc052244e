#include "doc/view_geometry.h"

#include <algorithm>

namespace pixora {

int64_t RoundDivHalfEven(int64_t n, int64_t d) {
    // Floor division first, so that negative n rounds the same way as positive.
    int64_t q = n / d;
    int64_t r = n % d;
    if (r < 0) {
        q -= 1;
        r += d;
    }
    // Now n = q * d + r with 0 <= r < d.
    const int64_t twice = 2 * r;
    if (twice > d || (twice == d && (q & 1) != 0)) ++q;
    return q;
}

// ---- Zoom -------------------------------------------------------------------

TZoom ZoomIn(TZoom z) {
    if (z.Den == 1)
        ++z.Num;
    else
        --z.Den;
    return z;
}

TZoom ZoomOut(TZoom z) {
    if (z.Den < z.Num)
        --z.Num;
    else
        ++z.Den;
    return z;
}

int ZoomPercent(TZoom z) { return static_cast<int>(RoundDivHalfEven(int64_t{z.Num} * 100, z.Den)); }

TZoom CustomZoom(int num, int den) { return {std::max(num, 1), std::max(den, 1)}; }

bool ZoomFits(TZoom z, int imageWidth, int imageHeight) {
    if (z.Num < 1 || z.Den < 1) return false;
    const int64_t p = RoundDivHalfEven(int64_t{z.Num} * 100, z.Den);
    const int64_t longest = std::max<int64_t>({imageWidth, imageHeight, 0});
    return p * longest / 100 <= kMaxZoomedSide;
}

const TZoomStep* FindZoomStep(std::string_view caption) {
    for (const TZoomStep& step : kZoomSteps)
        if (step.Caption == caption) return &step;
    return nullptr;
}

int ViewToImage(int v, TZoom z) { return static_cast<int>(RoundDivHalfEven(int64_t{v} * z.Den, z.Num)); }

int ZoomedLength(int length, TZoom z) {
    return static_cast<int>(int64_t{ZoomPercent(z)} * length / 100);
}

// ---- View layout ------------------------------------------------------------

namespace {

// Shows or hides one scroll bar for the zoomed image side `zoomed` on a page
// side `page`; returns the panel's side before the other bar takes its share.
int FitAxis(int page, int zoomed, bool& barShown) {
    if (page - kScrollBarSize >= zoomed) {
        barShown = false;
        return zoomed;
    }
    barShown = true;
    return page - kScrollBarSize;
}

// The panel's offset along one axis: pinned at 18 when the image is larger
// than the page, otherwise centred in what the bar across leaves free.
int CentreAxis(int page, int zoomed, int otherBar, int panel) {
    if (page < zoomed) return kScrollBarSize + 1;
    return (page - otherBar - kScrollBarSize) / 2 - panel / 2 + kScrollBarSize + 1;
}

void FinishBar(TScrollBarLayout& bar, bool shown, int d, int maxAtLarge, int pageSize, int position) {
    bar.Visible = shown;
    bar.PageSize = pageSize;
    if (!shown) {
        bar.Max = 0;
        bar.PositionLimit = 0;
        bar.Position = 0;
        return;
    }
    bar.Max = d >= 12 ? maxAtLarge : 12;
    bar.PositionLimit = pageSize > 0 ? bar.Max - pageSize + 1 : bar.Max;
    bar.Position = std::clamp(position, 0, bar.PositionLimit);
}

} // namespace

TViewLayout LayoutView(const TViewInput& in) {
    TViewLayout out;
    const int W = in.PageWidth;
    const int H = in.PageHeight;
    out.ZoomPercent = ZoomPercent(in.Zoom);
    out.Image.Width = ZoomedLength(in.ImageWidth, in.Zoom);
    out.Image.Height = ZoomedLength(in.ImageHeight, in.Zoom);

    out.ScrollBar1.Bounds = {kScrollBarSize, H - kScrollBarSize, W - 2 * kScrollBarSize, kScrollBarSize};
    out.ScrollBar2.Bounds = {W - kScrollBarSize, kScrollBarSize, kScrollBarSize, H - 2 * kScrollBarSize};

    bool horzShown = false, vertShown = false;
    out.ScrollPanel.Width = FitAxis(W, out.Image.Width, horzShown);
    out.ScrollPanel.Height = FitAxis(H, out.Image.Height, vertShown);
    const int h = horzShown ? kScrollBarSize : 0;
    const int v = vertShown ? kScrollBarSize : 0;
    out.ScrollPanel.Width -= v;
    out.ScrollPanel.Height -= h;
    out.ScrollPanel.Left = CentreAxis(W, out.Image.Width, v, out.ScrollPanel.Width);
    out.ScrollPanel.Top = CentreAxis(H, out.Image.Height, h, out.ScrollPanel.Height);

    out.BorderShape = {out.ScrollPanel.Left - 1, out.ScrollPanel.Top - 1, out.ScrollPanel.Width + 2,
                       out.ScrollPanel.Height + 2};

    const int dx = out.Image.Width - out.ScrollPanel.Width;
    const int dy = out.Image.Height - out.ScrollPanel.Height;
    FinishBar(out.ScrollBar1, horzShown, dx, dx + 11, kHorzPageSize, in.HorzPosition);
    FinishBar(out.ScrollBar2, vertShown, dy, dy, kVertPageSize, in.VertPosition);
    // A hidden bar leaves the image at the panel's edge.
    out.Image.Left = ImageOffsetForPosition(out.ScrollBar1.Position);
    out.Image.Top = ImageOffsetForPosition(out.ScrollBar2.Position);

    // Rulers: the top one starts at the panel's left and sits just above the
    // border, the left one starts at the panel's top just left of the border.
    // The ruler pictures are as large as the zoomed image and scroll with it.
    out.RulersVisible = in.RulersShown;
    out.TopSScroll = {out.ScrollPanel.Left, out.BorderShape.Top - kRulerSize, W, kRulerSize};
    out.LeftSScroll = {out.BorderShape.Left - kRulerSize, out.ScrollPanel.Top, kRulerSize, H};
    out.TopScale = {out.Image.Left, 0, out.Image.Width, kRulerSize};
    out.LeftScale = {0, out.Image.Top, kRulerSize, out.Image.Height};
    return out;
}

// ---- Navigator --------------------------------------------------------------

TViewRect FitNavigatorThumb(int pw, int ph, int width, int height) {
    if (width <= 0 || height <= 0) return {pw / 2, ph / 2, 0, 0};
    if (width > pw || height > ph) {
        int tw = static_cast<int>(int64_t{ph} * width / height);
        int th = ph;
        if (tw > pw) {
            tw = pw;
            th = static_cast<int>(int64_t{pw} * height / width);
        }
        return {(pw - tw) / 2, (ph - th) / 2, tw, th};
    }
    return {pw / 2 - width / 2, ph / 2 - height / 2, width, height};
}

int NavigatorScale(int thumbWidth, int imageWidth) {
    if (imageWidth <= 0) return 0;
    return static_cast<int>(RoundDivHalfEven(int64_t{thumbWidth} * 100, imageWidth));
}

TFrameSize NavigatorFrameSize(int scale, int panelWidth, int panelHeight) {
    return {static_cast<int>(RoundDivHalfEven(int64_t{scale} * panelWidth, 100)),
            static_cast<int>(RoundDivHalfEven(int64_t{scale} * panelHeight, 100))};
}

namespace {

// A scroll position as the frame's offset on a travel of `travel` pixels.
int FrameOffset(int position, int max, int travel) {
    if (max <= 0 || travel <= 0) return 0;
    return static_cast<int>(RoundDivHalfEven(int64_t{position} * travel, max));
}

// The frame's offset as a scroll position: the offset is first made a whole
// percentage of the travel, then a share of the bar's maximum.
int PositionForOffset(int offset, int travel, int max) {
    if (travel <= 0) return 0;
    const int64_t percent = RoundDivHalfEven(int64_t{offset} * 100, travel);
    return static_cast<int>(RoundDivHalfEven(percent * max, 100));
}

int DragAxis(int pointer, int frame, int thumb) {
    int start = pointer - frame / 2;
    start = std::min(start, thumb - frame);
    return std::max(start, 0);
}

} // namespace

TNavigatorFrame NavigatorFrameFromScroll(TViewRect thumb, TFrameSize frame, int horzPosition,
                                         int horzMax, int vertPosition, int vertMax) {
    TNavigatorFrame f;
    f.Left = FrameOffset(horzPosition, horzMax, thumb.Width - frame.Width);
    f.Top = FrameOffset(vertPosition, vertMax, thumb.Height - frame.Height);
    f.HorzPosition = horzPosition;
    f.VertPosition = vertPosition;
    return f;
}

TNavigatorFrame NavigatorDrag(TViewRect thumb, TFrameSize frame, int px, int py, int horzMax,
                              int vertMax) {
    TNavigatorFrame f;
    f.Left = DragAxis(px, frame.Width, thumb.Width);
    f.Top = DragAxis(py, frame.Height, thumb.Height);
    f.HorzPosition = PositionForOffset(f.Left, thumb.Width - frame.Width, horzMax);
    f.VertPosition = PositionForOffset(f.Top, thumb.Height - frame.Height, vertMax);
    return f;
}

} // namespace pixora
