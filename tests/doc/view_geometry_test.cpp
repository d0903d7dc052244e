#include <gtest/gtest.h>

#include <limits>

#include "doc/view_geometry.h"

using namespace pixora;

TEST(ViewZoom, InAndOutFollowTheirRules) {
    EXPECT_EQ(ZoomIn({1, 1}), (TZoom{2, 1}));
    EXPECT_EQ(ZoomOut({1, 1}), (TZoom{1, 2}));
    EXPECT_EQ(ZoomOut({2, 1}), (TZoom{1, 1}));
    EXPECT_EQ(ZoomIn({1, 3}), (TZoom{1, 2}));
    // A custom pair that is neither n/1 nor 1/n.
    EXPECT_EQ(ZoomIn({3, 2}), (TZoom{3, 1}));
    EXPECT_EQ(ZoomOut({3, 2}), (TZoom{2, 2}));
    // On the n/1 and 1/n ladder the two commands undo each other.
    TZoom z{1, 16};
    for (int i = 0; i < 30; ++i) {
        const TZoom in = ZoomIn(z);
        EXPECT_EQ(ZoomOut(in), z);
        z = in;
    }
    EXPECT_EQ(z, (TZoom{16, 1}));
}

TEST(ViewZoom, PercentRoundsHalfToEven) {
    EXPECT_EQ(ZoomPercent({1, 1}), 100);
    EXPECT_EQ(ZoomPercent({1, 16}), 6);   // 6.25
    EXPECT_EQ(ZoomPercent({1, 8}), 12);   // 12.5 -> even 12
    EXPECT_EQ(ZoomPercent({3, 8}), 38);   // 37.5 -> even 38
    EXPECT_EQ(ZoomPercent({2, 3}), 67);   // 66.67
    EXPECT_EQ(ZoomedLength(100, {1, 16}), 6);  // 6 x 100 div 100
    EXPECT_EQ(ZoomedLength(333, {1, 8}), 39);  // 12 x 333 div 100
}

TEST(ViewZoom, FixedStepsAndCustomValues) {
    ASSERT_NE(FindZoomStep("1:8 (12.5%)"), nullptr);
    EXPECT_EQ(FindZoomStep("1:8 (12.5%)")->Zoom, (TZoom{1, 8}));
    EXPECT_EQ(FindZoomStep("16:1 (1600%)")->Zoom, (TZoom{16, 1}));
    EXPECT_EQ(FindZoomStep("Reset")->Zoom, (TZoom{1, 1}));
    EXPECT_EQ(FindZoomStep("1:32 (3%)"), nullptr);
    // Every caption's percentage agrees with its pair.
    for (const TZoomStep& s : kZoomSteps) {
        if (s.Caption == "Reset") continue;
        const std::string_view pct = s.Caption.substr(s.Caption.find('(') + 1);
        EXPECT_EQ(std::stoi(std::string(pct)), s.Zoom.Num * 100 / s.Zoom.Den) << s.Caption;
    }
    EXPECT_EQ(CustomZoom(3, 2), (TZoom{3, 2}));
    EXPECT_EQ(CustomZoom(0, 5), (TZoom{1, 5}));
    EXPECT_EQ(CustomZoom(-4, 0), (TZoom{1, 1}));
}

TEST(ViewZoom, PairsTooLargeForTheViewDoNotFit) {
    // 16:1 on the tallest bitmap a row table holds, and on a 65,536-pixel side.
    EXPECT_TRUE(ZoomFits({16, 1}, 400, 10048));
    EXPECT_TRUE(ZoomFits({16, 1}, 65536, 10));
    EXPECT_FALSE(ZoomFits({17, 1}, 65536, 10));
    EXPECT_TRUE(ZoomFits({1, 16}, 1 << 24, 1));
    // Far beyond any int: no overflow on the way to the answer.
    EXPECT_FALSE(ZoomFits({std::numeric_limits<int>::max(), 1}, 4000, 3000));
    EXPECT_TRUE(ZoomFits({std::numeric_limits<int>::max(), std::numeric_limits<int>::max()}, 4000, 3000));
    EXPECT_FALSE(ZoomFits({0, 1}, 10, 10));
}

TEST(ViewPointer, AboveFullSizeThePixelUnderThePointerElseHalvesToEven) {
    // Zoomed in: the pixel under the pointer, whichever part of it is hit.
    EXPECT_EQ(ViewToImage(3, {2, 1}), 1);  // 1.5
    EXPECT_EQ(ViewToImage(7, {4, 1}), 1);  // 1.75
    EXPECT_EQ(ViewToImage(8, {4, 1}), 2);
    EXPECT_EQ(ViewToImage(44, {3, 2}), 29);  // 29.33
    // Left of or above the image (a drag outside it) is below zero.
    EXPECT_EQ(ViewToImage(-1, {4, 1}), -1);
    EXPECT_EQ(ViewToImage(-7, {4, 1}), -2);  // -1.75
    // At and below full size: rounded, halves to even.
    EXPECT_EQ(ViewToImage(7, {1, 1}), 7);
    EXPECT_EQ(ViewToImage(5, {1, 2}), 10);
    // 3 / (2/3) is exactly 4.5; a double division lands just above it.
    EXPECT_EQ(ViewToImage(3, {2, 3}), 4);
    EXPECT_EQ(ViewToImage(5, {2, 3}), 8);  // 7.5
    EXPECT_EQ(ViewToImage(-5, {2, 3}), -8); // -7.5
    EXPECT_EQ(RoundDivHalfEven(-1, 3), 0);
}

TEST(ViewLayout, SmallImageIsCentredWithoutBars) {
    TViewInput in;
    in.PageWidth = 800;
    in.PageHeight = 600;
    in.ImageWidth = 200;
    in.ImageHeight = 100;
    in.HorzPosition = 50;  // left over from an earlier, larger zoom
    in.VertPosition = 30;
    const TViewLayout l = LayoutView(in);
    EXPECT_FALSE(l.ScrollBar1.Visible);
    EXPECT_FALSE(l.ScrollBar2.Visible);
    EXPECT_EQ(l.ScrollPanel, (TViewRect{309, 259, 200, 100}));
    EXPECT_EQ(l.BorderShape, (TViewRect{308, 258, 202, 102}));
    EXPECT_EQ(l.Image, (TViewRect{0, 0, 200, 100}));
    EXPECT_EQ(l.ScrollBar1.Bounds, (TViewRect{17, 583, 766, 17}));
    EXPECT_EQ(l.ScrollBar2.Bounds, (TViewRect{783, 17, 17, 566}));
    EXPECT_EQ(l.TopSScroll, (TViewRect{309, 241, 800, 17}));
    EXPECT_EQ(l.LeftSScroll, (TViewRect{291, 259, 17, 600}));
    EXPECT_EQ(l.TopScale, (TViewRect{0, 0, 200, 17}));
    EXPECT_EQ(l.LeftScale, (TViewRect{0, 0, 17, 100}));

    in.Zoom = {1, 16};
    in.ImageWidth = in.ImageHeight = 100;
    in.RulersShown = false;
    const TViewLayout tiny = LayoutView(in);
    EXPECT_EQ(tiny.Image, (TViewRect{0, 0, 6, 6}));
    EXPECT_FALSE(tiny.RulersVisible);
}

TEST(ViewLayout, LargeImageScrollsByExactlyTheHiddenPart) {
    TViewInput in;
    in.PageWidth = 800;
    in.PageHeight = 600;
    in.ImageWidth = 1000;
    in.ImageHeight = 500;
    in.Zoom = {2, 1};
    in.HorzPosition = 5000;
    in.VertPosition = 100;
    const TViewLayout l = LayoutView(in);
    // Each bar takes its width from the other direction; the panel ends
    // where the bar across begins.
    EXPECT_EQ(l.ScrollPanel, (TViewRect{18, 18, 765, 565}));
    ASSERT_TRUE(l.ScrollBar1.Visible);
    ASSERT_TRUE(l.ScrollBar2.Visible);
    EXPECT_EQ(l.ScrollBar1.Max, 2000 - 765 + 11);
    EXPECT_EQ(l.ScrollBar1.PageSize, 12);
    EXPECT_EQ(l.ScrollBar1.PositionLimit, 2000 - 765);
    EXPECT_EQ(l.ScrollBar2.Max, 1000 - 565);
    EXPECT_EQ(l.ScrollBar2.PageSize, 0);
    EXPECT_EQ(l.ScrollBar2.PositionLimit, 1000 - 565);
    // The bars' own steps: the visible part a page, a twentieth an arrow.
    EXPECT_EQ(l.ScrollBar1.PageStep, 765);
    EXPECT_EQ(l.ScrollBar1.SingleStep, 38);
    EXPECT_EQ(l.ScrollBar2.PageStep, 565);
    EXPECT_EQ(l.ScrollBar2.SingleStep, 28);
    // A position beyond the new range is pulled back to its end.
    EXPECT_EQ(l.ScrollBar1.Position, 1235);
    EXPECT_EQ(l.Image, (TViewRect{-1235, -100, 2000, 1000}));
    EXPECT_EQ(l.TopScale.Left, -1235);
    EXPECT_EQ(l.LeftScale.Top, -100);
    EXPECT_EQ(l.TopSScroll, (TViewRect{18, 0, 800, 17}));
    EXPECT_EQ(l.LeftSScroll, (TViewRect{0, 18, 17, 600}));
}

TEST(ViewLayout, OneBarShownAndShortOverhangs) {
    TViewInput in;
    in.PageWidth = 800;
    in.PageHeight = 600;
    in.ImageWidth = 1000;
    in.ImageHeight = 100;
    in.VertPosition = 40;
    const TViewLayout wide = LayoutView(in);
    EXPECT_TRUE(wide.ScrollBar1.Visible);
    EXPECT_FALSE(wide.ScrollBar2.Visible);
    // The image's rows all fit above the horizontal bar; vertically the
    // panel is centred in what the bar leaves.
    EXPECT_EQ(wide.ScrollPanel, (TViewRect{18, 251, 782, 100}));
    EXPECT_EQ(wide.Image.Top, 0);
    EXPECT_EQ(wide.ScrollBar1.Max, 1000 - 782 + 11);

    // Just wider than the room, narrower than the page: the bar shows and
    // the panel is pinned beside the ruler.
    in.ImageWidth = 790;
    in.ImageHeight = 590;
    const TViewLayout both = LayoutView(in);
    ASSERT_TRUE(both.ScrollBar1.Visible);
    ASSERT_TRUE(both.ScrollBar2.Visible);
    EXPECT_EQ(both.ScrollPanel, (TViewRect{18, 18, 765, 565}));
    EXPECT_EQ(both.ScrollBar1.Max, 25 + 11);
    EXPECT_EQ(both.ScrollBar2.Max, 25);

    // Overhangs below 12 pixels: the nominal maximum is 12 either way, but
    // each bar scrolls by exactly the overhang.
    in.ImageHeight = 100;
    const TViewLayout horz = LayoutView(in);
    ASSERT_TRUE(horz.ScrollBar1.Visible);
    EXPECT_FALSE(horz.ScrollBar2.Visible);
    EXPECT_EQ(horz.ScrollBar1.Max, 12); // d = 8
    EXPECT_EQ(horz.ScrollBar1.PositionLimit, 8);
    in.ImageWidth = 100;
    in.ImageHeight = 590;
    in.VertPosition = 40;
    const TViewLayout vert = LayoutView(in);
    EXPECT_FALSE(vert.ScrollBar1.Visible);
    ASSERT_TRUE(vert.ScrollBar2.Visible);
    EXPECT_EQ(vert.ScrollPanel, (TViewRect{351, 18, 100, 582}));
    EXPECT_EQ(vert.ScrollBar2.Max, 12); // d = 8
    EXPECT_EQ(vert.ScrollBar2.PositionLimit, 8);
    EXPECT_EQ(vert.Image.Top, -8);
}

// With a bar across, the boundary widths are checked on screen by the view
// scroll window test and for every size by the sweep below.
TEST(ViewLayout, TheWidestImageWithoutABarEndsAtThePagesLastColumn) {
    // Without the bar across, 18 short is the widest image that needs no
    // bar, and it ends at the page's last column.
    const int W = 800, H = 600;
    TViewInput in;
    in.PageWidth = W;
    in.PageHeight = H;
    in.ImageHeight = 100;
    in.ImageWidth = W - 18;
    EXPECT_FALSE(LayoutView(in).ScrollBar1.Visible);
    EXPECT_EQ(LayoutView(in).ScrollPanel, (TViewRect{18, 259, W - 18, 100}));
    in.ImageWidth = W - 17;
    EXPECT_TRUE(LayoutView(in).ScrollBar1.Visible);
    EXPECT_EQ(LayoutView(in).ScrollBar1.PositionLimit, 1);
}

TEST(ViewLayout, NoSizeLosesAPixelOrShowsABarItDoesNotNeed) {
    // Every image size around the page's size: each side is either shown
    // whole in the panel or scrolls by exactly its hidden part; the panel
    // stays clear of the bars and the page's edge; a bar shows only when its
    // side does not fit what the other bar leaves.
    const int W = 640, H = 480;
    for (int iw = W - 60; iw <= W + 20; ++iw)
        for (int ih = H - 60; ih <= H + 20; ih += 3) {
            TViewInput in;
            in.PageWidth = W;
            in.PageHeight = H;
            in.ImageWidth = iw;
            in.ImageHeight = ih;
            const TViewLayout l = LayoutView(in);
            const TViewRect& p = l.ScrollPanel;
            const int v = l.ScrollBar2.Visible ? kScrollBarSize : 0;
            const int h = l.ScrollBar1.Visible ? kScrollBarSize : 0;
            ASSERT_EQ(p.Width + l.ScrollBar1.PositionLimit, iw) << iw << "x" << ih;
            ASSERT_EQ(p.Height + l.ScrollBar2.PositionLimit, ih) << iw << "x" << ih;
            ASSERT_GE(p.Left, kRulerSize + 1) << iw << "x" << ih;
            ASSERT_GE(p.Top, kRulerSize + 1) << iw << "x" << ih;
            ASSERT_LE(p.Left + p.Width, W - v) << iw << "x" << ih;
            ASSERT_LE(p.Top + p.Height, H - h) << iw << "x" << ih;
            ASSERT_EQ(l.ScrollBar1.Visible, iw > W - kRulerSize - 1 - v) << iw << "x" << ih;
            ASSERT_EQ(l.ScrollBar2.Visible, ih > H - kRulerSize - 1 - h) << iw << "x" << ih;
        }
}

TEST(ViewNavigator, ThumbnailFitsThePanel) {
    EXPECT_EQ(FitNavigatorThumb(200, 150, 800, 400), (TViewRect{0, 25, 200, 100}));
    EXPECT_EQ(FitNavigatorThumb(200, 150, 300, 900), (TViewRect{75, 0, 50, 150}));
    EXPECT_EQ(FitNavigatorThumb(200, 150, 100, 50), (TViewRect{50, 50, 100, 50}));
    EXPECT_EQ(FitNavigatorThumb(200, 150, 101, 51), (TViewRect{50, 50, 101, 51}));
    EXPECT_EQ(NavigatorScale(200, 800), 25);
    EXPECT_EQ(NavigatorScale(100, 300), 33);
    // 191.5 and 141.5 round to the even neighbours.
    EXPECT_EQ(NavigatorFrameSize(25, 766, 566), (TFrameSize{192, 142}));
}

TEST(ViewNavigator, FramePositionsAndScrollPositions) {
    const TViewRect thumb{0, 25, 200, 100};
    const TFrameSize frame{50, 40};
    TNavigatorFrame f = NavigatorDrag(thumb, frame, 100, 0, 1245, 434);
    EXPECT_EQ(f.Left, 75);
    EXPECT_EQ(f.Top, 0);
    EXPECT_EQ(f.HorzPosition, 622);  // 50 % of 1245 = 622.5
    EXPECT_EQ(f.VertPosition, 0);
    f = NavigatorDrag(thumb, frame, 500, 90, 1245, 434);
    EXPECT_EQ(f.Left, 150);
    EXPECT_EQ(f.Top, 60);
    EXPECT_EQ(f.HorzPosition, 1245);
    EXPECT_EQ(f.VertPosition, 434);
    f = NavigatorDrag(thumb, frame, 60, 45, 1245, 434);  // 35 / 150 = 23.3 %, 25 / 60 = 41.7 %
    EXPECT_EQ(f.HorzPosition, 286);                      // 23 % of 1245 = 286.35
    EXPECT_EQ(f.VertPosition, 182);                      // 42 % of 434 = 182.28

    const TNavigatorFrame back = NavigatorFrameFromScroll(thumb, frame, 622, 1245, 217, 434);
    EXPECT_EQ(back.Left, 75);  // 74.94
    EXPECT_EQ(back.Top, 30);

    // A frame as large as the thumbnail cannot travel.
    const TFrameSize whole{200, 100};
    f = NavigatorDrag(thumb, whole, 150, 80, 1245, 434);
    EXPECT_EQ(f.Left, 0);
    EXPECT_EQ(f.Top, 0);
    EXPECT_EQ(f.HorzPosition, 0);
    EXPECT_EQ(f.VertPosition, 0);
    EXPECT_EQ(NavigatorFrameFromScroll(thumb, whole, 300, 1245, 10, 0).Left, 0);
}
