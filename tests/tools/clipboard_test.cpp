#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMimeData>
#include <memory>

#include "history/history_store.h"
#include "io/codecs/format_codecs.h"
#include "io/crafted_files.h"
#include "support/pixels.h"
#include "tools/clipboard.h"
#include "tools/clipboard_image.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::Pattern;
using pixora::testing::Px;
using pixora::testing::Put;
using pixora::testing::SamePixels;
using pixora::testing::ToolsTest;
using pixora::testing::Uniform;

namespace {

// A 120 x 80 image with the selection tool and "Edit Selected Canvas".
struct ClipboardTest : ToolsTest {
    ClipboardTest() {
        width = 120;
        height = 80;
    }
    void SetUp() override {
        ToolsTest::SetUp();
        ASSERT_TRUE(SelectToolCore(ws, ToolSelection));
    }
    void Select(int x0, int y0, int x1, int y1) {
        PointerDown(ws, x0, y0, 0);
        PointerMove(ws, x1, y1);
        PointerUp(ws, x1, y1);
        ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    }
    bool IsCanvasColour(const Bitmap& b, int x, int y) {
        const uint8_t* p = Px(b, x, y);
        return p[0] == 255 && p[1] == 255 && p[2] == 255;
    }
};

// `image` with `picture` written at (left, top), clipped to the image.
Bitmap WithPicture(Bitmap image, const Bitmap& picture, int left, int top) {
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (left + x >= 0 && top + y >= 0 && left + x < image.Width() && top + y < image.Height())
                std::memcpy(Px(image, left + x, top + y), Px(picture, x, y), 4);
    return image;
}

// The w x h area of `image` at (left, top).
Bitmap AreaOf(const Bitmap& image, int left, int top, int w, int h) {
    Bitmap area(w, h, 32);
    for (int y = 0; y < h; ++y)
        std::memcpy(area.Row(y), Px(image, left, top + y), static_cast<std::size_t>(w) * 4);
    return area;
}

} // namespace

TEST_F(ClipboardTest, CopyGivesTheSelectedRectangleWithItsTransparency) {
    Select(10, 20, 60, 50);
    Bitmap picture;
    ASSERT_TRUE(CopySelection(ws, picture));
    EXPECT_EQ(picture.Width(), 50);
    EXPECT_EQ(picture.Height(), 30);
    // Every byte comes from the image under the mask, fourth byte included.
    for (int y : {0, 29})
        for (int x : {0, 49})
            EXPECT_EQ(std::memcmp(Px(picture, x, y), Px(S().Bitmap, 10 + x, 20 + y), 4), 0);
    EXPECT_EQ(ws.ToolVars.HasSelection, 1); // copying keeps the selection
}

TEST_F(ClipboardTest, UnselectedPixelsOfAnEllipseAreTransparent) {
    port.Options[{kSelectBox, "RadioGroup1"}] = SelEllipse;
    Select(10, 10, 50, 40);
    Bitmap picture;
    ASSERT_TRUE(CopySelection(ws, picture));
    EXPECT_EQ(Px(picture, 0, 0)[3], 255);
    const int cx = picture.Width() / 2, cy = picture.Height() / 2;
    EXPECT_EQ(std::memcmp(Px(picture, cx, cy), Px(S().Bitmap, S().DownX + cx, S().DownY + cy), 4), 0);
}

TEST_F(ClipboardTest, NothingIsCopiedWithoutASelectionOfTheSelectionTool) {
    Bitmap picture;
    EXPECT_FALSE(CopySelection(ws, picture));
    Select(10, 10, 20, 20);
    const int stored = S().HistoryCount;
    S().Tool = ToolPen; // another tool's image state
    EXPECT_FALSE(CopySelection(ws, picture));
    EXPECT_FALSE(DeleteSelection(ws));
    EXPECT_EQ(S().HistoryCount, stored);
}

TEST_F(ClipboardTest, CutLeavesTheCanvasColourEndsTheSelectionAndUndoRestores) {
    const Bitmap original = S().Bitmap;
    Select(10, 10, 30, 25);
    Bitmap picture;
    ASSERT_TRUE(CutSelection(ws, picture));
    EXPECT_EQ(picture.Width(), 20);
    EXPECT_EQ(std::memcmp(Px(picture, 0, 0), Px(original, 10, 10), 4), 0);
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Cut");
    EXPECT_TRUE(IsCanvasColour(S().Bitmap, 10, 10));
    EXPECT_TRUE(IsCanvasColour(S().Bitmap, 29, 24));
    EXPECT_FALSE(IsCanvasColour(S().Bitmap, 30, 25));
    // The fourth byte is left as it was.
    EXPECT_EQ(Px(S().Bitmap, 12, 12)[3], Px(original, 12, 12)[3]);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
}

TEST_F(ClipboardTest, DeleteKeepsTheSelectionAndDroppingItDoesNotBringThePixelsBack) {
    Select(10, 10, 30, 25);
    ASSERT_TRUE(DeleteSelection(ws));
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Delete");
    EXPECT_TRUE(IsCanvasColour(S().Bitmap, 15, 15));
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(IsCanvasColour(S().Bitmap, 15, 15));
    EXPECT_TRUE(IsCanvasColour(S().Bitmap, 28, 23));
}

TEST_F(ClipboardTest, PasteFloatsAtTheTopLeftWithTheSelectionTool) {
    S().Tool = ToolPen;
    port.Options[{kSelectBox, "RadioGroup1"}] = SelEllipse;
    const Bitmap clip = Uniform(10, 10, 40);
    ASSERT_TRUE(PasteAsSelection(ws, clip));
    EXPECT_EQ(S().Tool, ToolSelection);
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(port.ToolOption(TOpt::SelectionType), SelRectangle);
    EXPECT_EQ(S().DownX, 0);
    EXPECT_EQ(S().DownY, 0);
    EXPECT_EQ(ws.ToolVars.SelRight, 10);
    EXPECT_EQ(ws.ToolVars.SelBottom, 10);
    EXPECT_EQ(ws.ToolVars.FloatBitmap.Width(), 10);
    EXPECT_EQ(S().HistoryCount, 0); // nothing is stored until it is dropped
    // The view shows the pasted pixels inside the outline; the image is
    // unchanged until the selection is dropped.
    EXPECT_EQ(Px(ws.DisplayCopy, 5, 5)[0], 40);
    EXPECT_NE(Px(S().Bitmap, 5, 5)[0], 40);
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_EQ(Px(S().Bitmap, 5, 5)[0], 40);
    EXPECT_NE(Px(S().Bitmap, 12, 12)[0], 40);
}

TEST_F(ClipboardTest, APastedPictureLandsWholeWhereverItIsDropped) {
    Bitmap picture = Pattern(12, 9, 5);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) Px(picture, x, y)[3] = 0; // opaque: copied byte for byte
    const Bitmap original = S().Bitmap;
    ASSERT_TRUE(PasteAsSelection(ws, picture));
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, WithPicture(original, picture, 0, 0)));

    // Moved by (40, 30) before the drop: every pixel lands there, and the
    // picture dropped before stays where it was.
    const Bitmap before = S().Bitmap;
    ASSERT_TRUE(PasteAsSelection(ws, picture));
    Select(5, 4, 45, 34);
    EXPECT_EQ(S().DownX, 40);
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, WithPicture(before, picture, 40, 30)));
}

// A pasted picture's transparency shows the image through it while it
// floats and weighs it over the image when it is dropped, as a layer's does;
// opaque pixels land byte for byte.
TEST_F(ClipboardTest, APastedPictureIsLaidOverTheImageByItsTransparency) {
    S().Bitmap.Fill(10, 20, 200, 0);
    Put(S().Bitmap, 3, 1, 10, 20, 200, 100); // partly transparent below
    port.RefreshView();
    Bitmap picture = Uniform(6, 3, 90, 255); // fully transparent but for two pixels
    Put(picture, 2, 1, 50, 60, 70, 0);       // opaque
    Put(picture, 3, 1, 50, 60, 70, 128);     // half: d = round(128 / 255 x 100) = 50
    const Bitmap below = S().Bitmap;
    ASSERT_TRUE(PasteAsSelection(ws, picture));
    EXPECT_EQ(std::memcmp(Px(ws.DisplayCopy, 1, 1), Px(below, 1, 1), 4), 0) << "the image shows through";
    EXPECT_EQ(Px(ws.DisplayCopy, 2, 1)[2], 70);
    ASSERT_TRUE(DropSelection(ws));
    for (int x : {0, 1, 4, 5})
        EXPECT_EQ(std::memcmp(Px(S().Bitmap, x, 1), Px(below, x, 1), 4), 0) << x;
    EXPECT_EQ(std::memcmp(Px(S().Bitmap, 2, 1), Px(picture, 2, 1), 4), 0);
    const uint8_t* half = Px(S().Bitmap, 3, 1);
    EXPECT_EQ(half[0], 50 * 50 / 100 + 10 * 50 / 100);
    EXPECT_EQ(half[2], 70 * 50 / 100 + 200 * 50 / 100);
    EXPECT_EQ(half[3], (128 * 100 + 127) / 255) << "both transparencies multiply";

    // Paste to fit (and an import to fit) lays the picture over the same way.
    S().Bitmap.Fill(10, 20, 200, 0);
    Select(20, 20, 60, 40);
    ASSERT_TRUE(PasteIntoSelection(ws, Uniform(4, 2, 77, 255)));
    EXPECT_EQ(Px(ws.DisplayCopy, 40, 30)[2], 200);
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_EQ(Px(S().Bitmap, 40, 30)[2], 200);
    EXPECT_EQ(Px(S().Bitmap, 40, 30)[3], 0);
}

TEST_F(ClipboardTest, ACopyPastedToFitASelectionOfItsSizeIsExact) {
    // Opaque pixels are laid down as they are.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Px(S().Bitmap, x, y)[3] = 0;
    port.RefreshView();
    const Bitmap original = S().Bitmap;
    Select(10, 20, 60, 50);
    Bitmap picture;
    ASSERT_TRUE(CopySelection(ws, picture));
    ASSERT_TRUE(DropSelection(ws));
    Select(65, 45, 115, 75);
    ASSERT_TRUE(PasteIntoSelection(ws, picture));
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, WithPicture(original, picture, 65, 45)));
}

TEST_F(ClipboardTest, CopyAndCutOfAFloatingSelectionTakeWhatTheViewShows) {
    const Bitmap original = S().Bitmap;
    // A rectangle moved by (40, 30): its inner pixels over the image's
    // frame at the new place, as the drop leaves them.
    Select(10, 10, 30, 25);
    Select(15, 15, 55, 45);
    ASSERT_EQ(S().DownX, 50);
    Bitmap picture;
    ASSERT_TRUE(CopySelection(ws, picture));
    EXPECT_EQ(std::memcmp(Px(picture, 5, 5), Px(original, 15, 15), 4), 0);
    EXPECT_EQ(std::memcmp(Px(picture, 0, 0), Px(original, 50, 40), 4), 0);
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_TRUE(SamePixels(picture, AreaOf(S().Bitmap, 50, 40, 20, 15)));

    // Cut of the same move gives the same picture (the frame under it is
    // the one just dropped), and leaves the canvas colour where the
    // selection now is.
    Select(10, 10, 30, 25);
    Select(15, 15, 55, 45);
    Bitmap cut;
    ASSERT_TRUE(CutSelection(ws, cut));
    EXPECT_TRUE(SamePixels(cut, picture));
    EXPECT_TRUE(IsCanvasColour(S().Bitmap, 60, 50));
    EXPECT_FALSE(IsCanvasColour(S().Bitmap, 20, 20));

    // A pasted picture is copied whole, and a moved ellipse gives its own
    // floating pixels.
    const Bitmap pasted = Pattern(9, 7, 3);
    ASSERT_TRUE(PasteAsSelection(ws, pasted));
    ASSERT_TRUE(CopySelection(ws, picture));
    EXPECT_TRUE(SamePixels(picture, pasted));
    ASSERT_TRUE(DropSelection(ws));
    port.Options[{kSelectBox, "RadioGroup1"}] = SelEllipse;
    Select(20, 40, 50, 70);
    const Bitmap floating = ws.ToolVars.FloatBitmap;
    const int cx = floating.Width() / 2, cy = floating.Height() / 2;
    Select(S().DownX + cx, S().DownY + cy, S().DownX + cx + 50, S().DownY + cy);
    ASSERT_TRUE(CopySelection(ws, picture));
    EXPECT_EQ(std::memcmp(Px(picture, cx, cy), Px(floating, cx, cy), 4), 0);
    EXPECT_NE(std::memcmp(Px(picture, cx, cy), Px(S().Bitmap, S().DownX + cx, S().DownY + cy), 4), 0);
}

TEST_F(ClipboardTest, FloatingPixelsOffTheImageAreCopiedTransparent) {
    ASSERT_TRUE(PasteAsSelection(ws, Uniform(20, 10, 40)));
    Select(5, 5, 110, 5); // 105..124: the last five columns are off the image
    ASSERT_EQ(S().DownX, 105);
    Bitmap picture;
    ASSERT_TRUE(CopySelection(ws, picture));
    ASSERT_EQ(picture.Width(), 20);
    EXPECT_EQ(Px(picture, 14, 5)[0], 40);
    EXPECT_EQ(Px(picture, 14, 5)[3], 0);
    EXPECT_EQ(Px(picture, 15, 5)[3], 255);
}

TEST_F(ClipboardTest, PasteCommitsTheSelectionFloatingBefore) {
    Select(50, 50, 70, 70);
    Select(55, 55, 95, 75); // moved
    const int left = S().DownX, top = S().DownY;
    ASSERT_GT(left, 50);
    const Bitmap moved = ws.ToolVars.FloatBitmap;
    ASSERT_TRUE(PasteAsSelection(ws, Uniform(4, 4, 9)));
    EXPECT_EQ(std::memcmp(Px(S().Bitmap, left + 1, top + 1), Px(moved, 0, 0), 4), 0);
}

TEST_F(ClipboardTest, PasteToFitStretchesIntoTheSelection) {
    Select(20, 20, 60, 40);
    ASSERT_TRUE(PasteIntoSelection(ws, Uniform(4, 2, 77)));
    EXPECT_EQ(ws.ToolVars.FloatBitmap.Width(), 4);
    EXPECT_EQ(S().DownX, 20);
    EXPECT_EQ(ws.ToolVars.SelRight, 60);
    EXPECT_EQ(Px(ws.DisplayCopy, 40, 30)[1], 77);
    ASSERT_TRUE(DropSelection(ws));
    EXPECT_EQ(Px(S().Bitmap, 21, 21)[2], 77);
    EXPECT_EQ(Px(S().Bitmap, 58, 38)[2], 77);
    EXPECT_NE(Px(S().Bitmap, 61, 30)[2], 77);
    EXPECT_FALSE(PasteIntoSelection(ws, Uniform(4, 2, 1))); // no selection now
}

TEST_F(ClipboardTest, PasteToFitCanvasStretchesOpaqueColoursAsOneStep) {
    Bitmap clip(100, 50, 32);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            pixora::testing::Put(clip, x, y, x < 50 ? 0 : 255, 0, 0, 200);
    Activate(Open(Uniform(200, 200, 128)));
    ASSERT_TRUE(PasteToFitCanvas(ws, clip));
    const TImages& s = ws.Active();
    EXPECT_EQ(s.Bitmap.Width(), 200);
    EXPECT_EQ(HistoryName(s, s.HistoryPos + 1), "Paste");
    EXPECT_EQ(Px(s.Bitmap, 10, 190)[0], 0);
    EXPECT_EQ(Px(s.Bitmap, 190, 5)[0], 255);
    EXPECT_EQ(Px(s.Bitmap, 190, 190)[1], 0);
    EXPECT_EQ(Px(s.Bitmap, 190, 190)[3], 0);
}

TEST_F(ClipboardTest, PasteAsNewImageOpensAnUntitledImageUntilFifteenAreOpen) {
    Bitmap clip = Uniform(7, 5, 60, 255);
    const int added = PasteAsNewImage(ws, clip);
    ASSERT_GE(added, 0);
    const TImages& s = Slot(added);
    EXPECT_EQ(s.FileName, "Untitled.bmp");
    EXPECT_EQ(s.Bitmap.Width(), 7);
    EXPECT_EQ(Px(s.Bitmap, 3, 3)[3], 255); // transparency kept
    EXPECT_EQ(HistoryName(s, 1), "Original Image");
    EXPECT_EQ(port.ToolOption(TOpt::GifSensitivity), 255);
    while (ws.SysData.OpenCount < kMaxOpenImages - 1)
        Open(Uniform(2, 2, 0));
    const int open = ws.SysData.OpenCount;
    EXPECT_EQ(PasteAsNewImage(ws, clip), -1);
    EXPECT_EQ(ws.SysData.OpenCount, open);
    ASSERT_EQ(port.Problems.size(), 1u);
    EXPECT_EQ(port.Problems[0].first.rfind("No more than 15 images", 0), 0u);
}

TEST_F(ClipboardTest, APictureBeyondTheLargestImageIsNotPastedAndThatIsSaid) {
    const Bitmap before = S().Bitmap;
    EXPECT_FALSE(PasteAsSelection(ws, Uniform(MaxImageSide + 1, 1, 9)));
    ASSERT_EQ(port.Problems.size(), 1u);
    EXPECT_EQ(port.Problems[0].first, "The picture is too large to paste: 1048577 x 1 pixels.");
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_TRUE(SamePixels(S().Bitmap, before));
    EXPECT_TRUE(PasteAsSelection(ws, Uniform(MaxImageSide, 1, 9))) << "the largest side itself is taken";
}

TEST_F(ClipboardTest, FillCanvasCommitsTheStretchedPixelsAsOneStep) {
    Select(10, 10, 20, 20);
    ASSERT_TRUE(PasteIntoSelection(ws, Uniform(2, 2, 33)));
    ASSERT_TRUE(FillCanvas(ws));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Paste");
    for (auto [x, y] : {std::pair{0, 0}, {119, 79}, {60, 40}})
        EXPECT_EQ(Px(S().Bitmap, x, y)[0], 33);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(120, 80, 1)));
}

TEST_F(ClipboardTest, FillCanvasNeedsARectangleSelection) {
    port.Options[{kSelectBox, "RadioGroup1"}] = SelEllipse;
    Select(10, 10, 30, 30);
    const int stored = S().HistoryCount;
    EXPECT_FALSE(FillCanvas(ws));
    EXPECT_EQ(S().HistoryCount, stored);
}

// ---- the clipboard's data ----------------------------------------------

namespace {

// A PNG that claims w x h pixels and holds one short row of data.
QByteArray ClaimedPng(uint32_t w, uint32_t h) {
    const pixora::testing::Bytes png = pixora::testing::CraftPng(w, h, 8, 6, {0, 1, 2, 3, 4});
    return QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
}

} // namespace

TEST(ClipboardPicture, OnePixelTravelsWithItsTransparency) {
    Bitmap one(1, 1, 32);
    pixora::testing::Put(one, 0, 0, 10, 20, 30, 128);
    std::unique_ptr<QMimeData> data(PictureMimeData(one));
    ASSERT_TRUE(data->hasFormat("image/png"));
    ASSERT_TRUE(OffersPicture(data.get()));
    const TClipboardPicture back = ReadPicture(data.get());
    EXPECT_TRUE(back.Problem.empty());
    ASSERT_EQ(back.Pixels.Width(), 1);
    EXPECT_EQ(std::memcmp(Px(back.Pixels, 0, 0), Px(one, 0, 0), 4), 0);
}

TEST(ClipboardPicture, APictureOfAnotherFormatIsReadThroughTheToolkit) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(200, 100, 50, 255));
    image.setPixelColor(1, 1, QColor(0, 0, 255, 0));
    QMimeData data;
    data.setImageData(image);
    const TClipboardPicture back = ReadPicture(&data);
    ASSERT_EQ(back.Pixels.Width(), 3);
    const uint8_t* p = Px(back.Pixels, 0, 0);
    EXPECT_EQ(p[0], 50);
    EXPECT_EQ(p[2], 200);
    EXPECT_EQ(p[3], 0);
    EXPECT_EQ(Px(back.Pixels, 1, 1)[3], 255);
}

TEST(ClipboardPicture, HugeEmptyAndForeignDataGiveAProblemNotPixels) {
    QMimeData huge;
    huge.setData("image/png", ClaimedPng(20000, 20000));
    const TClipboardPicture big = ReadPicture(&huge);
    EXPECT_TRUE(big.Pixels.Empty());
    EXPECT_FALSE(big.Problem.empty());

    QMimeData empty;
    empty.setData("image/png", QByteArray());
    EXPECT_FALSE(ReadPicture(&empty).Problem.empty());

    QMimeData text;
    text.setText("not a picture");
    EXPECT_FALSE(OffersPicture(&text));
    const TClipboardPicture none = ReadPicture(&text);
    EXPECT_TRUE(none.Pixels.Empty());
    EXPECT_TRUE(none.Problem.empty());
    EXPECT_FALSE(OffersPicture(nullptr));
}
