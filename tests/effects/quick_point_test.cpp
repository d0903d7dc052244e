// The point effects against their rules written out plainly.
#include <algorithm>

#include "effects/quick/point_effects.h"
#include "quick_support.h"

namespace {

using namespace quicktest;
using namespace pixora::quick;

int Clamp(int v) {
    return std::clamp(v, 0, 255);
}

// Truncating division by 256 of the rules (C++ division truncates too).
int D256(int v) {
    return v / 256;
}

TEST(QuickPointEffects, LightenAndDarkenStopAtTheEnds) {
    Bitmap b(5, 1);
    const uint8_t values[5] = {246, 245, 9, 10, 128};
    for (int x = 0; x < 5; ++x)
        Px(b, x, 0)[0] = Px(b, x, 0)[1] = Px(b, x, 0)[2] = values[x], Px(b, x, 0)[3] = 77;
    Bitmap light = b, dark = b;
    Lighten(light);
    Darken(dark);
    const int lit[5] = {255, 255, 19, 20, 138}, darkened[5] = {236, 235, 0, 0, 118};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(Px(light, x, 0)[2], lit[x]);
        EXPECT_EQ(Px(dark, x, 0)[0], darkened[x]);
        EXPECT_EQ(Px(light, x, 0)[3], 77);
        EXPECT_EQ(Px(dark, x, 0)[3], 77);
    }
}

TEST(QuickPointEffects, DarkenObeysThePixelTest) {
    const Bitmap src = RandomImage(37, 9, 1);
    Bitmap b = src;
    Darken(b, TBlocks{});
    EXPECT_TRUE(SameImage(b, ByRule(
                                 src,
                                 [](uint8_t* p) {
                                     for (int c = 0; c < 3; ++c)
                                         p[c] = static_cast<uint8_t>(Clamp(p[c] - 10));
                                 },
                                 TBlocks{})));
}

TEST(QuickPointEffects, InvertTwiceRestoresAndKeepsFourthBytes) {
    const Bitmap src = RandomImage(19, 7, 2);
    Bitmap b = src;
    Invert(b);
    EXPECT_EQ(Px(b, 3, 3)[1], 255 - Px(src, 3, 3)[1]);
    EXPECT_EQ(Px(b, 18, 6)[3], Px(src, 18, 6)[3]);
    Invert(b);
    EXPECT_TRUE(SameImage(b, src));
}

TEST(QuickPointEffects, GammaTableEnds) {
    const auto t = GammaTable();
    EXPECT_EQ(t[0], 128);
    EXPECT_EQ(t[255], 42);
    EXPECT_TRUE(std::is_sorted(t.rbegin(), t.rend()));
}

TEST(QuickPointEffects, GammaOnBlackWithDefaultPercentages) {
    Bitmap b(1, 1);
    b.Fill(0, 0, 0, 0);
    Gamma(b, TChannelPercents{});
    EXPECT_EQ(Px(b, 0, 0)[2], 9);  // red:   (20 * 124) div 256
    EXPECT_EQ(Px(b, 0, 0)[1], 9);  // green: (20 * 120) div 256
    EXPECT_EQ(Px(b, 0, 0)[0], 10); // blue:  (20 * 128) div 256
}

TEST(QuickPointEffects, ZeroPercentagesChangeNothing) {
    const Bitmap src = RandomImage(23, 5, 3);
    const TChannelPercents zero{0, 0, 0};
    Bitmap a = src, b = src, c = src, d = src;
    Tint(a, zero);
    Gamma(b, zero);
    Contrast(c, zero);
    Saturation(d, zero);
    for (const Bitmap* x : {&a, &b, &c, &d})
        EXPECT_TRUE(SameImage(*x, src));
}

// Tint, Gamma, Contrast and Saturation at several percentages, on images
// whose widths leave runs of every length for the vector loops' tails.
TEST(QuickPointEffects, ChannelEffectsFollowTheirRules) {
    const TChannelPercents settings[] = {{8, 8, 8}, {255, 0, 100}, {37, 255, 3}};
    for (const auto& pc : settings) {
        const int kR = pc.R * 256 / 100, kG = pc.G * 256 / 100, kB = pc.B * 256 / 100;
        const int k[3] = {kB, kG, kR};
        for (int w : {1, 6, 33}) {
            const Bitmap src = RandomImage(w, 4, 10 + w);
            const auto table = GammaTable();
            Bitmap tint = src, gamma = src, contrast = src, sat = src;
            Tint(tint, pc, TBlocks{});
            Gamma(gamma, pc, TBlocks{});
            Contrast(contrast, pc, TBlocks{});
            Saturation(sat, pc, TBlocks{});
            EXPECT_TRUE(SameImage(tint, ByRule(
                                            src,
                                            [&](uint8_t* p) {
                                                const int a = (p[0] + p[1] + p[2] + 2) / 3;
                                                for (int c = 0; c < 3; ++c)
                                                    p[c] = static_cast<uint8_t>(Clamp(p[c] + D256(k[c] * a)));
                                            },
                                            TBlocks{})));
            EXPECT_TRUE(SameImage(gamma, ByRule(
                                             src,
                                             [&](uint8_t* p) {
                                                 const int l = table[(p[0] + p[1] + p[2]) / 3];
                                                 p[2] =
                                                     static_cast<uint8_t>(Clamp(p[2] + D256(kR * (l - 4))));
                                                 p[1] =
                                                     static_cast<uint8_t>(Clamp(p[1] + D256(kG * (l - 8))));
                                                 p[0] = static_cast<uint8_t>(Clamp(p[0] + D256(kB * l)));
                                             },
                                             TBlocks{})));
            EXPECT_TRUE(SameImage(contrast, ByRule(
                                                src,
                                                [&](uint8_t* p) {
                                                    for (int c = 0; c < 3; ++c) {
                                                        const int t = p[c] + D256(k[c] * (p[c] - 127));
                                                        p[c] = static_cast<uint8_t>(
                                                            Clamp(D256((256 - k[c] / 4) * t)));
                                                    }
                                                },
                                                TBlocks{})));
            EXPECT_TRUE(SameImage(
                sat, ByRule(
                         src,
                         [&](uint8_t* p) {
                             const int m = (std::max({p[0], p[1], p[2]}) + std::min({p[0], p[1], p[2]})) / 2;
                             for (int c = 0; c < 3; ++c)
                                 p[c] = static_cast<uint8_t>(Clamp(p[c] + D256(k[c] * (p[c] - m) * 2)));
                         },
                         TBlocks{})));
        }
    }
}

TEST(QuickPointEffects, SaturationOfTheWidestSpread) {
    // max 255, min 0: m = 127 and c - m reaches 128, the largest the vector
    // lanes must hold.
    Bitmap b(4, 1);
    for (int x = 0; x < 4; ++x) {
        uint8_t* p = Px(b, x, 0);
        p[0] = 0, p[1] = static_cast<uint8_t>(60 * x), p[2] = 255, p[3] = 0;
    }
    Saturation(b, TChannelPercents{255, 255, 255});
    // k = 652: red 255 + (652 * 128 * 2) div 256 -> 255; blue 0 - 652 -> 0;
    // green 120: 120 + (652 * -7 * 2) div 256 = 120 - 35.
    EXPECT_EQ(Px(b, 2, 0)[2], 255);
    EXPECT_EQ(Px(b, 2, 0)[0], 0);
    EXPECT_EQ(Px(b, 2, 0)[1], 85);
}

TEST(QuickPointEffects, NoiseStaysWithinItsSpreadAndVaries) {
    Bitmap b(64, 64);
    b.Fill(128, 128, 128, 9);
    Noise(b, TNoiseParams{12345});
    int seen[26] = {};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c) {
                const int d = Px(b, x, y)[c] - 128;
                ASSERT_GE(d, -13);
                ASSERT_LE(d, 12);
                ++seen[d + 13];
                ASSERT_EQ(Px(b, x, y)[3], 9);
            }
    for (int n : seen)
        EXPECT_GT(n, 300); // 12288 draws over 26 values: about 470 each
}

TEST(QuickPointEffects, NoiseLeavesRefusedPixelsAlone) {
    const Bitmap src = RandomImage(20, 6, 4);
    Bitmap b = src;
    Noise(b, TNoiseParams{7}, TBlocks{});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 20; ++x)
            if (!TBlocks{}(x, y)) {
                EXPECT_EQ(std::memcmp(Px(b, x, y), Px(src, x, y), 4), 0);
            }
}

TEST(QuickPointEffects, PercentagesOutsideTheWindowsRangeAreRefused) {
    Bitmap b(2, 2);
    EXPECT_THROW(Tint(b, TChannelPercents{256, 0, 0}), std::invalid_argument);
    EXPECT_THROW(Contrast(b, TChannelPercents{0, -1, 0}), std::invalid_argument);
}

} // namespace

// Contrast at every percentage on every byte value, the fourth bytes kept.
TEST(QuickPointEffects, ContrastOfEveryByteAtEveryPercentage) {
    Bitmap all(67, 4, 32);
    for (int y = 0; y < all.Height(); ++y)
        for (int x = 0; x < all.Width(); ++x)
            for (int c = 0; c < 4; ++c)
                all.Row(y)[4 * x + c] = static_cast<uint8_t>((y * all.Width() + x + 85 * c) & 0xFF);
    for (int p = 0; p <= 255; ++p) {
        const TChannelPercents pc{p, 255 - p, p / 2};
        const int k[3] = {pc.B * 256 / 100, pc.G * 256 / 100, pc.R * 256 / 100};
        Bitmap b = all;
        Contrast(b, pc);
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                const uint8_t* was = all.Row(y) + 4 * x;
                const uint8_t* got = b.Row(y) + 4 * x;
                for (int c = 0; c < 3; ++c) {
                    const int t = was[c] + D256(k[c] * (was[c] - 127));
                    ASSERT_EQ(got[c], Clamp(D256((256 - k[c] / 4) * t)))
                        << "percent " << p << ", byte " << int(was[c]);
                }
                ASSERT_EQ(got[3], was[3]);
            }
    }
}
