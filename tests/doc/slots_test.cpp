#include <gtest/gtest.h>

#include <utility>

#include "support/slot_fixture.h"

using namespace pixora;

using SlotsTest = pixora::testing::SlotFixture;

TEST_F(SlotsTest, FillingSetsTheRecordAndShowsTheTab) {
    const int slot = NewImage(8, 6);
    ASSERT_EQ(slot, 0);
    const TImages& s = ws.Images[0];
    EXPECT_EQ(ws.SysData.OpenCount, 0);
    EXPECT_EQ(s.InUse, 1);
    EXPECT_EQ(s.Saved, 0);
    EXPECT_EQ(s.HasFile, 0);
    EXPECT_EQ(s.FileName, "Untitled.bmp");
    EXPECT_EQ(s.FileFormat, 1);
    EXPECT_EQ(s.LayerCount, 1);
    EXPECT_EQ(s.CurrentLayer, 1);
    EXPECT_EQ(s.AlphaViewMode, 2);
    EXPECT_EQ(s.History[1].Name, "Original Image");
    EXPECT_EQ(s.OrigWidth, 8);
    EXPECT_EQ(s.Rows.Count(), 6);
    EXPECT_EQ(s.BGColour, 0xFFFFFF);
    EXPECT_EQ(s.BGRed, 255);
    EXPECT_EQ(port.Captions[0], "Untitled.bmp");
    EXPECT_EQ(port.Calls.back(), "TabChange");

    const int opened = ClaimSlot(ws);
    SlotSource src;
    src.FileName = "/tmp/pics/cat.png";
    src.FileFormat = 3;
    src.FromFile = true;
    FillSlot(ws, opened, Bitmap(3, 3), src);
    EXPECT_EQ(ws.Images[1].Saved, 1);
    EXPECT_EQ(ws.Images[1].HasFile, 1);
    EXPECT_EQ(ws.Images[1].CanvasColour, 0xFFFFFF);
    EXPECT_EQ(port.Captions[1], "cat.png");
}

TEST_F(SlotsTest, FifteenImagesAtMostAndLowestFreeSlotIsReused) {
    for (int i = 0; i < 15; ++i) ASSERT_EQ(NewImage(), i);
    EXPECT_EQ(ws.SysData.OpenCount, 14);
    port.Calls.clear();
    EXPECT_EQ(ClaimSlot(ws), -1);
    EXPECT_EQ(ws.SysData.OpenCount, 14);
    EXPECT_EQ(ws.Images[15].InUse, 0);
    EXPECT_TRUE(port.Calls.empty());
    // The refusal is said, not silent.
    ASSERT_EQ(port.Problems.size(), 1u);
    EXPECT_EQ(port.Problems[0].first, "No more than 15 images can be open at once. Close one to open another.");

    ReleaseSlot(ws, 3);
    ReleaseSlot(ws, 9);
    EXPECT_EQ(ws.SysData.OpenCount, 12);
    EXPECT_FALSE(port.Visible[3]);
    EXPECT_EQ(NewImage(), 3);
    EXPECT_EQ(NewImage(), 9);
}

TEST_F(SlotsTest, AbandonedClaimLeavesNothingBehind) {
    NewImage();
    const int slot = ClaimSlot(ws);
    ASSERT_EQ(slot, 1);
    AbandonClaim(ws, slot);
    EXPECT_EQ(ws.SysData.OpenCount, 0);
    EXPECT_EQ(ws.Images[1].InUse, 0);
    EXPECT_FALSE(port.Visible[1]);
    EXPECT_EQ(FindFreeSlot(ws), 1);
}

TEST_F(SlotsTest, ExchangingColoursTwiceRestoresEverything) {
    NewImage();
    TImages& s = ws.Images[0];
    SetFGColour(s, RGBColour(10, 20, 30));
    SetBGColour(s, RGBColour(200, 100, 50));
    ExchangeColours(s);
    EXPECT_EQ(s.FGColour, RGBColour(200, 100, 50));
    EXPECT_EQ(s.FGRed, 200);
    EXPECT_EQ(s.BGBlue, 30);
    ExchangeColours(s);
    EXPECT_EQ(s.FGColour, RGBColour(10, 20, 30));
    EXPECT_EQ(s.FGRed, 10);
    EXPECT_EQ(s.FGGreen, 20);
    EXPECT_EQ(s.FGBlue, 30);
    EXPECT_EQ(s.BGColour, RGBColour(200, 100, 50));
    EXPECT_EQ(s.BGRed, 200);
    EXPECT_EQ(s.BGGreen, 100);
    EXPECT_EQ(s.BGBlue, 50);
    SetDefaultColours(s);
    EXPECT_EQ(s.FGColour, 0);
    EXPECT_EQ(s.BGColour, 0xFFFFFF);
}

TEST_F(SlotsTest, TheActiveImageIsThereOnlyWhileAnImageIsOpenOnTheActivePage) {
    port.Active = 0; // a page the window calls active, with no image open
    EXPECT_FALSE(ws.ActiveImage());
    ASSERT_EQ(NewImage(), 0);
    ASSERT_EQ(NewImage(), 1);
    const TActiveImage active = ws.ActiveImage();
    ASSERT_TRUE(active);
    EXPECT_EQ(active.Slot, 1);
    EXPECT_EQ(active.Image, &ws.Images[1]);
    EXPECT_EQ(std::as_const(ws).ActiveImage().Image, &ws.Images[1]);
    port.Active = 16; // past the last slot
    EXPECT_FALSE(ws.ActiveImage());
    port.Active = 0;
    EXPECT_EQ(ws.ActivePicture().Image, &ws.Images[0]);
    ws.Images[0].Bitmap = Bitmap();
    EXPECT_TRUE(ws.ActiveImage());
    EXPECT_FALSE(ws.ActivePicture()) << "an image without pixels";
}

TEST_F(SlotsTest, WithoutAWindowThePortDoesNothingAndShowsNoPage) {
    Workspace bare;
    EXPECT_FALSE(bare.HasWindow());
    const int slot = ClaimSlot(bare);
    ASSERT_EQ(slot, 0);
    FillSlot(bare, slot, Bitmap(4, 4), SlotSource{}); // shows its page on no window
    EXPECT_EQ(bare.ActiveSlot(), -1);
    EXPECT_FALSE(bare.ActiveImage());

    NewImage();
    ASSERT_TRUE(ws.HasWindow());
    ws.Port = nullptr; // the window leaves
    EXPECT_FALSE(ws.HasWindow());
    EXPECT_FALSE(ws.ActiveImage());
    ReleaseSlot(ws, 0); // hides its page on no window
    EXPECT_TRUE(port.Visible[0]);
    ws.Port = &port;
    EXPECT_TRUE(ws.HasWindow());
}
