// Rotations and mirrors.
#include <cmath>
#include <numbers>

#include "engine_support.h"

using namespace pixora;
using namespace enginetest;

namespace {

constexpr double kPi = std::numbers::pi;
const TPixelBytes kBg{1, 2, 3, 4};

// 3 x 2 image whose pixel (x, y) has blue x and green y.
Bitmap Numbered(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPx(b, x, y, {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 9, 0});
    return b;
}

TPixelBytes From(int x, int y) {
    return {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 9, 0};
}

// Rotation by an angle, straight from the rule.
Bitmap RotateReference(const Bitmap& s, double angle, TPixelBytes bg) {
    const int W = s.Width(), H = s.Height();
    double phi = angle;
    if (angle >= 3 * kPi / 2)
        phi = 2 * kPi - angle;
    else if (angle >= kPi)
        phi = angle - kPi;
    else if (angle >= kPi / 2)
        phi = kPi - angle;
    const int tw = static_cast<int>(std::nearbyint((W / 2.0 * std::cos(phi) + H / 2.0 * std::sin(phi)) * 2));
    const int th = static_cast<int>(std::nearbyint((W / 2.0 * std::sin(phi) + H / 2.0 * std::cos(phi)) * 2));
    Bitmap t(tw, th);
    t.Fill(bg.B, bg.G, bg.R, bg.T);
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x) {
            const double dx = x - tw / 2, dy = y - th / 2;
            const double sx = std::nearbyint(W / 2 + dx * std::cos(angle) - dy * std::sin(angle));
            const double sy = std::nearbyint(H / 2 + dx * std::sin(angle) + dy * std::cos(angle));
            if (sx >= 0 && sx < W && sy >= 0 && sy < H)
                SetPx(t, x, y, BytesAt(s, static_cast<int>(sx), static_cast<int>(sy)));
        }
    return t;
}

} // namespace

TEST(EngineRotations, FixedTurnsAndMirrorsOfAThreeByTwoImage) {
    TEffects fx;
    Bitmap s = Numbered(3, 2), t;
    ASSERT_TRUE(fx.RotateLeft(s, t, kBg));
    ASSERT_EQ(t.Width(), 2);
    ASSERT_EQ(t.Height(), 3);
    EXPECT_EQ(BytesAt(t, 0, 0), From(2, 0)); // top-left = source top-right
    EXPECT_EQ(BytesAt(t, 1, 0), From(2, 1));
    EXPECT_EQ(BytesAt(t, 0, 2), From(0, 0));

    ASSERT_TRUE(fx.RotateRight(s, t, kBg));
    ASSERT_EQ(t.Width(), 2);
    EXPECT_EQ(BytesAt(t, 0, 0), From(0, 1)); // top-left = source bottom-left
    EXPECT_EQ(BytesAt(t, 1, 2), From(2, 0));

    ASSERT_TRUE(fx.FlipVertical(s, t, kBg));
    EXPECT_EQ(BytesAt(t, 0, 0), From(0, 1));
    EXPECT_EQ(BytesAt(t, 2, 1), From(2, 0));

    ASSERT_TRUE(fx.MirrorHorizontal(s, t, kBg));
    EXPECT_EQ(BytesAt(t, 0, 0), From(2, 0));
    EXPECT_EQ(BytesAt(t, 2, 1), From(0, 1));

    ASSERT_TRUE(fx.RotateHalf(s, t, kBg));
    EXPECT_EQ(BytesAt(t, 0, 0), From(2, 1));
    EXPECT_EQ(BytesAt(t, 2, 1), From(0, 0));

    // All four bytes travel; into itself works too.
    SetPx(s, 0, 0, {7, 7, 7, 200});
    ASSERT_TRUE(fx.RotateLeft(s, s, kBg));
    EXPECT_EQ(BytesAt(s, 0, 2), (TPixelBytes{7, 7, 7, 200}));
    Bitmap empty;
    EXPECT_FALSE(fx.RotateHalf(empty, t, kBg));
}

TEST(EngineRotations, RightAnglesTakeTheExactTurns) {
    TEffects fx;
    Bitmap s = RandomImage(7, 4, 51), left, right, half, t;
    fx.RotateLeft(s, left, kBg);
    fx.RotateRight(s, right, kBg);
    fx.RotateHalf(s, half, kBg);
    for (int degrees : {90, 450, -270}) {
        ASSERT_TRUE(fx.RotateAngle(s, t, kBg, degrees * kPi / 180));
        EXPECT_TRUE(SameImage(t, left)) << degrees;
    }
    fx.RotateAngle(s, t, kBg, 180 * kPi / 180);
    EXPECT_TRUE(SameImage(t, half));
    fx.RotateAngle(s, t, kBg, 270 * kPi / 180);
    EXPECT_TRUE(SameImage(t, right));
    for (double zero : {0.0, 2 * kPi, 720 * kPi / 180, 1e-17}) {
        fx.RotateAngle(s, t, kBg, zero);
        EXPECT_TRUE(SameImage(t, s)) << zero;
    }
    // Just off a right angle the general rotation runs (and shifts by one
    // pixel for even sizes, as the centres are W div 2).
    fx.RotateAngle(s, t, kBg, kPi / 2 + 1e-9);
    EXPECT_TRUE(SameImage(t, RotateReference(s, kPi / 2 + 1e-9, kBg)));
    EXPECT_FALSE(fx.RotateAngle(s, t, kBg, std::nan("")));
    EXPECT_FALSE(fx.RotateAngle(s, t, kBg, INFINITY));
}

TEST(EngineRotations, FortyFiveDegreesGrowsTheImageAndFillsTheCorners) {
    TEffects fx;
    Bitmap s(100, 100), t;
    s.Fill(200, 100, 50, 0);
    ASSERT_TRUE(fx.RotateAngle(s, t, kBg, 45 * kPi / 180));
    EXPECT_EQ(t.Width(), 141);
    EXPECT_EQ(t.Height(), 141);
    EXPECT_EQ(BytesAt(t, 0, 0), kBg);
    EXPECT_EQ(BytesAt(t, 140, 0), kBg);
    EXPECT_EQ(BytesAt(t, 0, 140), kBg);
    EXPECT_EQ(BytesAt(t, 140, 140), kBg);
    EXPECT_EQ(BytesAt(t, 70, 70), (TPixelBytes{200, 100, 50, 0}));
}

TEST(EngineRotations, AnyAngleMatchesTheRule) {
    const Bitmap original = RandomImage(123, 77, 52);
    for (double degrees : {1.0, 30.0, 45.0, 100.0, 179.0, 200.0, 289.0, 359.5, -45.0, 1000.0})
        for (bool fastLoops : {true, false}) {
            TEffects fx;
            fx.UseFastLoops = fastLoops;
            Bitmap s = original, t;
            double angle = degrees * kPi / 180;
            ASSERT_TRUE(fx.RotateAngle(s, t, kBg, angle));
            while (angle < 0)
                angle += 2 * kPi;
            while (angle >= 2 * kPi)
                angle -= 2 * kPi;
            EXPECT_TRUE(SameImage(t, RotateReference(original, angle, kBg))) << degrees;
        }
}

TEST(EngineRotations, FortyDegreesOfAFourByThreeImageByHand) {
    // cos 40 = 0.76604, sin 40 = 0.64279: the target is
    // round((2 cos + 1.5 sin) x 2) = round(4.9925) = 5 wide and
    // round((2 sin + 1.5 cos) x 2) = round(4.8693) = 5 high. Target (1, 1)
    // has dx = dy = -1 and reads source x = round(2 - 0.76604 + 0.64279) = 2,
    // y = round(1 - 0.64279 - 0.76604) = 0; and so on for the rest.
    TEffects fx;
    Bitmap s = Numbered(4, 3), t;
    ASSERT_TRUE(fx.RotateAngle(s, t, kBg, 40 * kPi / 180));
    ASSERT_EQ(t.Width(), 5);
    ASSERT_EQ(t.Height(), 5);
    const int none = -1;
    const int from[5][5][2] = {
        {{none}, {none}, {none}, {none}, {none}}, {{none}, {2, 0}, {3, 0}, {3, 1}, {none}},
        {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {none}}, {{0, 0}, {1, 1}, {1, 2}, {2, 2}, {none}},
        {{none}, {0, 2}, {none}, {none}, {none}},
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const int* f = from[y][x];
            EXPECT_EQ(BytesAt(t, x, y), f[0] == none ? kBg : From(f[0], f[1])) << x << "," << y;
        }
}

TEST(EngineRotations, MasksTurnWithThePicture) {
    TEffects fx;
    const Bitmap s = RandomImage(40, 30, 53);
    fx.Masked = true;
    fx.MaskBitmap = Bitmap(40, 30);
    // Left half of the source marked.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x)
            SetPx(fx.MaskBitmap, x, y, {255, 255, 255, 255});
    Bitmap src = s, t;
    ASSERT_TRUE(fx.RotateAngle(src, t, kBg, 30 * kPi / 180));
    EXPECT_TRUE(fx.Masked);
    Bitmap turnedMask;
    fx.Masked = false;
    fx.RotateAngle(fx.MaskBitmap, turnedMask, fx.MaskFillColour(), 30 * kPi / 180);
    Bitmap full;
    fx.RotateAngle(src, full, kBg, 30 * kPi / 180);
    int kept = 0;
    for (int y = 0; y < t.Height(); ++y)
        for (int x = 0; x < t.Width(); ++x) {
            const bool marked = BytesAt(turnedMask, x, y) == TPixelBytes{255, 255, 255, 255};
            EXPECT_EQ(BytesAt(t, x, y), marked ? BytesAt(full, x, y) : kBg);
            kept += marked;
        }
    EXPECT_GT(kept, 400);

    // The fixed turns walk the source: unmarked source pixels are not moved.
    fx.Masked = true;
    ASSERT_TRUE(fx.MirrorHorizontal(src, t, kBg));
    EXPECT_EQ(BytesAt(t, 39, 0), BytesAt(s, 0, 0));
    EXPECT_EQ(BytesAt(t, 0, 0), kBg);
}

TEST(EngineRotations, LargeImagesMatchThePlainMappings) {
    // Large enough for several tiles and both cores, and odd-sized so that
    // no tile ends on the image's edge.
    static constexpr int W = 301, H = 263;
    const Bitmap original = RandomImage(W, H, 54);
    struct Fixed {
        const char* name;
        bool (TEffects::*op)(Bitmap&, Bitmap&, const TPixelBytes&);
        bool swap;
        TPoint (*to)(int x, int y);
    };
    const Fixed ops[] = {
        {"flip", &TEffects::FlipVertical, false,
         [](int x, int y) {
             return TPoint{x, H - 1 - y};
         }},
        {"mirror", &TEffects::MirrorHorizontal, false,
         [](int x, int y) {
             return TPoint{W - 1 - x, y};
         }},
        {"left", &TEffects::RotateLeft, true,
         [](int x, int y) {
             return TPoint{y, W - 1 - x};
         }},
        {"right", &TEffects::RotateRight, true,
         [](int x, int y) {
             return TPoint{H - 1 - y, x};
         }},
        {"half", &TEffects::RotateHalf, false,
         [](int x, int y) {
             return TPoint{W - 1 - x, H - 1 - y};
         }},
    };
    for (const Fixed& f : ops)
        for (bool fastLoops : {true, false}) {
            TEffects fx;
            fx.UseFastLoops = fastLoops;
            Bitmap s = original, t;
            ASSERT_TRUE((fx.*f.op)(s, t, kBg));
            ASSERT_EQ(t.Width(), f.swap ? H : W) << f.name;
            Bitmap expected(f.swap ? H : W, f.swap ? W : H);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const TPoint p = f.to(x, y);
                    SetPx(expected, p.X, p.Y, BytesAt(original, x, y));
                }
            EXPECT_TRUE(SameImage(t, expected)) << f.name << (fastLoops ? " bands" : " callbacks");
        }
    for (double degrees : {30.0, 135.0, 250.0}) {
        TEffects fx;
        Bitmap s = original, t;
        ASSERT_TRUE(fx.RotateAngle(s, t, kBg, degrees * kPi / 180));
        EXPECT_TRUE(SameImage(t, RotateReference(original, degrees * kPi / 180, kBg))) << degrees;
    }
}
