// The disc stamp and every stamp brush's pixel rule, and the custom brush.
#include <gtest/gtest.h>

#include "support/pixels.h"
#include "tools/brushes/copy_brush_rule.h"
#include "tools/brushes/custom_brush_rule.h"
#include "tools/brushes/lighten_darken_rule.h"
#include "tools/brushes/noise_rule.h"
#include "tools/brushes/sharpen_rule.h"
#include "tools/brushes/soften_rule.h"
#include "tools/brushes/source_brush_rule.h"
#include "tools/brushes/spray_rule.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

const SelectionEditTest kAll;

Bitmap Ramp(int w, int h) {
    Bitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Put(b, x, y, static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 8),
                static_cast<uint8_t>(x + y), static_cast<uint8_t>(x * y));
    return b;
}

} // namespace

TEST(DiscStamp, RadiusIsHalfTheDiameterAndClipsToTheImage) {
    for (int d : {2, 3}) {
        Bitmap b = Uniform(10, 10, 100);
        const Bitmap before = b;
        LightenStamp(b, {5, 5, d}, false, kAll);
        EXPECT_EQ(ChangedPixels(before, b), 9) << d; // corners: s = 2, distance 1
        EXPECT_EQ(Px(b, 4, 4)[0], 101);
        EXPECT_EQ(Px(b, 4, 4)[3], 0);
    }
    Bitmap one = Uniform(10, 10, 100), before = one;
    LightenStamp(one, {5, 5, 1}, false, kAll);
    EXPECT_EQ(ChangedPixels(before, one), 1);
    // The integer distance of offset (12, 12) is 17, although its root is
    // below 17: a radius-16 disc leaves it out; (11, 12) is in.
    Bitmap ring = Uniform(40, 40, 100);
    LightenStamp(ring, {20, 20, 32}, false, kAll);
    EXPECT_EQ(Px(ring, 32, 32)[0], 100);
    EXPECT_EQ(Px(ring, 31, 32)[0], 101);
    EXPECT_EQ(Px(ring, 20, 36)[0], 101);
    Bitmap corner = Uniform(10, 10, 100);
    LightenStamp(corner, {0, 0, 64}, true, kAll);
    EXPECT_EQ(Px(corner, 9, 9)[0], 101);
    EXPECT_EQ(Px(corner, 0, 0)[3], 1);
}

TEST(DiscStamp, SelectionConfinesOrExcludes) {
    const Bitmap mask = RectMask(20, 20, 0, 0, 10, 20);
    for (bool apply : {true, false}) {
        Bitmap b = Uniform(20, 20, 100);
        LightenStamp(b, {10, 10, 10}, false, SelectionEditTest(mask, 0, 0, apply));
        EXPECT_EQ(Px(b, 9, 10)[0], apply ? 101 : 100);
        EXPECT_EQ(Px(b, 10, 10)[0], apply ? 100 : 101);
    }
}

TEST(SoftenSharpen, KernelsWorkInPlaceAndKeepTheBorder) {
    Bitmap flat = Uniform(80, 80, 77, 50);
    const Bitmap before = flat;
    SoftenStamp(flat, {40, 40, 64}, true, kAll);
    EXPECT_EQ(ChangedPixels(before, flat), 0);

    // (3, 4) is softened to 58 before (4, 4) reads it: 1 + 116 x 0 + 3 gives
    // 0; reading the old 65 would give (130 + 3) div 128 = 1.
    Bitmap dot = Uniform(9, 9, 0);
    Put(dot, 3, 4, 65, 65, 65, 0);
    SoftenStamp(dot, {4, 4, 2}, false, kAll);
    EXPECT_EQ(Px(dot, 3, 3)[0], 1);
    EXPECT_EQ(Px(dot, 3, 4)[0], 58);
    EXPECT_EQ(Px(dot, 4, 4)[0], 0);

    Bitmap hole = Uniform(9, 9, 255);
    Put(hole, 4, 4, 0, 0, 0, 0);
    SharpenStamp(hole, {4, 4, 1}, false, kAll); // (-1020 + 3) div 128 = -7 -> 0
    EXPECT_EQ(Px(hole, 4, 4)[0], 0);

    Bitmap edge = Uniform(12, 12, 200);
    Put(edge, 1, 1, 100, 100, 100, 100);
    const Bitmap edgeBefore = edge;
    SharpenStamp(edge, {0, 0, 8}, true, kAll);
    EXPECT_EQ(Px(edge, 1, 1)[0], 96);  // (13200 - 800 + 3) div 128
    EXPECT_EQ(Px(edge, 1, 1)[3], 103); // the same kernel on the fourth byte
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(SamePixel(edge, edgeBefore, i, 0));
        EXPECT_TRUE(SamePixel(edge, edgeBefore, 0, i));
    }
}

TEST(Spray, BlendsTowardTheColourByDistanceAndClamps) {
    Bitmap b = Uniform(65, 65, 255, 200);
    SprayStamp(b, {32, 32, 64}, {128, true}, RGBColour(0, 0, 0), kAll);
    EXPECT_EQ(Px(b, 32, 32)[0], 191); // a quarter of the way: 255 x 96 div 128
    EXPECT_EQ(Px(b, 32, 32)[3], 150);
    EXPECT_EQ(Px(b, 64, 32)[0], 255); // the rim: w = 0
    Bitmap keep = Uniform(65, 65, 255, 200);
    SprayStamp(keep, {32, 32, 64}, {128, false}, RGBColour(0, 0, 0), kAll);
    EXPECT_EQ(Px(keep, 32, 32)[3], 200);

    Bitmap thin = Uniform(65, 65, 0);
    SprayStamp(thin, {32, 32, 64}, {16, false}, RGBColour(255, 0, 0), kAll);
    EXPECT_EQ(Px(thin, 32, 32)[2], 255); // 255 x 32 div 16, clamped
    EXPECT_EQ(Px(thin, 52, 32)[2], 191); // w = 12
    EXPECT_EQ(Px(thin, 32, 32)[0], 0);
}

TEST(Noise, DrawsRedGreenBlueThenAlphaPerPixel) {
    for (bool ct : {true, false}) {
        Bitmap b = Uniform(9, 9, 100, 100);
        TStampRandom random(7), replay(7);
        NoiseStamp(b, {4, 4, 2}, ct, random, kAll);
        for (int y = 3; y <= 5; ++y)
            for (int x = 3; x <= 5; ++x) {
                const int red = replay.Random(3) - 1, green = replay.Random(3) - 1,
                          blue = replay.Random(3) - 1;
                const int alpha = ct ? replay.Random(3) - 1 : 0;
                EXPECT_EQ(Px(b, x, y)[2], 100 + red);
                EXPECT_EQ(Px(b, x, y)[1], 100 + green);
                EXPECT_EQ(Px(b, x, y)[0], 100 + blue);
                EXPECT_EQ(Px(b, x, y)[3], 100 + alpha);
            }
    }
}

TEST(CopyBrush, BlendsFromAroundThePressPointInTheBase) {
    const Bitmap base = Ramp(30, 30);
    Bitmap b = Uniform(30, 30, 100, 100);
    CopyBrushStamp(b, base, {20, 20, 4}, {5, 5}, true, kAll);
    // r = 2, e = 8: the centre takes c = 2 of 8 from base (5, 5).
    EXPECT_EQ(Px(b, 20, 20)[0], (100 * 6 + Px(base, 5, 5)[0] * 2) / 8);
    EXPECT_EQ(Px(b, 20, 20)[3], (100 * 6 + Px(base, 5, 5)[3] * 2) / 8);
    EXPECT_EQ(Px(b, 21, 20)[1], (100 * 7 + Px(base, 6, 5)[1]) / 8);
    EXPECT_EQ(Px(b, 22, 22)[0], 100); // distance 2: c = 0

    Bitmap edge = Uniform(30, 30, 100);
    CopyBrushStamp(edge, base, {10, 10, 4}, {0, 0}, false, kAll);
    EXPECT_EQ(Px(edge, 9, 10)[0], 100); // its source (-1, 0) is outside
    EXPECT_EQ(Px(edge, 11, 10)[0], (100 * 7 + Px(base, 1, 0)[0]) / 8);
}

TEST(LightenDarken, StepByOneAndDarkenSkipsOddPositions) {
    Bitmap b = Uniform(20, 20, 3, 3);
    const Bitmap before = b;
    DarkenStamp(b, {10, 11, 4}, true, kAll);
    EXPECT_EQ(ChangedPixels(before, b), 0);
    DarkenStamp(b, {10, 10, 4}, true, kAll);
    EXPECT_EQ(ChangedPixels(before, b), 25);
    EXPECT_EQ(Px(b, 8, 8)[0], 2);
    EXPECT_EQ(Px(b, 8, 8)[3], 2);
    Bitmap low = Uniform(20, 20, 0), high = Uniform(20, 20, 255);
    DarkenStamp(low, {10, 10, 4}, false, kAll);
    LightenStamp(high, {10, 10, 4}, true, kAll);
    EXPECT_EQ(Px(low, 10, 10)[0], 0);
    EXPECT_EQ(Px(high, 10, 10)[0], 255);
    EXPECT_EQ(Px(high, 10, 10)[3], 1);
}

TEST(SourceBrushes, HistoryBlendsAndEffectCopiesTheColourOnly) {
    const Bitmap source = Uniform(20, 20, 200, 7);
    Bitmap b = Uniform(20, 20, 100, 50);
    HistoryBrushStamp(b, source, {10, 10, 4}, 50, kAll);
    EXPECT_EQ(Px(b, 10, 10)[0], 150);
    EXPECT_EQ(Px(b, 10, 10)[3], 50);
    Bitmap e = Uniform(20, 20, 100, 50);
    EffectBrushStamp(e, source, {10, 10, 4}, kAll);
    EXPECT_EQ(Px(e, 10, 10)[2], 200);
    EXPECT_EQ(Px(e, 10, 10)[3], 50);
    // A source smaller than the image covers only its own pixels.
    Bitmap small = Uniform(20, 20, 100);
    HistoryBrushStamp(small, Uniform(5, 5, 200), {5, 5, 4}, 100, kAll);
    EXPECT_EQ(Px(small, 4, 4)[0], 200);
    EXPECT_EQ(Px(small, 5, 5)[0], 100);
}

TEST(CustomBrush, SkipsPureWhiteAndLeavesTheLastRowAndColumnOfEvenBrushes) {
    Bitmap brush = Uniform(4, 4, 0);
    Put(brush, 0, 0, 255, 255, 255, 0);
    Put(brush, 1, 0, 254, 255, 255, 0); // red 255, green 255, blue 254
    Bitmap b = Uniform(20, 20, 100, 9);
    CustomBrushStamp(b, brush, {10, 10}, 100, kAll);
    EXPECT_EQ(Px(b, 9, 9)[0], 100); // white brush pixel
    EXPECT_EQ(Px(b, 10, 9)[0], 254);
    EXPECT_EQ(Px(b, 10, 9)[2], 255);
    EXPECT_EQ(Px(b, 11, 11)[0], 0);
    EXPECT_EQ(Px(b, 11, 11)[3], 9);
    EXPECT_EQ(Px(b, 12, 9)[0], 100); // brush column 3 is never used
    EXPECT_EQ(Px(b, 9, 12)[0], 100);
    Bitmap half = Uniform(20, 20, 100);
    CustomBrushStamp(half, brush, {0, 0}, 50, SelectionEditTest(RectMask(20, 20, 0, 0, 1, 20), 0, 0, true));
    EXPECT_EQ(Px(half, 0, 0)[0], 50); // clipped at the corner, confined to column 0
    EXPECT_EQ(Px(half, 1, 0)[0], 100);
}

TEST(DiscStamp, StampsOffOrAcrossTheEdgesStayInsideTinyImages) {
    const Bitmap source = Uniform(2, 1, 200);
    TStampRandom random(3);
    for (const TPoint at : {TPoint{-40, -40}, TPoint{0, 0}, TPoint{2, 1}, TPoint{1000, -3}}) {
        Bitmap b = Uniform(3, 2, 100, 100);
        const Bitmap before = b;
        const TDisc disc{at.X, at.Y, 64};
        SprayStamp(b, disc, {1, true}, RGBColour(0, 0, 0), kAll);
        SoftenStamp(b, disc, true, kAll);
        SharpenStamp(b, disc, true, kAll);
        NoiseStamp(b, disc, true, random, kAll);
        CopyBrushStamp(b, source, disc, {1, 0}, true, kAll);
        LightenStamp(b, disc, true, kAll);
        DarkenStamp(b, disc, true, kAll);
        HistoryBrushStamp(b, source, disc, 50, kAll);
        EffectBrushStamp(b, source, disc, kAll);
        CustomBrushStamp(b, Uniform(64, 64, 0), at, 100, kAll);
        const bool reaches = at.X > -33 && at.X < 35 && at.Y > -33 && at.Y < 34;
        EXPECT_EQ(ChangedPixels(before, b) > 0, reaches) << at.X << "," << at.Y;
    }
}
