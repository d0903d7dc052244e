// The shape and multi-click bases with stand-in leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tools/shapes/multi_click_family.h"
#include "tools/shapes/shape_family.h"
#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::SamePixels;
using pixora::testing::ToolsTest;

namespace {

const TCommitRules kNoRules{};

class Box : public ShapeFamily {
public:
    Box() : ShapeFamily(kNoRules, {.Closed = true, .PreviewOnPress = true}) {}
    void DrawShape(Canvas& c, const TShapeDraw& d) const override {
        c.Rectangle(d.Points.From.X, d.Points.From.Y, d.Points.To.X, d.Points.To.Y);
    }
};

class Segments : public MultiClickShape<ChainClicks> {
public:
    Segments() : MultiClickShape(kNoRules) {}
    void DrawShape(Canvas& c, const TShapeDraw& d) const override {
        c.MoveTo(d.Points.From.X, d.Points.From.Y);
        c.LineTo(d.Points.To.X, d.Points.To.Y);
    }
};

// Draws the curve's points as a polyline, so each stage is visible.
class Curve : public MultiClickShape<StagedClicks> {
public:
    Curve() : MultiClickShape(kNoRules) {}
    void DrawShape(Canvas& c, const TShapeDraw& d) const override {
        c.Polyline({d.Points.Curve.begin(), d.Points.Curve.end()});
    }
};

struct ShapeTest : ToolsTest {
    void SetUp() override {
        ToolsTest::SetUp();
        S().Bitmap.Fill(255, 255, 255, 0);
        port.RefreshView();
        for (const char* box : {"TForm3", "TForm21"}) {
            port.Options[{box, "Size"}] = 1;
            port.Options[{box, "Occ"}] = 100;
            port.Options[{box, "CT"}] = 1;
        }
        SetFGColour(S(), RGBColour(0, 0, 0));
        SetBGColour(S(), RGBColour(0, 200, 0));
    }
    uint8_t Green(const Bitmap& b, int x, int y) { return b.Row(y)[x * 4 + 1]; }
};

} // namespace

TEST_F(ShapeTest, PreviewsOnTheViewOnlyAndCommitsOutlineAndInterior) {
    ToolsOf(ws).Install(ToolRectangle, std::make_unique<Box>());
    S().Tool = ToolRectangle;
    port.Options[{"TForm21", "Clear"}] = 0;
    port.Calls.clear();
    PointerDown(ws, 5, 5, 0);
    EXPECT_EQ(S().DownX, 5);
    // The press shows a first preview (one row lower than the pointer, here
    // a rectangle too flat to draw anything): on the view, which is never
    // refreshed from the image while the shape is dragged.
    PointerMove(ws, 20, 20);
    EXPECT_EQ(port.Calls.back(), "RepaintView");
    PointerMove(ws, 12, 12);
    // Only the last preview is on the view; the image is untouched.
    EXPECT_EQ(Green(ws.DisplayCopy, 19, 8), 255);
    EXPECT_EQ(Green(ws.DisplayCopy, 11, 8), 0);
    EXPECT_EQ(Green(ws.DisplayCopy, 8, 8), 200) << "the fill colour as brush";
    EXPECT_EQ(Green(S().Bitmap, 8, 8), 255);
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "RefreshView"), 0);
    PointerUp(ws, 12, 12);
    EXPECT_EQ(Green(S().Bitmap, 5, 8), 0) << "outline in the stroke colour";
    EXPECT_EQ(Green(S().Bitmap, 8, 8), 200) << "interior in the fill colour";
    EXPECT_EQ(Green(S().Bitmap, 12, 8), 255);
    EXPECT_EQ(HistoryName(S(), 2), "Rectangle");

    // "Clear Interior": the outline alone.
    port.Options[{"TForm21", "Clear"}] = 1;
    Drag(20, 5, 30, 15);
    EXPECT_EQ(Green(S().Bitmap, 20, 10), 0);
    EXPECT_EQ(Green(S().Bitmap, 25, 10), 255);
}

TEST_F(ShapeTest, PolygonSegmentsAreOneStepEachAndStartWhereTheLastEnded) {
    ToolsOf(ws).Install(ToolPolygon, std::make_unique<Segments>());
    S().Tool = ToolPolygon;
    Drag(2, 2, 10, 2);
    Drag(3, 3, 10, 8); // the chain goes on from (10, 2)
    EXPECT_EQ(Green(S().Bitmap, 6, 2), 0);
    EXPECT_EQ(Green(S().Bitmap, 10, 5), 0);
    EXPECT_EQ(Green(S().Bitmap, 3, 3), 255);
    EXPECT_EQ(S().HistoryCount, 2);
}

TEST_F(ShapeTest, CurveIsCommittedOnceThroughItsFourPoints) {
    ToolsOf(ws).Install(ToolBezier, std::make_unique<Curve>());
    S().Tool = ToolBezier;
    Drag(2, 2, 20, 2);
    Drag(20, 10, 20, 10);
    EXPECT_TRUE(SamePixels(S().Bitmap, ws.StrokeBase.Bitmap))
        << "nothing is committed before the third release";
    Drag(2, 10, 2, 10);
    EXPECT_EQ(ws.ToolVars.BezierStage, 0);
    EXPECT_EQ(S().HistoryCount, 1);
    // The points: start (2, 2), control (20, 10), control (2, 10), end
    // (20, 2); the polyline through them crosses itself at (11, 6).
    EXPECT_EQ(ws.ToolVars.BezierPoints[1], (TPoint{20, 10}));
    EXPECT_EQ(Green(S().Bitmap, 10, 10), 0);
    EXPECT_EQ(Green(S().Bitmap, 11, 6), 0);
    EXPECT_EQ(Green(S().Bitmap, 11, 2), 255);
}
