// The integer distance and the softening of stroke edges.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "doc/row_ranges.h"
#include "support/pixels.h"
#include "tools/shapes/int_distance.h"
#include "tools/shapes/soften_edges.h"
#include "tools/shapes/soften_edges_bands.h"

using namespace pixora;
using namespace pixora::testing;

TEST(IntDistance, IsTheFloorRootExceptOneBelowSomeSquares) {
    EXPECT_EQ(IntDistance(3), 2);
    EXPECT_EQ(IntDistance(24), 5);
    EXPECT_EQ(IntDistance(35), 6);
    EXPECT_EQ(IntDistance(0), 0);
    EXPECT_EQ(IntDistance(2), 1);
    // Past the looked-up range the steps run; within it the table must say
    // what they say.
    for (int64_t s = 0; s < kIntDistanceTableSize + 5000; ++s) {
        const int64_t root = static_cast<int64_t>(std::sqrt(static_cast<double>(s)));
        const int d = IntDistance(s);
        ASSERT_EQ(d, IntDistanceSteps(s)) << s;
        const bool belowSquare = (root + 1) * (root + 1) == s + 1;
        ASSERT_TRUE(d == root || (belowSquare && d == root + 1)) << s;
    }
}

namespace {

// White image, white overlay, and stroke pixels of the given grey.
struct Stroke {
    Bitmap image, overlay;
    Stroke(int w, int h) : image(Uniform(w, h, 255)), overlay(Uniform(w, h, 255)) {}
    void Mark(int x, int y, uint8_t v) {
        Put(image, x, y, v, v, v, 0);
        Put(overlay, x, y, 0, 0, 0, 0);
    }
};

} // namespace

TEST(SoftenStrokeEdges, PullsTheFourNeighboursRoundingHalvesToEven) {
    Stroke s(5, 4);
    s.Mark(2, 1, 0);
    const Bitmap before = s.image;
    SoftenStrokeEdges(s.image, s.overlay, 10);
    // 0 + (255 - 0) x 50 / 60 = 212.5 -> 212.
    for (auto [x, y] : {std::pair{1, 1}, {3, 1}, {2, 0}, {2, 2}}) {
        EXPECT_EQ(Px(s.image, x, y)[0], 212) << x << "," << y;
        EXPECT_EQ(Px(s.image, x, y)[3], 0);
    }
    EXPECT_EQ(ChangedPixels(before, s.image), 4);
}

TEST(SoftenStrokeEdges, WrapsAroundTheEdgesAndSkipsColumnZero) {
    Stroke s(4, 3);
    s.Mark(3, 0, 0);
    SoftenStrokeEdges(s.image, s.overlay, 10);
    EXPECT_EQ(Px(s.image, 0, 0)[0], 212); // right of the last column
    EXPECT_EQ(Px(s.image, 3, 2)[0], 212); // above the first row
    EXPECT_EQ(Px(s.image, 2, 0)[0], 212);
    EXPECT_EQ(Px(s.image, 3, 1)[0], 212);

    Stroke first(4, 3);
    first.Mark(0, 1, 0);
    const Bitmap before = first.image;
    SoftenStrokeEdges(first.image, first.overlay, 10);
    EXPECT_EQ(ChangedPixels(before, first.image), 0);
}

TEST(SoftenStrokeEdges, WorksInPlaceAndPullsTheFourthByteToo) {
    Stroke s(6, 3);
    s.Mark(1, 1, 0);
    s.Mark(2, 1, 100);
    SoftenStrokeEdges(s.image, s.overlay, 10);
    // (2, 1) is pulled to 83 first, then pulls (1, 1) from there:
    // 83 - 83 x 50 / 60 = 13.83 -> 14 (from the old 100 it would be 17).
    EXPECT_EQ(Px(s.image, 2, 1)[0], 83);
    EXPECT_EQ(Px(s.image, 1, 1)[0], 14);
    EXPECT_EQ(Px(s.image, 3, 1)[0], 226);

    Stroke t(4, 3);
    t.Mark(1, 1, 255);
    Put(t.image, 2, 1, 255, 255, 255, 200); // differs in the fourth byte only
    SoftenStrokeEdges(t.image, t.overlay, 50);
    EXPECT_EQ(Px(t.image, 2, 1)[3], 100); // 0 + 200 x 50 / 100
    EXPECT_EQ(Px(t.image, 0, 1)[3], 0);   // equal neighbours stay
}

namespace {

// A busy image (runs of smooth bytes broken by random ones) and an overlay
// marking about `percent` of the pixels with random stroke values.
Stroke RandomStroke(int w, int h, int percent, std::mt19937& rng) {
    Stroke s(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = s.image.Row(y);
        uint8_t* o = s.overlay.Row(y);
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c)
                p[x * 4 + c] = rng() % 3 == 0 ? static_cast<uint8_t>(rng())
                                              : static_cast<uint8_t>(x * 3 + y * 5 + c * 40);
            o[x * 4] = static_cast<int>(rng() % 100) < percent ? static_cast<uint8_t>(rng() % 255) : 255;
        }
    }
    return s;
}

} // namespace

TEST(SoftenStrokeEdges, EightRowsAtOnceGiveTheBytesOfThePixelOrder) {
    std::mt19937 rng(7);
    // Sizes with whole and part bands, strokes touching every edge (the
    // wrap-around) at the higher densities.
    const std::pair<int, int> sizes[] = {{16, 16}, {17, 23},  {23, 17}, {24, 24},
                                         {40, 33}, {257, 19}, {33, 64}};
    int worked = 0;
    for (auto [w, h] : sizes)
        for (int percent : {0, 3, 50, 97, 100})
            for (int a : {0, 1, 10, 37, 100}) {
                const Stroke s = RandomStroke(w, h, percent, rng);
                Bitmap inOrder = s.image, bands = s.image;
                SoftenStrokeEdgesInOrder(inOrder, s.overlay, a);
                if (!SoftenStrokeEdgesBands(bands, s.overlay, a)) continue;
                ++worked;
                ASSERT_TRUE(SameImage(bands, inOrder)) << w << "x" << h << " " << percent << "% a=" << a;
            }
    if (worked == 0) GTEST_SKIP() << "no AVX2 here: the pixel order is the only one";
    // Strokes far apart, so that a band works only the columns around them:
    // thin diagonals, a dot on the last column and one on the first row.
    for (int a : {10, 37, 90}) {
        Stroke s = RandomStroke(300, 50, 0, rng);
        for (int y = 0; y < 50; ++y)
            for (int x : {y, 140 + y / 3, 299 - y})
                s.overlay.Row(y)[x * 4] = 0;
        s.overlay.Row(0)[220 * 4] = 0;
        s.overlay.Row(49)[100 * 4] = 7;
        Bitmap inOrder = s.image, bands = s.image;
        SoftenStrokeEdgesInOrder(inOrder, s.overlay, a);
        ASSERT_TRUE(SoftenStrokeEdgesBands(bands, s.overlay, a));
        EXPECT_TRUE(SameImage(bands, inOrder)) << "a=" << a;
    }
    // Stroke pixels on one row with every gap from 1 to 80 columns between
    // them, so that the column runs a band works are split and joined at
    // every distance; bands of one, two and four vectors of rows (long runs
    // at 70 rows), each with a part band at the foot; the bands one after
    // another and on two threads, each band waiting for the one above; at
    // 100 rows every pixel a stroke pixel but for a few holes, so that
    // blocks of columns go from solid to holed and back.
    for (int h : {16, 17, 40, 70, 100}) {
        Stroke s = RandomStroke(h >= 70 ? 1001 : 4001, h, h == 70 ? 60 : h == 100 ? 100 : 0, rng);
        if (h == 100)
            for (int y = 40; y < 46; ++y) {
                s.overlay.Row(y)[37 * 4] = 255;
                s.overlay.Row(y + 30)[(500 + y) * 4] = 255;
            }
        for (int x = 1, gap = 1; x < s.image.Width() && gap <= 80; x += gap + 1, ++gap) {
            s.overlay.Row(h / 2)[x * 4] = 0;
            s.overlay.Row(h - 1 - gap % 3)[x * 4] = 3;
        }
        for (int a : {10, 91}) {
            Bitmap inOrder = s.image;
            SoftenStrokeEdgesInOrder(inOrder, s.overlay, a);
            for (int threads : {1, 2}) {
                const TRowBandsOverride split(threads);
                Bitmap bands = s.image;
                ASSERT_TRUE(SoftenStrokeEdgesBands(bands, s.overlay, a));
                EXPECT_TRUE(SameImage(bands, inOrder)) << "h=" << h << " a=" << a << " threads=" << threads;
            }
        }
    }
    // Where the bands do not apply, the pixel order is taken.
    Stroke small = RandomStroke(15, 40, 50, rng);
    EXPECT_FALSE(SoftenStrokeEdgesBands(small.image, small.overlay, 10));
    Stroke strong = RandomStroke(40, 40, 50, rng);
    Bitmap expected = strong.image;
    SoftenStrokeEdgesInOrder(expected, strong.overlay, 150);
    SoftenStrokeEdges(strong.image, strong.overlay, 150);
    EXPECT_TRUE(SameImage(strong.image, expected));
}
