#include <gtest/gtest.h>

#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::Pattern;
using pixora::testing::SamePixels;
using pixora::testing::ToolsTest;

namespace {

// A stand-in brush: paints every pixel of a 5x5 square that the edit test
// allows, the way the brushes do.
class TestStamp : public Tool {
public:
    void Press(ToolContext& c, int x, int y) override { Stamp(c, x, y); }
    void Move(ToolContext& c, int x, int y) override { Stamp(c, x, y); }

private:
    static void Stamp(ToolContext& c, int x, int y) {
        const SelectionEditTest test(c.Ws);
        for (int yy = y - 2; yy <= y + 2; ++yy)
            for (int xx = x - 2; xx <= x + 2; ++xx) {
                if (xx < 0 || yy < 0 || xx >= c.Slot.Bitmap.Width() || yy >= c.Slot.Bitmap.Height()) continue;
                if (!test.Test(xx, yy)) continue;
                uint8_t* p = c.Slot.Rows[yy] + xx * 4;
                p[0] = p[1] = p[2] = 0;
            }
    }
};

bool Black(const Bitmap& b, int x, int y) {
    const uint8_t* p = b.Row(y) + x * 4;
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

} // namespace

TEST_F(ToolsTest, RectangleDroppedUnmovedLeavesTheImageUnchanged) {
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(25, 20, 5, 4);  // drawn from the bottom right: normalised
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(S().DownX, 5);
    EXPECT_EQ(ws.ToolVars.SelRight, 25);
    EXPECT_EQ(ws.ToolVars.FloatBitmap.Width(), 20);
    EXPECT_EQ(ws.ToolVars.MaskLeft, 5);
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
}

TEST_F(ToolsTest, CornerDraggedPastTheOppositeCornerNormalises) {
    S().Tool = ToolSelection;
    Drag(10, 10, 20, 20);
    Drag(20, 20, 4, 6);  // bottom-right handle to above-left of the top-left
    EXPECT_EQ(S().DownX, 4);
    EXPECT_EQ(S().DownY, 6);
    EXPECT_EQ(ws.ToolVars.SelRight, 10);
    EXPECT_EQ(ws.ToolVars.SelBottom, 10);
}

TEST_F(ToolsTest, MovingARectangleCarriesItsPixelsAndSelectNoneRestores) {
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(2, 2, 12, 12);
    Drag(7, 7, 17, 12);  // inside: move by (10, 5)
    EXPECT_EQ(S().DownX, 12);
    EXPECT_EQ(S().DownY, 7);
    // The view shows the inner pixels at the new place.
    EXPECT_EQ(0, std::memcmp(ws.DisplayCopy.Row(8) + 13 * 4, original.Row(3) + 3 * 4, 4));
    SelectNone(ws);
    EXPECT_TRUE(SamePixels(S().Bitmap, original));

    Drag(2, 2, 12, 12);
    Drag(7, 7, 17, 12);
    PointerDown(ws, 38, 28, 0);  // outside: the selection is dropped
    PointerUp(ws, 38, 28);
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(8) + 13 * 4, original.Row(3) + 3 * 4, 4));
}

TEST_F(ToolsTest, ExcludeProtectsAndApplyConfinesAStroke) {
    static TestStamp stamp;
    RegisterTool(24, &stamp);
    S().Tool = ToolSelection;
    Drag(10, 10, 20, 20);
    SetSelectOption("E", 1);
    ASSERT_TRUE(SelectToolCore(ws, 24));
    Drag(8, 15, 22, 15);
    EXPECT_FALSE(Black(S().Bitmap, 15, 15));  // selected: protected
    EXPECT_TRUE(Black(S().Bitmap, 8, 15));    // outside: painted

    SetSelectOption("E", 0);
    SetSelectOption("A", 1);
    Drag(8, 25, 22, 25);
    EXPECT_FALSE(Black(S().Bitmap, 15, 25));  // outside the selection
    Drag(8, 12, 22, 12);
    EXPECT_TRUE(Black(S().Bitmap, 15, 12));
    EXPECT_FALSE(Black(S().Bitmap, 8, 12));
    RegisterTool(24, nullptr);
}

TEST_F(ToolsTest, DeleteUnderlyingLeavesTheCanvasColour) {
    SetSelectOption("DU", 1);
    S().CanvasColour = RGBColour(10, 20, 30);
    S().Tool = ToolSelection;
    Drag(5, 5, 15, 15);
    const uint8_t* p = S().Bitmap.Row(8) + 8 * 4;
    EXPECT_EQ(p[2], 10);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[0], 30);
    // Moving the selection reveals the canvas colour where it was.
    Drag(10, 10, 30, 20);
    ASSERT_TRUE(DropSelection(ws));
    p = S().Bitmap.Row(6) + 6 * 4;
    EXPECT_EQ(p[2], 10);
}

TEST_F(ToolsTest, EllipseSelectionIsTightenedAndMovesByItsMask) {
    SetSelectOption("RadioGroup1", SelEllipse);
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(4, 4, 24, 20);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_GE(S().DownX, 4);
    EXPECT_LE(ws.ToolVars.SelRight, 24);
    const int left = S().DownX, top = S().DownY;
    // Grab inside the ellipse and move it by (10, 6).
    Drag(14, 12, 24, 18);
    EXPECT_EQ(S().DownX, left + 10);
    EXPECT_EQ(S().DownY, top + 6);
    ASSERT_TRUE(DropSelection(ws));
    // The centre pixel travelled with the selection.
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(12 + 6) + (14 + 10) * 4, original.Row(12) + 14 * 4, 4));
}

TEST_F(ToolsTest, SelectAllAndTheColourFills) {
    SelectAll(ws);
    EXPECT_EQ(S().Tool, ToolSelection);
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(ws.ToolVars.SelRight, 40);
    EXPECT_EQ(ws.SelectionMask.Bitmap.Width(), 40);
    SelectNone(ws);
    EXPECT_TRUE(SamePixels(S().Bitmap, ws.StrokeBase.Bitmap));

    SetFGColour(S(), RGBColour(1, 2, 3));
    FillWithColour(ws, true);
    EXPECT_EQ(S().Bitmap.Row(29)[39 * 4 + 2], 1);
    EXPECT_EQ(S().Bitmap.Row(29)[39 * 4 + 3], 0);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo FG Colour Fill");
    EXPECT_EQ(S().Saved, 0);
}

TEST_F(ToolsTest, StretchThereAndBackIsExact) {
    const Bitmap src = Pattern(13, 9, 4);
    Bitmap big(31, 17);
    StretchRect(src, {0, 0, 13, 9}, big, {0, 0, 31, 17});
    Bitmap back(13, 9);
    StretchRect(big, {0, 0, 31, 17}, back, {0, 0, 13, 9});
    EXPECT_TRUE(SamePixels(src, back));
}
