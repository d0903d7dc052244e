#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "doc/checkerboard.h"
#include "doc/row_ranges.h"
#include "support/pixels.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

// Random colours; every other pixel has a random transparency, the rest are
// opaque.
Bitmap RandomTransparent(int w, int h, uint32_t seed) {
    Bitmap image(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned v = rng();
            SetPixel(image, x, y, v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, (v & 1) ? (v >> 24) : 0);
        }
    return image;
}

// Whether the shown pixel is the image's blended over the checkerboard's
// by the view's rule: each channel weighed by the transparency as a whole
// percentage, the two parts divided separately; the transparency kept.
::testing::AssertionResult Blended(const Bitmap& image, const Bitmap& cb, const Bitmap& display, int x, int y) {
    const uint8_t* s = Px(image, x, y);
    const uint8_t* c = Px(cb, x, y);
    const uint8_t* d = Px(display, x, y);
    const int b = static_cast<int>(std::lround(s[3] * 100.0 / 255.0));
    for (int k = 0; k < 3; ++k)
        if (d[k] != (100 - b) * s[k] / 100 + b * c[k] / 100)
            return ::testing::AssertionFailure() << "channel " << k << " at " << x << "," << y << ": " << int(d[k]);
    if (d[3] != s[3]) return ::testing::AssertionFailure() << "transparency at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(ViewCheckerboard, TenPixelCellsAlternateAndAreCutAtTheEdges) {
    Bitmap cb;
    BuildCheckerboard(cb, 25, 23);
    ASSERT_EQ(cb.Width(), 25);
    ASSERT_EQ(cb.Height(), 23);
    const uint8_t grey = Px(cb, 0, 0)[0];
    const uint8_t white = grey == kCheckerGrey ? kCheckerWhite : kCheckerGrey;
    EXPECT_EQ(grey, kCheckerGrey);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 25; ++x) {
            const uint8_t expect = ((x / 10 + y / 10) % 2 == 0) ? grey : white;
            const uint8_t* p = Px(cb, x, y);
            ASSERT_EQ(p[0], expect) << x << "," << y;
            ASSERT_EQ(p[1], expect);
            ASSERT_EQ(p[2], expect);
            ASSERT_EQ(p[3], 0);
        }
    BuildCheckerboard(cb, 7, 3);  // rebuilt on the next tab change
    EXPECT_EQ(cb.Width(), 7);
    EXPECT_EQ(Px(cb, 6, 2)[1], grey);

    // A large one is built in bands on two threads: every row, the band
    // edges included, still alternates at the cell edges.
    const TRowBandsOverride bands(2);
    BuildCheckerboard(cb, 700, 503);
    for (int y : {0, 9, 10, 250, 251, 252, 502})
        for (int x : {0, 9, 10, 699}) {
            const uint8_t expect = ((x / 10 + y / 10) % 2 == 0) ? grey : white;
            ASSERT_EQ(Px(cb, x, y)[2], expect) << x << "," << y;
        }
}

TEST(ViewCheckerboard, ShareRoundsTransparencyToAPercentage) {
    EXPECT_EQ(CheckerShare(0), 0);
    EXPECT_EQ(CheckerShare(1), 0);
    EXPECT_EQ(CheckerShare(2), 1);  // 0.78
    EXPECT_EQ(CheckerShare(128), 50);
    EXPECT_EQ(CheckerShare(255), 100);
    // 255 is odd, so a x 100 / 255 never lands on a half: plain rounding agrees.
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(CheckerShare(static_cast<uint8_t>(a)), std::lround(a * 100.0 / 255.0)) << a;
}

TEST(ViewCheckerboard, BlendMixesEachChannelWithSeparateDivisions) {
    Bitmap image(20, 2);
    image.Fill(0, 0, 0, 0);
    SetPixel(image, 0, 0, 200, 100, 0, 128);   // over grey, b = 50
    SetPixel(image, 10, 0, 201, 100, 0, 128);  // over white
    SetPixel(image, 1, 0, 33, 66, 99, 1);      // b = 0: unchanged
    SetPixel(image, 2, 0, 33, 66, 99, 255);    // checkerboard alone
    SetPixel(image, 3, 0, 33, 66, 99, 0);      // opaque
    SetPixel(image, 11, 1, 80, 90, 100, 64);   // b = 25
    const Bitmap original = image;
    Bitmap cb;
    BuildCheckerboard(cb, 20, 2);

    Bitmap display;
    MakeDisplayCopy(image, cb, display, true);
    ASSERT_EQ(display.Width(), 20);
    const uint8_t* p = Px(display, 0, 0);
    EXPECT_EQ(p[2], 175);  // 100 + 75
    EXPECT_EQ(p[1], 125);
    EXPECT_EQ(p[0], 75);
    EXPECT_EQ(p[3], 128);  // transparency kept in the copy
    p = Px(display, 10, 0);
    EXPECT_EQ(p[2], 227);  // 100 + 127; one division of the sum would give 228
    EXPECT_EQ(p[0], 127);
    p = Px(display, 1, 0);
    EXPECT_EQ(p[2], 33);
    EXPECT_EQ(p[0], 99);
    p = Px(display, 2, 0);
    EXPECT_EQ(p[2], 150);
    EXPECT_EQ(p[1], 150);
    p = Px(display, 3, 0);
    EXPECT_EQ(p[1], 66);
    p = Px(display, 11, 1);  // 75 x 80 div 100 + 25 x 255 div 100
    EXPECT_EQ(p[2], 60 + 63);
    EXPECT_EQ(p[0], 75 + 63);
    // The document is never touched.
    EXPECT_EQ(std::memcmp(image.Data(), original.Data(), image.ByteSize()), 0);

    // The blend over an existing copy gives the same as the one-pass copy.
    Bitmap second = image;
    BlendTransparency(image, cb, second);
    EXPECT_EQ(std::memcmp(second.Data(), display.Data(), display.ByteSize()), 0);

    // During a drag the display copy is the plain image.
    MakeDisplayCopy(image, cb, display, false);
    EXPECT_EQ(std::memcmp(display.Data(), image.Data(), image.ByteSize()), 0);
}

TEST(ViewCheckerboard, LargeDisplayCopiesCoverEveryRow) {
    // Large enough to be split across threads; odd height for an uneven split.
    const int w = 700, h = 501;
    Bitmap image = RandomTransparent(w, h, 7);
    Bitmap cb;
    BuildCheckerboard(cb, w, h);
    Bitmap display(3, 3);
    MakeDisplayCopy(image, cb, display, true);
    ASSERT_EQ(display.Width(), w);
    ASSERT_EQ(display.Height(), h);
    for (int y : {0, h / 2 - 1, h / 2, h - 1})
        for (int x = 0; x < w; ++x)
            ASSERT_TRUE(Blended(image, cb, display, x, y));

    // A display copy of the same size keeps its storage; a plain copy is exact.
    const uint8_t* storage = display.Data();
    image.Row(h - 1)[0] ^= 0xFF;
    CopyBitmapInto(image, display);
    EXPECT_EQ(display.Data(), storage);
    EXPECT_EQ(std::memcmp(display.Data(), image.Data(), image.ByteSize()), 0);
}

TEST(ViewCheckerboard, BlendIsExactForEveryTransparencyAndByte) {
    // Rows are the transparency 0..255; columns run every byte value over a
    // grey and then a white cell; the width leaves a ragged end of 3 pixels.
    const int w = 2 * 256 + 3, h = 256;
    Bitmap image(w, h), checker(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int d = x % 256;
            SetPixel(image, x, y, (d * 7) & 255, 255 - d, d, y);
            const int c = x < 256 ? kCheckerGrey : kCheckerWhite;
            SetPixel(checker, x, y, c, c, c, 0);
        }
    Bitmap display = image;
    BlendTransparency(image, checker, display);
    Bitmap oneRun;
    MakeDisplayCopy(image, checker, oneRun, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_TRUE(Blended(image, checker, display, x, y));
    EXPECT_EQ(std::memcmp(display.Data(), oneRun.Data(), display.ByteSize()), 0);
}

TEST(ViewCheckerboard, AnAreaRefreshedMatchesTheWholeCopyAndLeavesTheRestAlone) {
    // Random colours and transparency; an area at odd columns so that the
    // four-pixel groups and the ragged ends both fall inside it.
    const int w = 61, h = 40;
    Bitmap image = RandomTransparent(w, h, 11);
    Bitmap cb;
    BuildCheckerboard(cb, w, h);
    Bitmap display;
    MakeDisplayCopy(image, cb, display, true);
    const Bitmap stale = display;

    const TRect area{7, 5, 30, 22};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) Px(image, x, y)[1] ^= 0x5A;
    EXPECT_FALSE(RefreshDisplayArea(image, cb, display, area));
    Bitmap whole;
    MakeDisplayCopy(image, cb, whole, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom;
            const Bitmap& expect = inside ? whole : stale;
            ASSERT_EQ(std::memcmp(Px(display, x, y), Px(expect, x, y), 4), 0) << x << "," << y;
        }

    // An area reaching past every edge is cut to the image: all of it now.
    EXPECT_FALSE(RefreshDisplayArea(image, cb, display, {-9, -3, w + 5, h + 8}));
    EXPECT_EQ(std::memcmp(display.Data(), whole.Data(), whole.ByteSize()), 0);

    // A display copy of another size (a tab change, a crop) is made whole.
    Bitmap small(4, 4);
    EXPECT_TRUE(RefreshDisplayArea(image, cb, small, {0, 0, 1, 1}));
    EXPECT_EQ(std::memcmp(small.Data(), whole.Data(), whole.ByteSize()), 0);
}

TEST(ViewCheckerboard, ABandOfRowsBlendsAsTheWholeCheckerboardDoes) {
    // Taller than the band and not a whole number of bands; large enough to
    // be split across threads, so that bands start at odd rows.
    const int w = 301, h = 547;
    const TRowBandsOverride bands(2);
    Bitmap image(w, h);
    std::mt19937 rng(5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned v = rng();
            SetPixel(image, x, y, v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, (v >> 24) | 1);
        }
    Bitmap whole, band;
    BuildCheckerboard(whole, w, h);
    BuildCheckerBand(band, w, h);
    ASSERT_EQ(band.Height(), kCheckerBand);
    Bitmap expect, shown;
    MakeDisplayCopy(image, whole, expect, true);
    MakeDisplayCopy(image, band, shown, true);
    ASSERT_EQ(std::memcmp(shown.Data(), expect.Data(), expect.ByteSize()), 0);

    // An area low in the picture, and a blend over a copy, read the band too.
    for (int y = 321; y < h; ++y) Px(image, 5, y)[0] ^= 0x33;
    MakeDisplayCopy(image, whole, expect, true);
    EXPECT_FALSE(RefreshDisplayArea(image, band, shown, {3, 321, 9, h}));
    EXPECT_EQ(std::memcmp(shown.Data(), expect.Data(), expect.ByteSize()), 0);
    Bitmap copied = image;
    BlendTransparency(image, band, copied);
    EXPECT_EQ(std::memcmp(copied.Data(), expect.Data(), expect.ByteSize()), 0);

    // A picture shorter than the band gets only its own rows.
    BuildCheckerBand(band, 7, 3);
    EXPECT_EQ(band.Height(), 3);
}
