// What the histogram, grayscale and channel transfer windows do to the
// image and the view, without the windows.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstring>

#include "effects/colour/plane_choice.h"
#include "effects/colour/planes.h"
#include "effects/colour_previews.h"
#include "support/pixels.h"
#include "support/slot_fixture.h"
#include "tools/selection.h"

using namespace pixora;
using pixora::testing::Px;
using pixora::testing::SlotFixture;

namespace {

struct ColourPreviewTest : SlotFixture {
    int slot = -1;
    TImages& S() { return ws.Images[static_cast<std::size_t>(slot)]; }
    void SetUp() override {
        slot = NewImage(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                uint8_t* p = Px(S().Bitmap, x, y);
                p[0] = static_cast<uint8_t>(10 + x);       // blue
                p[1] = static_cast<uint8_t>(200 - 10 * y); // green
                p[2] = static_cast<uint8_t>(40 * x);       // red
                p[3] = static_cast<uint8_t>(x == 3 ? 100 : 0);
            }
        port.Calls.clear();
    }
    // "Apply Edit to Selection Only" with the left half of the image selected.
    void SelectLeftHalf() {
        port.Options[{kSelectBox, "A"}] = 1;
        ws.ToolVars.HasSelection = 1;
        ws.ToolVars.SelectionSlot = slot;
        ws.ToolVars.MaskLeft = ws.ToolVars.MaskTop = 0;
        Bitmap mask(4, 3);
        mask.Fill(255, 255, 255);
        for (int y = 0; y < 3; ++y)
            Px(mask, 0, y)[0] = Px(mask, 1, y)[0] = 0;
        ws.SelectionMask.Bitmap = std::move(mask);
    }
};

TEST(PlaneChoice, ListsMapToPlanesAndMonochromeIsOfferedForColourPictures) {
    EXPECT_EQ(PlaneItems(0), (std::vector<std::string>{"RGB Composite", "Red", "Green", "Blue"}));
    EXPECT_EQ(PlaneItems(3).back(), "blacK");
    EXPECT_TRUE(PlaneItems(4).empty());
    EXPECT_EQ(PlaneOfChoice(0, 3), 3);
    EXPECT_EQ(PlaneOfChoice(1, 0), 4);
    EXPECT_EQ(PlaneOfChoice(2, 2), 9);
    EXPECT_EQ(PlaneOfChoice(3, 3), 13);
    EXPECT_EQ(PlaneOfChoice(1, 3), -1); // HSV has three planes
    EXPECT_EQ(PlaneOfChoice(-1, 0), -1);
    int offered = 0;
    for (int p = 0; p < kPlaneCount; ++p)
        offered += MonochromeOffered(p);
    EXPECT_EQ(offered, 6);
    EXPECT_TRUE(MonochromeOffered(7));
    EXPECT_FALSE(MonochromeOffered(5));
}

TEST_F(ColourPreviewTest, HistogramShowsThePlanePictureAndLeavesTheDocument) {
    const Bitmap before = S().Bitmap;
    const Bitmap work = HistogramWorkCopy(ws);
    ASSERT_EQ(work.BitsPerPixel(), 24);
    QImage canvas(256, 100, QImage::Format_RGB32);
    ShowHistogramPlane(ws, work, 1, true, false, canvas);
    ASSERT_EQ(ws.DisplayCopy.Width(), 4);
    ASSERT_EQ(ws.DisplayCopy.BitsPerPixel(), 32);
    EXPECT_EQ(Px(ws.DisplayCopy, 2, 1)[2], 80); // red kept, the others 0
    EXPECT_EQ(Px(ws.DisplayCopy, 2, 1)[1], 0);
    EXPECT_EQ(ws.SysData.ScratchRows[0], ws.DisplayCopy.Row(0));
    EXPECT_EQ(port.Calls.back(), "RepaintView");
    // Three pixels of each red value: bars at 0, 40, 80, 120 of full height.
    EXPECT_EQ(canvas.pixel(40, 50), qRgb(40, 0, 0));
    EXPECT_EQ(canvas.pixel(41, 50), qRgb(192, 192, 192));

    ShowHistogramPlane(ws, work, 3, false, true, canvas); // blue, grey, inverted
    EXPECT_EQ(Px(ws.DisplayCopy, 2, 1)[0], 255 - 12);
    EXPECT_EQ(Px(ws.DisplayCopy, 2, 1)[2], 255 - 12);
    EXPECT_EQ(canvas.pixel(40, 50), qRgb(192, 192, 192));
    EXPECT_EQ(std::memcmp(S().Bitmap.Data(), before.Data(), before.ByteSize()), 0);

    // A histogram image of another width shows only silver.
    QImage narrow(200, 50, QImage::Format_RGB32);
    ShowHistogramPlane(ws, work, 1, true, false, narrow);
    EXPECT_EQ(narrow.pixel(40, 40), qRgb(192, 192, 192));
}

TEST_F(ColourPreviewTest, GrayScalePreviewsTheImageAsItIsNow) {
    ASSERT_TRUE(PreviewGrayScale(ws, {quick::TDominant::Red, 0}));
    for (int x = 0; x < 4; ++x) {
        const uint8_t* d = Px(ws.DisplayCopy, x, 2);
        const uint8_t* s = Px(S().Bitmap, x, 2);
        EXPECT_EQ(d[0], 0);
        EXPECT_EQ(d[1], 0);
        EXPECT_EQ(d[2], (s[0] + s[1] + s[2]) / 3);
    }
    EXPECT_EQ(Px(S().Bitmap, 0, 0)[1], 200); // the document is not touched
    // The window stays open while the image changes: the next preview
    // starts from the image as it is then.
    Px(S().Bitmap, 0, 0)[1] = 50;
    ASSERT_TRUE(PreviewGrayScale(ws, {quick::TDominant::RGB, 10}));
    EXPECT_EQ(Px(ws.DisplayCopy, 0, 0)[0], (10 + 50 + 0) / 3 + 10);
    ReleaseSlot(ws, slot);
    EXPECT_FALSE(PreviewGrayScale(ws, {}));
}

TEST_F(ColourPreviewTest, TransferEditsTheSelectedPixelsLiveAndComesBack) {
    const Bitmap before = S().Bitmap;
    SelectLeftHalf();
    ASSERT_TRUE(StartChannelTransfer(ws));
    RunChannelTransfer(ws, quick::TChannelTransferParams{quick::ccGreen, quick::ccRed, 100});
    EXPECT_EQ(Px(S().Bitmap, 1, 2)[1], 40);  // green := red
    EXPECT_EQ(Px(S().Bitmap, 2, 2)[1], 180); // not selected
    EXPECT_EQ(port.Calls.back(), "RefreshView");
    RunChannelTransfer(ws, quick::TChannelTransferParams{quick::ccGreen, quick::ccRed, 1});
    EXPECT_EQ(Px(S().Bitmap, 1, 2)[1], 99 * 180 / 100 + 40 / 100); // from the scratch copy, not the last run
    RunChannelTransfer(ws, std::nullopt);
    EXPECT_EQ(std::memcmp(S().Bitmap.Data(), before.Data(), before.ByteSize()), 0);
    RunChannelTransfer(ws, quick::TChannelTransferParams{quick::ccBlue, quick::ccGreen, 50});
    EXPECT_NE(std::memcmp(S().Bitmap.Data(), before.Data(), before.ByteSize()), 0);
    RestoreFromScratch(ws);
    EXPECT_EQ(std::memcmp(S().Bitmap.Data(), before.Data(), before.ByteSize()), 0);
    EXPECT_EQ(S().Rows[2], S().Bitmap.Row(2));
}

} // namespace
