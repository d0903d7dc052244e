// The freehand tools as the program makes them, driven through the
// workspace's pointer dispatch with their options read from the port.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "doc/tab_change.h"
#include "history/undo_history_list.h"
#include "tools/brushes/copy_brush_rule.h"
#include "tools/shapes/int_distance.h"
#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

constexpr const char* kBrushBox = "TForm24";

// Pixels of a that differ from b within the stamp disc of radius r around
// (cx, cy), and outside it.
struct TDiscChange {
    int Inside = 0, Outside = 0;
};
TDiscChange DiscChange(const Bitmap& a, const Bitmap& b, int cx, int cy, int r) {
    TDiscChange c;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            if (SamePixel(a, b, x, y)) continue;
            const int dx = x - cx, dy = y - cy;
            (IntDistance(dx * dx + dy * dy) <= r ? c.Inside : c.Outside) += 1;
        }
    return c;
}

// An image of one grey, then two Lighten clicks on it, each its own step.
struct HistoryBrushTest : PaintTest {
    Bitmap original;
    void LightenTwice(int size, TPoint a, TPoint b) {
        Fill(120, 0);
        original = S().Bitmap;
        Use(ToolLighten);
        Opt(kBrushBox, "size", size);
        Click(a.X, a.Y);
        Click(b.X, b.Y);
    }
};

} // namespace

TEST(ToolRows, EveryToolButtonHasAPointerRoutine) {
    for (const TToolDescription& row : ToolTable())
        if (!row.Button.empty() || row.Number == ToolEffectBrush) {
            EXPECT_NE(row.Make, nullptr) << row.Number;
        }
}

TEST_F(PaintTest, SoftenSharpenAndDarkenAsTheirRulesSay) {
    Opt(kBrushBox, "size", 64);
    Opt(kBrushBox, "CT", 1);
    Fill(90, 40);
    Use(ToolSoften);
    const Bitmap flat = S().Bitmap;
    Drag(20, 15, 24, 16);
    EXPECT_TRUE(SamePixels(S().Bitmap, flat)) << "softening a uniform image changes nothing";
    EXPECT_EQ(S().HistoryCount, 0) << "so it leaves no step";

    // A dark pixel among bright ones: the negative sum truncates, then clamps.
    Fill(255, 0);
    Put(S().Bitmap, 20, 15, 0, 0, 0, 0);
    Use(ToolSharpen);
    Opt(kBrushBox, "size", 3);
    Click(20, 15);
    EXPECT_EQ(At(20, 15)[0], 0);
    EXPECT_EQ(At(20, 14)[0], 255);

    // The darken stamp works at even cx + cy only.
    Fill(100, 50);
    Use(ToolDarken);
    Opt(kBrushBox, "size", 6);
    const Bitmap before = S().Bitmap;
    Click(10, 11);
    EXPECT_TRUE(SamePixels(S().Bitmap, before));
    Click(10, 10);
    const TDiscChange c = DiscChange(S().Bitmap, before, 10, 10, 3);
    EXPECT_EQ(c.Outside, 0);
    EXPECT_EQ(c.Inside, 45); // radius 3: every offset with dx² + dy² below 16
    EXPECT_EQ(At(10, 10)[2], 99);
    EXPECT_EQ(At(13, 10)[0], 99);
    EXPECT_EQ(At(10, 10)[3], 49) << "Change Transparency";
}

TEST_F(PaintTest, DiametersTwoAndThreeCoverTheSquareAroundThePointer) {
    Use(ToolLighten);
    Opt(kBrushBox, "CT", 0);
    for (int d : {2, 3}) {
        Fill(100, 7);
        Opt(kBrushBox, "size", d);
        const Bitmap before = S().Bitmap;
        Click(10, 10);
        EXPECT_EQ(ChangedPixels(before, S().Bitmap), 9) << d;
        EXPECT_EQ(At(9, 9)[1], 101) << d;
        EXPECT_EQ(At(11, 11)[1], 101) << d;
        EXPECT_EQ(At(9, 9)[3], 7) << "the fourth byte stays without CT";
    }
}

TEST_F(PaintTest, SprayBlendsTowardTheColourOfTheButton) {
    Opt("TForm23", "Size", 64);
    Opt("TForm23", "thick", 128);
    Opt("TForm23", "CT", 1);
    Fill(255, 200);
    SetFGColour(S(), RGBColour(0, 0, 0));
    SetBGColour(S(), RGBColour(0, 255, 255));
    Use(ToolSpray);
    Click(20, 15);
    EXPECT_EQ(At(20, 15)[0], 191); // a quarter of the way: 255 x 96 div 128
    EXPECT_EQ(At(20, 15)[3], 150);
    EXPECT_EQ(LastStep(), "Spray Brush");
    Fill(0, 0);
    Click(20, 15, 1); // the right button sprays the background colour
    EXPECT_EQ(At(20, 15)[2], 0);
    EXPECT_EQ(At(20, 15)[1], 63);
}

TEST_F(PaintTest, NoiseMovesEveryByteOfTheDiscByAtMostOne) {
    Fill(100, 100);
    Opt(kBrushBox, "size", 10);
    Opt(kBrushBox, "CT", 1);
    Use(ToolNoise);
    const Bitmap before = S().Bitmap;
    Drag(20, 15, 21, 15);
    const TDiscChange c = DiscChange(S().Bitmap, before, 20, 15, 7);
    EXPECT_EQ(c.Outside, 0);
    EXPECT_GT(c.Inside, 20);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            for (int i = 0; i < 4; ++i)
                ASSERT_LE(std::abs(At(x, y)[i] - 100), 3) << x << "," << y; // three stamps at most
}

TEST_F(PaintTest, CopyBrushPaintsFromAroundThePressPoint) {
    // Black left half, white right half.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x)
            Put(S().Bitmap, x, y, 0, 0, 0, 0);
    port.RefreshView();
    Opt(kBrushBox, "size", 8);
    Opt(kBrushBox, "CT", 1);
    Use(ToolClone);
    const Bitmap before = S().Bitmap;
    PointerDown(ws, 10, 15, 0);
    EXPECT_TRUE(SamePixels(S().Bitmap, before)) << "nothing is stamped at the press";
    // Every stamp of the path takes its source from around the press point.
    PointerMove(ws, 30, 15);
    Bitmap expected = before;
    for (int x = 11; x <= 30; ++x)
        CopyBrushStamp(expected, before, {x, 15, 8}, {10, 15}, true, SelectionEditTest());
    EXPECT_TRUE(SameImage(S().Bitmap, expected));
    EXPECT_LT(At(30, 15)[0], 255) << "white has taken in the black from beside the press point";
    PointerUp(ws, 30, 15);
    EXPECT_EQ(At(11, 4)[0], 0);
    EXPECT_EQ(At(30, 4)[0], 255);
    EXPECT_EQ(LastStep(), "Copy Brush");
}

TEST_F(PaintTest, HistoryBrushRevealsTheSourceAtItsOwnBoxOptions) {
    Use(ToolLighten);
    Opt(kBrushBox, "size", 2);
    Fill(100, 0);
    Click(5, 5); // the image now has a history step
    Use(ToolHistoryBrush);
    // The Undo History dialog's choice, as it leaves it.
    ws.StrokeBase.Bitmap = Uniform(40, 30, 0, 99);
    Opt("TForm38", "size", 6);
    Opt("TForm38", "Occ", 50);
    Opt(kBrushBox, "size", 64); // not the history brush's box
    Fill(255, 3);
    Click(20, 15);
    EXPECT_EQ(At(20, 15)[0], 127); // 0 x 50 div 100 + 255 x 50 div 100
    EXPECT_EQ(At(20, 15)[3], 3) << "the fourth byte is kept";
    EXPECT_EQ(At(20, 19)[0], 255) << "radius 3 from the history box";
    EXPECT_EQ(Px(ws.StrokeBase.Bitmap, 20, 15)[0], 0) << "the press keeps the chosen source";
    EXPECT_EQ(LastStep(), "History Brush");
}

// Choosing a source and painting from it adds one step on top: every
// stored state, the original included, stays as it was.
TEST_F(HistoryBrushTest, HistoryBrushStrokeIsANewStepAndKeepsEveryEarlierOne) {
    LightenTwice(64, {5, 5}, {9, 9});
    const Bitmap edited = S().Bitmap;
    ASSERT_EQ(S().HistoryPos, 2);
    ASSERT_TRUE(LoadHistoryBrushSource(ws, 0)); // "Original Image"
    EXPECT_EQ(S().HistoryPos, 2) << "choosing a source moves nothing";
    EXPECT_TRUE(SamePixels(ws.StrokeBase.Bitmap, original));
    Use(ToolHistoryBrush);
    Opt("TForm38", "size", 4);
    Opt("TForm38", "Occ", 100);
    Click(20, 15);
    EXPECT_EQ(S().HistoryPos, 3);
    EXPECT_EQ(S().HistoryCount, 3);
    EXPECT_EQ(LastStep(), "History Brush");
    EXPECT_EQ(HistoryName(S(), 1), "Original Image");
    EXPECT_EQ(HistoryName(S(), 3), "Lighten Brush");
    Bitmap first;
    ReadStoredStep(ws, slot, 1, first);
    EXPECT_TRUE(SamePixels(first, original)) << "the original snapshot is untouched";
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, edited)) << "one undo takes the stroke away";
    ASSERT_TRUE(UndoStep(ws));
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
}

// Once an edit is done the stroke's base and overlay are given back; the
// history brush then paints from the image as that stroke's press found it,
// as it did while they were kept. A source put there since stays.
TEST_F(HistoryBrushTest, RestGivesBackTheStrokeScratchAndTheHistoryBrushStillFindsItsSource) {
    LightenTwice(6, {5, 5}, {20, 15});
    const uint8_t first = At(5, 5)[0];
    ASSERT_NE(first, 120);
    ASSERT_NE(At(20, 15)[0], 120);
    RestTools(ws);
    EXPECT_TRUE(ws.StrokeBase.Bitmap.Empty());
    EXPECT_TRUE(ws.StrokeOverlay.Bitmap.Empty());
    TabChange(ws); // back to the same page: only sized afresh
    Use(ToolHistoryBrush);
    Opt("TForm38", "size", 4);
    Opt("TForm38", "Occ", 100);
    Click(20, 15);
    EXPECT_EQ(At(20, 15)[0], 120) << "the image as the second stroke's press found it";
    Click(5, 5);
    EXPECT_EQ(At(5, 5)[0], first) << "with the first stroke in it";

    // The Undo History dialog's choice is not a stroke's scratch: it stays.
    Use(ToolLighten);
    Click(30, 5);
    ASSERT_TRUE(LoadHistoryBrushSource(ws, 0));
    RestTools(ws);
    EXPECT_TRUE(SamePixels(ws.StrokeBase.Bitmap, original));
}

// A source chosen after the scratch was given back stays even when every
// byte of it is 0 (an opaque black image), which is also what a tab change
// leaves in a base it sizes afresh.
TEST_F(HistoryBrushTest, ABlackSourceChosenAfterRestStays) {
    Fill(0, 0);
    Use(ToolLighten);
    Opt(kBrushBox, "size", 6);
    Click(5, 5);
    Click(20, 15);
    ASSERT_NE(At(5, 5)[0], 0);
    RestTools(ws);
    ASSERT_TRUE(LoadHistoryBrushSource(ws, 0)); // the black original
    Use(ToolHistoryBrush);
    Opt("TForm38", "size", 4);
    Opt("TForm38", "Occ", 100);
    Click(5, 5);
    EXPECT_EQ(At(5, 5)[0], 0) << "painted from the chosen source, not the state the last stroke found";
}

TEST_F(PaintTest, EffectBrushCopiesTheColoursOfTheEffectSource) {
    ws.EffectBrushSource.Bitmap = Pattern(40, 30, 5);
    Opt(kBrushBox, "size", 6);
    Fill(255, 9);
    Use(ToolEffectBrush);
    Drag(20, 15, 22, 15);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(At(21, 16)[i], Px(ws.EffectBrushSource.Bitmap, 21, 16)[i]);
    EXPECT_EQ(At(21, 16)[3], 9);
    EXPECT_EQ(At(20, 19)[0], 255);
    EXPECT_EQ(LastStep(), "Effect Brush");
}

TEST_F(PaintTest, CustomBrushSkipsPureWhiteAndLeavesTheLastRowAndColumnOfAnEvenBrush) {
    Bitmap brush = Uniform(4, 4, 255);
    Put(brush, 1, 0, 254, 255, 255, 0); // (255, 255, 254) is a colour
    Put(brush, 1, 1, 10, 20, 30, 0);
    for (int i = 0; i < 4; ++i) {
        Put(brush, 3, i, 0, 0, 0, 0); // never used
        Put(brush, i, 3, 0, 0, 0, 0);
    }
    ws.CustomBrushBitmap.Bitmap = brush;
    Opt("TForm40", "Occ", 100);
    Fill(100, 0);
    Use(ToolCustomBrush);
    Click(10, 10); // columns and rows 9..11
    EXPECT_EQ(At(9, 9)[0], 100) << "pure white is see-through";
    EXPECT_EQ(At(10, 9)[0], 254);
    EXPECT_EQ(At(10, 10)[2], 30);
    EXPECT_EQ(At(12, 10)[0], 100);
    EXPECT_EQ(At(10, 12)[0], 100);
    EXPECT_EQ(LastStep(), "Custom Brush");
}

TEST_F(PaintTest, EraserPaintsTheCanvasColourAndIgnoresTheSelection) {
    S().CanvasColour = RGBColour(0, 200, 0);
    Fill(50, 80);
    SelectAndUse(0, 0, 20, 30, false, ToolEraser); // the left half excluded
    Opt("TForm43", "ET", 0);
    Opt("TForm43", "Size", 10);
    Click(35, 5);
    // The square from the pointer, clipped at the right edge.
    EXPECT_EQ(At(35, 5)[1], 200);
    EXPECT_EQ(At(39, 14)[1], 200);
    EXPECT_EQ(At(39, 14)[3], 0);
    EXPECT_EQ(At(34, 5)[1], 50);
    EXPECT_EQ(At(35, 15)[1], 50);
    EXPECT_EQ(LastStep(), "Erase");

    Opt("TForm43", "ET", 1);
    Click(5, 5);
    EXPECT_EQ(At(10, 10)[1], 200) << "the ellipse's middle, in the excluded part";
    EXPECT_EQ(At(5, 5)[1], 50) << "the box's corner";

    // The flood fill works at the press alone.
    Fill(50, 80);
    Opt("TForm43", "ET", 2);
    PointerDown(ws, 5, 5, 0);
    const Bitmap filled = S().Bitmap;
    EXPECT_FALSE(SamePixels(filled, ws.StrokeBase.Bitmap));
    Fill(50, 80);
    PointerMove(ws, 6, 6);
    PointerUp(ws, 6, 6);
    EXPECT_EQ(At(6, 6)[1], 50);
}

TEST_F(PaintTest, ApplyAndExcludeConfineTheStampBrushesToTheLastPixel) {
    // A disc of 64 at (15, 15) covers the whole 40 x 30 image: exactly the
    // pixels of the selection (10, 10)-(20, 20) lighten with A, exactly the
    // others with E, edges included.
    Opt(kBrushBox, "size", 64);
    for (bool apply : {true, false}) {
        Fill(100, 0);
        SelectAndUse(10, 10, 20, 20, apply, ToolLighten);
        Click(15, 15);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool selected = x >= 10 && x < 20 && y >= 10 && y < 20;
                const int want = selected == apply ? 101 : 100;
                ASSERT_TRUE(At(x, y)[0] == want && At(x, y)[1] == want && At(x, y)[2] == want)
                    << (apply ? "A" : "E") << " at " << x << "," << y << ": " << int(At(x, y)[0]);
            }
        SetSelectOption(apply ? "A" : "E", 0);
    }
}

// ---- the pen -----------------------------------------------------------------

struct PenToolTest : PaintTest {
    void SetUp() override {
        PaintTest::SetUp();
        Opt("TForm3", "Size", 1);
        Opt("TForm3", "Occ", 100);
        Opt("TForm3", "CT", 1);
        SetFGColour(S(), RGBColour(0, 0, 0));
        Use(ToolPen);
    }
};

TEST_F(PenToolTest, AClickLeavesADotAtTheOccupancyWhenReleased) {
    // Each colour byte becomes Occ x colour div 100 + base x (100 - Occ) div
    // 100, the two quotients truncated apart.
    auto blend = [](int colour, int base, int occ) { return occ * colour / 100 + base * (100 - occ) / 100; };
    const uint8_t base[4] = {250, 100, 3, 60}; // B, G, R, T
    for (int x = 0; x < width; ++x)
        std::memcpy(At(x, 7), base, 4);
    port.RefreshView();
    SetFGColour(S(), RGBColour(201, 77, 13));
    for (const int occ : {37, 100}) {
        Opt("TForm3", "Occ", occ);
        const int x = occ == 100 ? 20 : 7;
        PointerDown(ws, x, 7, 0);
        EXPECT_EQ(At(x, 7)[2], 3) << "the image waits for the release";
        EXPECT_EQ(Px(ws.DisplayCopy, x, 7)[2], 201) << "the view shows the dot";
        PointerUp(ws, x, 7);
        EXPECT_EQ(At(x, 7)[0], blend(13, 250, occ)) << occ;
        EXPECT_EQ(At(x, 7)[1], blend(77, 100, occ)) << occ;
        EXPECT_EQ(At(x, 7)[2], blend(201, 3, occ)) << occ;
        EXPECT_EQ(At(x, 7)[3], 0) << "Change Transparency";
        EXPECT_EQ(std::memcmp(At(x - 1, 7), base, 4), 0);
    }
    Opt("TForm3", "CT", 0);
    Click(9, 7);
    EXPECT_EQ(At(9, 7)[3], 60);
}

TEST_F(PenToolTest, SofteningPullsTheStrokesNeighbours) {
    Opt("TForm3", "Anti", 1);
    Opt("TForm3", "AP", 100);
    PointerDown(ws, 5, 10, 0);
    PointerMove(ws, 30, 10);
    PointerUp(ws, 30, 10);
    EXPECT_EQ(At(15, 10)[0], 0);
    EXPECT_EQ(At(15, 9)[0], 85); // 0 + 255 x 50 / 150
    EXPECT_EQ(At(15, 11)[0], 85);
    EXPECT_EQ(At(15, 12)[0], 255);
}

// A stroke whose box is 100 wide on a 200-wide image: radius 32 at size 64.
struct GradientTest : PaintTest {
    void SetUp() override {
        PaintTest::SetUp();
        S().Bitmap = Uniform(200, 200, 255);
        port.RefreshView();
        SetFGColour(S(), RGBColour(255, 0, 0));
        SetBGColour(S(), RGBColour(0, 0, 255));
        for (auto [control, value] : {std::pair{"Size", 1}, {"Occ", 100}, {"UG", 1}, {"Clear", 1}})
            Opt("TForm21", control, value);
        for (auto [control, value] : {std::pair{"GradientKind", 1},
                                      {"size", 64},
                                      {"sedLeft", 50},
                                      {"sedTop", 50},
                                      {"depth", 128},
                                      {"TFG", 0},
                                      {"TBG", 0}})
            Opt("TForm41", control, value);
        Use(ToolRectangle);
    }
    // The rectangle's outline: columns 50..150, rows 10..89; centre row 49.
    void Stroke() { Drag(50, 10, 151, 90); }
};

TEST_F(GradientTest, HorizontalBandCoversTheRowsWithinTheRadius) {
    Stroke();
    // Rows 49 - 32 .. 49 + 32 of the outline take the gradient: at the rim
    // the background colour, at the centre a quarter of the way to the
    // foreground.
    EXPECT_EQ(At(50, 17)[0], 255);
    EXPECT_EQ(At(50, 17)[2], 0);
    EXPECT_EQ(At(50, 81)[0], 255);
    EXPECT_EQ(At(50, 16)[2], 255) << "outside the band";
    EXPECT_EQ(At(50, 82)[2], 255);
    EXPECT_EQ(At(50, 49)[0], 191); // (96 x 255 + 32 x 0) div 128
    EXPECT_EQ(At(50, 49)[2], 63);  // (96 x 0 + 32 x 255) div 128
    EXPECT_EQ(At(100, 49)[1], 255) << "the unfilled interior is no mark";
}

TEST_F(GradientTest, ADepthBelowTheRadiusOvershootsAndClamps) {
    Opt("TForm41", "depth", 16);
    Stroke();
    EXPECT_EQ(At(50, 49)[0], 0);   // (-16 x 255) div 16, clamped
    EXPECT_EQ(At(50, 49)[2], 255); // 32 x 255 div 16, clamped
    EXPECT_EQ(At(50, 29)[0], 63);  // w = 12: 4 x 255 div 16
    EXPECT_EQ(At(50, 29)[2], 191); // 12 x 255 div 16
}

// ---- the transparency tool ----------------------------------------------------

struct TransparencyTest : PaintTest {
    void SetUp() override {
        PaintTest::SetUp();
        Fill(90, 20);
        Opt("TForm44", "Size", 3);
        Opt("TForm44", "SR", 10);
        Opt("TForm44", "TD", 100);
        Use(ToolTransparency);
    }
    void Mode(int m) { Opt("TForm44", "T", m); }
};

TEST_F(TransparencyTest, PenChangesTheFourthByteOncePerStroke) {
    Mode(0);
    PointerDown(ws, 10, 10, 0);
    PointerMove(ws, 25, 10);
    PointerMove(ws, 25, 20);
    PointerMove(ws, 15, 5); // crosses the first segment near (17, 10)
    EXPECT_EQ(At(12, 10)[0], 255 - 90) << "the preview inverts the image";
    PointerUp(ws, 15, 5);
    EXPECT_EQ(At(12, 10)[3], 120);
    EXPECT_EQ(At(18, 10)[3], 120) << "a pixel crossed twice changes once";
    EXPECT_EQ(At(12, 10)[0], 90) << "colours are never changed";
    EXPECT_EQ(At(12, 14)[3], 20);
    EXPECT_EQ(LastStep(), "Transparency Tool");

    Opt("TForm44", "FV", 1);
    Drag(5, 25, 30, 25);
    EXPECT_EQ(At(12, 25)[3], 100) << "Force Value";
    Opt("TForm44", "FV", 0);
    Opt("TForm44", "TD", -50);
    Drag(5, 25, 30, 25);
    EXPECT_EQ(At(12, 25)[3], 50);
}

TEST_F(TransparencyTest, ShapesPreviewOnTheImageAndMarkTheirFinalFigure) {
    Mode(2); // "Rectangle"
    PointerDown(ws, 5, 5, 0);
    PointerMove(ws, 30, 25);
    PointerMove(ws, 15, 15);
    EXPECT_EQ(At(20, 5)[0], 90) << "the previous preview is taken away";
    EXPECT_EQ(At(10, 5)[0], 255 - 90);
    PointerUp(ws, 15, 15);
    EXPECT_EQ(At(10, 5)[0], 90);
    EXPECT_EQ(At(10, 5)[3], 120);
    EXPECT_EQ(At(10, 10)[3], 120) << "the final figure is filled";
    EXPECT_EQ(At(20, 10)[3], 20);
}

TEST_F(TransparencyTest, SprayKeepsItsFourthBytesInTheOverlayWithinTheSelection) {
    Mode(4);
    SelectAndUse(0, 0, 20, 30, true, ToolTransparency);
    PointerDown(ws, 20, 15, 0);
    // r = 5, d = 0: g = 123, colours 90 x 123 div 128 on the image as a preview.
    EXPECT_EQ(At(19, 15)[0], 90 * 124 / 128);
    EXPECT_EQ(At(21, 15)[0], 90) << "outside the selection";
    PointerUp(ws, 20, 15);
    EXPECT_EQ(At(19, 15)[0], 90);
    EXPECT_EQ(At(19, 15)[3], (20 * 124 + 100 * 4) / 128);
    EXPECT_EQ(At(21, 15)[3], 20);
    EXPECT_EQ(At(5, 5)[3], 20);
}

// Along a stroke every pixel keeps the strongest change a stamp gave it, not
// the weak rim of the last stamp that passed over it.
TEST_F(TransparencyTest, SprayStrokeKeepsTheStrongestChangeAlongItsPath) {
    Mode(4);
    PointerDown(ws, 5, 15, 0);
    PointerMove(ws, 30, 15);
    PointerUp(ws, 30, 15);
    // r = 5: the stamp centred on (15, 15) gives (20 x 123 + 100 x 5) div 128;
    // the last one over it, centred on (20, 15), only its rim's 20.
    EXPECT_EQ(At(15, 15)[3], (20 * 123 + 100 * 5) / 128);
    EXPECT_EQ(At(15, 15)[0], 90) << "colours are never changed";
    EXPECT_EQ(At(15, 22)[3], 20) << "beyond the stroke";
}
