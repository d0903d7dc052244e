// Colour spaces, planes, histograms, grey conversion and channel transfer.
#include <QImage>

#include "effects/colour/colour_errors.h"
#include "effects/colour/colour_spaces.h"
#include "effects/colour/histogram.h"
#include "effects/colour/ieee754.h"
#include "effects/colour/planes.h"
#include "effects/quick/channel_mix.h"
#include "quick_support.h"

namespace {

using namespace quicktest;

TEST(ColourSpaces, HSVOfPrimariesAndGrey) {
    int h, s, v;
    RGBToHSV(PackRGB(255, 0, 0), h, s, v);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 255);
    EXPECT_EQ(v, 255);
    RGBToHSV(PackRGB(128, 128, 128), h, s, v);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(v, 128);
    RGBToHSV(PackRGB(255, 0, 128), h, s, v); // magenta side: the hue is negative first
    EXPECT_EQ(h, 330);
    EXPECT_EQ(HSVToRGB(240, 255, 255), PackRGB(0, 0, 255));
    EXPECT_EQ(HSVToRGB(360, 255, 255), PackRGB(255, 0, 0));
    EXPECT_EQ(HSVToRGB(77, 0, 90), PackRGB(90, 90, 90));
}

TEST(ColourSpaces, HSVRoundTripStaysClose) {
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51) {
                int h, s, v;
                RGBToHSV(PackRGB(r, g, b), h, s, v);
                ASSERT_GE(h, 0);
                ASSERT_LT(h, 360);
                const int32_t back = HSVToRGB(h, s, v);
                EXPECT_NEAR(PackedRed(back), r, 6);
                EXPECT_NEAR(PackedGreen(back), g, 6);
                EXPECT_NEAR(PackedBlue(back), b, 6);
            }
}

TEST(ColourSpaces, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDivRound(1, 5, 2), 3);
    EXPECT_EQ(MulDivRound(-1, 5, 2), -3);
    EXPECT_EQ(MulDivRound(60, -1, 7), -9); // -8.57
}

TEST(ColourSpaces, HLSGreyHasNoHueAndComesBack) {
    double h, l, s;
    RGBToHLS(0.5, 0.5, 0.5, h, l, s);
    EXPECT_TRUE(IEEE754::IsNaN(h));
    EXPECT_EQ(s, 0);
    double r, g, b;
    HLSToRGB(h, l, s, r, g, b);
    EXPECT_EQ(r, 0.5);
    EXPECT_EQ(g, 0.5);
    EXPECT_EQ(b, 0.5);
    try {
        HLSToRGB(10, 0.5, 0, r, g, b);
        FAIL() << "no error";
    } catch (const EColorError& e) {
        EXPECT_STREQ(e.what(), "HLStoRGB:  S = 0 and H has a value");
    }
}

TEST(ColourSpaces, HLSOfColoursAndTheirBytes) {
    double h, l, s, r, g, b;
    RGBToHLS(0, 0, 1, h, l, s);
    EXPECT_EQ(h, 240);
    EXPECT_EQ(l, 0.5);
    EXPECT_EQ(s, 1);
    HLSToRGB(h, l, s, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 1);
    int H, L, S;
    RGBToHLSBytes(PackRGB(255, 128, 0), H, L, S);
    EXPECT_EQ(H, 30);
    EXPECT_EQ(L, 128);
    EXPECT_EQ(S, 255);
    RGBToHLSBytes(PackRGB(40, 40, 40), H, L, S);
    EXPECT_EQ(H, 0);
    EXPECT_EQ(S, 0);
    EXPECT_EQ(HLSToRGBBytes(0, 128, 255), PackRGB(255, 1, 1));
    EXPECT_EQ(HLSToRGBBytes(123, 40, 0), PackRGB(40, 40, 40));
}

TEST(ColourSpaces, CMYKOfWhiteBlackAndAColour) {
    int c, m, y, k;
    RGBToCMYK(PackRGB(255, 255, 255), c, m, y, k);
    EXPECT_EQ(c + m + y + k, 0);
    RGBToCMYK(PackRGB(0, 0, 0), c, m, y, k);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(k, 255);
    RGBToCMYK(PackRGB(200, 100, 50), c, m, y, k);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(m, 100);
    EXPECT_EQ(y, 150);
    EXPECT_EQ(k, 55);
}

TEST(ColourPlanes, NamesAndValues) {
    EXPECT_EQ(PlaneName(0), "RGB Composite");
    EXPECT_EQ(PlaneName(9), "Saturation (HLS)");
    EXPECT_EQ(PlaneName(11), "Magenta") << "the window's caption names every plane";
    EXPECT_EQ(PlaneName(13), "Black (K)");
    EXPECT_EQ(PlaneName(14), "Intensity");
    EXPECT_EQ(PlaneName(15), "");
    EXPECT_EQ(PlaneName(16), "");
    EXPECT_EQ(PlaneValue(0, 10, 20, 31), 20);
    EXPECT_EQ(PlaneValue(4, 0, 0, 255), 170); // 240 * 255 / 359 = 170.47
    EXPECT_EQ(PlaneValue(7, 0, 0, 255), 170); // 240 * 255 / 360 = 170
    EXPECT_EQ(PlaneValue(8, 10, 200, 51), 105);
    EXPECT_EQ(PlaneValue(13, 10, 200, 51), 55);
    EXPECT_EQ(PlaneValue(15, 255, 255, 255), 255);
    EXPECT_EQ(PlaneValue(16, 1, 2, 3), -1);
}

Bitmap OnePixel24(int r, int g, int b) {
    Bitmap bmp(1, 1, 24);
    bmp.Fill(static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r));
    return bmp;
}

TEST(ColourPlanes, ImagesInColourGreyAndInverted) {
    const Bitmap src = OnePixel24(200, 100, 50);
    auto bgr = [](const Bitmap& b) { return PackRGB(b.Row(0)[2], b.Row(0)[1], b.Row(0)[0]); };
    EXPECT_EQ(bgr(PlaneImage(1, true, false, src)), PackRGB(200, 0, 0));
    EXPECT_EQ(bgr(PlaneImage(1, false, false, src)), PackRGB(200, 200, 200));
    EXPECT_EQ(bgr(PlaneImage(0, false, true, src)), PackRGB(139, 139, 139));
    EXPECT_EQ(bgr(PlaneImage(4, true, false, src)), PackRGB(255, 85, 0)); // hue 20 at full strength
    EXPECT_EQ(bgr(PlaneImage(4, false, false, src)), PackRGB(113, 113, 113));
    EXPECT_EQ(bgr(PlaneImage(13, true, false, src)), PackRGB(55, 55, 55));
    Bitmap wrong(1, 1, 32);
    try {
        PlaneImage(0, true, false, wrong);
        FAIL() << "no error";
    } catch (const EColorError& e) {
        EXPECT_STREQ(e.what(), "GetImageSpace:  Bitmap must be 24-bit color.");
    }
}

TEST(ColourHistogram, CountsAPlaneAndRefusesOtherBitmaps) {
    Bitmap b(3, 2, 24);
    b.Fill(10, 20, 30);
    b.Row(1)[0] = 255;
    THistogram h;
    GetHistogram(b, 3, h);
    EXPECT_EQ(h.Counts[10], 5);
    EXPECT_EQ(h.Counts[255], 1);
    EXPECT_EQ(h.Largest(), 5);
    std::vector<std::string> said;
    GetHistogram(b, 99, h, [&](const std::string& m) { said.push_back(m); });
    EXPECT_EQ(h.Counts[0], 6);
    ASSERT_EQ(said.size(), 6u);
    EXPECT_EQ(said.front(), "Histogram index = -1 (i,j) = (2, 1)"); // the walk starts at the last pixel
    Bitmap b32(2, 2, 32);
    try {
        GetHistogram(b32, 0, h);
        FAIL() << "no error";
    } catch (const EHistogramError& e) {
        EXPECT_STREQ(e.what(), "GetHistogram:  Bitmap must be 24-bit.");
    }
}

TEST(ColourHistogram, DrawsOnlyOnACanvas256Wide) {
    THistogram h;
    h.Counts[100] = 10;
    h.Counts[101] = 5;
    for (int w : {255, 257}) {
        QImage canvas(w, 100, QImage::Format_RGB32);
        canvas.fill(QColor(192, 192, 192));
        const QImage before = canvas;
        DrawHistogram(1, h, canvas);
        EXPECT_TRUE(canvas == before) << w;
    }
    QImage canvas(256, 100, QImage::Format_RGB32);
    canvas.fill(QColor(192, 192, 192));
    const QImage blank = canvas;
    DrawHistogram(1, THistogram{}, canvas); // all counts 0
    EXPECT_TRUE(canvas == blank);
    DrawHistogram(1, h, canvas);
    // Bin 100: 100 pixels of red 100; bin 101: round(100 * 5 / 10) = 50.
    EXPECT_EQ(canvas.pixel(100, 99), qRgb(128, 128, 128)); // the tick at 100 is drawn over it
    EXPECT_EQ(canvas.pixel(100, 50), qRgb(100, 0, 0));
    EXPECT_EQ(canvas.pixel(101, 50), qRgb(101, 0, 0));
    EXPECT_EQ(canvas.pixel(101, 49), qRgb(192, 192, 192));
    EXPECT_EQ(canvas.pixel(110, 99), qRgb(128, 128, 128)); // short tick, 4 high
    EXPECT_EQ(canvas.pixel(110, 95), qRgb(192, 192, 192));
    EXPECT_EQ(canvas.pixel(150, 92), qRgb(128, 128, 128)); // long tick, 8 high
    EXPECT_EQ(canvas.pixel(200, 40), qRgb(128, 128, 128)); // grid line at 100 * 2 / 5
}

TEST(ColourGrayScale, DominantChannelAndBrightness) {
    const Bitmap src = RandomImage(9, 4, 11);
    Bitmap red, grey, bright;
    quick::GrayScale(src, red, {quick::TDominant::Red, 0});
    quick::GrayScale(src, grey, {quick::TDominant::RGB, 0});
    quick::GrayScale(src, bright, {quick::TDominant::Blue, 100});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
            const uint8_t* s = Px(src, x, y);
            const int a = (s[0] + s[1] + s[2]) / 3;
            EXPECT_EQ(Px(red, x, y)[0], 0);
            EXPECT_EQ(Px(red, x, y)[1], 0);
            EXPECT_EQ(Px(red, x, y)[2], a);
            EXPECT_EQ(Px(grey, x, y)[1], a);
            EXPECT_EQ(Px(bright, x, y)[0], std::min(255, a + 100));
            EXPECT_EQ(Px(bright, x, y)[2], 100); // brightness reaches the zeroed channels too
            EXPECT_EQ(Px(red, x, y)[3], s[3]);
        }
}

TEST(ColourChannelTransfer, GreenFromRedAtFullAndOnePercent) {
    Bitmap scratch(2, 1);
    uint8_t* p = Px(scratch, 0, 0);
    p[0] = 5, p[1] = 200, p[2] = 31, p[3] = 0;
    p = Px(scratch, 1, 0);
    p[0] = 5, p[1] = 200, p[2] = 31, p[3] = 0;
    Bitmap doc = scratch;
    quick::ChannelTransfer(scratch, doc, {quick::ccGreen, quick::ccRed, 100});
    EXPECT_EQ(Px(doc, 0, 0)[1], 31);
    EXPECT_EQ(Px(doc, 0, 0)[2], 31);
    quick::ChannelTransfer(scratch, doc, {quick::ccGreen, quick::ccRed, 1},
                           [](int x, int) { return x == 0; });
    EXPECT_EQ(Px(doc, 0, 0)[1], 99 * 200 / 100 + 31 / 100); // 198
    EXPECT_EQ(Px(doc, 1, 0)[1], 31);                        // refused: keeps the last transfer
    EXPECT_STREQ(quick::kTransferPairs[0].Caption, "G - R");
    EXPECT_THROW(quick::ChannelTransfer(scratch, doc, {quick::ccGreen, quick::ccRed, 0}),
                 std::invalid_argument);
}

} // namespace
