// Invert Selection over every selection shape, moved or not, and the
// selection kept for another tool's edits.
#include <gtest/gtest.h>

#include "history/history_store.h"
#include "tools/selection_invert.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct InvertTest : ToolsTest {
    // Whether image pixel (x, y) is selected now.
    bool Selected(int x, int y) {
        if (!ws.ToolVars.HasSelection) return false;
        return SelectionEditTest(ws.SelectionMask.Bitmap, ws.ToolVars.MaskLeft, ws.ToolVars.MaskTop, true)
            .Test(x, y);
    }
    // The selected pixels of the whole image, row by row.
    std::vector<bool> Region() {
        std::vector<bool> r;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                r.push_back(Selected(x, y));
        return r;
    }
    void Select(int shape, int l, int t, int r, int b) {
        SetSelectOption("RadioGroup1", shape);
        S().Tool = ToolSelection;
        if (shape != SelFreeHand) {
            Drag(l, t, r, b);
        } else {
            // A freehand trail around three sides of the box, closed at the release.
            PointerDown(ws, l, t, 0);
            PointerMove(ws, r, t);
            PointerMove(ws, r, b);
            PointerUp(ws, l, b);
        }
        ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    }
};

} // namespace

TEST_F(InvertTest, EveryShapeTurnsInsideOutAndBackAgain) {
    const Bitmap original = S().Bitmap;
    for (int shape : {SelRectangle, SelEllipse, SelFreeHand}) {
        Select(shape, 5, 5, 25, 20);
        const std::vector<bool> before = Region();
        ASSERT_TRUE(InvertSelection(ws));
        EXPECT_EQ(port.ToolOption(TOpt::SelectionType), SelMagicWand) << "the region is the wand's kind";
        const std::vector<bool> inverted = Region();
        for (std::size_t i = 0; i < before.size(); ++i)
            ASSERT_NE(before[i], inverted[i]) << shape << " at " << i % width << "," << i / width;
        EXPECT_TRUE(Selected(0, 0));
        EXPECT_TRUE(Selected(39, 29));
        EXPECT_FALSE(Selected(15, 12));
        // The view outlines the new region, the image is untouched.
        EXPECT_FALSE(SamePixels(ws.DisplayCopy, original));
        EXPECT_TRUE(SamePixels(S().Bitmap, original));
        ASSERT_TRUE(InvertSelection(ws));
        EXPECT_EQ(Region(), before) << shape;
        SelectNone(ws);
    }
    EXPECT_EQ(S().HistoryCount, 0) << "nothing moved, nothing stored";

    // Nothing selected: everything; everything: nothing.
    ASSERT_TRUE(InvertSelection(ws));
    EXPECT_TRUE(Selected(0, 0) && Selected(39, 29));
    ASSERT_TRUE(InvertSelection(ws));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, original)) << "no outline left behind";
}

TEST_F(InvertTest, AMovedSelectionIsCommittedWhereItFloatsAsAStep) {
    const Bitmap original = S().Bitmap;
    Select(SelRectangle, 2, 2, 12, 12);
    Drag(7, 7, 17, 12); // moved by (10, 5)
    ASSERT_TRUE(InvertSelection(ws));
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(8) + 13 * 4, original.Row(3) + 3 * 4, 4)) << "the float went in";
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Selection Tool");
    EXPECT_FALSE(Selected(15, 10)) << "the moved place is left out";
    EXPECT_TRUE(Selected(3, 3)) << "the place it left is in";
    // Dropping the new selection changes nothing more.
    const Bitmap committed = S().Bitmap;
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, committed));
}

TEST_F(InvertTest, AKeptSelectionConfinesTheNextEditsToItsOutside) {
    Select(SelRectangle, 10, 10, 20, 20);
    SetSelectOption("A", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolPen));
    ASSERT_TRUE(InvertSelection(ws));
    EXPECT_EQ(S().Tool, ToolPen) << "the painting tool stays";
    const SelectionEditTest test(ws);
    ASSERT_TRUE(test.Active());
    EXPECT_FALSE(test.Test(15, 15));
    EXPECT_TRUE(test.Test(5, 5));
    EXPECT_TRUE(test.Test(25, 25));
}
