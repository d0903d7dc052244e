// The integer distance and the softening of stroke edges.
#include <gtest/gtest.h>

#include <cmath>

#include "support/pixels.h"
#include "tools/shapes/int_distance.h"
#include "tools/shapes/soften_edges.h"

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
