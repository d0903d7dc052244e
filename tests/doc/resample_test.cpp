#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "doc/resample.h"
#include "doc/row_ranges.h"
#include "support/pixels.h"

using namespace pixora;
using pixora::testing::RandomImage;

TEST(BilinearResample, EqualSizesCopyColourBytesAndKeepAlpha) {
    const Bitmap src = RandomImage(7, 5, 1);
    Bitmap dst(7, 5);
    dst.Fill(0, 0, 0, 42);
    BilinearResample(src, dst);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            for (int c = 0; c < 3; ++c) EXPECT_EQ(dst.Row(y)[x * 4 + c], src.Row(y)[x * 4 + c]);
            EXPECT_EQ(dst.Row(y)[x * 4 + 3], 42);
        }
}

TEST(BilinearResample, StepsAreRoundedFixedPoint) {
    // 100x50 -> 200x100: xstep = 99 * 65536 / 200 = 32440.32 -> 32440,
    // ystep = 49 * 65536 / 100 = 32112.64 -> 32113.
    EXPECT_EQ(MulDivRound(99, 65536, 200), 32440);
    EXPECT_EQ(MulDivRound(49, 65536, 100), 32113);

    // The second destination column then mixes columns 0 and 1 with weight
    // g = 32440 on the right: for a black/white pair on row 0 of a one-row
    // high source, UR = round(32440 * 65536 / 65536) = 32440 and the value
    // is 255 * 32440 >> 16 = 126.
    Bitmap src(100, 1);
    src.Fill(0, 0, 0);
    for (int c = 0; c < 3; ++c) src.Row(0)[4 + c] = 255;
    Bitmap dst(200, 1);
    dst.Fill(9, 9, 9, 200);
    BilinearResample(src, dst);
    EXPECT_EQ(dst.Row(0)[0], 0);
    EXPECT_EQ(dst.Row(0)[4], (255 * 32440) >> 16);
    EXPECT_EQ(dst.Row(0)[3], 200);
}

TEST(BilinearResample, ExactHalvesOfTheWeightsGoToTheEvenNeighbour) {
    EXPECT_EQ(MulDivRound(1, 1, 2), 0);
    EXPECT_EQ(MulDivRound(3, 1, 2), 2);
    // 2x2 -> 3x2 over black | white columns: xstep = 21845, ystep = 32768.
    // At (1, 1) g = 21845, T = 32768, B = 32769: UR = 10922.5 -> 10922 (not
    // 10923), LR = 10922.83 -> 10923, and (10922 + 10923) x 255 >> 16 = 84.
    Bitmap src(2, 2);
    src.Fill(0, 0, 0);
    for (int y = 0; y < 2; ++y)
        for (int c = 0; c < 3; ++c) src.Row(y)[4 + c] = 255;
    Bitmap dst(3, 2);
    BilinearResample(src, dst);
    EXPECT_EQ(dst.Row(1)[4], 84);
}

TEST(BilinearResample, OnePixelWideSourceUsesFirstColumnOnly) {
    // Steps are 0, so every destination pixel takes column 0 / row 0 and the
    // right and lower neighbours (weight 0) are read from inside the bitmap.
    Bitmap src(1, 1);
    src.Fill(10, 20, 30, 255);
    Bitmap dst(13, 9);
    BilinearResample(src, dst);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            EXPECT_EQ(dst.Row(y)[x * 4 + 0], 10);
            EXPECT_EQ(dst.Row(y)[x * 4 + 1], 20);
            EXPECT_EQ(dst.Row(y)[x * 4 + 2], 30);
            EXPECT_EQ(dst.Row(y)[x * 4 + 3], 0);
        }
    Bitmap tall = RandomImage(1, 40, 3);
    Bitmap wide(30, 80);
    BilinearResample(tall, wide);
    for (int x = 0; x < 30; ++x) EXPECT_EQ(wide.Row(0)[x * 4], tall.Row(0)[0]);
}

TEST(BilinearResample, DegenerateSizesNeitherCrashNorWrite) {
    const Bitmap src = RandomImage(20, 10, 4);
    Bitmap zeroW(0, 10), zeroH(10, 0), empty;
    BilinearResample(src, zeroW);
    BilinearResample(src, zeroH);
    EXPECT_EQ(zeroW.Width(), 0);
    EXPECT_EQ(zeroW.Height(), 10);
    EXPECT_EQ(zeroH.Width(), 10);
    EXPECT_EQ(zeroH.Height(), 0);
    // An empty source leaves every byte of the destination as it was.
    Bitmap dst(5, 5);
    dst.Fill(1, 2, 3, 4);
    const Bitmap before = dst;
    BilinearResample(empty, dst);
    BilinearResample(zeroW, dst);
    BilinearResample(zeroH, dst);
    for (int y = 0; y < 5; ++y)
        ASSERT_EQ(std::memcmp(dst.Row(y), before.Row(y), 5 * 4), 0) << "row " << y;
}

TEST(BilinearResample, DownscaleAveragesAndStaysInRange) {
    // A uniform image stays uniform at any size (the weights add up to one).
    Bitmap src(4000 / 50, 3000 / 50);
    src.Fill(77, 88, 99);
    Bitmap dst(55, 41);
    BilinearResample(src, dst);
    for (int y = 0; y < dst.Height(); ++y)
        for (int x = 0; x < dst.Width(); ++x) {
            const uint8_t* p = dst.Row(y) + x * 4;
            // The weights add up to T + B = 65537, and 65537 v >> 16 = v.
            ASSERT_EQ(p[0], 77);
            ASSERT_EQ(p[1], 88);
            ASSERT_EQ(p[2], 99);
        }
    // Worked by hand: 0 60 120 180 240 to three pixels. xstep =
    // round(4 x 65536 / 3) = 87381. Pixel 1: sx 1, g = 21845, UR = 21845,
    // LR = round(21845 / 65536) = 0, UL = 43691, LL = 1: (43691 x 60 +
    // 21845 x 120 + 60) >> 16 = 5242920 >> 16 = 80. Pixel 2: sx 2,
    // g = 43690, LR = 1, UL = 21846, LL = 0: (21846 x 120 + 43690 x 180 +
    // 180) >> 16 = 10485900 >> 16 = 160.
    Bitmap ramp(5, 1);
    for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 3; ++c)
            ramp.Row(0)[x * 4 + c] = static_cast<uint8_t>(x * 60);
    Bitmap three(3, 1);
    BilinearResample(ramp, three);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(three.Row(0)[0 + c], 0);
        EXPECT_EQ(three.Row(0)[4 + c], 80);
        EXPECT_EQ(three.Row(0)[8 + c], 160);
    }
}

TEST(BilinearResample, OneBandAndTwoGiveTheSameBytes) {
    // Large enough to be split where the machine has two cores; held to
    // one band and to two, both paths run on any machine.
    const Bitmap src = RandomImage(900, 700, 8);
    Bitmap automatic(1300, 900), one(1300, 900), two(1300, 900);
    BilinearResample(src, automatic);
    {
        TRowBandsOverride held(1);
        BilinearResample(src, one);
    }
    {
        TRowBandsOverride held(2);
        BilinearResample(src, two);
    }
    for (int y = 0; y < 900; ++y) {
        ASSERT_EQ(std::memcmp(one.Row(y), two.Row(y), 1300 * 4), 0) << "row " << y;
        ASSERT_EQ(std::memcmp(one.Row(y), automatic.Row(y), 1300 * 4), 0) << "row " << y;
    }
}
