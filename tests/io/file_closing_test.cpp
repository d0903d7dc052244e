#include <gtest/gtest.h>

#include <cstring>

#include "doc/checkerboard.h"
#include "file_commands_fixture.h"
#include "history/history_store.h"
#include "io/gif_preview.h"
#include "io/open_commands.h"
#include "io/save_changes_list.h"
#include "io/save_commands.h"

using namespace pixora;
using pixora::testing::FileCommandsTest;
using pixora::testing::SetPixel;

// ---- "Save Changes?" --------------------------------------------------------------------

TEST_F(FileCommandsTest, SaveChangesListsTheUnsavedImageOrEveryImage) {
    const std::string path = MakeFile("a.bmp");
    ASSERT_EQ(LoadIntoNewSlot(ws, path), 0);
    ASSERT_EQ(NewImage(), 1);
    ASSERT_EQ(LoadIntoNewSlot(ws, path), 2);
    EXPECT_TRUE(SlotsToList(ws, 0).empty());
    EXPECT_EQ(SlotsToList(ws, 1), (std::vector<int>{1}));
    EXPECT_EQ(SlotsToList(ws, -1), (std::vector<int>{0, 1, 2}));
    ws.Images[1].Saved = 1;
    EXPECT_TRUE(SlotsToList(ws, -1).empty());

    // Closing a saved image asks nothing.
    ASSERT_TRUE(CloseImage(ws, 0, q));
    EXPECT_TRUE(q.Asked.empty());
    ws.Images[2].Saved = 0;
    ASSERT_TRUE(CloseAllImages(ws, q));
    ASSERT_EQ(q.Listed.size(), 1u);
    EXPECT_EQ(q.Listed[0], (std::vector<int>{1, 2}));
    // Both are listed; only the one with unsaved changes starts selected.
    EXPECT_EQ(q.Preselected[0], (std::vector<int>{2}));
}

TEST_F(FileCommandsTest, CancelStopsCloseAndCloseAllDiscardGoesOnUnsaved) {
    ASSERT_EQ(NewImage(), 0);
    ASSERT_EQ(NewImage(), 1);
    q.Answer = TSaveChangesAnswer::Cancel;
    EXPECT_FALSE(CloseImage(ws, 1, q));
    EXPECT_FALSE(CloseAllImages(ws, q));
    EXPECT_EQ(ws.SysData.OpenCount, 1);
    EXPECT_EQ(ws.Images[0].InUse, 1);
    EXPECT_EQ(ws.Images[1].InUse, 1);
    EXPECT_TRUE(port.Visible[0] && port.Visible[1]);

    q.Answer = TSaveChangesAnswer::Discard;
    ASSERT_TRUE(CloseImage(ws, 1, q));
    EXPECT_EQ(ws.Images[1].InUse, 0);
    EXPECT_FALSE(port.Visible[1]);
    EXPECT_EQ(port.Calls.back(), "TabChange");
    ASSERT_TRUE(CloseAllImages(ws, q));
    EXPECT_EQ(ws.SysData.OpenCount, -1);
    EXPECT_EQ(ws.Images[0].InUse, 0);
    EXPECT_EQ(port.Calls.back(), "UpdateCommandStates");
    EXPECT_EQ(q.Asked, (std::vector<std::string>(4, "SaveChanges")));
}

TEST_F(FileCommandsTest, SaveSelectedSavesTheChosenImagesInSlotOrderBeforeClosing) {
    const std::string a = MakeFile("a.png");
    ASSERT_EQ(LoadIntoNewSlot(ws, a), 0);
    ASSERT_EQ(NewImage(), 1);
    ASSERT_EQ(NewImage(), 2);
    ws.Images[0].Saved = 0;
    ws.Images[0].Bitmap.Fill(1, 2, 3);
    q.Answer = TSaveChangesAnswer::SaveSelected;
    q.Select = std::vector<int>{2, 0};
    q.TypedName = File("third");
    q.Filter = 4;
    ASSERT_TRUE(CloseAllImages(ws, q));
    EXPECT_EQ(ws.SysData.OpenCount, -1);
    EXPECT_EQ(LoadImageFile(a, 3).Row(0)[2], 3); // slot 0 written to its own file
    EXPECT_TRUE(IsPng(File("third.png")));       // slot 2 asked for a name
    // Slot 1 was not chosen: nothing was asked or written for it.
    EXPECT_EQ(std::count(q.Asked.begin(), q.Asked.end(), "SaveFile"), 1);

    // A chosen image whose save is cancelled is not thrown away.
    ASSERT_EQ(NewImage(), 0);
    q.Select.reset();
    q.TypedName.reset();
    EXPECT_FALSE(CloseImage(ws, 0, q));
    EXPECT_EQ(ws.Images[0].InUse, 1);
}

// ---- new, duplicate, close ----------------------------------------------------------------

TEST_F(FileCommandsTest, NewImageIsFilledWithColourAndTransparency) {
    const int slot = NewImage(400, 400, RGBColour(10, 20, 30), 128);
    ASSERT_EQ(slot, 0);
    const TImages& s = ws.Images[0];
    EXPECT_EQ(s.Saved, 0);
    EXPECT_EQ(s.HasFile, 0);
    EXPECT_EQ(s.FileName, "Untitled.bmp");
    EXPECT_EQ(s.FileFormat, 1);
    EXPECT_EQ(s.CanvasColour, RGBColour(10, 20, 30));
    EXPECT_EQ(s.BackBitmap.Width(), 400);
    bool all = true;
    for (int y = 0; y < 400 && all; ++y)
        for (int x = 0; x < 400; ++x) {
            const uint8_t* p = s.Bitmap.Row(y) + 4 * x;
            if (p[0] != 30 || p[1] != 20 || p[2] != 10 || p[3] != 128) all = false;
        }
    EXPECT_TRUE(all);
    EXPECT_EQ(port.Captions[0], "Untitled.bmp");
}

TEST_F(FileCommandsTest, NewImageTooLargeEndsInAMessageAndClaimsNothing) {
    ASSERT_EQ(NewImage(), 0);
    for (auto [w, h] : {std::pair{2000000000LL, 2000000000LL}, std::pair{300000LL, 300000LL}}) {
        std::string message;
        EXPECT_EQ(CreateBlankImage(ws, TNewImage{static_cast<int>(w), static_cast<int>(h), 0, 0}, message),
                  -1);
        EXPECT_NE(message.find("not enough memory"), std::string::npos) << message;
        EXPECT_EQ(ws.SysData.OpenCount, 0);
        EXPECT_EQ(ws.Images[1].InUse, 0);
        EXPECT_FALSE(port.Visible[1]);
    }
    EXPECT_FALSE(ImageSizeFits(0, 5));
    EXPECT_TRUE(ImageSizeFits(1000, 1000));
}

TEST_F(FileCommandsTest, DuplicateCopiesTheWorkingImageWithAFreshHistory) {
    ASSERT_GE(LoadIntoNewSlot(ws, MakeFile("src.png", 7, 5)), 0);
    TImages& S = ws.Images[0];
    ASSERT_TRUE(PushHistory(ws));
    NameHistoryStep(ws, "Pen");
    SetFGColour(S, RGBColour(1, 2, 3));
    SetBGColour(S, RGBColour(4, 5, 6));
    S.CanvasColour = 0x123456;
    S.ZoomNum = 4;
    S.ZoomDen = 3;
    std::string message;
    ASSERT_EQ(DuplicateImage(ws, message), 1);
    const TImages& D = ws.Images[1];
    EXPECT_EQ(D.FileName, "Untitled.bmp");
    EXPECT_EQ(D.HasFile, 0);
    EXPECT_EQ(D.Saved, 0);
    EXPECT_EQ(D.HistoryCount, 0);
    EXPECT_EQ(D.History[1].Name, "Original Image");
    EXPECT_EQ(D.FGBlue, 3);
    EXPECT_EQ(D.BGColour, RGBColour(4, 5, 6));
    EXPECT_EQ(D.CanvasColour, 0x123456);
    EXPECT_EQ(D.ZoomNum, 4);
    EXPECT_EQ(D.ZoomDen, 3);
    EXPECT_EQ(std::memcmp(D.Bitmap.Data(), S.Bitmap.Data(), S.Bitmap.ByteSize()), 0);
    EXPECT_EQ(port.Calls.back(), "TabChange");
}

TEST_F(FileCommandsTest, ClosingDeletesTheHistoryAndAReusedSlotStartsClean) {
    ASSERT_EQ(NewImage(), 0);
    ASSERT_TRUE(PushHistory(ws));
    NameHistoryStep(ws, "Pen");
    ASSERT_TRUE(PushHistory(ws));
    const std::string snap = SnapshotPath(ws, 0, 1);
    ASSERT_TRUE(std::filesystem::exists(snap));
    ASSERT_TRUE(CloseImage(ws, 0, q));
    EXPECT_FALSE(std::filesystem::exists(snap));
    EXPECT_TRUE(ws.Images[0].Bitmap.Empty());
    std::string message;
    ASSERT_EQ(NewImage(), 0);
    EXPECT_EQ(ws.Images[0].HistoryCount, 0);
    EXPECT_EQ(HistoryName(ws.Images[0], 2), "");
}

// ---- pictures of the dialogs ----------------------------------------------------------

TEST(SaveChangesList, RowBandsAndCaption) {
    EXPECT_EQ(SaveListRowAt(4, 3), -1);
    EXPECT_EQ(SaveListRowAt(5, 3), 0);
    EXPECT_EQ(SaveListRowAt(62, 3), 0);
    EXPECT_EQ(SaveListRowAt(63, 3), -1);
    EXPECT_EQ(SaveListRowAt(67 + 5, 3), 1);
    EXPECT_EQ(SaveListRowAt(2 * 67 + 30, 3), 2);
    EXPECT_EQ(SaveListRowAt(3 * 67 + 30, 3), -1);
    EXPECT_EQ(SaveListCaption("/x/y/" + std::string(40, 'n') + ".png"), std::string(36, 'n'));
    EXPECT_EQ(SaveListCaption("C:\\pics\\cat.bmp"), "cat.bmp");
}

TEST(SaveChangesList, RowsHoldFrameThumbnailAndSelectionShade) {
    TImages small, large;
    small.FileName = "/a/small.bmp";
    small.Bitmap = Bitmap(10, 4);
    small.Bitmap.Fill(0, 0, 255); // red
    large.FileName = "big.png";
    large.Bitmap = Bitmap(110, 55);
    large.Bitmap.Fill(255, 0, 0); // blue; scaled to 55 x 27
    Bitmap list;
    DrawSaveList(list, 303, {&small, &large}, {true, false});
    ASSERT_EQ(list.Width(), 303);
    ASSERT_EQ(list.Height(), 134);
    auto px = [&](int x, int y) { return list.Row(y) + 4 * x; };
    // Frame corners and inside.
    EXPECT_EQ(px(5, 5)[0], 0);
    EXPECT_EQ(px(61, 61)[1], 0);
    EXPECT_EQ(px(62, 62)[1], 255);
    EXPECT_EQ(px(4, 5)[1], 255);
    // The small image is drawn unscaled at 6 + 27 - w/2, 6 + 27 - h/2.
    EXPECT_EQ(px(28, 31)[2], 255);
    EXPECT_EQ(px(28, 31)[0], 0);
    EXPECT_EQ(px(37, 34)[0], 0);
    EXPECT_EQ(px(27, 31)[0], 255); // left of it: white
    EXPECT_EQ(px(38, 31)[0], 255); // right of it
    // The large one is scaled into 55 x 27 at 6 + 0, 67 + 6 + 14.
    EXPECT_EQ(px(6, 67 + 20)[0], 255);
    EXPECT_EQ(px(6, 67 + 20)[2], 0);
    EXPECT_EQ(px(60, 67 + 20 + 13)[2], 0);
    EXPECT_EQ(px(30, 67 + 19)[2], 255); // above the thumbnail: white
    // Selected text area grey, unselected white; the shade stops at x = 300.
    EXPECT_EQ(px(71, 6)[1], 204);
    EXPECT_EQ(px(299, 60)[1], 204);
    EXPECT_EQ(px(300, 60)[1], 255);
    EXPECT_EQ(px(71, 67 + 6)[1], 255);
    // Some text was written into the first row's area.
    int dark = 0;
    for (int y = 25; y < 45; ++y)
        for (int x = 80; x < 200; ++x)
            dark += px(x, y)[1] < 100;
    EXPECT_GT(dark, 10);
    // Toggling repaints only the text area.
    DrawSaveListText(list, 0, small, false);
    EXPECT_EQ(px(71, 6)[1], 255);
    EXPECT_EQ(px(28, 31)[2], 255);
}

TEST(GifPreview, SensitivityDecidesWhatShowsTheCheckerboard) {
    Bitmap image(3, 1);
    SetPixel(image, 0, 0, 1, 2, 3, 255);
    SetPixel(image, 1, 0, 4, 5, 6, 128);
    SetPixel(image, 2, 0, 7, 8, 9, 0);
    Bitmap checker;
    BuildCheckerboard(checker, 3, 1);
    Bitmap preview;
    DrawGifPreview(image, checker, 0, preview);
    EXPECT_EQ(preview.Row(0)[2], kCheckerGrey); // t = 255 is keyed even at 0
    EXPECT_EQ(preview.Row(0)[4 + 2], 4);
    DrawGifPreview(image, checker, 127, preview);
    EXPECT_EQ(preview.Row(0)[4 + 2], kCheckerGrey); // 127 >= 255 - 128
    EXPECT_EQ(preview.Row(0)[8 + 2], 7);
    EXPECT_EQ(preview.Row(0)[8 + 3], 0);
    DrawGifPreview(image, checker, 126, preview);
    EXPECT_EQ(preview.Row(0)[4 + 2], 4);
    DrawGifPreview(image, checker, 255, preview);
    EXPECT_EQ(preview.Row(0)[8 + 2], kCheckerGrey);
}
