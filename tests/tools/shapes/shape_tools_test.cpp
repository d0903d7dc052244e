// The shape tools as the program makes them, driven through the workspace.
#include <gtest/gtest.h>

#include "tools/tools_fixture.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct ShapeToolTest : PaintTest {
    void SetUp() override {
        PaintTest::SetUp();
        Fill(255, 40);
        for (const char* box : {"TForm3", "TForm21", "TForm22"}) {
            Opt(box, "Size", 1);
            Opt(box, "Occ", 100);
            Opt(box, "CT", 1);
        }
        for (const char* box : {"TForm21", "TForm22"})
            Opt(box, "Clear", 1);
        SetFGColour(S(), RGBColour(0, 0, 0));
        SetBGColour(S(), RGBColour(0, 200, 0));
    }
    uint8_t Green(int x, int y) { return At(x, y)[1]; }
};

} // namespace

TEST_F(ShapeToolTest, RectangleWithAndWithoutItsInterior) {
    Use(ToolRectangle);
    Drag(5, 5, 15, 12);
    EXPECT_EQ(Green(5, 5), 0);
    EXPECT_EQ(Green(14, 11), 0);
    EXPECT_EQ(Green(15, 12), 255) << "the outline lies inside its corners";
    EXPECT_EQ(Green(10, 8), 255) << "Clear Interior";
    EXPECT_EQ(At(5, 5)[3], 0) << "Change Transparency";
    EXPECT_EQ(At(10, 8)[3], 40);
    EXPECT_EQ(LastStep(), "Rectangle");

    Opt("TForm21", "Clear", 0);
    Opt("TForm21", "Occ", 50);
    Drag(20, 5, 30, 12);
    EXPECT_EQ(At(20, 5)[0], 127) << "50 x 0 div 100 + 255 x 50 div 100";
    EXPECT_EQ(Green(25, 8), 227) << "the interior takes the fill colour at the same occupancy";
    EXPECT_EQ(At(25, 8)[0], 127);

    // The right button swaps the stroke and the fill colours.
    Opt("TForm21", "Occ", 100);
    Drag(5, 15, 15, 25, 1);
    EXPECT_EQ(Green(5, 15), 200);
    EXPECT_EQ(Green(10, 20), 0);
}

TEST_F(ShapeToolTest, EllipseAndRoundRectangleKeepTheirCornersFree) {
    Use(ToolEllipse);
    Drag(5, 5, 25, 25);
    EXPECT_EQ(Green(5, 5), 255);
    EXPECT_EQ(Green(15, 5), 0);
    EXPECT_EQ(Green(5, 15), 0);
    EXPECT_EQ(LastStep(), "Ellipse");

    Fill(255, 0);
    Use(ToolRoundRect);
    Opt("TForm22", "Edge", 0);
    Drag(5, 5, 25, 25);
    EXPECT_EQ(Green(5, 5), 0) << "corner size 0 is a rectangle";
    Fill(255, 0);
    Opt("TForm22", "Edge", 10);
    Drag(5, 5, 25, 25);
    EXPECT_EQ(Green(5, 5), 255);
    EXPECT_EQ(Green(15, 5), 0);
    EXPECT_EQ(LastStep(), "Round Rectangle");
}

TEST_F(ShapeToolTest, LinePreviewsOnTheViewAndCommitsWithoutItsEndPoint) {
    Use(ToolLine);
    Opt("TForm3", "Size", 3);
    PointerDown(ws, 5, 10, 0);
    PointerMove(ws, 30, 20);
    PointerMove(ws, 30, 10);
    EXPECT_EQ(Green(15, 10), 255) << "the image waits for the release";
    EXPECT_EQ(Px(ws.DisplayCopy, 15, 10)[1], 0);
    EXPECT_EQ(Px(ws.DisplayCopy, 25, 18)[1], Px(Shown(S().Bitmap), 25, 18)[1]) << "the earlier preview is gone";
    PointerUp(ws, 30, 10);
    EXPECT_EQ(Green(15, 9), 0) << "a pen of width 3";
    EXPECT_EQ(Green(15, 11), 0);
    EXPECT_EQ(Green(15, 12), 255);
    EXPECT_EQ(LastStep(), "Line");
}

TEST_F(ShapeToolTest, PolygonSegmentsChainUntilTheRightButton) {
    Use(ToolPolygon);
    Drag(2, 2, 20, 2);
    Drag(9, 9, 20, 15); // the chain goes on from (20, 2)
    EXPECT_EQ(Green(20, 8), 0);
    EXPECT_EQ(Green(9, 9), 255);
    // A right-button press draws its segment and ends the chain.
    Drag(5, 25, 5, 25, 1);
    EXPECT_EQ(Green(12, 20), 200) << "from (20, 15) to (5, 25) in the background colour";
    Drag(30, 25, 35, 25);
    EXPECT_EQ(Green(32, 25), 0);
    EXPECT_EQ(Green(20, 25), 255) << "a new chain starts at the press";
    EXPECT_EQ(LastStep(), "Polygon Line");
}

TEST_F(ShapeToolTest, BezierCommitsItsCurveAtTheThirdRelease) {
    Use(ToolBezier);
    Drag(2, 20, 36, 20);
    Drag(2, 2, 2, 2);
    EXPECT_TRUE(SamePixels(S().Bitmap, ws.StrokeBase.Bitmap));
    Drag(36, 2, 36, 2);
    // Start (2, 20), controls (2, 2) and (36, 2), end (36, 20): an arch whose
    // top is at 3/4 of the way up.
    EXPECT_EQ(Green(2, 19), 0);
    int top = -1;
    for (int y = 0; y < 30 && top < 0; ++y)
        if (Green(19, y) == 0) top = y;
    EXPECT_GE(top, 6); // the curve's middle is (19, 6.5)
    EXPECT_LE(top, 7);
    EXPECT_EQ(Green(19, 20), 255);
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(LastStep(), "Bezier Curve");
}

TEST_F(ShapeToolTest, AHalfMadeCurveIsDroppedWhenTheImageIsReplaced) {
    Use(ToolBezier);
    Drag(2, 20, 36, 20);
    Drag(2, 2, 2, 2);
    // An undo puts another image in place between the clicks.
    ws.BeforeImageReplaced();
    Fill(10, 0);
    const Bitmap replaced = S().Bitmap;
    Drag(36, 2, 36, 2);
    EXPECT_TRUE(SamePixels(S().Bitmap, replaced)) << "no curve over the old image";
    EXPECT_EQ(ws.ToolVars.BezierStage, 1) << "the click began a new curve";
    EXPECT_EQ(S().HistoryCount, 0) << "nothing was drawn, so no step";
}

TEST_F(ShapeToolTest, EscapeDropsTheShapeUnderWayAndChangesNothing) {
    const Bitmap before = S().Bitmap;
    EXPECT_FALSE(CancelToolWork(ws)) << "nothing under way";

    // A rectangle being dragged: its preview goes and its release draws nothing.
    Use(ToolRectangle);
    PointerDown(ws, 5, 5, 0);
    PointerMove(ws, 15, 12);
    ASSERT_FALSE(SamePixels(ws.DisplayCopy, before)) << "the preview is on the view";
    EXPECT_TRUE(CancelToolWork(ws));
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, before));
    PointerMove(ws, 20, 20);
    PointerUp(ws, 20, 20);
    EXPECT_TRUE(SamePixels(S().Bitmap, before));

    // A curve after two of its three clicks: the next three make a new one.
    Use(ToolBezier);
    Drag(2, 20, 36, 20);
    Drag(2, 2, 2, 2);
    EXPECT_TRUE(CancelToolWork(ws));
    EXPECT_EQ(ws.ToolVars.BezierStage, 0);
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, before));
    Drag(2, 25, 10, 25);
    EXPECT_EQ(ws.ToolVars.BezierStage, 1) << "the click began a new curve";
    EXPECT_TRUE(SamePixels(S().Bitmap, before));
    EXPECT_EQ(S().HistoryCount, 0) << "no step for the dropped curve";

    // A chain: the segments made stay, the next press starts a new chain.
    Use(ToolPolygon);
    Drag(2, 2, 20, 2);
    EXPECT_EQ(Green(10, 2), 0);
    EXPECT_TRUE(CancelToolWork(ws));
    EXPECT_FALSE(CancelToolWork(ws)) << "the chain is already ended";
    Drag(30, 25, 35, 25);
    EXPECT_EQ(Green(10, 2), 0);
    EXPECT_EQ(Green(25, 14), 255) << "no segment from the old chain's end";
    EXPECT_EQ(Green(32, 25), 0);
}
