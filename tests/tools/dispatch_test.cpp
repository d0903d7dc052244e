#include <gtest/gtest.h>

#include "doc/view_geometry.h"
#include "tools/multi_click_tools.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::ToolsTest;

TEST_F(ToolsTest, WhichPressesPushAndNameASnapshot) {
    // No tool: nothing is stored.
    PointerDown(ws, 3, 3, 0);
    PointerUp(ws, 3, 3);
    EXPECT_EQ(S().HistoryCount, 0);

    // Colour pick, selection press and crop press store an unnamed snapshot.
    for (int tool : {ToolColourPicker, ToolSelection, ToolCrop}) {
        const int before = S().HistoryCount;
        S().Tool = tool;
        ws.ToolVars.HasSelection = 0;
        ws.ToolVars.CropShown = 0;
        PointerDown(ws, 5, 5, 0);
        EXPECT_EQ(S().HistoryCount, before + 1) << tool;
        EXPECT_EQ(ws.SysData.MouseDown, 1);
        PointerUp(ws, 6, 6);
        EXPECT_EQ(ws.SysData.MouseDown, 0);
    }
    EXPECT_EQ(HistoryName(S(), S().HistoryCount), "");

    // The text tool stores none.
    const int before = S().HistoryCount;
    S().Tool = ToolText;
    PointerDown(ws, 5, 5, 0);
    PointerUp(ws, 5, 5);
    EXPECT_EQ(S().HistoryCount, before);
}

TEST_F(ToolsTest, PressCopiesTheImageIntoTheStrokeBaseAndClearsTheOverlay) {
    ws.StrokeOverlay.Bitmap.Fill(0, 0, 0);
    S().Tool = ToolPolygon;
    PointerDown(ws, 1, 1, 0);
    EXPECT_TRUE(pixora::testing::SamePixels(ws.StrokeBase.Bitmap, S().Bitmap));
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(10)[40], 255);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Polygon Line");
    PointerUp(ws, 1, 1);
}

TEST_F(ToolsTest, BezierTakesThreeCyclesAndOneStep) {
    int commits = 0;
    MultiClickDrawing().BezierCommit = [&](ToolContext&) { ++commits; };
    S().Tool = ToolBezier;
    port.Calls.clear();
    Drag(2, 2, 20, 20);
    EXPECT_EQ(ws.ToolVars.BezierStage, 1);
    Drag(8, 1, 8, 1);
    EXPECT_EQ(ws.ToolVars.BezierStage, 2);
    Drag(15, 25, 15, 25);
    EXPECT_EQ(ws.ToolVars.BezierStage, 0);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryName(S(), 2), "Bezier Curve");
    EXPECT_EQ(ws.ToolVars.BezierPoints[0], (TPoint{2, 2}));
    EXPECT_EQ(ws.ToolVars.BezierPoints[1], (TPoint{8, 1}));
    EXPECT_EQ(ws.ToolVars.BezierPoints[2], (TPoint{15, 25}));
    EXPECT_EQ(ws.ToolVars.BezierPoints[3], (TPoint{20, 20}));
    MultiClickDrawing().BezierCommit = nullptr;
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
    EXPECT_EQ(S().HistoryCount, 3);  // one step per segment
}

TEST_F(ToolsTest, ZoomedPressesMapToImagePixels) {
    EXPECT_EQ(ViewToImage(3, {3, 2}), 2);
    EXPECT_EQ(ViewToImage(5, {2, 1}), 2);
    EXPECT_EQ(ViewToImage(7, {2, 1}), 4);
}

TEST_F(ToolsTest, CropHandlesAndCursors) {
    S().Tool = ToolCrop;
    Drag(10, 10, 30, 25);
    EXPECT_EQ(ws.ToolVars.CropShown, 1);
    EXPECT_EQ(ws.ToolVars.DragRect, (TRect{10, 10, 30, 25}));
    PointerMove(ws, 8, 10);  // 2 px left of the top-left corner
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
    EXPECT_FALSE(ApplyCrop(ws));  // no rectangle shown any more
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
    EXPECT_FALSE(SelectToolCore(ws, ToolHistoryBrush));  // no history step yet
    ASSERT_TRUE(SelectToolCore(ws, ToolSelection));
    Drag(5, 5, 20, 20);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    SetSelectOption("A", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolPen));
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);  // kept for the edit test
    SetSelectOption("A", 0);
    ASSERT_TRUE(SelectToolCore(ws, ToolLine));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(S().Tool, ToolLine);
}
