// Resizing and rotating whole images, as pure forms and as undoable steps.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "history/geometry_commands.h"
#include "history/history_store.h"
#include "io/codecs/format_codecs.h"
#include "history_fixture.h"
#include "support/memory.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

bool SameBytes(const uint8_t* a, const uint8_t* b) {
    return std::memcmp(a, b, 4) == 0;
}

struct GeometryTest : WorkspaceTest {
    int slot = -1;
    void OpenImage(const Bitmap& img) {
        slot = Open(img);
        Activate(slot);
        port.Calls.clear();
    }
    TImages& S() { return Slot(slot); }
};

} // namespace

TEST_F(GeometryTest, StretchedResizeIsOneNamedStepAndLeavesThePictureInStrokeBase) {
    Bitmap img = Pattern(100, 50, 3);
    OpenImage(img);
    ASSERT_TRUE(ResizeActiveImage(ws, {200, 100, true}));
    ASSERT_EQ(S().Bitmap.Width(), 200);
    ASSERT_EQ(S().Bitmap.Height(), 100);
    EXPECT_TRUE(SameBytes(Px(S().Bitmap, 0, 0), Px(img, 0, 0))); // fourth byte included
    EXPECT_TRUE(SamePixels(ws.StrokeBase.Bitmap, S().Bitmap));
    EXPECT_EQ(ws.StrokeBase.Rows.Count(), 100);
    EXPECT_EQ(S().Rows.Count(), 100);
    EXPECT_EQ(S().Rows[99], S().Bitmap.Row(99));
    EXPECT_EQ(HistoryName(S(), 2), "Resize");
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(port.Calls.back(), "TabChange");

    // The pure form gives the same picture; undo brings the old one back.
    Bitmap pure;
    ASSERT_TRUE(ResizeBitmap(img, {200, 100, true}, pure));
    EXPECT_TRUE(SamePixels(pure, S().Bitmap));
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, img));
}

TEST_F(GeometryTest, StretchingWeighsTheFourthByteLikeTheColours) {
    Bitmap img(2, 1, 32);
    img.Fill(10, 20, 30, 0);
    img.Row(0)[4 + 3] = 200; // right pixel mostly transparent
    Bitmap out;
    ASSERT_TRUE(ResizeBitmap(img, {4, 1, true}, out));
    EXPECT_EQ(Px(out, 0, 0)[3], 0);
    EXPECT_GT(Px(out, 2, 0)[3], 0);
    EXPECT_LT(Px(out, 2, 0)[3], 200);
}

TEST_F(GeometryTest, UnstretchedResizeCutsAndAddsZeroBytes) {
    Bitmap img = Pattern(100, 100, 5);
    OpenImage(img);
    ASSERT_TRUE(ResizeActiveImage(ws, {150, 50, false}));
    const Bitmap& b = S().Bitmap;
    ASSERT_EQ(b.Width(), 150);
    ASSERT_EQ(b.Height(), 50);
    for (int y = 0; y < 50; ++y) {
        ASSERT_EQ(std::memcmp(b.Row(y), img.Row(y), 400), 0) << y;
        for (int x = 100; x < 150; ++x)
            ASSERT_EQ(std::memcmp(Px(b, x, y), "\0\0\0\0", 4), 0) << x << "," << y;
    }
    EXPECT_EQ(HistoryName(S(), 2), "Resize");
}

TEST_F(GeometryTest, SizesBelowOneChangeNothing) {
    OpenImage(Pattern(10, 10, 1));
    const Bitmap before = S().Bitmap;
    EXPECT_FALSE(ResizeActiveImage(ws, {0, 10, true}));
    EXPECT_FALSE(ResizeActiveImage(ws, {10, -3, false}));
    EXPECT_TRUE(SamePixels(S().Bitmap, before));
    EXPECT_EQ(S().HistoryCount, 0);
    EXPECT_TRUE(port.Calls.empty());
}

TEST_F(GeometryTest, ResultsBeyondTheLargestImageAreRefusedWithAMessage) {
    OpenImage(Pattern(16, 16, 1));
    const Bitmap before = S().Bitmap;
    EXPECT_FALSE(ResizeActiveImage(ws, {MaxImageSide + 1, 10, true}));
    EXPECT_FALSE(ResizeActiveImage(ws, {1 << 15, 1 << 14, false})); // one pixel past the largest count
    ASSERT_EQ(port.Problems.size(), 2u);
    EXPECT_EQ(port.Problems[0].first, "The resized image would be too large: 1048577 x 10 pixels.");
    EXPECT_EQ(port.Problems[1].first, "The resized image would be too large: 32768 x 16384 pixels.");
    // A long thin image turned by 45 degrees would be far beyond it; a quarter turn is not.
    OpenImage(Pattern(MaxImageSide, 2, 1));
    EXPECT_FALSE(RotateActiveImage(ws, {TRotateAction::Angle, 45, 0}));
    ASSERT_EQ(port.Problems.size(), 3u);
    EXPECT_EQ(port.Problems[2].first.rfind("The turned image would be too large: ", 0), 0u);
    EXPECT_EQ(S().HistoryCount, 0);
    Bitmap turned;
    EXPECT_FALSE(RotateBitmap(S().Bitmap, {TRotateAction::Angle, 45, 0}, turned));
    EXPECT_TRUE(RotationFits(S().Bitmap, {TRotateAction::RotateLeft, 0, 0}));
    EXPECT_TRUE(RotationFits(S().Bitmap, {TRotateAction::Angle, 90, 0}));
    EXPECT_TRUE(SamePixels(Slot(0).Bitmap, before));
}

TEST(RotatePreview, TheTurnedPictureFitsTheFrameAtItsOwnAspect) {
    Bitmap image(100, 50, 32);
    image.Fill(0, 0, 200, 0);
    Bitmap turned, frame;
    ASSERT_TRUE(RotateBitmap(image, {TRotateAction::Angle, 45, 0}, turned));
    ASSERT_EQ(turned.Width(), turned.Height()); // 106 x 106
    FitIntoFrame(turned, 100, 50, frame);
    ASSERT_EQ(frame.Width(), 100);
    ASSERT_EQ(frame.Height(), 50);
    // A 50 x 50 square from column 25: grey on both sides, the picture's
    // red at its centre and its black background at its corners.
    EXPECT_EQ(Px(frame, 24, 25)[2], RedOf(kPreviewFrameColour));
    EXPECT_EQ(Px(frame, 75, 25)[2], RedOf(kPreviewFrameColour));
    EXPECT_EQ(Px(frame, 50, 25)[2], 200);
    EXPECT_EQ(Px(frame, 26, 1)[2], 0);
    EXPECT_EQ(Px(frame, 73, 48)[2], 0);
}

TEST(RotatePreview, WorksOnAReducedCopyShownAtTheImagesAspect) {
    // A picture within the preview's size is turned as it is.
    TRotatePreview small;
    const Bitmap image = GradientImage(300, 200);
    StartRotatePreview(image, small);
    ASSERT_EQ(small.Reduced.Width(), 300);
    EXPECT_EQ(std::memcmp(small.Reduced.Row(150), image.Row(150), 300 * 4), 0);

    // A larger one is reduced once to the preview's size on its longer side;
    // each turn then works at that size, in a frame of the image's aspect.
    TRotatePreview big;
    StartRotatePreview(Uniform(4 * kRotatePreviewSide, kRotatePreviewSide, 90), big);
    ASSERT_EQ(big.Reduced.Width(), kRotatePreviewSide);
    ASSERT_EQ(big.Reduced.Height(), kRotatePreviewSide / 4);
    EXPECT_EQ(Px(big.Reduced, 700, 300)[1], 90);
    Bitmap frame;
    ASSERT_TRUE(ShowRotatePreview(big, {TRotateAction::RotateLeft, 0, 0}, frame));
    EXPECT_EQ(big.Turned.Width(), kRotatePreviewSide / 4);
    EXPECT_EQ(big.Turned.Height(), kRotatePreviewSide);
    ASSERT_EQ(frame.Width(), kRotatePreviewSide);
    ASSERT_EQ(frame.Height(), kRotatePreviewSide / 4);
    EXPECT_EQ(Px(frame, kRotatePreviewSide / 2, kRotatePreviewSide / 8)[1], 90);
    EXPECT_EQ(Px(frame, 10, 10)[1], GreenOf(kPreviewFrameColour));

    // A refused turn leaves the preview and the frame as they were.
    ASSERT_FALSE(ShowRotatePreview(big, {TRotateAction::Angle, std::nan(""), 0}, frame));
    EXPECT_EQ(big.Turned.Height(), kRotatePreviewSide);
    EXPECT_EQ(frame.Width(), kRotatePreviewSide);
}

TEST(ResizeFields, LinkAddsTheSamePixelsAndRefusedValuesComeBack) {
    TResizeFields f;
    ShowResizeFields(f, 100, 80);
    f.Link = true;
    f.Editing = TSizeField::Width;
    f.Width = 150;
    SizeFieldChanged(f, TSizeField::Width);
    EXPECT_EQ(f.Height, 130); // +50, not proportional
    EXPECT_EQ(f.LastWidth, 150);
    EXPECT_EQ(f.LastHeight, 130);

    // The height edited with link on moves the width the other way.
    f.Editing = TSizeField::Height;
    f.Height = 100;
    SizeFieldChanged(f, TSizeField::Height);
    EXPECT_EQ(f.Width, 120);

    // A link that would take the other side below 1 leaves it at its last
    // valid value.
    f.Editing = TSizeField::Width;
    f.Width = 10;
    SizeFieldChanged(f, TSizeField::Width);
    EXPECT_EQ(f.Width, 10);
    EXPECT_EQ(f.Height, 100);

    // Unlinked, and a value below 1, refused.
    f.Link = false;
    f.Width = 0;
    SizeFieldChanged(f, TSizeField::Width);
    EXPECT_EQ(f.Width, 10);
    EXPECT_EQ(f.Height, 100);

    TResizeParams p;
    f.Height = -5; // typed and not yet checked
    EXPECT_FALSE(AcceptResizeFields(f, p, true));
    EXPECT_EQ(f.Height, 100);
    ASSERT_TRUE(AcceptResizeFields(f, p, false));
    EXPECT_EQ(p.Width, 10);
    EXPECT_EQ(p.Height, 100);
    EXPECT_FALSE(p.Stretch);
}

TEST(ResizeFields, KeepAspectRatioFollowsTheImagesProportionAndPercentSetsBoth) {
    TResizeFields f;
    ShowResizeFields(f, 640, 427);
    EXPECT_EQ(ResizePercent(f), 100);
    f.KeepAspect = true;
    f.Link = true; // the aspect ratio wins
    f.Editing = TSizeField::Width;
    f.Width = 320;
    SizeFieldChanged(f, TSizeField::Width);
    EXPECT_EQ(f.Height, 214) << "427 / 2 = 213.5, rounded";
    EXPECT_EQ(f.LastHeight, 214);
    EXPECT_EQ(ResizePercent(f), 50);
    f.Editing = TSizeField::Height;
    f.Height = 854;
    SizeFieldChanged(f, TSizeField::Height);
    EXPECT_EQ(f.Width, 1280);
    f.Editing = TSizeField::Width;
    f.Width = 1;
    SizeFieldChanged(f, TSizeField::Width);
    EXPECT_EQ(f.Height, 1) << "never below a pixel";

    ResizeToPercent(f, 25);
    EXPECT_EQ(f.Width, 160);
    EXPECT_EQ(f.Height, 107); // 106.75
    EXPECT_EQ(f.LastWidth, 160);
    ResizeToPercent(f, 0);
    EXPECT_EQ(f.Width, 160) << "0 % is refused";
    TResizeParams p;
    ASSERT_TRUE(AcceptResizeFields(f, p, true));
    EXPECT_EQ(p.Height, 107);
}

TEST_F(GeometryTest, QuarterTurnsAndAnglesThatAreQuarterTurns) {
    Bitmap img = Pattern(4, 2, 9); // even width: a sampled turn would be a pixel off
    Bitmap left;
    ASSERT_TRUE(RotateBitmap(img, {TRotateAction::RotateLeft, 0, 0}, left));
    ASSERT_EQ(left.Width(), 2);
    ASSERT_EQ(left.Height(), 4);
    EXPECT_TRUE(SameBytes(Px(left, 0, 0), Px(img, 3, 0))); // top-left = source top-right
    for (double deg : {90.0, 450.0, 810.0, -270.0}) {
        Bitmap turned;
        ASSERT_TRUE(RotateBitmap(img, {TRotateAction::Angle, deg, 0}, turned));
        EXPECT_TRUE(SamePixels(turned, left)) << deg;
    }
    Bitmap same;
    ASSERT_TRUE(RotateBitmap(img, {TRotateAction::Angle, 720, 0}, same));
    EXPECT_TRUE(SamePixels(same, img));
    Bitmap half, flipped;
    ASSERT_TRUE(RotateBitmap(img, {TRotateAction::Angle, -180, 0}, half));
    ASSERT_TRUE(RotateBitmap(img, {TRotateAction::RotateHalf, 0, 0}, flipped));
    EXPECT_TRUE(SamePixels(half, flipped));
    Bitmap untouched = img;
    EXPECT_FALSE(RotateBitmap(img, {TRotateAction::Angle, std::nan(""), 0}, untouched));
    EXPECT_TRUE(SamePixels(untouched, img));
}

TEST_F(GeometryTest, RotateLeftOfThreeByTwoAndTheAnglesThatEqualIt) {
    const Bitmap img = Pattern(3, 2, 2);
    Bitmap left;
    ASSERT_TRUE(RotateBitmap(img, {TRotateAction::RotateLeft, 0, 0}, left));
    ASSERT_EQ(left.Width(), 2);
    ASSERT_EQ(left.Height(), 3);
    // Column x of the source becomes row 2 - x, read top to bottom.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_TRUE(SameBytes(Px(left, x, y), Px(img, 2 - y, x))) << x << "," << y;
    for (double deg : {90.0, 450.0}) {
        Bitmap turned;
        ASSERT_TRUE(RotateBitmap(img, {TRotateAction::Angle, deg, RGBColour(9, 9, 9)}, turned));
        EXPECT_TRUE(SamePixels(turned, left)) << deg;
    }
}

TEST_F(GeometryTest, AFortyFiveDegreeTurnHasTheBackgroundInItsCorners) {
    Bitmap img(100, 100, 32);
    img.Fill(1, 2, 3, 0);
    const int32_t bg = RGBColour(200, 100, 50);
    Bitmap out;
    ASSERT_TRUE(RotateBitmap(img, {TRotateAction::Angle, 45, bg}, out));
    ASSERT_EQ(out.Width(), 141);
    ASSERT_EQ(out.Height(), 141);
    const uint8_t corner[4] = {50, 100, 200, 0};
    for (auto [x, y] : {std::pair{0, 0}, {140, 0}, {0, 140}, {140, 140}})
        EXPECT_TRUE(SameBytes(Px(out, x, y), corner)) << x << "," << y;
    EXPECT_TRUE(SameBytes(Px(out, 70, 70), Px(img, 50, 50)));
}

TEST_F(GeometryTest, APreviewLeavesTheDocumentAndOkAppliesItAsOneStep) {
    Bitmap img = Pattern(3, 2, 4);
    OpenImage(img);
    Bitmap preview;
    ASSERT_TRUE(RotateBitmap(S().Bitmap, {TRotateAction::MirrorHorizontal, 0, 0}, preview));
    EXPECT_TRUE(SamePixels(S().Bitmap, img));
    EXPECT_EQ(S().HistoryCount, 0);
    EXPECT_TRUE(port.Calls.empty());

    ASSERT_TRUE(CommitRotation(ws, preview));
    EXPECT_TRUE(SamePixels(S().Bitmap, preview));
    EXPECT_EQ(HistoryName(S(), 2), "Image Rotate");
    // A floating selection is ended before the step is stored.
    ASSERT_FALSE(port.Calls.empty());
    EXPECT_EQ(port.Calls.front(), "EndSelection");
    EXPECT_EQ(port.Calls.back(), "TabChange");

    ASSERT_TRUE(RotateActiveImage(ws, {TRotateAction::RotateRight, 0, 0}));
    EXPECT_EQ(S().Bitmap.Width(), 2);
    EXPECT_EQ(S().Bitmap.Height(), 3);
    EXPECT_EQ(S().Rows.Count(), 3);
    EXPECT_EQ(S().HistoryPos, 2);
    EXPECT_EQ(HistoryName(S(), 3), "Image Rotate");

    // Without an open image nothing happens.
    Activate(-1);
    EXPECT_FALSE(RotateActiveImage(ws, {TRotateAction::FlipVertical, 0, 0}));
    EXPECT_FALSE(ResizeActiveImage(ws, {5, 5, true}));
}

// A turn holds the image and the turned picture at its peak: the undo
// store's kept state (on file) and the view's copy go first. Its step is
// still the image as it was, and undo and redo are exact.
TEST_F(GeometryTest, ATurnsPeakIsTheImageAndTheTurnedPicture) {
    // Above the allocator's largest heap block, so what is freed goes back.
    OpenImage(Pattern(4400, 2000, 4));
    const double buffer = 4400.0 * 2000 * 4;
    ASSERT_TRUE(RotateActiveImage(ws, {TRotateAction::MirrorHorizontal, 0, 0}));
    const Bitmap mirrored = S().Bitmap;
    StoreNewestState(ws, slot);
    WaitForStoredSteps(ws);
    ASSERT_NE(CurrentKeptState(ws, slot), nullptr);
    ws.DisplayCopy = S().Bitmap; // the view's copy, as the window keeps it
    if (kSanitizerAllocator) GTEST_SKIP() << "freed buffers stay resident in the address checker's quarantine";
    if (!ForgetPeakResident()) GTEST_SKIP() << "no peak to read";
    const long before = ResidentBytes();
    ASSERT_TRUE(RotateActiveImage(ws, {TRotateAction::Angle, 30, 0}));
    const double grown = static_cast<double>(PeakResidentBytes() - before) / buffer;
    // The turned picture is 1.37 images; the image itself stays until the
    // step is stored, the kept state and the view's copy go before.
    EXPECT_LT(grown, 0.2) << "kept state and view copy beside the turned picture";
    const Bitmap turned = S().Bitmap;
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, mirrored));
    ASSERT_TRUE(RedoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, turned));
}
