// The stamp-brush and overlay-stroke bases with stand-in leaves, and the
// commit they share with the shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "doc/canvas.h"
#include "tools/brushes/overlay_stroke_family.h"
#include "tools/brushes/stamp_brush_family.h"
#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::SamePixels;
using pixora::testing::ToolsTest;

namespace {

// Remembers where it stamped and what the image looked like there.
class CentreStamp : public StampBrushFamily {
public:
    CentreStamp(std::vector<TPoint>& at, unsigned events) : StampBrushFamily(events), at_(at) {}

protected:
    TRect PaintStamp(const TStamp& s) override {
        at_.push_back({s.Cx, s.Cy});
        // Lightens the centre pixel in place, so a second stamp there sees
        // the first.
        if (s.EditTest.Test(s.Cx, s.Cy)) s.Rows[s.Cy][s.Cx * 4 + 2] += 10;
        return {s.Cx, s.Cy, s.Cx + 1, s.Cy + 1};
    }

private:
    std::vector<TPoint>& at_;
};

// Draws one-pixel black lines into the overlay and lines in the stroke
// colour onto the view.
class LinePen : public OverlayStrokeFamily {
public:
    using OverlayStrokeFamily::OverlayStrokeFamily;

protected:
    void DrawSegment(const TStrokeSegment& s) override {
        Canvas overlay(s.Overlay);
        overlay.PenWidth = s.Width;
        overlay.PenColour = 0;
        overlay.MoveTo(s.From.X, s.From.Y);
        overlay.LineTo(s.To.X, s.To.Y);
        Canvas view(s.View);
        view.PenWidth = s.Width;
        view.PenColour = s.Colour;
        view.MoveTo(s.From.X, s.From.Y);
        view.LineTo(s.To.X, s.To.Y);
    }
};

// Rules that record being called.
int gradients = 0, softenings = 0, strength = 0;
void CountGradient(const TOverlayCommit&) {
    ++gradients;
}
void CountSoften(const TOverlayCommit&, int a) {
    ++softenings;
    strength = a;
}
const TCommitRules kCounting{&CountGradient, &CountSoften};

struct PenTest : ToolsTest {
    void SetUp() override {
        ToolsTest::SetUp();
        gradients = softenings = strength = 0;
        ToolsOf(ws).Install(ToolPen, std::make_unique<LinePen>(kCounting));
        S().Tool = ToolPen;
        S().Bitmap.Fill(255, 255, 255, 200);
        port.RefreshView();
        Box("Size", 1);
        Box("Occ", 100);
        Box("CT", 1);
    }
    void Box(const char* control, int value) { port.Options[{"TForm3", control}] = value; }
};

} // namespace

TEST_F(ToolsTest, StampsFollowThePointerAtTheEventsTheLeafAsksFor) {
    std::vector<TPoint> at;
    ToolsOf(ws).Install(ToolSpray, std::make_unique<CentreStamp>(at, StampOnPress | StampOnMove));
    S().Tool = ToolSpray;
    const uint8_t red = S().Bitmap.Row(5)[5 * 4 + 2];
    port.Calls.clear();
    PointerDown(ws, 5, 5, 0);
    PointerMove(ws, 5, 5);
    PointerMove(ws, 9, 6);
    PointerUp(ws, 9, 6);
    // A move that stays stamps once where it is; one that goes on stamps at
    // every pixel of the path from the position before.
    EXPECT_EQ(at, (std::vector<TPoint>{{5, 5}, {5, 5}, {6, 5}, {7, 6}, {8, 6}, {9, 6}}));
    EXPECT_EQ(S().Bitmap.Row(5)[5 * 4 + 2], static_cast<uint8_t>(red + 20))
        << "stamps change the image in place";
    // Every event that stamps shows the part it changed, all its stamps
    // together; the release stamps nothing and redraws nothing.
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "RefreshView"), 3);
    EXPECT_EQ(port.Areas, (std::vector<TRect>{{5, 5, 6, 6}, {5, 5, 6, 6}, {6, 5, 10, 7}}));
    EXPECT_EQ(HistoryName(S(), 2), "Spray Brush");

    // The copy brush stamps on moves only; the transparency spray at the
    // release as well.
    at.clear();
    ToolsOf(ws).Install(ToolClone, std::make_unique<CentreStamp>(at, StampOnMove | StampOnRelease));
    S().Tool = ToolClone;
    Drag(3, 3, 7, 7);
    EXPECT_EQ(at, (std::vector<TPoint>{{4, 4}, {5, 5}, {6, 6}, {7, 7}, {7, 7}}))
        << "the path begins at the press";
}

TEST_F(ToolsTest, EachStampTakesTheSelectionOptionsAsTheyAreNow) {
    std::vector<TPoint> at;
    ToolsOf(ws).Install(ToolSpray, std::make_unique<CentreStamp>(at, StampOnPress | StampOnMove));
    S().Tool = ToolSelection;
    Drag(10, 10, 20, 20);
    SetSelectOption("E", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolSpray));
    const Bitmap before = S().Bitmap;
    PointerDown(ws, 15, 15, 0);
    EXPECT_EQ(S().Bitmap.Row(15)[15 * 4 + 2], before.Row(15)[15 * 4 + 2]); // excluded
    SetSelectOption("E", 0);
    PointerMove(ws, 15, 15);
    PointerUp(ws, 15, 15);
    EXPECT_NE(S().Bitmap.Row(15)[15 * 4 + 2], before.Row(15)[15 * 4 + 2]);
}

TEST_F(PenTest, LiveSegmentsGoToTheOverlayAndTheViewOnly) {
    const Bitmap image = S().Bitmap;
    SetFGColour(S(), RGBColour(200, 0, 0));
    port.Calls.clear();
    PointerDown(ws, 5, 5, 0);
    PointerMove(ws, 12, 5);
    PointerMove(ws, 12, 9);
    EXPECT_TRUE(SamePixels(S().Bitmap, image)) << "the image waits for the release";
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "RefreshView"), 0);
    EXPECT_GE(std::count(port.Calls.begin(), port.Calls.end(), "RepaintView"), 3);
    // The press's dot, the segments chained through LastPoint.
    for (auto [x, y] : {std::pair{5, 5}, {8, 5}, {12, 5}, {12, 8}}) {
        EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(y)[x * 4 + 2], 0) << x << "," << y;
        EXPECT_EQ(ws.DisplayCopy.Row(y)[x * 4 + 2], 200) << x << "," << y;
    }
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(9)[12 * 4 + 2], 255) << "a line leaves out its end point";
    EXPECT_EQ(ws.ToolVars.LastPoint, (TPoint{12, 9}));
    PointerUp(ws, 12, 9);
    EXPECT_EQ(At(8, 5)[2], 200);
    EXPECT_EQ(At(8, 5)[3], 0) << "Change Transparency";
    EXPECT_EQ(At(8, 6)[2], 255);
    EXPECT_EQ(At(8, 6)[3], 200);
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(5)[8 * 4 + 2], 255) << "the overlay is cleared after the commit";
    EXPECT_EQ(HistoryName(S(), 2), "Pen");
}

TEST_F(PenTest, CommitPaintsWithinTheSelectionAndHandsOnTheRules) {
    // The right button paints with the background colour (the blend's bytes
    // are PenToolTest's).
    Box("CT", 0);
    SetBGColour(S(), RGBColour(0, 0, 90));
    Drag(6, 3, 6, 3, 1);
    EXPECT_EQ(At(6, 3)[0], 90);
    EXPECT_EQ(At(6, 3)[2], 0);
    EXPECT_EQ(At(6, 3)[3], 200) << "CT unchecked";

    // "Apply Edit to Selection Only": the stroke stops at the selection.
    S().Tool = ToolSelection;
    Drag(10, 10, 20, 20);
    SetSelectOption("A", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolPen));
    PointerDown(ws, 5, 15, 0);
    PointerMove(ws, 25, 15);
    PointerUp(ws, 25, 15);
    EXPECT_EQ(At(15, 15)[0], 0);
    EXPECT_EQ(At(7, 15)[0], 255);

    // Gradient and softening come from the rules, with the box's strength.
    EXPECT_EQ(gradients + softenings, 0);
    Box("UG", 1);
    Box("Anti", 1);
    Box("AP", 33);
    const Bitmap before = S().Bitmap;
    Drag(12, 12, 18, 12);
    EXPECT_EQ(gradients, 1);
    EXPECT_EQ(softenings, 1);
    EXPECT_EQ(strength, 33);
    EXPECT_TRUE(SamePixels(S().Bitmap, before)) << "the gradient replaces the flat colour";
}

TEST_F(PenTest, AStrokeCutShortByAnotherImageCommitsNothing) {
    PointerDown(ws, 5, 5, 0);
    PointerMove(ws, 15, 5);
    // Something replaces the image while the button is held (an undo).
    S().Bitmap.Fill(1, 2, 3);
    const Bitmap replaced = S().Bitmap;
    ws.BeforeImageReplaced();
    PointerUp(ws, 15, 5);
    EXPECT_TRUE(SamePixels(S().Bitmap, replaced));
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(5)[8 * 4 + 2], 255);
}

TEST(OverlayCommit, MarksTakeTheirColoursAtTheOccupancy) {
    Bitmap image(4, 1);
    image.Fill(200, 100, 50, 9);
    Bitmap overlay(4, 1);
    overlay.Fill(255, 255, 255);
    overlay.Row(0)[0 * 4 + 2] = 0;                                                         // outline
    overlay.Row(0)[1 * 4 + 0] = overlay.Row(0)[1 * 4 + 1] = overlay.Row(0)[1 * 4 + 2] = 1; // interior
    overlay.Row(0)[2 * 4 + 2] = 2;                                                         // neither
    Workspace ws;
    const SelectionEditTest all(ws);
    TStrokeOptions o;
    o.Occupancy = 25;
    o.ChangeTransparency = false;
    CompositeMarks({image, overlay, all, RGBColour(0, 0, 0), RGBColour(255, 255, 255), 0, 0, o, {}});
    const uint8_t* p = image.Row(0);
    // 25 x colour div 100 + old x 75 div 100.
    EXPECT_EQ(p[0], 150);
    EXPECT_EQ(p[1], 75);
    EXPECT_EQ(p[2], 37);
    EXPECT_EQ(p[4], 63 + 150);
    EXPECT_EQ(p[6], 63 + 37);
    EXPECT_EQ(p[8], 200) << "other overlay values are not marks";
    EXPECT_EQ(p[3], 9);
}
