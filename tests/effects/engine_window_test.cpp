// Blur and sharpen against window references written from their rules.
#include <algorithm>
#include <cmath>

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

Bitmap SharpenReference(const Bitmap& s, const TChannelSet& on, int r, int threshold, double percent, int mode) {
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
                EXPECT_TRUE(SameImage(target, expected)) << "radius " << r << (fastLoops ? " bands" : " callbacks");
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
                                   static_cast<uint8_t>(c.threshold), c.percent, static_cast<uint8_t>(c.mode)));
            EXPECT_TRUE(SameImage(target, expected)) << "r " << c.r << " T " << c.threshold << " P " << c.percent
                                                     << " mode " << c.mode;
        }
    }
    // A single pixel has no neighbours: it stays as it is.
    TEffects fx;
    Bitmap one = RandomImage(1, 1, 32), out;
    ASSERT_TRUE(fx.Sharpen(one, out, 2, 1, 0, 100, 0));
    EXPECT_TRUE(SameImage(out, one));
    EXPECT_FALSE(fx.Sharpen(one, out, kAllChannels, 1, 0, std::nan(""), 0));
}
