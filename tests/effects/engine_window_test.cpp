// Blur and sharpen against window references written from their rules.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "engine_support.h"

using namespace pixora;
using namespace enginetest;

namespace {

// Sum and pixel count of channel k over the clipped window around (x, y).
std::pair<int, int> WindowSum(const Bitmap& s, int x, int y, int r, int k) {
    int sum = 0, n = 0;
    for (int yy = std::max(y - r, 0); yy <= std::min(y + r, s.Height() - 1); ++yy)
        for (int xx = std::max(x - r, 0); xx <= std::min(x + r, s.Width() - 1); ++xx) {
            sum += Px(s, xx, yy)[k];
            ++n;
        }
    return {sum, n};
}

Bitmap BlurReference(const Bitmap& s, int r, const TChannelSet& on) {
    Bitmap t = s;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            for (int k = 0; k < 4; ++k)
                if (on[k]) {
                    const auto [sum, n] = WindowSum(s, x, y, r, k);
                    Px(t, x, y)[k] = static_cast<uint8_t>(sum / n);
                }
    return t;
}

Bitmap SharpenReference(const Bitmap& s, const TChannelSet& on, int r, int threshold, double percent,
                        int mode) {
    Bitmap t = s;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            for (int k = 0; k < 4; ++k) {
                if (!on[k]) continue;
                const int c = Px(s, x, y)[k];
                const auto [sum, n] = WindowSum(s, x, y, r, k);
                if (n <= 1) continue;
                const int m = (sum - c) / (n - 1);
                const int lo = Clamp(m - threshold), hi = Clamp(m + threshold);
                if (c >= lo && c <= hi) continue;
                int v = c;
                if (mode == 0) {
                    const int d = static_cast<int>(std::nearbyint(c * percent / 100));
                    v = Clamp(m < c ? c + d : c - d);
                } else if (mode == 1) {
                    const int a = static_cast<int>(std::nearbyint(percent * 255 / 100));
                    v = Clamp(c - a * (127 - c) / 255);
                }
                Px(t, x, y)[k] = static_cast<uint8_t>(v);
            }
    return t;
}

} // namespace

TEST(EngineWindowEffects, BlurMatchesTheWindowAverage) {
    const Bitmap large = RandomImage(290, 250, 21), small = RandomImage(70, 45, 22);
    for (int r : {0, 1, 2, 7, 20, 400}) {
        // Large enough for two bands; small where the windows get wide.
        const Bitmap& original = r <= 2 ? large : small;
        for (const TChannelSet& on : {kAllChannels, TChannelSet{false, true, false, true}}) {
            const Bitmap expected = BlurReference(original, r, on);
            for (bool fastLoops : {true, false}) {
                TEffects fx;
                fx.UseFastLoops = fastLoops;
                Bitmap source = original, target;
                ASSERT_TRUE(fx.Blur(source, target, r, on));
                EXPECT_TRUE(SameImage(target, expected))
                    << "radius " << r << (fastLoops ? " bands" : " callbacks");
                EXPECT_TRUE(SameImage(source, original));
            }
        }
    }
}

TEST(EngineWindowEffects, BlurEdgeCases) {
    TEffects fx;
    const Bitmap original = RandomImage(9, 5, 22);
    Bitmap source = original, target;
    ASSERT_TRUE(fx.Blur(source, target, 0, kAllChannels));
    EXPECT_TRUE(SameImage(target, original));

    // Blurring a bitmap into itself reads the unchanged pixels.
    Bitmap self = original;
    ASSERT_TRUE(fx.Blur(self, self, 2, kAllChannels));
    EXPECT_TRUE(SameImage(self, BlurReference(original, 2, kAllChannels)));

    // A target that already holds other pixels (same shape, or another
    // shape and format) ends up exactly the same.
    for (bool fastLoops : {true, false}) {
        TEffects reuse;
        reuse.UseFastLoops = fastLoops;
        const TChannelSet green{false, true, false, false};
        Bitmap used = RandomImage(9, 5, 99), other(3, 7, 24), from = original;
        ASSERT_TRUE(reuse.Blur(from, used, 1, green));
        EXPECT_TRUE(SameImage(used, BlurReference(original, 1, green)));
        ASSERT_TRUE(reuse.Blur(from, other, 0, green));
        EXPECT_TRUE(SameImage(other, original));
    }

    // Thin images and 24-bit sources.
    Bitmap column = RandomImage(1, 40, 23), out;
    fx.Blur(column, out, 3, kAllChannels);
    EXPECT_TRUE(SameImage(out, BlurReference(column, 3, kAllChannels)));
    Bitmap rgb(6, 4, 24), out24;
    rgb.Fill(90, 60, 30);
    ASSERT_TRUE(fx.Blur(rgb, out24, 1, kAllChannels));
    EXPECT_EQ(rgb.BitsPerPixel(), 32);
    EXPECT_EQ(BytesAt(out24, 5, 3), (TPixelBytes{90, 60, 30, 0}));

    // Refusals: empty source, no channel, a negative radius.
    Bitmap empty, untouched = original;
    EXPECT_FALSE(fx.Blur(empty, target, 1, kAllChannels));
    EXPECT_FALSE(fx.Blur(untouched, target, 1, TChannelSet{}));
    EXPECT_FALSE(fx.Blur(untouched, target, -1, kAllChannels));
    EXPECT_TRUE(SameImage(untouched, original));
}

TEST(EngineWindowEffects, SharpenMatchesItsRule) {
    const Bitmap original = RandomImage(180, 140, 31);
    struct Case {
        int r, threshold;
        double percent;
        int mode;
    };
    for (const Case& c : {Case{1, 0, 50, 0}, Case{1, 20, 33.5, 0}, Case{2, 5, 100, 0}, Case{1, 10, 40, 1},
                          Case{3, 0, 12.5, 1}, Case{1, 0, 50, 2}, Case{0, 0, 50, 0}}) {
        const Bitmap expected = SharpenReference(original, kAllChannels, c.r, c.threshold, c.percent, c.mode);
        for (bool fastLoops : {true, false}) {
            TEffects fx;
            fx.UseFastLoops = fastLoops;
            Bitmap source = original, target;
            ASSERT_TRUE(fx.Sharpen(source, target, kAllChannels, static_cast<uint8_t>(c.r),
                                   static_cast<uint8_t>(c.threshold), c.percent,
                                   static_cast<uint8_t>(c.mode)));
            EXPECT_TRUE(SameImage(target, expected))
                << "r " << c.r << " T " << c.threshold << " P " << c.percent << " mode " << c.mode;
        }
    }
    // Mode 1 by hand, r 1, threshold 20, 40 percent (a = 102), on a blue
    // 200 among 100s. Centre: m = 100, 200 > 120, so 200 - 102 x (-73) /
    // 255 = 200 + 29 = 229. Corner: m = (100 + 100 + 200) / 3 = 133, 100 <
    // 113, so 100 - 102 x 27 / 255 = 90. Edge: m = 600 / 5 = 120, and 100
    // is not below 100: it stays. Uniform channels stay.
    {
        Bitmap spot(3, 3), out;
        spot.Fill(100, 50, 50, 0);
        Px(spot, 1, 1)[0] = 200;
        TEffects fx;
        ASSERT_TRUE(fx.Sharpen(spot, out, kAllChannels, 1, 20, 40, 1));
        const int blue[3][3] = {{90, 100, 90}, {100, 229, 100}, {90, 100, 90}};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(BytesAt(out, x, y), (TPixelBytes{static_cast<uint8_t>(blue[y][x]), 50, 50, 0}))
                    << x << "," << y;
    }
    // A single pixel has no neighbours: it stays as it is.
    TEffects fx;
    Bitmap one = RandomImage(1, 1, 32), out;
    ASSERT_TRUE(fx.Sharpen(one, out, 2, 1, 0, 100, 0));
    EXPECT_TRUE(SameImage(out, one));
    EXPECT_FALSE(fx.Sharpen(one, out, kAllChannels, 1, 0, std::nan(""), 0));
}

namespace {

// Window sums through a summed-area table, for windows too large to add up
// pixel by pixel in a test.
struct SummedArea {
    int w, h;
    std::vector<long long> t[4];
    explicit SummedArea(const Bitmap& s) : w(s.Width()), h(s.Height()) {
        for (int k = 0; k < 4; ++k) {
            t[k].assign(static_cast<std::size_t>((w + 1) * (h + 1)), 0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    At(k, x + 1, y + 1) = Px(s, x, y)[k] + At(k, x, y + 1) + At(k, x + 1, y) - At(k, x, y);
        }
    }
    long long& At(int k, int x, int y) { return t[k][static_cast<std::size_t>(y * (w + 1) + x)]; }
    // Sum and count of the clipped window of radius r around (x, y).
    std::pair<long long, long long> Window(int k, int x, int y, int r) {
        const int x0 = std::max(x - r, 0), x1 = std::min(x + r, w - 1) + 1;
        const int y0 = std::max(y - r, 0), y1 = std::min(y + r, h - 1) + 1;
        return {At(k, x1, y1) - At(k, x0, y1) - At(k, x1, y0) + At(k, x0, y0),
                static_cast<long long>(x1 - x0) * (y1 - y0)};
    }
};

} // namespace

TEST(EngineWindowEffects, LargeWindowsKeepTheExactAverages) {
    // Windows of tens of thousands of pixels, on both sides of the size at
    // which the band loops change their way of dividing.
    const Bitmap original = RandomImage(400, 200, 24);
    SummedArea area(original);
    for (int r : {120, 255}) {
        TEffects fx;
        Bitmap source = original, blurred, sharpened;
        ASSERT_TRUE(fx.Blur(source, blurred, r, kAllChannels));
        ASSERT_TRUE(fx.Sharpen(source, sharpened, kAllChannels, static_cast<uint8_t>(r), 3, 40, 0));
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 400; ++x)
                for (int k = 0; k < 4; ++k) {
                    const auto [sum, n] = area.Window(k, x, y, r);
                    ASSERT_EQ(Px(blurred, x, y)[k], sum / n) << "r " << r << " at " << x << "," << y;
                    const int c = Px(original, x, y)[k];
                    const int m = static_cast<int>((sum - c) / (n - 1));
                    int v = c;
                    if (c < Clamp(m - 3) || c > Clamp(m + 3)) {
                        const int d = static_cast<int>(std::nearbyint(c * 40.0 / 100));
                        v = Clamp(m < c ? c + d : c - d);
                    }
                    ASSERT_EQ(Px(sharpened, x, y)[k], v) << "r " << r << " at " << x << "," << y;
                }
    }
    // Sums one below a multiple of the count, where a quotient rounded too
    // early lands on the integer above: at the largest window the band
    // loops divide in floats (241 x 273 = 65793 pixels) and at one where
    // floats would fail (12 x 5483 = 65796). Every average must come out
    // one lower.
    for (auto [w, h] : {std::pair{241, 273}, std::pair{12, 5483}}) {
        Bitmap s(w, h), t;
        s.Fill(255, 255, 255, 255);
        Px(s, w / 2, h / 2)[0] = 254;
        TEffects fx;
        ASSERT_TRUE(fx.Blur(s, t, 6000, kAllChannels));
        EXPECT_EQ(BytesAt(t, 0, 0), (TPixelBytes{254, 255, 255, 255})) << w << "x" << h;
        EXPECT_EQ(BytesAt(t, w - 1, h - 1), (TPixelBytes{254, 255, 255, 255})) << w << "x" << h;
    }
}

TEST(EngineWindowEffects, ExtremeParametersSaturateInsteadOfOverflowing) {
    const Bitmap original = RandomImage(40, 30, 25);
    for (bool fastLoops : {true, false}) {
        TEffects fx;
        fx.UseFastLoops = fastLoops;
        Bitmap source = original, huge, whole;
        // A radius past the image's size is the whole image.
        ASSERT_TRUE(fx.Blur(source, huge, std::numeric_limits<int>::max(), kAllChannels));
        ASSERT_TRUE(fx.Blur(source, whole, 40, kAllChannels));
        EXPECT_TRUE(SameImage(huge, whole));
        // Percentages far out move every changed byte to its limit, as a
        // merely large one does.
        for (uint8_t mode : {0, 1})
            for (double sign : {1.0, -1.0}) {
                Bitmap far, large;
                ASSERT_TRUE(fx.Sharpen(source, far, kAllChannels, 1, 5, sign * 1e300, mode));
                ASSERT_TRUE(fx.Sharpen(source, large, kAllChannels, 1, 5, sign * 1e7, mode));
                EXPECT_TRUE(SameImage(far, large)) << int(mode) << " " << sign;
            }
    }
}
