// The tab change's core part, run through the recording port.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc/checkerboard.h"
#include "doc/tab_change.h"
#include "support/slot_fixture.h"

using namespace pixora;

namespace {

struct TabChangeTest : pixora::testing::SlotFixture {
    std::vector<std::string> order;
    TabChangeTest() {
        port.Ws = &ws;
        ws.CreateWorkBitmaps();
        ws.SubscribeBeforeImageReplaced([this] { order.push_back("before"); });
    }
};

} // namespace

TEST_F(TabChangeTest, WorkBitmapsFollowTheImageAndEveryRowTableIsRefilled) {
    NewImage(30, 20);
    TImages& s = ws.Images[0];
    s.Bitmap.Fill(0, 0, 0, 255); // fully transparent: the view shows the checkerboard
    for (TWorkBitmap* w : ws.ImageSizedWorkBitmaps()) {
        w->Bitmap = Bitmap(5, 5);
        w->Refill();
    }
    s.Rows.Entries.clear();
    port.Calls.clear();
    order.clear();
    TabChange(ws);
    for (TWorkBitmap* w : ws.ImageSizedWorkBitmaps()) {
        EXPECT_EQ(w->Bitmap.Width(), 30);
        EXPECT_EQ(w->Bitmap.Height(), 20);
        ASSERT_EQ(w->Rows.Count(), 20);
        EXPECT_EQ(w->Rows[19], w->Bitmap.Row(19));
    }
    ASSERT_EQ(s.Rows.Count(), 20);
    EXPECT_EQ(s.Rows[19], s.Bitmap.Row(19));
    EXPECT_EQ(ws.Checkerboard.Bitmap.Row(5)[5 * 4], kCheckerGrey);
    EXPECT_EQ(ws.Checkerboard.Bitmap.Row(5)[15 * 4], kCheckerWhite);
    // The selection is ended first, the window's part comes last, and the
    // scratch rows list the display copy it shows.
    EXPECT_EQ(order, (std::vector<std::string>{"before"}));
    EXPECT_EQ(port.Calls.back(), "TabChange");
    ASSERT_EQ(ws.SysData.ScratchRows.Count(), 20);
    EXPECT_EQ(ws.SysData.ScratchRows[0], ws.DisplayCopy.Row(0));
}

TEST_F(TabChangeTest, AWorkBitmapOfTheRightSizeKeepsItsPixels) {
    NewImage(12, 8);
    // The history brush's snapshot lives in StrokeBase.
    ws.StrokeBase.Bitmap = Bitmap(12, 8);
    ws.StrokeBase.Bitmap.Fill(7, 8, 9, 10);
    TabChange(ws);
    EXPECT_EQ(ws.StrokeBase.Bitmap.Row(7)[11 * 4 + 3], 10);
    // Another size: cleared to the new size.
    NewImage(3, 3);
    EXPECT_EQ(ws.StrokeBase.Bitmap.Width(), 3);
    EXPECT_EQ(ws.StrokeBase.Bitmap.Row(0)[3], 0);
}

TEST_F(TabChangeTest, WithoutAnActivePageOnlyTheWindowsPartRuns) {
    NewImage(12, 8);
    port.Active = -1;
    ws.StrokeOverlay.Bitmap = Bitmap(2, 2);
    order.clear();
    port.Calls.clear();
    TabChange(ws);
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Width(), 2);
    EXPECT_EQ(port.Calls, (std::vector<std::string>{"TabChange"}));
}
