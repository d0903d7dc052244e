// The gradient composite: where it lies, its bands and rims, clamping and
// the masks and tests it honours.
#include <gtest/gtest.h>

#include "support/pixels.h"
#include "tools/shapes/gradient_fill.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

constexpr int32_t kBlack = 0;
constexpr int32_t kWhite = RGBColour(255, 255, 255);

// A mask whose stroke pixels fill (l, t)..(r, b), both corners included.
Bitmap StrokeBox(int w, int h, int l, int t, int r, int b) {
    return RectMask(w, h, l, t, r + 1, b + 1);
}

TGradientSettings Flat(int kind) {
    TGradientSettings g;
    g.Kind = kind;
    g.TransparentBG = false; // rim: the background colour
    g.TransparentFG = false; // centre: the foreground colour
    return g;
}

} // namespace

TEST(GradientFill, PlaceFollowsTheStrokeBoxAndTheImageSide) {
    Bitmap mask = StrokeBox(200, 200, 50, 50, 150, 150);
    Put(mask, 190, 190, 1, 1, 1, 0); // interior marks do not widen the box
    TGradientSettings g;
    TGradientPlace p = PlaceGradient(mask, g, 2, 200, 200);
    ASSERT_FALSE(p.Empty);
    EXPECT_EQ(p.CentreX, 100);
    EXPECT_EQ(p.CentreY, 100);
    EXPECT_EQ(p.Radius, 32); // p = 2 x 100 / 200 x 100, Z = 64
    g.LeftPercent = 0;
    g.TopPercent = 99;
    p = PlaceGradient(mask, g, 1, 200, 200);
    EXPECT_EQ(p.CentreX, 50);
    EXPECT_EQ(p.CentreY, 149);
    EXPECT_EQ(p.Radius, 16);
    // A wide box is measured against the width: E = 100, N = 400.
    p = PlaceGradient(StrokeBox(400, 50, 0, 10, 100, 20), TGradientSettings(), 2, 400, 50);
    EXPECT_EQ(p.Radius, 16); // Z = Round(64 x 50 / 100) = 32
    EXPECT_TRUE(PlaceGradient(Uniform(10, 10, 255), g, 2, 10, 10).Empty);
}

TEST(GradientFill, RowBandPaintsRowsWithinTheRadiusOfTheCentre) {
    // A box 100 wide and 80 high on a 200-pixel-wide image: E = 100, N = 200,
    // p = 100, Z = 64, R = 32 around row 60.
    Bitmap image = Uniform(200, 120, 100);
    const Bitmap mask = StrokeBox(200, 120, 50, 20, 150, 100);
    GradientFill(image, mask, Flat(GradientRows), 2, kBlack, kWhite, SelectionEditTest());
    EXPECT_EQ(Px(image, 100, 27)[0], 100);
    EXPECT_EQ(Px(image, 100, 28)[0], 255); // w = 0: the rim colour
    EXPECT_EQ(Px(image, 100, 60)[0], 191); // (96 x 255 + 32 x 0) div 128
    EXPECT_EQ(Px(image, 150, 92)[0], 255);
    EXPECT_EQ(Px(image, 150, 93)[0], 100);
    EXPECT_EQ(Px(image, 40, 60)[0], 100); // not a stroke pixel
    EXPECT_EQ(Px(image, 100, 60)[3], 0);
}

TEST(GradientFill, ShallowDepthOvershootsAndClamps) {
    TGradientSettings g = Flat(GradientRadial);
    g.Depth = 2;
    Bitmap image = Uniform(200, 200, 100);
    const Bitmap mask = StrokeBox(200, 200, 50, 50, 150, 150);
    GradientFill(image, mask, g, 2, kWhite, kBlack, SelectionEditTest());
    EXPECT_EQ(Px(image, 100, 100)[0], 255); // (2 - 32) x 0 + 32 x 255, div 2, clamped
    EXPECT_EQ(Px(image, 131, 100)[0], 127); // w = 1
    EXPECT_EQ(Px(image, 132, 100)[0], 0);   // w = 0: the rim
    EXPECT_EQ(Px(image, 123, 123)[0], 0);   // IntDistance(23² + 23²) = 32
    EXPECT_EQ(Px(image, 124, 124)[0], 100); // 33: outside
    g.Kind = GradientColumns;
    g.Depth = 128;
    g.TransparentBG = true; // the rim keeps the pixel's own colour
    Bitmap cols = Uniform(200, 200, 100);
    GradientFill(cols, mask, g, 2, kWhite, kBlack, SelectionEditTest());
    EXPECT_EQ(Px(cols, 67, 60)[0], 100);
    EXPECT_EQ(Px(cols, 69, 60)[0], 101); // (127 x 100 + 255) div 128
    EXPECT_EQ(Px(cols, 100, 60)[0], (96 * 100 + 32 * 255) / 128);
}

TEST(GradientFill, InteriorMixesTowardTheBackgroundAndTheTestConfines) {
    Bitmap image = Uniform(200, 200, 100);
    Bitmap mask = StrokeBox(200, 200, 50, 50, 150, 150);
    Put(mask, 100, 100, 1, 1, 1, 0);
    Put(mask, 101, 100, 2, 2, 2, 0); // neither stroke nor interior
    const Bitmap sel = RectMask(200, 200, 0, 0, 100, 200);
    GradientFill(image, mask, Flat(GradientRows), 2, kBlack, kWhite, SelectionEditTest(sel, 0, 0, true));
    EXPECT_EQ(Px(image, 100, 100)[0], 100); // refused by the selection
    Bitmap free = Uniform(200, 200, 100);
    GradientFill(free, mask, Flat(GradientRows), 2, kBlack, kWhite, SelectionEditTest());
    EXPECT_EQ(Px(free, 100, 100)[0], (96 * 100 + 32 * 255) / 128);
    EXPECT_EQ(Px(free, 101, 100)[0], 100);
    EXPECT_EQ(Px(image, 99, 100)[0], 191);
}

TEST(GradientFill, BoxPreviewsUseScaleOneOverTheWholeSquare) {
    TGradientSettings g = Flat(GradientRadial);
    const Bitmap p = GradientPreview(g, GradientRows, kBlack, RGBColour(200, 0, 0));
    // E = 99 of 100: Z = Round(63.36) = 63, R = 31 around row 49.
    EXPECT_EQ(Px(p, 0, 17)[2], 200);
    EXPECT_EQ(Px(p, 0, 19)[2], 198);  // w = 1
    EXPECT_EQ(Px(p, 99, 49)[2], 151); // 97 x 200 div 128
    EXPECT_EQ(Px(p, 0, 79)[2], 198);
    EXPECT_EQ(Px(p, 0, 81)[2], 200);
}
