#include <gtest/gtest.h>

#include <random>

#include "doc/resample.h"

using namespace pixora;

namespace {
Bitmap RandomBitmap(int w, int h, unsigned seed) {
    Bitmap b(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (std::size_t i = 0; i < static_cast<std::size_t>(w) * 4; ++i) b.Row(y)[i] = static_cast<uint8_t>(rng());
    return b;
}
} // namespace

TEST(BilinearResample, EqualSizesCopyColourBytesAndKeepAlpha) {
    const Bitmap src = RandomBitmap(7, 5, 1);
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
    Bitmap tall = RandomBitmap(1, 40, 3);
    Bitmap wide(30, 80);
    BilinearResample(tall, wide);
    for (int x = 0; x < 30; ++x) EXPECT_EQ(wide.Row(0)[x * 4], tall.Row(0)[0]);
}

TEST(BilinearResample, DegenerateSizesNeitherCrashNorWrite) {
    const Bitmap src = RandomBitmap(20, 10, 4);
    Bitmap zeroW(0, 10), zeroH(10, 0), empty;
    BilinearResample(src, zeroW);
    BilinearResample(src, zeroH);
    Bitmap dst(5, 5);
    dst.Fill(1, 2, 3, 4);
    BilinearResample(empty, dst);
    EXPECT_EQ(dst.Row(4)[16], 1);
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
            EXPECT_NEAR(p[0], 77, 1);
            EXPECT_NEAR(p[1], 88, 1);
            EXPECT_NEAR(p[2], 99, 1);
        }
}
