// Magic wand: region marks, the selection mask with its origin, the outline.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "tools/magic_wand.h"
#include "support/pixels.h"

using namespace pixora;
using namespace pixora::testing;

namespace tooltest {
// The plain search of the fill tests.
std::vector<uint8_t> ReferenceRegion(const Bitmap& b, int sx, int sy, int limit, int32_t ref);
} // namespace tooltest

namespace {

bool Black(const Bitmap& mask, int x, int y) {
    const uint8_t* p = mask.Row(y) + 4 * x;
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
}

bool White(const Bitmap& mask, int x, int y) {
    const uint8_t* p = mask.Row(y) + 4 * x;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

struct WandFixture : ::testing::Test {
    TWorkBitmap mask;
    TToolVars vars;
    TRegionGrid grid;
    void SetUp() override {
        mask.Bitmap = Bitmap(3, 3, 32);
        mask.Refill();
        vars.MaskLeft = 17;
        vars.MaskTop = -4;
    }
};

} // namespace

TEST(WandRegion, MarksWhatAPlainSearchFinds) {
    std::mt19937 rng(3);
    Bitmap b(31, 22, 32);
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 31; ++x) {
            const int v = (rng() % 3) * 40;
            SetPixel(b, x, y, 100 + v, 90 + v / 2, 80, int(rng() % 256));
        }
    for (int t : {0, 10, 27, 100})
        for (auto [sx, sy] : {std::pair{0, 0}, {15, 11}, {30, 21}}) {
            TRegionGrid grid;
            WandRegion(b, sx, sy, grid, t / 100.0, ColourAt(b, sx, sy));
            ASSERT_EQ(grid.Width(), 36);
            ASSERT_EQ(grid.Height(), 27);
            const auto want =
                tooltest::ReferenceRegion(b, sx, sy, ToleranceLimit(t / 100.0), ColourAt(b, sx, sy));
            std::size_t n = 0;
            for (int y = 0; y < 22; ++y)
                for (int x = 0; x < 31; ++x) {
                    ASSERT_EQ(grid.Marked(x, y), want[y * 31 + x] != 0) << t << ": " << x << "," << y;
                    n += want[y * 31 + x];
                }
            EXPECT_EQ(grid.CountMarked(), n);
        }
    // The image is not touched.
    Bitmap copy = b;
    TRegionGrid grid;
    WandRegion(copy, 4, 4, grid, 1.0, ColourAt(b, 4, 4));
    EXPECT_EQ(std::memcmp(copy.Data(), b.Data(), b.ByteSize()), 0);
}

TEST_F(WandFixture, MaskCoversTheImageAndLeavesItsFrameWhite) {
    Bitmap view(7, 5, 32);
    view.Fill(40, 50, 60, 200);
    SetPixel(view, 6, 2, 0, 0, 0); // a different colour on the right edge
    EXPECT_TRUE(WandSelectionMask(view, 3, 2, 0, mask, vars, grid));
    EXPECT_EQ(vars.MaskLeft, 0);
    EXPECT_EQ(vars.MaskTop, 0);
    ASSERT_EQ(mask.Bitmap.Width(), 7);
    ASSERT_EQ(mask.Bitmap.Height(), 5);
    ASSERT_EQ(mask.Bitmap.BitsPerPixel(), 32);
    ASSERT_EQ(mask.Rows.Count(), 5);
    EXPECT_EQ(mask.Rows[4], mask.Bitmap.Row(4));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool frame = x == 0 || y == 0 || x == 6 || y == 4;
            if (frame)
                EXPECT_TRUE(White(mask.Bitmap, x, y)) << x << "," << y;
            else
                EXPECT_TRUE(Black(mask.Bitmap, x, y)) << x << "," << y;
            // The grid itself does include the frame, except the odd pixel.
            EXPECT_EQ(grid.Marked(x, y), !(x == 6 && y == 2)) << x << "," << y;
        }
}

TEST_F(WandFixture, IsolatedPixelOrOutsidePressSelectsNothing) {
    Bitmap view(5, 5, 32);
    view.Fill(200, 200, 200);
    SetPixel(view, 2, 2, 10, 10, 10);
    EXPECT_FALSE(WandSelectionMask(view, 2, 2, 50, mask, vars, grid));
    EXPECT_EQ(grid.CountMarked(), 0u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_TRUE(White(mask.Bitmap, x, y));
    EXPECT_EQ(vars.MaskLeft, 0);
    // Within the tolerance (50 % = 75 per channel) of a neighbour it is taken in.
    SetPixel(view, 2, 1, 85, 85, 85);
    EXPECT_TRUE(WandSelectionMask(view, 2, 2, 50, mask, vars, grid));
    EXPECT_TRUE(Black(mask.Bitmap, 2, 2));
    EXPECT_TRUE(Black(mask.Bitmap, 2, 1));
    EXPECT_TRUE(White(mask.Bitmap, 1, 2));
    // Only the frame qualifies: nothing black.
    Bitmap ring(5, 5, 32);
    ring.Fill(0, 0, 0);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            SetPixel(ring, x, y, 255, 255, 255);
    EXPECT_FALSE(WandSelectionMask(ring, 0, 0, 0, mask, vars, grid));
    EXPECT_GT(grid.CountMarked(), 0u);
    EXPECT_FALSE(WandSelectionMask(view, 5, 0, 100, mask, vars, grid));
    EXPECT_FALSE(WandSelectionMask(view, 0, -1, 100, mask, vars, grid));
    EXPECT_EQ(grid.CountMarked(), 0u);
}

TEST(PaintWandMask, OutlineInvertsTheRegionEdgeOnly) {
    // A 5 x 4 block at (3, 2) plus a strip along the top edge of the image.
    Bitmap view(12, 9, 32);
    view.Fill(10, 20, 30, 40);
    for (int y = 2; y < 6; ++y)
        for (int x = 3; x < 8; ++x)
            SetPixel(view, x, y, 200, 100, 50, 7);
    for (int x = 3; x < 8; ++x)
        SetPixel(view, x, 1, 200, 100, 50, 7);
    for (int x = 0; x < 12; ++x)
        SetPixel(view, x, 0, 200, 100, 50, 7);
    const Bitmap before = view;
    TRegionGrid grid;
    WandRegion(view, 5, 3, grid, 0.0, ColourAt(view, 5, 3));
    PaintWandMask(view, grid, true);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inner = x >= 1 && x <= 10 && y >= 1 && y <= 7;
            const bool inverted = inner && grid.Marked(x, y) &&
                                  !(grid.Marked(x - 1, y) && grid.Marked(x + 1, y) && grid.Marked(x, y - 1) &&
                                    grid.Marked(x, y + 1));
            const uint8_t* p = view.Row(y) + 4 * x;
            const uint8_t* q = before.Row(y) + 4 * x;
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(p[k], inverted ? uint8_t(~q[k]) : q[k]) << x << "," << y;
            ASSERT_EQ(p[3], q[3]);
        }
    // Worked out by hand: the outline is the block's two sides from the
    // strip's row down and its whole bottom row, 13 pixels.
    int flipped = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool side = (x == 3 || x == 7) && y >= 1 && y <= 4;
            const bool bottom = y == 5 && x >= 3 && x <= 7;
            const bool changed = ColourAt(view, x, y) != ColourAt(before, x, y);
            EXPECT_EQ(changed, side || bottom) << x << "," << y;
            flipped += changed;
        }
    EXPECT_EQ(flipped, 13);
    // The block's middle stays; its lower corners and the strip's ends flip.
    EXPECT_EQ(ColourAt(view, 5, 3), ColourAt(before, 5, 3));
    EXPECT_NE(ColourAt(view, 3, 5), ColourAt(before, 3, 5));
    EXPECT_NE(ColourAt(view, 3, 1), ColourAt(before, 3, 1));
    EXPECT_EQ(ColourAt(view, 4, 1), ColourAt(before, 4, 1));
    // The top row is part of the region but never painted.
    EXPECT_EQ(ColourAt(view, 5, 0), ColourAt(before, 5, 0));
}
