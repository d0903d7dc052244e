#include <gtest/gtest.h>

#include "doc/view_scroll.h"

using namespace pixora;

namespace {

// An 800 x 600 page over an image of w x h at zoom z, scrolled to (hx, vy).
TViewLayout View(int w, int h, int hx = 0, int vy = 0, TZoom z = {1, 1}) {
    TViewInput in;
    in.PageWidth = 800;
    in.PageHeight = 600;
    in.ImageWidth = w;
    in.ImageHeight = h;
    in.Zoom = z;
    in.HorzPosition = hx;
    in.VertPosition = vy;
    return LayoutView(in);
}

TWheel Notch(int notches, bool shift = false) {
    TWheel w;
    w.AngleY = 120 * notches;
    w.Shift = shift;
    return w;
}

} // namespace

TEST(ViewWheel, NotchesScrollLinesAndShiftOrALoneBarTurnsThemAcross) {
    const TViewLayout l = View(2000, 1500, 300, 300);
    const int line = l.ScrollBar2.SingleStep; // 565 / 20
    ASSERT_EQ(line, 28);
    // Towards the user scrolls down, three lines a notch.
    EXPECT_EQ(ScrollForWheel(l, Notch(-1)), (TScrollPosition{300, 300 + 3 * line}));
    EXPECT_EQ(ScrollForWheel(l, Notch(2)), (TScrollPosition{300, 300 - 6 * line}));
    EXPECT_EQ(ScrollForWheel(l, Notch(-1, true)), (TScrollPosition{300 + 3 * l.ScrollBar1.SingleStep, 300}));
    // A horizontal wheel, and Shift+wheel already turned by the platform.
    TWheel across;
    across.AngleX = -120;
    EXPECT_EQ(ScrollForWheel(l, across), (TScrollPosition{300 + 3 * l.ScrollBar1.SingleStep, 300}));
    across.Shift = true;
    EXPECT_EQ(ScrollForWheel(l, across), (TScrollPosition{300 + 3 * l.ScrollBar1.SingleStep, 300}));
    // The desktop's lines per notch.
    TWheel one = Notch(-1);
    one.LinesPerNotch = 1;
    EXPECT_EQ(ScrollForWheel(l, one).Vert, 300 + line);
    // A high-resolution wheel's eighth of a notch still moves, at least a pixel.
    TWheel fine;
    fine.AngleY = -15;
    EXPECT_EQ(ScrollForWheel(l, fine).Vert, 300 + 10); // 15 x 3 x 28 / 120 = 10.5, to even
    fine.AngleY = -1;
    EXPECT_EQ(ScrollForWheel(l, fine).Vert, 301);

    // Only the horizontal bar: the plain wheel scrolls across.
    const TViewLayout wide = View(2000, 100, 300);
    ASSERT_FALSE(wide.ScrollBar2.Visible);
    EXPECT_EQ(ScrollForWheel(wide, Notch(-1)), (TScrollPosition{300 + 3 * wide.ScrollBar1.SingleStep, 0}));
    // No bars: nothing moves.
    EXPECT_EQ(ScrollForWheel(View(100, 100), Notch(-3)), (TScrollPosition{0, 0}));
}

TEST(ViewWheel, TouchpadPixelsScrollExactlyAndEveryWayStopsAtTheEnds) {
    const TViewLayout l = View(2000, 1500, 300, 300);
    TWheel pad;
    pad.PixelX = -7;
    pad.PixelY = 5;
    pad.AngleX = -840; // the angle that comes with it is not used
    pad.AngleY = 600;
    EXPECT_EQ(ScrollForWheel(l, pad), (TScrollPosition{307, 295}));
    // Far past either end: held at 0 and at the hidden part.
    EXPECT_EQ(ScrollForWheel(l, Notch(50)), (TScrollPosition{300, 0}));
    EXPECT_EQ(ScrollForWheel(l, Notch(-50)), (TScrollPosition{300, l.ScrollBar2.PositionLimit}));
    pad.PixelX = -5000;
    pad.PixelY = 0;
    EXPECT_EQ(ScrollForWheel(l, pad).Horz, 2000 - 765);
}

TEST(ViewKeys, ArrowsStepPagesPageAndHomeEndGoToTheCorners) {
    const TViewLayout l = View(2000, 1500, 300, 300);
    const int hs = l.ScrollBar1.SingleStep, vs = l.ScrollBar2.SingleStep;
    EXPECT_EQ(ScrollForKey(l, TScrollKey::Left), (TScrollPosition{300 - hs, 300}));
    EXPECT_EQ(ScrollForKey(l, TScrollKey::Right), (TScrollPosition{300 + hs, 300}));
    EXPECT_EQ(ScrollForKey(l, TScrollKey::Up), (TScrollPosition{300, 300 - vs}));
    EXPECT_EQ(ScrollForKey(l, TScrollKey::Down), (TScrollPosition{300, 300 + vs}));
    EXPECT_EQ(ScrollForKey(l, TScrollKey::PageUp), (TScrollPosition{300, 0}));
    EXPECT_EQ(ScrollForKey(l, TScrollKey::PageDown), (TScrollPosition{300, 300 + 565}));
    EXPECT_EQ(ScrollForKey(l, TScrollKey::Home), (TScrollPosition{0, 0}));
    EXPECT_EQ(ScrollForKey(l, TScrollKey::End), (TScrollPosition{2000 - 765, 1500 - 565}));
    // A page across when only the horizontal bar shows; nothing without bars.
    const TViewLayout wide = View(2000, 100);
    EXPECT_EQ(ScrollForKey(wide, TScrollKey::PageDown), (TScrollPosition{782, 0}));
    EXPECT_EQ(ScrollForKey(wide, TScrollKey::Down), (TScrollPosition{0, 0}));
    EXPECT_EQ(ScrollForKey(View(50, 50), TScrollKey::End), (TScrollPosition{0, 0}));
}

TEST(ViewWheel, ZoomStepsCountWholeNotches) {
    int pending = 0;
    EXPECT_EQ(WheelZoomSteps(pending, 120), 1);
    EXPECT_EQ(WheelZoomSteps(pending, 60), 0);
    EXPECT_EQ(WheelZoomSteps(pending, 60), 1);
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(WheelZoomSteps(pending, -250), -2);
    EXPECT_EQ(pending, -10);
    EXPECT_EQ(WheelZoomSteps(pending, 10), 0);
    EXPECT_EQ(pending, 0);
}

TEST(ViewZoomAbout, TheImagePointUnderThePointerStaysPut) {
    TViewInput in;
    in.PageWidth = 800;
    in.PageHeight = 600;
    in.ImageWidth = 2000;
    in.ImageHeight = 1500;
    in.HorzPosition = 400;
    in.VertPosition = 300;
    // The image pixel under page point (P, Q): the panel's corner plus the
    // scroll positions, divided by the zoom.
    auto pixelUnder = [](const TViewLayout& l, int px, int py, double zoom) {
        return std::pair{(px - l.ScrollPanel.Left - l.Image.Left) / zoom,
                         (py - l.ScrollPanel.Top - l.Image.Top) / zoom};
    };
    const TViewLayout before = LayoutView(in);
    const auto [x0, y0] = pixelUnder(before, 300, 200, 1.0);
    const TViewLayout in2 = LayoutZoomedAbout(in, {2, 1}, 300, 200);
    const auto [x1, y1] = pixelUnder(in2, 300, 200, 2.0);
    EXPECT_DOUBLE_EQ(x1, x0);
    EXPECT_DOUBLE_EQ(y1, y0);
    EXPECT_EQ(in2.Image.Width, 4000);

    // Zooming out again comes back to where it was.
    in.Zoom = {2, 1};
    in.HorzPosition = in2.ScrollBar1.Position;
    in.VertPosition = in2.ScrollBar2.Position;
    const TViewLayout back = LayoutZoomedAbout(in, {1, 1}, 300, 200);
    EXPECT_EQ(CurrentScroll(back), CurrentScroll(before));

    // Near the top-left corner the bars cannot go below 0: the corner stays.
    in.Zoom = {1, 1};
    in.HorzPosition = in.VertPosition = 0;
    const TViewLayout corner = LayoutZoomedAbout(in, {1, 2}, 20, 20);
    EXPECT_EQ(CurrentScroll(corner), (TScrollPosition{0, 0}));
    // Zoomed out until the image fits: the bars go and the image is centred.
    const TViewLayout fits = LayoutZoomedAbout(in, {1, 4}, 300, 200);
    EXPECT_FALSE(fits.ScrollBar1.Visible);
    EXPECT_EQ(fits.Image, (TViewRect{0, 0, 500, 375}));
}

TEST(ViewFit, TheLargestStepThatShowsTheWholeImage) {
    TViewInput in;
    in.PageWidth = 800;
    in.PageHeight = 600;
    in.Zoom = {3, 1}; // the zoom before does not matter
    in.HorzPosition = 500;
    struct Case {
        int W, H;
        TZoom Fit;
    } cases[] = {
        {6000, 4000, {1, 8}}, // 750 x 500 at 1:8, 857 wide at 1:7
        {700, 100, {1, 1}},   // fits as it is, 1400 at 2:1
        {100, 50, {7, 1}},    // a small picture is enlarged
        {4, 4, {16, 1}},      // but no further than the largest step
        {500, 100000, {1, 199}}, // no step shows it whole: the smallest still 1 %
    };
    for (const Case& c : cases) {
        in.ImageWidth = c.W;
        in.ImageHeight = c.H;
        const TZoom z = FitZoom(in);
        EXPECT_EQ(z, c.Fit) << c.W << " x " << c.H;
        TViewInput at = in;
        at.Zoom = z;
        EXPECT_EQ(NeedsScrolling(at), c.H == 100000) << c.W << " x " << c.H;
        at.Zoom = ZoomIn(z);
        if (!(z == TZoom{16, 1})) {
            EXPECT_TRUE(NeedsScrolling(at)) << "one step larger scrolls";
        }
        if (c.H == 100000) {
            EXPECT_EQ(ZoomPercent(ZoomOut(z)), 0);
        }
    }
}
