#include <gtest/gtest.h>

#include <algorithm>

#include "doc/view_geometry.h"
#include "history/history_store.h"
#include "tools/shapes/multi_click_family.h"
#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::ToolsTest;

// A press leaves a step only when it changed the image, and the step has
// its tool's name; a press that changes nothing keeps the redo steps.
TEST_F(ToolsTest, APressLeavesANamedStepOnlyWhenItChangedTheImage) {
    // No tool, a colour pick, a selection made and let go, a crop band, a
    // text press: the image is as it was, so no step.
    for (int tool : {int{0}, int{ToolColourPicker}, int{ToolSelection}, int{ToolCrop}, int{ToolText}}) {
        S().Tool = tool;
        ws.ToolVars.HasSelection = 0;
        ws.ToolVars.CropShown = 0;
        PointerDown(ws, 5, 5, 0);
        PointerUp(ws, 6, 6);
        EXPECT_EQ(ws.SysData.MouseDown, 0);
        EXPECT_EQ(S().HistoryCount, 0) << tool;
        EXPECT_EQ(S().Saved, 1) << tool;
    }
    // A line is a step named "Line", stored as the image was before it.
    const Bitmap before = S().Bitmap;
    S().Tool = ToolLine;
    Drag(2, 2, 30, 20);
    ASSERT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryName(S(), 2), "Line");
    Bitmap stored;
    ReadStoredStep(ws, slot, 1, stored);
    EXPECT_TRUE(pixora::testing::SamePixels(stored, before));
    // Undone, a press that paints nothing leaves the line to be redone.
    ASSERT_TRUE(UndoStep(ws));
    ASSERT_EQ(S().HistoryCount, 2);
    S().Tool = ToolColourPicker;
    PointerDown(ws, 5, 5, 0);
    PointerUp(ws, 5, 5);
    EXPECT_EQ(S().HistoryCount, 2);
    EXPECT_TRUE(RedoStep(ws));
}

TEST_F(ToolsTest, PressCopiesTheImageIntoTheStrokeBaseAndClearsTheOverlay) {
    ws.StrokeOverlay.Bitmap.Fill(0, 0, 0);
    S().Tool = ToolPolygon;
    PointerDown(ws, 1, 1, 0);
    EXPECT_TRUE(pixora::testing::SamePixels(ws.StrokeBase.Bitmap, S().Bitmap));
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(10)[40], 255);
    PointerUp(ws, 1, 1);
}

// Presses copy into the buffers the last press left, and each step still
// stores the image exactly as its own press found it.
TEST_F(ToolsTest, PressesReuseTheirCopiesAndStoreEachStepExactly) {
    S().Tool = ToolLine;
    Drag(2, 2, 30, 20);
    const Bitmap afterFirst = S().Bitmap;
    const uint8_t* base = ws.StrokeBase.Bitmap.Data();
    PointerDown(ws, 40, 2, 0);
    EXPECT_EQ(ws.StrokeBase.Bitmap.Data(), base);
    EXPECT_TRUE(pixora::testing::SamePixels(ws.StrokeBase.Bitmap, afterFirst));
    PointerMove(ws, 5, 30);
    PointerUp(ws, 5, 30);
    ASSERT_EQ(S().HistoryCount, 2);
    Bitmap stored;
    ReadStoredStep(ws, slot, 2, stored);
    EXPECT_TRUE(pixora::testing::SamePixels(stored, afterFirst));
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(pixora::testing::SamePixels(S().Bitmap, afterFirst));
}

// Once the image as it is stands stored after the newest step, a press takes
// the undo store's kept state as the image as it was instead of a copy; each
// step, the state after it and every undo and redo stay exact, and an image
// changed outside any step since is copied as before.
TEST_F(ToolsTest, PressesTakeTheStoresKeptStateWhenItHoldsTheImage) {
    S().Tool = ToolLine;
    std::vector<Bitmap> states{S().Bitmap};
    Drag(2, 2, 30, 20);
    states.push_back(S().Bitmap);
    EXPECT_EQ(CurrentKeptState(ws, slot), nullptr);
    StoreNewestState(ws, slot);  // as the window does once the edit is done
    ASSERT_NE(CurrentKeptState(ws, slot), nullptr);
    Drag(40, 2, 5, 30);
    states.push_back(S().Bitmap);
    // The step stored the state after it too: the next press needs no copy.
    EXPECT_NE(CurrentKeptState(ws, slot), nullptr);
    Drag(1, 25, 38, 12);
    states.push_back(S().Bitmap);
    Drag(1, 25, 38, 12);  // the same pixels again: no step
    ASSERT_EQ(S().HistoryCount, 3);
    EXPECT_EQ(HistoryName(S(), 4), "Line");
    WaitForStoredSteps(ws);
    for (int k = 1; k <= 4; ++k) {
        Bitmap stored;
        ReadStoredStep(ws, slot, k, stored);
        EXPECT_TRUE(pixora::testing::SamePixels(stored, states[static_cast<std::size_t>(k - 1)])) << k;
    }
    // Changed outside any step (as a layer chosen is): the kept state no
    // longer holds the image, and the step stores the image as the press found it.
    S().Bitmap.Row(20)[4 * 30] ^= 0xFF;
    states.back() = S().Bitmap;
    EXPECT_EQ(CurrentKeptState(ws, slot), nullptr);
    Drag(3, 25, 20, 25);
    states.push_back(S().Bitmap);
    ASSERT_EQ(S().HistoryCount, 4);
    while (UndoStep(ws))
        EXPECT_TRUE(pixora::testing::SamePixels(S().Bitmap, states[static_cast<std::size_t>(S().HistoryPos)]))
            << S().HistoryPos;
    EXPECT_EQ(S().HistoryPos, 0);
    while (RedoStep(ws))
        EXPECT_TRUE(pixora::testing::SamePixels(S().Bitmap, states[static_cast<std::size_t>(S().HistoryPos)]))
            << S().HistoryPos;
    EXPECT_EQ(S().HistoryPos, 4);
    EXPECT_TRUE(port.Problems.empty());
}

namespace {

// The curve's click sequence with a drawing that counts its previews and
// commits.
class CountingCurve : public StagedClicks {
public:
    CountingCurve(int& previews, int& commits) : previews_(previews), commits_(commits) {}

protected:
    void Preview(ToolContext& c, const TShapePoints&) override {
        ++previews_;
        c.Vars.RefreshAfter = 0; // previews draw on the view
    }
    void Commit(ToolContext& c, const TShapePoints&) override {
        ++commits_;
        c.Slot.Bitmap.Row(0)[0] ^= 1; // the curve changes the image
    }

private:
    int& previews_;
    int& commits_;
};

} // namespace

TEST_F(ToolsTest, BezierTakesThreeCyclesAndOneStep) {
    int commits = 0;
    int previews = 0;
    ToolsOf(ws).Install(ToolBezier, std::make_unique<CountingCurve>(previews, commits));
    S().Tool = ToolBezier;
    // Whether the release of a cycle refreshed the view.
    auto cycle = [&](int x0, int y0, int x1, int y1) {
        PointerDown(ws, x0, y0, 0);
        PointerMove(ws, x1, y1);
        port.Calls.clear();
        PointerUp(ws, x1, y1);
        return std::count(port.Calls.begin(), port.Calls.end(), "RefreshView") > 0;
    };
    EXPECT_FALSE(cycle(2, 2, 20, 20));
    EXPECT_EQ(ws.ToolVars.BezierStage, 1);
    EXPECT_EQ(previews, 1); // the first drag shows the line so far
    EXPECT_FALSE(cycle(8, 1, 8, 1));
    EXPECT_EQ(ws.ToolVars.BezierStage, 2);
    EXPECT_TRUE(cycle(15, 25, 15, 25));
    EXPECT_EQ(ws.ToolVars.BezierStage, 0);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryName(S(), 2), "Bezier Curve");
    EXPECT_EQ(ws.ToolVars.BezierPoints[0], (TPoint{2, 2}));
    EXPECT_EQ(ws.ToolVars.BezierPoints[1], (TPoint{8, 1}));
    EXPECT_EQ(ws.ToolVars.BezierPoints[2], (TPoint{15, 25}));
    EXPECT_EQ(ws.ToolVars.BezierPoints[3], (TPoint{20, 20}));
}

TEST_F(ToolsTest, RightButtonEndsThePolygonChain) {
    S().Tool = ToolPolygon;
    Drag(1, 1, 5, 5);
    EXPECT_EQ(ws.ToolVars.PolygonOpen, 1);
    EXPECT_EQ(S().DownX, 5);
    Drag(9, 9, 9, 9, 1);
    EXPECT_EQ(ws.ToolVars.PolygonOpen, 0);
    Drag(20, 20, 20, 20);
    EXPECT_EQ(ws.ToolVars.PolygonOpen, 1);
    // One step per segment drawn; the new chain's first click draws none yet.
    EXPECT_EQ(S().HistoryCount, 2);
}

TEST_F(ToolsTest, CropHandlesAndCursors) {
    S().Tool = ToolCrop;
    Drag(10, 10, 30, 25);
    EXPECT_EQ(ws.ToolVars.CropShown, 1);
    EXPECT_EQ(ws.ToolVars.DragRect, (TRect{10, 10, 30, 25}));
    PointerMove(ws, 8, 10); // 2 px left of the top-left corner
    EXPECT_EQ(port.Cursor, kCursorSizeNWSE);
    PointerMove(ws, 7, 10);
    EXPECT_EQ(port.Cursor, 0);
    PointerMove(ws, 20, 25);
    EXPECT_EQ(port.Cursor, kCursorSizeNS);

    // Move the rectangle by its inside, then crop: the new place is cut.
    Drag(20, 15, 15, 12);
    EXPECT_EQ(ws.ToolVars.DragRect, (TRect{5, 7, 25, 22}));
    const Bitmap before = S().Bitmap;
    ASSERT_TRUE(ApplyCrop(ws));
    EXPECT_EQ(S().Bitmap.Width(), 20);
    EXPECT_EQ(S().Bitmap.Height(), 15);
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(0), before.Row(7) + 5 * 4, 20 * 4));
    EXPECT_EQ(S().Tool, 0);
    EXPECT_EQ(ws.ToolVars.CropShown, 0);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Crop");
    EXPECT_FALSE(ApplyCrop(ws)); // no rectangle shown any more
}

TEST_F(ToolsTest, ColourPickerFollowsTheButton) {
    S().Tool = ToolColourPicker;
    const uint8_t* p = S().Bitmap.Row(4) + 6 * 4;
    const int32_t colour = RGBColour(p[2], p[1], p[0]);
    Drag(6, 4, 6, 4, 0);
    EXPECT_EQ(port.Swatch[0], colour);
    EXPECT_EQ(S().FGColour, colour);
    EXPECT_EQ(S().FGRed, p[2]);
    Drag(6, 4, 6, 4, 1);
    EXPECT_EQ(S().BGColour, colour);
}

TEST_F(ToolsTest, ChoosingToolsKeepsOrDropsTheSelection) {
    EXPECT_FALSE(SelectToolCore(ws, ToolHistoryBrush)); // no history step yet
    ASSERT_TRUE(SelectToolCore(ws, ToolSelection));
    Drag(5, 5, 20, 20);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    SetSelectOption("A", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolPen));
    EXPECT_EQ(ws.ToolVars.HasSelection, 1); // kept for the edit test
    SetSelectOption("A", 0);
    ASSERT_TRUE(SelectToolCore(ws, ToolLine));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(S().Tool, ToolLine);
}

TEST_F(ToolsTest, CropBandStaysOnTheViewOnceAtItsPlace) {
    S().Tool = ToolCrop;
    auto bandAt = [&](const TRect& r) {
        Bitmap want = S().Bitmap;
        DottedRectangle(want, r);
        return pixora::testing::SamePixels(ws.DisplayCopy, want);
    };
    PointerDown(ws, 10, 10, 0);
    PointerMove(ws, 20, 20);
    PointerMove(ws, 25, 18);
    PointerUp(ws, 30, 25); // released away from the last move
    EXPECT_TRUE(bandAt({10, 10, 30, 25}));
    // Pressing a handle keeps the band; dragging it leaves one band only.
    PointerDown(ws, 30, 25, 0);
    EXPECT_EQ(ws.ToolVars.HandleHit, 2);
    EXPECT_TRUE(bandAt({10, 10, 30, 25}));
    PointerMove(ws, 34, 28);
    PointerMove(ws, 36, 27);
    PointerUp(ws, 36, 27);
    EXPECT_TRUE(bandAt({10, 10, 36, 27}));
    // A press outside every handle changes nothing.
    Drag(2, 2, 5, 5);
    EXPECT_EQ(ws.ToolVars.DragRect, (TRect{10, 10, 36, 27}));
    EXPECT_TRUE(bandAt({10, 10, 36, 27}));
}

TEST_F(ToolsTest, CropDrawnBackwardsCanBeMovedByItsInside) {
    S().Tool = ToolCrop;
    Drag(30, 25, 10, 10);
    EXPECT_EQ(ws.ToolVars.DragRect, (TRect{10, 10, 30, 25}));
    EXPECT_EQ(S().DownX, 10);
    EXPECT_EQ(ws.ToolVars.SelRight, 30);
    Drag(20, 20, 22, 21);
    EXPECT_EQ(ws.ToolVars.DragRect, (TRect{12, 11, 32, 26}));
    const Bitmap before = S().Bitmap;
    ASSERT_TRUE(ApplyCrop(ws));
    EXPECT_EQ(S().Bitmap.Width(), 20);
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(0), before.Row(11) + 12 * 4, 20 * 4));
}

TEST_F(ToolsTest, CropWithoutAreaIsRefused) {
    S().Tool = ToolCrop;
    Drag(50, 10, 60, 20); // wholly right of the 40-pixel-wide image
    const int steps = S().HistoryCount;
    EXPECT_FALSE(ApplyCrop(ws));
    EXPECT_EQ(S().Bitmap.Width(), 40);
    EXPECT_EQ(S().HistoryCount, steps);
}

TEST_F(ToolsTest, AnotherToolHidesTheCropRectangle) {
    S().Tool = ToolCrop;
    Drag(10, 10, 30, 25);
    ASSERT_EQ(ws.ToolVars.CropShown, 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolPolygon));
    EXPECT_EQ(ws.ToolVars.CropShown, 0);
    // The image changes by other means (an undo, a filter) ...
    S().Bitmap.Fill(1, 2, 3);
    // ... and the next stroke takes its clean copy from the image as it is.
    port.Cursor = 77;
    PointerMove(ws, 8, 10);
    EXPECT_EQ(port.Cursor, 77); // no crop handles any more
    PointerDown(ws, 5, 5, 0);
    EXPECT_TRUE(pixora::testing::SamePixels(ws.StrokeBase.Bitmap, S().Bitmap));
    PointerUp(ws, 5, 5);
    // Choosing the crop tool itself keeps a rectangle shown.
    S().Tool = ToolCrop;
    Drag(10, 10, 30, 25);
    ASSERT_TRUE(SelectToolCore(ws, ToolCrop));
    EXPECT_EQ(ws.ToolVars.CropShown, 1);
}

TEST_F(ToolsTest, FloodfillToolReadsItsBoxAndFillsWithTheButtonsColour) {
    // A uniform image whose transparency varies.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            uint8_t* p = S().Bitmap.Row(y) + x * 4;
            p[0] = 100, p[1] = 50, p[2] = 10, p[3] = static_cast<uint8_t>(x + y);
        }
    const Bitmap before = S().Bitmap;
    SetFGColour(S(), RGBColour(200, 0, 0));
    SetBGColour(S(), RGBColour(0, 0, 0));
    port.Options[{"TForm25", "ComboBox"}] = 0;
    port.Options[{"TForm25", "TrackBar"}] = 30;
    // A kept selection does not limit the fill.
    S().Tool = ToolSelection;
    Drag(2, 2, 8, 8);
    SetSelectOption("A", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolFloodFill));
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    port.Calls.clear();
    PointerDown(ws, 20, 15, 0);
    PointerUp(ws, 20, 15);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Flood Fill");
    EXPECT_GT(std::count(port.Calls.begin(), port.Calls.end(), "RefreshView"), 0);
    for (auto [x, y] : {std::pair{0, 0}, {20, 15}, {39, 29}, {5, 5}}) {
        const uint8_t* p = S().Bitmap.Row(y) + x * 4;
        EXPECT_EQ(p[2], 105) << x << "," << y; // (10 + 200) / 2
        EXPECT_EQ(p[1], 25);
        EXPECT_EQ(p[0], 50);
        EXPECT_EQ(p[3], before.Row(y)[x * 4 + 3]);
    }
    // The right button fills with the background colour; "Color (hue)" is
    // index 1 and a zero tolerance still takes the uniform area.
    port.Options[{"TForm25", "TrackBar"}] = 0;
    PointerDown(ws, 1, 1, 1);
    PointerUp(ws, 1, 1);
    EXPECT_EQ(S().Bitmap.Row(0)[2], 52); // (105 + 0) / 2, ties to even
    port.Options[{"TForm25", "ComboBox"}] = 1;
    const Bitmap rgb = S().Bitmap;
    PointerDown(ws, 1, 1, 0);
    PointerUp(ws, 1, 1);
    EXPECT_FALSE(pixora::testing::SamePixels(S().Bitmap, rgb));
}
