#include <gtest/gtest.h>

#include <cstring>

#include "tools/brushes/stamp_brush_family.h"
#include "tools/magic_wand.h"
#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::Pattern;
using pixora::testing::SamePixels;
using pixora::testing::ToolsTest;

namespace {

// A stand-in brush: paints every pixel of a 5x5 square that the edit test
// allows, the way the brushes do.
class TestStamp : public StampBrushFamily {
protected:
    TRect PaintStamp(const TStamp& s) override {
        for (int yy = s.Cy - 2; yy <= s.Cy + 2; ++yy)
            for (int xx = s.Cx - 2; xx <= s.Cx + 2; ++xx) {
                if (xx < 0 || yy < 0 || xx >= s.Image.Width() || yy >= s.Image.Height()) continue;
                if (!s.EditTest.Test(xx, yy)) continue;
                uint8_t* p = s.Rows[yy] + xx * 4;
                p[0] = p[1] = p[2] = 0;
            }
        return {s.Cx - 2, s.Cy - 2, s.Cx + 3, s.Cy + 3};
    }
};

// A selection of (10, 10)-(20, 20) kept by option A or E while the test
// stamp (tool 24) paints.
struct StampTest : ToolsTest {
    void KeepSelection(const char* option) {
        ToolsOf(ws).Install(24, std::make_unique<TestStamp>());
        S().Tool = ToolSelection;
        Drag(10, 10, 20, 20);
        SetSelectOption(option, 1);
        ASSERT_TRUE(SelectToolCore(ws, 24));
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
    Drag(25, 20, 5, 4); // drawn from the bottom right: normalised
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
    Drag(20, 20, 4, 6); // bottom-right handle to above-left of the top-left
    EXPECT_EQ(S().DownX, 4);
    EXPECT_EQ(S().DownY, 6);
    EXPECT_EQ(ws.ToolVars.SelRight, 10);
    EXPECT_EQ(ws.ToolVars.SelBottom, 10);
}

TEST_F(ToolsTest, MovingARectangleCarriesItsPixelsAndSelectNoneRestores) {
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(2, 2, 12, 12);
    Drag(7, 7, 17, 12); // inside: move by (10, 5)
    EXPECT_EQ(S().DownX, 12);
    EXPECT_EQ(S().DownY, 7);
    // The view shows the inner pixels at the new place.
    // (The fixture's checkerboard is one colour, so the blend is the same
    // wherever a pixel goes.)
    EXPECT_EQ(0, std::memcmp(ws.DisplayCopy.Row(8) + 13 * 4, Shown(original).Row(3) + 3 * 4, 4));
    SelectNone(ws);
    EXPECT_TRUE(SamePixels(S().Bitmap, original));

    Drag(2, 2, 12, 12);
    Drag(7, 7, 17, 12);
    PointerDown(ws, 38, 28, 0); // outside: the selection is dropped
    PointerUp(ws, 38, 28);
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(8) + 13 * 4, original.Row(3) + 3 * 4, 4));
}

TEST_F(ToolsTest, AMovedRectangleCarriesItsInnerPixelsAndLeavesItsFrame) {
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(2, 2, 14, 11);
    Drag(8, 6, 20, 16); // move by (12, 10)
    ASSERT_TRUE(DropSelection(ws));
    // Inside the frame the pixels from (3, 3)-(13, 10); the frame of the
    // new place, and the old place, as they were.
    Bitmap expected = original;
    for (int y = 3; y < 10; ++y)
        std::memcpy(expected.Row(y + 10) + (3 + 12) * 4, original.Row(y) + 3 * 4, 10 * 4);
    EXPECT_TRUE(SamePixels(S().Bitmap, expected));
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
    // The window's rest after the step keeps the clean copy that the view
    // shows under the floating pixels, canvas colour and all.
    RestTools(ws);
    ASSERT_FALSE(ws.StrokeBase.Bitmap.Empty());
    EXPECT_EQ(ws.StrokeBase.Bitmap.Row(8)[8 * 4 + 2], 10);
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

TEST_F(ToolsTest, CornerDraggedStepByStepPastTheOppositeCornerKeepsIt) {
    S().Tool = ToolSelection;
    Drag(10, 10, 20, 20);
    PointerDown(ws, 20, 20, 0);
    ASSERT_EQ(ws.ToolVars.HandleHit, 2);
    for (int k = 19; k >= 4; --k)
        PointerMove(ws, k, k + 2 > 20 ? 20 : k + 2);
    PointerUp(ws, 4, 6);
    EXPECT_EQ((TRect{S().DownX, S().DownY, ws.ToolVars.SelRight, ws.ToolVars.SelBottom}),
              (TRect{4, 6, 10, 10}));
    EXPECT_EQ(ws.ToolVars.HandleHit, 1); // now the top-left corner follows
}

TEST_F(ToolsTest, EllipseKeepsItsEdgePixelsAndCanBeMovedAgain) {
    SetSelectOption("RadioGroup1", SelEllipse);
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(4, 4, 25, 21);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    // The mask's box holds every selected pixel, its last column and row too.
    const Bitmap& mask = ws.SelectionMask.Bitmap;
    bool lastColumn = false, lastRow = false;
    for (int y = 0; y < mask.Height(); ++y)
        lastColumn |= mask.Row(y)[(mask.Width() - 1) * 4] == 0;
    for (int x = 0; x < mask.Width(); ++x)
        lastRow |= mask.Row(mask.Height() - 1)[x * 4] == 0;
    EXPECT_TRUE(lastColumn);
    EXPECT_TRUE(lastRow);
    const int left = S().DownX, top = S().DownY, w = mask.Width();
    // Move it, then grab it at its new place and move it again.
    Drag(14, 12, 18, 14);
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    Drag(18, 14, 20, 17);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1) << "the moved ellipse was not found at its new place";
    EXPECT_EQ(S().DownX, left + 6);
    EXPECT_EQ(S().DownY, top + 5);
    ASSERT_TRUE(DropSelection(ws));
    // The pixel at the right end of the middle row travelled with it.
    const int my = mask.Height() / 2;
    int mx = w - 1;
    while (mx > 0 && mask.Row(my)[mx * 4] != 0)
        --mx;
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(top + my + 5) + (left + mx + 6) * 4,
                             original.Row(top + my) + (left + mx) * 4, 4));
}

TEST_F(ToolsTest, PressOutsideDropsAndTakesTheOutlineOffTheView) {
    SetSelectOption("RadioGroup1", SelEllipse);
    S().Tool = ToolSelection;
    Drag(4, 4, 20, 20);
    Drag(12, 12, 22, 16);
    EXPECT_FALSE(SamePixels(ws.DisplayCopy, S().Bitmap)); // floating pixels and outline on the view
    PointerDown(ws, 38, 2, 0);
    PointerUp(ws, 38, 2);
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, S().Bitmap));
}

TEST_F(ToolsTest, SelectAllDrawsItsFrameOnTheViewOnly) {
    const Bitmap original = S().Bitmap;
    SelectAll(ws);
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
    Bitmap framed = original;
    DottedRectangle(framed, {0, 0, 40, 30});
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, framed));
    // Kept for the edit test while another tool paints, the image stays
    // free of the frame.
    SetSelectOption("A", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolPolygon));
    PointerDown(ws, 3, 3, 0);
    EXPECT_TRUE(SamePixels(ws.StrokeBase.Bitmap, original));
    PointerUp(ws, 3, 3);
}

TEST_F(StampTest, SelectNoneKeepsStrokesMadeWhileTheSelectionWasKept) {
    KeepSelection("A");
    Drag(12, 15, 18, 15);
    ASSERT_TRUE(Black(S().Bitmap, 15, 15));
    SelectNone(ws);
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_TRUE(Black(S().Bitmap, 15, 15));
}

TEST_F(ToolsTest, EditsWhileASelectionFloatsSurviveTheDrop) {
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(10, 10, 20, 20);
    SetFGColour(S(), RGBColour(9, 8, 7));
    FillWithColour(ws, true);
    PointerDown(ws, 35, 25, 0); // outside: drop
    PointerUp(ws, 35, 25);
    ASSERT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(S().Bitmap.Row(2)[2 * 4 + 2], 9); // the fill stays around it
    EXPECT_EQ(0,
              std::memcmp(S().Bitmap.Row(15) + 15 * 4, original.Row(15) + 15 * 4, 4)); // the floating pixels
}

TEST_F(ToolsTest, ASelectionBelongsToTheImageItWasMadeOn) {
    const Bitmap first = S().Bitmap;
    const int other = Open(Pattern(40, 30, 7));
    const Bitmap second = Slot(other).Bitmap;
    Activate(slot);
    S().Tool = ToolSelection;
    Drag(2, 2, 12, 12);
    Drag(7, 7, 17, 12); // moved by (10, 5)
    // The other image becomes the active one (as a new image or a tab
    // click makes it) before the selection is ended.
    Slot(other).Tool = ToolSelection;
    Activate(other);
    EXPECT_FALSE(SelectionEditTest(ws).Active());
    EXPECT_TRUE(EndSelection(ws));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_TRUE(SamePixels(Slot(other).Bitmap, second));
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(8) + 13 * 4, first.Row(3) + 3 * 4, 4));

    // A selection kept for the edit test ends when another image is shown.
    Activate(slot);
    S().Tool = ToolSelection;
    Drag(2, 2, 12, 12);
    SetSelectOption("E", 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolPolygon));
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_FALSE(EndSelection(ws)); // same image: kept
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    Activate(other);
    EndSelection(ws);
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
}

TEST_F(ToolsTest, EditSelectionAreaMovesTheOutlineOnly) {
    SetSelectOption("RadioGroup2", 0);
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(2, 2, 12, 12);
    Drag(7, 7, 27, 17); // the outline moves by (20, 10)
    EXPECT_EQ(ws.ToolVars.DragRect, (TRect{22, 12, 32, 22}));
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
    // The floating pixels are now what lies under the inner area.
    ASSERT_EQ(ws.ToolVars.FloatBitmap.Width(), 8);
    EXPECT_EQ(0, std::memcmp(ws.ToolVars.FloatBitmap.Row(0), original.Row(13) + 23 * 4, 8 * 4));
    EXPECT_EQ(ws.ToolVars.MaskLeft, 22);
    EXPECT_EQ(ws.SelectionMask.Bitmap.Width(), 10);
    Bitmap outlined = Shown(original);
    DottedRectangle(outlined, {22, 12, 32, 22});
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, outlined));
    // A click inside without a move leaves the outline where it is.
    PointerDown(ws, 27, 17, 0);
    PointerUp(ws, 27, 17);
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, outlined));
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
}

TEST_F(ToolsTest, DuplicateOnMouseUpLeavesCopiesBehind) {
    SetSelectOption("D", 1);
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(2, 2, 8, 8);
    Drag(5, 5, 15, 5);   // first copy at (12, 2)
    Drag(15, 5, 15, 15); // second copy at (12, 12)
    for (auto [x, y] : {std::pair{13, 3}, {13, 13}})
        EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(y) + x * 4, original.Row(3) + 3 * 4, 4)) << x << "," << y;
    EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(3) + 3 * 4, original.Row(3) + 3 * 4, 4)); // the source stays
}

TEST_F(ToolsTest, FreehandTakesAtMost4097PointsAndClosesAtTheRelease) {
    SetSelectOption("RadioGroup1", SelFreeHand);
    S().Tool = ToolSelection;
    PointerDown(ws, 5, 5, 0);
    for (int k = 0; k < 5000; ++k)
        PointerMove(ws, 5 + (k % 3 == 0 ? 20 : 0), 5 + (k % 3 == 1 ? 20 : 0));
    PointerUp(ws, 5, 25);
    EXPECT_EQ(ws.ToolVars.FreeCount, 4096);
    EXPECT_EQ(ws.ToolVars.FreePoints[4096], (TPoint{5, 25}));
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(S().DownX, 5);
    EXPECT_EQ(S().DownY, 5);
}

TEST_F(ToolsTest, WandSelectionOutlinesTheRegionOnTheView) {
    // A 12 x 8 block of one colour on a pattern.
    for (int y = 6; y < 14; ++y)
        for (int x = 10; x < 22; ++x) {
            uint8_t* p = S().Bitmap.Row(y) + x * 4;
            p[0] = 1, p[1] = 2, p[2] = 3;
        }
    port.RefreshView();
    const Bitmap view = ws.DisplayCopy;
    SetSelectOption("RadioGroup1", SelMagicWand);
    SetSelectOption("DU", 1);
    S().CanvasColour = RGBColour(250, 250, 250);
    S().Tool = ToolSelection;
    PointerDown(ws, 3, 3, 0);
    PointerUp(ws, 15, 10); // the wand works at the release point
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(S().DownX, 10);
    EXPECT_EQ(S().DownY, 6);
    EXPECT_EQ(ws.SelectionMask.Bitmap.Width(), 12);
    EXPECT_EQ(ws.ToolVars.MaskLeft, 10);
    // Delete Underlying left the canvas colour under it ...
    EXPECT_EQ(S().Bitmap.Row(8)[12 * 4 + 2], 250);
    // ... and the view shows it with the region's edge inverted.
    Bitmap want = S().Bitmap;
    TRegionGrid grid;
    const uint8_t* seed = view.Row(10) + 15 * 4;
    WandRegion(view, 15, 10, grid, 0.0, RGBColour(seed[2], seed[1], seed[0]));
    PaintWandMask(want, grid, true);
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, want));
    // The floating pixels are the block's own colour, kept from before.
    EXPECT_EQ(ws.ToolVars.FloatBitmap.Row(0)[2], 3);
}

TEST_F(ToolsTest, CropToSelectionCropsToTheSelectionsBoundingRectangle) {
    // No crop rectangle and no selection: nothing to crop to.
    EXPECT_FALSE(CropToSelection(ws));
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    SetSelectOption("RadioGroup1", 1); // ellipse
    Drag(10, 12, 30, 26);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    const int left = ws.ToolVars.MaskLeft, top = ws.ToolVars.MaskTop;
    const int w = ws.SelectionMask.Bitmap.Width(), h = ws.SelectionMask.Bitmap.Height();
    ASSERT_TRUE(CropToSelection(ws));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(S().Tool, ToolNone);
    ASSERT_EQ(S().Bitmap.Width(), w);
    ASSERT_EQ(S().Bitmap.Height(), h);
    // The unmoved selection was committed in place, so the crop holds the
    // original pixels of that rectangle; the crop is one undoable step.
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(y), original.Row(top + y) + left * 4,
                                 static_cast<std::size_t>(w) * 4))
            << "row " << y;
    EXPECT_EQ(S().History[S().HistoryPos + 1].Name, "Crop");
}

TEST_F(ToolsTest, AMovedEllipseLeavesNoPixelOfItsRegionBehind) {
    // The region as drawn: a filled ellipse in an image-size mask.
    const TRect box{5, 4, 24, 19};
    Bitmap region(40, 30);
    region.Fill(255, 255, 255);
    {
        Canvas c(region);
        c.PenColour = 0;
        c.BrushColour = 0;
        c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
    }
    SetSelectOption("RadioGroup1", SelEllipse);
    SetSelectOption("DU", 1); // the selected pixels are lifted off the image
    S().CanvasColour = RGBColour(1, 2, 3);
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    Drag(box.Left, box.Top, box.Right, box.Bottom);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    Drag(14, 11, 24, 21); // grabbed inside, moved by (10, 10)
    ASSERT_TRUE(DropSelection(ws));
    int regionPixels = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            if (region.Row(y)[x * 4] != 0) continue;
            ++regionPixels;
            // Every pixel of the region travelled, the last column and row
            // of its box included ...
            if (x + 10 < 40 && y + 10 < 30) {
                EXPECT_EQ(0, std::memcmp(S().Bitmap.Row(y + 10) + (x + 10) * 4, original.Row(y) + x * 4, 3))
                    << x << "," << y;
            }
            // ... and where it came from only the canvas colour is left,
            // unless the moved ellipse covers the place again.
            const bool covered = x >= 10 && y >= 10 && region.Row(y - 10)[(x - 10) * 4] == 0;
            if (!covered) {
                EXPECT_EQ(S().Bitmap.Row(y)[x * 4 + 2], 1) << "left behind at " << x << "," << y;
            }
        }
    EXPECT_GT(regionPixels, 150);
}

TEST_F(ToolsTest, ADoubleClickCropsOnlyTheCropRectangle) {
    S().Tool = ToolSelection;
    Drag(5, 5, 20, 20);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    // A double click inside the selection, without a crop rectangle shown.
    PointerDoubleClick(ws);
    EXPECT_EQ(S().Bitmap.Width(), 40);
    EXPECT_EQ(S().HistoryCount, 0) << "making a selection changes nothing";
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    // "Crop to Selection" still crops to its bounding rectangle.
    ASSERT_TRUE(CropToSelection(ws));
    EXPECT_EQ(S().Bitmap.Width(), 15);
    // With a crop rectangle shown the double click applies it.
    S().Tool = ToolCrop;
    Drag(2, 2, 10, 8);
    PointerDoubleClick(ws);
    EXPECT_EQ(S().Bitmap.Width(), 8);
    EXPECT_EQ(S().Bitmap.Height(), 6);
}

TEST_F(ToolsTest, EscapePutsAMovedSelectionBackAndDropsTheCropRectangle) {
    const Bitmap original = S().Bitmap;
    S().Tool = ToolSelection;
    // A selection being made is dropped with its trail.
    PointerDown(ws, 2, 2, 0);
    PointerMove(ws, 12, 12);
    EXPECT_TRUE(CancelToolWork(ws));
    PointerUp(ws, 12, 12);
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, original));

    for (int shape : {SelRectangle, SelEllipse}) {
        SetSelectOption("RadioGroup1", shape);
        Drag(2, 2, 12, 12);
        ASSERT_EQ(ws.ToolVars.HasSelection, 1);
        const int left = S().DownX, top = S().DownY;
        const Bitmap shown = ws.DisplayCopy;
        PointerDown(ws, 7, 7, 0);
        PointerMove(ws, 17, 12);
        ASSERT_FALSE(SamePixels(ws.DisplayCopy, shown)) << shape;
        EXPECT_TRUE(CancelToolWork(ws)) << shape;
        PointerUp(ws, 17, 12);
        EXPECT_EQ(S().DownX, left) << shape;
        EXPECT_EQ(S().DownY, top) << shape;
        EXPECT_TRUE(SamePixels(ws.DisplayCopy, shown)) << "the float and its outline where they were";
        ASSERT_TRUE(DropSelection(ws));
        EXPECT_TRUE(SamePixels(S().Bitmap, original)) << shape;
    }

    S().Tool = ToolCrop;
    Drag(2, 2, 10, 8);
    ASSERT_EQ(ws.ToolVars.CropShown, 1);
    EXPECT_TRUE(CancelToolWork(ws));
    EXPECT_EQ(ws.ToolVars.CropShown, 0);
    EXPECT_FALSE(ApplyCrop(ws));
    EXPECT_EQ(S().Bitmap.Width(), 40);
}

TEST_F(ToolsTest, SelectAllIsARectangleWhicheverShapeIsChosen) {
    const Bitmap original = S().Bitmap;
    for (int shape : {SelEllipse, SelFreeHand, SelMagicWand}) {
        SetSelectOption("RadioGroup1", shape);
        SelectAll(ws);
        EXPECT_EQ(SelectionType(ws), SelRectangle);
        ASSERT_TRUE(DropSelection(ws));
        EXPECT_TRUE(SamePixels(S().Bitmap, original)) << "dropping all of it changes nothing, shape " << shape;
    }
}
