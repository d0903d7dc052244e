// Colour-region fill: region growth against a plain search, the recolouring
// modes against their rules, the tool and eraser entry points.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "tools/colour_hsl.h"
#include "tools/flood_fill.h"
#include "support/pixels.h"

using namespace pixora;
using namespace pixora::testing;

namespace tooltest {

// Region of a plain depth-first search: the pixels within limit of ref that
// are 4-connected to a qualifying neighbour of the seed. One byte per pixel.
std::vector<uint8_t> ReferenceRegion(const Bitmap& b, int sx, int sy, int limit, int32_t ref) {
    const int w = b.Width(), h = b.Height(), bpp = b.BytesPerPixel();
    auto fits = [&](int x, int y) {
        const uint8_t* p = b.Row(y) + x * bpp;
        return std::abs(p[0] - BlueOf(ref)) <= limit && std::abs(p[1] - GreenOf(ref)) <= limit &&
               std::abs(p[2] - RedOf(ref)) <= limit;
    };
    std::vector<uint8_t> in(static_cast<std::size_t>(w) * h, 0);
    std::vector<std::pair<int, int>> stack;
    auto push = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || in[y * w + x] || !fits(x, y)) return;
        in[y * w + x] = 1;
        stack.emplace_back(x, y);
    };
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        push(sx + dx, sy + dy);
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        push(x + 1, y);
        push(x - 1, y);
        push(x, y + 1);
        push(x, y - 1);
    }
    return in;
}

} // namespace tooltest

using tooltest::ReferenceRegion;

namespace {

uint8_t Byte(double v) {
    return static_cast<uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// One pixel's new bytes (B, G, R) under a mode, straight from the rule table.
std::array<uint8_t, 3> RuleColour(int mode, const uint8_t* p, int32_t fill, double c = 0.5, double k = 0.1) {
    const double f[3] = {double(BlueOf(fill)), double(GreenOf(fill)), double(RedOf(fill))};
    std::array<uint8_t, 3> out{p[0], p[1], p[2]};
    if (mode == 0) {
        for (int i = 0; i < 3; ++i)
            out[i] = Byte(c * p[i] + (1 - c) * f[i]);
    } else if (mode == 1) {
        const double hue = RGBToHSL(f[2] / 255, f[1] / 255, f[0] / 255).H;
        const THSL px = RGBToHSL(p[2] / 255.0, p[1] / 255.0, p[0] / 255.0);
        const TRGBFractions rgb = HSLToRGB(hue, px.S, px.L);
        out = {Byte(rgb.B * 255), Byte(rgb.G * 255), Byte(rgb.R * 255)};
    } else {
        const double m = (p[2] / 255.0 + p[1] / 255.0 + p[0] / 255.0) / 3;
        for (int i = 0; i < 3; ++i) {
            double v = p[i] / 255.0;
            if (mode == 2) v += k * v;
            if (mode == 3) v -= k * (1 - v);
            if (mode == 4) v += k * (v - m);
            if (mode == 5) v -= k * (v - m);
            if (mode == 6) v = std::nearbyint(k * 255 + p[i] * (1 - k)) / 255;
            if (mode == 7) v = std::nearbyint(p[i] * (1 - k) + k) / 255;
            out[i] = Byte(std::clamp(v, 0.0, 1.0) * 255);
        }
    }
    return out;
}

// The image the fill should leave: the reference region recoloured by the rule.
Bitmap Expected(const Bitmap& before, int x, int y, int mode, int limit, int32_t fill) {
    Bitmap out = before;
    const std::vector<uint8_t> in = ReferenceRegion(before, x, y, limit, ColourAt(before, x, y));
    for (int yy = 0; yy < before.Height(); ++yy)
        for (int xx = 0; xx < before.Width(); ++xx)
            if (in[yy * before.Width() + xx]) {
                const auto c = RuleColour(mode, Px(out, xx, yy), fill);
                std::copy(c.begin(), c.end(), Px(out, xx, yy));
            }
    return out;
}

::testing::AssertionResult Same(const Bitmap& a, const Bitmap& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width() * a.BytesPerPixel(); ++x)
            if (a.Row(y)[x] != b.Row(y)[x])
                return ::testing::AssertionFailure()
                       << "pixel (" << x / a.BytesPerPixel() << ", " << y << ") byte "
                       << x % a.BytesPerPixel() << ": " << int(a.Row(y)[x]) << " vs " << int(b.Row(y)[x]);
    return ::testing::AssertionSuccess();
}

// Pixels drawn from a few nearby colours, so regions are neither empty nor whole.
Bitmap Patchy(int w, int h, int bpp, uint32_t seed) {
    std::mt19937 rng(seed);
    std::array<std::array<int, 3>, 6> palette;
    for (auto& c : palette)
        for (int& v : c)
            v = 60 + int(rng() % 140);
    palette[1] = {palette[0][0] + 20, palette[0][1] - 30, palette[0][2] + 5};
    Bitmap b(w, h, bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto& c = palette[rng() % (rng() % 3 == 0 ? 6 : 2)];
            SetPixel(b, x, y, c[0], c[1], c[2], int(rng() % 256));
        }
    return b;
}

} // namespace

TEST(ColourHSL, KnownValuesAndRoundTrip) {
    const THSL a = RGBToHSL(0.2, 0.4, 0.6);
    EXPECT_NEAR(a.H, 210, 1e-9);
    EXPECT_NEAR(a.S, 0.5, 1e-12);
    EXPECT_NEAR(a.L, 0.4, 1e-12);
    const THSL red = RGBToHSL(1, 0, 0);
    EXPECT_EQ(red.H, 0);
    EXPECT_EQ(red.S, 1);
    EXPECT_EQ(red.L, 0.5);
    // Magenta: the red test gives -60, wrapped to 300; light colours use the L > 0.5 branch.
    EXPECT_NEAR(RGBToHSL(1, 0, 1).H, 300, 1e-9);
    EXPECT_NEAR(RGBToHSL(1, 0.8, 0.8).S, 1, 1e-12);
    const THSL grey = RGBToHSL(0.3, 0.3, 0.3);
    EXPECT_EQ(grey.H, 0);
    EXPECT_EQ(grey.S, 0);
    const TRGBFractions g = HSLToRGB(0, 0, 0.3);
    EXPECT_EQ(g.R, 0.3);
    EXPECT_EQ(g.B, 0.3);
    for (int r = 0; r < 256; r += 15)
        for (int gg = 0; gg < 256; gg += 17)
            for (int b = 0; b < 256; b += 51) {
                const THSL h = RGBToHSL(r / 255.0, gg / 255.0, b / 255.0);
                ASSERT_GE(h.H, 0);
                ASSERT_LT(h.H, 360);
                const TRGBFractions back = HSLToRGB(h.H, h.S, h.L);
                ASSERT_NEAR(back.R * 255, r, 1e-9) << r << " " << gg << " " << b;
                ASSERT_NEAR(back.G * 255, gg, 1e-9);
                ASSERT_NEAR(back.B * 255, b, 1e-9);
            }
}

TEST(ColourRegionFill, UniformAreaBlendsHalfWayIncludingSeed) {
    // A 6 x 5 area inside a frame of another colour; halves round to even.
    Bitmap b(8, 7, 24);
    b.Fill(0, 0, 0);
    for (int y = 1; y < 6; ++y)
        for (int x = 1; x < 7; ++x)
            SetPixel(b, x, y, 11, 10, 255);
    const Bitmap before = b;
    ColourRegionFill(b, 3, 2, 0.5, 0.1, 0, 0.0, RGBColour(11, 10, 255), RGBColour(10, 11, 0));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 1 && x < 7 && y >= 1 && y < 6;
            const uint8_t* p = Px(b, x, y);
            if (inside) {
                EXPECT_EQ(p[0], 128) << x << "," << y; // 127.5
                EXPECT_EQ(p[1], 10);                   // 10.5
                EXPECT_EQ(p[2], 10);                   // 10.5
            } else {
                EXPECT_EQ(ColourAt(b, x, y), ColourAt(before, x, y));
            }
        }
}

TEST(ColourRegionFill, SeedWithoutQualifyingNeighbourChangesNothing) {
    Bitmap b(5, 5, 24);
    b.Fill(200, 200, 200);
    SetPixel(b, 2, 2, 0, 0, 0);
    const Bitmap before = b;
    ColourRegionFill(b, 2, 2, 0.5, 0.1, 0, 0.3, 0, RGBColour(255, 0, 0));
    EXPECT_TRUE(Same(b, before));
    // A seed outside the bitmap is ignored as well.
    ColourRegionFill(b, -1, 2, 0.5, 0.1, 0, 1.0, 0, 0);
    ColourRegionFill(b, 2, 5, 0.5, 0.1, 0, 1.0, 0, 0);
    EXPECT_TRUE(Same(b, before));
}

TEST(ColourRegionFill, FullToleranceReachesChannelsUpTo150) {
    // Row 1: black seed, then 150/150/150, a pixel with one channel at 151
    // (the barrier), and black again behind it. Rows 0 and 2 are out of reach.
    Bitmap b(5, 3, 24);
    b.Fill(200, 200, 200);
    SetPixel(b, 0, 1, 0, 0, 0);
    SetPixel(b, 1, 1, 150, 150, 150);
    SetPixel(b, 2, 1, 0, 151, 0);
    SetPixel(b, 3, 1, 0, 0, 0);
    SetPixel(b, 4, 1, 0, 150, 0);
    SetPixel(b, 1, 0, 150, 0, 150);
    const Bitmap before = b;
    ColourRegionFill(b, 0, 1, 0.5, 0.1, 0, 1.0, 0, RGBColour(255, 255, 255));
    std::vector<std::pair<int, int>> changed;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            if (ColourAt(b, x, y) != ColourAt(before, x, y)) changed.emplace_back(x, y);
    EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{1, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(ColourAt(b, 1, 1), RGBColour(202, 202, 202)); // 202.5 to even
    EXPECT_EQ(ToleranceLimit(0.3), 45);
    EXPECT_EQ(ToleranceLimit(1.0), 150);
    EXPECT_EQ(ToleranceLimit(0.0), 0);
}

TEST(ColourRegionFill, EveryModeMatchesItsRule) {
    uint32_t seed = 7;
    for (int mode = 0; mode < kFillModeCount; ++mode)
        for (int32_t fill : {RGBColour(255, 0, 0), RGBColour(20, 180, 90)})
            for (auto [sx, sy] : {std::pair{0, 0}, {11, 8}, {22, 16}}) {
                SCOPED_TRACE(::testing::Message() << "mode " << mode << " fill " << fill << " at " << sx);
                const Bitmap before = Patchy(23, 17, 24, seed++);
                Bitmap b = before;
                ColourRegionFill(b, sx, sy, 0.5, 0.1, mode, 0.3, ColourAt(before, sx, sy), fill);
                EXPECT_TRUE(Same(b, Expected(before, sx, sy, mode, 45, fill)));
            }
}

TEST(ColourRegionFill, HueModeByHand) {
    // (200, 100, 50): L = 250 / 510 = 0.4902, S = 150 / 250 = 0.6, hue 20.
    // With the hue of red (0): C = (1 - |2L - 1|) S = 0.5882, red
    // L + C / 2 = 0.7843 -> 200, green and blue L - C / 2 = 0.1961 -> 50.
    // With the hue of (20, 180, 90), 60 x (2 + 70 / 160) = 146.25: sector
    // 2, green 200, red 50, blue 0.1961 + C x 0.4375 = 0.4534 -> 115.6 -> 116.
    for (auto [fill, want] : {std::pair{RGBColour(255, 0, 0), std::array<int, 3>{200, 50, 50}},
                              std::pair{RGBColour(20, 180, 90), std::array<int, 3>{50, 200, 116}}}) {
        Bitmap b(3, 1, 24);
        for (int x = 0; x < 3; ++x)
            SetPixel(b, x, 0, 200, 100, 50);
        ColourRegionFill(b, 1, 0, 0.5, 0.1, 1, 0.3, ColourAt(b, 1, 0), fill);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(ColourAt(b, x, 0), RGBColour(want[0], want[1], want[2])) << x;
    }
}

TEST(ColourRegionFill, LargeRegionsAreFilledCompletely) {
    // 120,000 pixels: the queue compacts itself on the way.
    Bitmap b(400, 300, 24);
    b.Fill(30, 60, 90);
    ColourRegionFill(b, 200, 150, 0.5, 0.1, 0, 0.0, RGBColour(90, 60, 30), RGBColour(0, 0, 0));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            ASSERT_EQ(ColourAt(b, x, y), RGBColour(45, 30, 15)) << x << "," << y;

    // Two H-shaped trees of paths fed from one point: all 131,072 leaves are
    // pending at once, more than the queue arrays hold.
    const int n = 1024;
    Bitmap maze(2 * n, n, 24);
    maze.Fill(0, 0, 0);
    auto open = [&](int x0, int y0, int x1, int y1) {
        for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
            for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
                SetPixel(maze, x, y, 255, 255, 255);
    };
    auto tree = [&](auto&& self, int cx, int cy, int size) -> void {
        if (size < 8) return;
        const int q = size / 4;
        open(cx - q, cy, cx + q, cy);
        open(cx - q, cy - q, cx - q, cy + q);
        open(cx + q, cy - q, cx + q, cy + q);
        for (int dx : {-q, q})
            for (int dy : {-q, q})
                self(self, cx + dx, cy + dy, size / 2);
    };
    tree(tree, n / 2, n / 2, n);
    tree(tree, n + n / 2, n / 2, n);
    open(n / 2, 0, n + n / 2, 0);
    open(n / 2, 0, n / 2, n / 2);
    open(n + n / 2, 0, n + n / 2, n / 2);
    const Bitmap before = maze;
    ColourRegionFill(maze, n, 0, 0.5, 0.1, 0, 0.0, RGBColour(255, 255, 255), RGBColour(0, 0, 255));
    const std::vector<uint8_t> in = ReferenceRegion(before, n, 0, 0, RGBColour(255, 255, 255));
    std::size_t filled = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < 2 * n; ++x) {
            const int32_t want = in[y * 2 * n + x] ? RGBColour(128, 128, 255) : ColourAt(before, x, y);
            ASSERT_EQ(ColourAt(maze, x, y), want) << x << "," << y;
            filled += in[y * 2 * n + x];
        }
    EXPECT_EQ(filled, 785409u);
}

TEST(FloodFillTool, FillsColourBytesThroughWorkCopyAndKeepsTransparency) {
    for (uint8_t button : {uint8_t(0), uint8_t(1), uint8_t(2)}) {
        const Bitmap before = Patchy(19, 13, 32, 40 + button);
        Bitmap b = before;
        const int32_t fg = RGBColour(250, 10, 30), bg = RGBColour(5, 5, 200);
        FloodFillPress(b, 9, 6, button, 3, 30, fg, bg);
        Bitmap want = Expected(before, 9, 6, 3, 45, button == 0 ? fg : bg);
        EXPECT_TRUE(Same(b, want)) << "button " << int(button); // transparency bytes compared too
    }
    // Mode 1 at 100 % on a 32-bit image.
    const Bitmap before = Patchy(19, 13, 32, 99);
    Bitmap b = before;
    FloodFillPress(b, 0, 12, 0, 1, 100, RGBColour(0, 200, 0), 0);
    EXPECT_TRUE(Same(b, Expected(before, 0, 12, 1, 150, RGBColour(0, 200, 0))));
    // A press beside the image leaves it alone.
    Bitmap c = before;
    FloodFillPress(c, 19, 3, 0, 0, 100, 0, 0);
    FloodFillPress(c, 3, -1, 0, 0, 100, 0, 0);
    EXPECT_TRUE(Same(c, before));
}

TEST(FloodFillTool, EraserTakesOnlyTheExactColour) {
    Bitmap b(6, 4, 32);
    b.Fill(100, 100, 100, 77);
    SetPixel(b, 3, 0, 101, 100, 100, 9); // one step off: stays
    SetPixel(b, 3, 1, 0, 0, 0, 9);
    SetPixel(b, 3, 2, 0, 0, 0, 9);
    SetPixel(b, 3, 3, 0, 0, 0, 9); // a wall down column 3
    const Bitmap before = b;
    EraserFloodFill(b, 1, 1, RGBColour(255, 255, 255));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint8_t* p = Px(b, x, y);
            if (x < 3) {
                EXPECT_EQ(ColourAt(b, x, y), RGBColour(178, 178, 178)); // 177.5 to even
                EXPECT_EQ(p[3], 77);
            } else {
                EXPECT_EQ(ColourAt(b, x, y), ColourAt(before, x, y)) << x << "," << y;
                EXPECT_EQ(p[3], before.Row(y)[x * 4 + 3]);
            }
        }
}
