#include "doc/view_geometry.h"

#include <algorithm>

namespace pixora {

namespace {

// n / d rounded down (d > 0), for negative n too.
int64_t FloorDiv(int64_t n, int64_t d) {
    const int64_t q = n / d;
    return n % d < 0 ? q - 1 : q;
}

} // namespace

int64_t RoundDivHalfEven(int64_t n, int64_t d) {
    // Floor division first, so that negative n rounds the same way as positive.
    int64_t q = FloorDiv(n, d);
    const int64_t r = n - q * d;
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

int ViewToImage(int v, TZoom z) {
    const int64_t n = int64_t{v} * z.Den;
    // Zoomed in, a view point lies inside one image pixel's square: that
    // pixel, whichever part of it is hit (floor, so left of the image too).
    if (z.Num > z.Den) return static_cast<int>(FloorDiv(n, z.Num));
    return static_cast<int>(RoundDivHalfEven(n, z.Num));
}

int ZoomedLength(int length, TZoom z) {
    return static_cast<int>(int64_t{ZoomPercent(z)} * length / 100);
}

// ---- View layout ------------------------------------------------------------

namespace {

// The room a panel side has on the page: the page less the ruler and the
// border's pixel before the panel, less the scroll bar across it when that
// one shows. A panel never reaches past its room, so its last column and row
// are never under a bar or beyond the page's edge.
int Room(int page, bool otherBarShown) {
    return page - kRulerSize - 1 - (otherBarShown ? kScrollBarSize : 0);
}

// The panel's offset along one axis: pinned beside the ruler while a bar
// scrolls this direction, otherwise centred in what the bar across leaves
// free (kept within the room, so the centring's rounding cannot push the
// image's last pixel off the page).
int CentreAxis(int page, int zoomed, bool barShown, bool otherBarShown, int panel) {
    const int pinned = kRulerSize + 1;
    if (barShown) return pinned;
    const int otherBar = otherBarShown ? kScrollBarSize : 0;
    const int centred = (page - otherBar - kScrollBarSize) / 2 - panel / 2 + pinned;
    return std::max(pinned, std::min(centred, pinned + Room(page, otherBarShown) - zoomed));
}

// Ranges of a bar over a hidden part of d pixels: the nominal maximum the
// navigator's formulas use, and the positions the bar really takes, which
// scroll the image by exactly d at the far end whatever d is. The thumb is
// the visible part (`visible` pixels) and an arrow moves about a twentieth
// of it.
void FinishBar(TScrollBarLayout& bar, bool shown, int d, int maxAtLarge, int pageSize, int visible,
               int position) {
    bar.Visible = shown;
    bar.PageSize = pageSize;
    bar.PageStep = std::max(1, visible);
    bar.SingleStep = std::max(1, visible / 20);
    if (!shown) {
        bar.Max = 0;
        bar.PositionLimit = 0;
        bar.Position = 0;
        return;
    }
    bar.Max = d >= 12 ? maxAtLarge : 12;
    bar.PositionLimit = std::max(0, d);
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
    const int iw = out.Image.Width, ih = out.Image.Height;

    out.ScrollBar1.Bounds = {kScrollBarSize, H - kScrollBarSize, W - 2 * kScrollBarSize, kScrollBarSize};
    out.ScrollBar2.Bounds = {W - kScrollBarSize, kScrollBarSize, kScrollBarSize, H - 2 * kScrollBarSize};

    // A bar shows when its image side does not fit the room. Each bar takes
    // its width from the other direction, which may then be too small for
    // its side as well: then that bar shows too. Two rounds settle it, since
    // a bar once shown stays shown.
    bool horz = Room(W, false) < iw;
    bool vert = Room(H, false) < ih;
    for (int round = 0; round < 2; ++round) {
        horz = horz || Room(W, vert) < iw;
        vert = vert || Room(H, horz) < ih;
    }
    out.ScrollPanel.Width = horz ? Room(W, vert) : iw;
    out.ScrollPanel.Height = vert ? Room(H, horz) : ih;
    out.ScrollPanel.Left = CentreAxis(W, iw, horz, vert, out.ScrollPanel.Width);
    out.ScrollPanel.Top = CentreAxis(H, ih, vert, horz, out.ScrollPanel.Height);

    out.BorderShape = {out.ScrollPanel.Left - 1, out.ScrollPanel.Top - 1, out.ScrollPanel.Width + 2,
                       out.ScrollPanel.Height + 2};

    const int dx = iw - out.ScrollPanel.Width;
    const int dy = ih - out.ScrollPanel.Height;
    FinishBar(out.ScrollBar1, horz, dx, dx + 11, kHorzPageSize, out.ScrollPanel.Width, in.HorzPosition);
    FinishBar(out.ScrollBar2, vert, dy, dy, kVertPageSize, out.ScrollPanel.Height, in.VertPosition);
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
