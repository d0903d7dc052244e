// The colour planes read fast for whole pictures: the same numbers as one
// pixel at a time, for every colour there is.
#include <gtest/gtest.h>

#include <cstring>

#include "doc/row_ranges.h"
#include "effects/colour/colour_spaces.h"
#include "effects/colour/histogram.h"
#include "effects/colour/plane_reader.h"
#include "effects/colour/planes.h"
#include "support/pixels.h"

using namespace pixora;


// Every one of the 16.7 million colours, against the conversions done one
// pixel at a time: the hues exactly half-way between two degrees included.
TEST(PlaneReader, HueAndSaturationPlanesAgreeForEveryColour) {
    const TPlaneReader hsvHue(4), hlsHue(7), hlsSaturation(9);
    int wrong = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                int h, l, s, hv, sv, vv;
                RGBToHLSBytes(PackRGB(r, g, b), h, l, s);
                RGBToHSV(PackRGB(r, g, b), hv, sv, vv);
                int value;
                const TPlaneRGB hls = hlsHue.Read(true, r, g, b, value);
                const TPlaneRGB hsv = hsvHue.Pixel(true, r, g, b);
                const bool same = value == MulDivRound(h, 255, 360) &&
                                  PackRGB(hls.R, hls.G, hls.B) == HLSToRGBBytes(h, 128, 255) &&
                                  hlsSaturation.Value(r, g, b) == s &&
                                  hsvHue.Value(r, g, b) == MulDivRound(hv, 255, 359) &&
                                  PackRGB(hsv.R, hsv.G, hsv.B) == HSVToRGB(hv, 255, 255);
                if (!same && ++wrong <= 5) ADD_FAILURE() << r << "," << g << "," << b;
            }
    EXPECT_EQ(wrong, 0);
}

// The histogram and the picture in one pass give what the two calls give,
// on one core and split between two, for every plane and option.
TEST(PlaneReader, OnePassGivesTheHistogramAndThePictureOfTwo) {
    Bitmap src = pixora::testing::RandomImage(37, 23, 5);
    src.SetBitsPerPixel(24);
    for (int bands : {1, 2}) {
        const TRowBandsOverride hold(bands);
        for (int plane = 0; plane < kPlaneCount; ++plane)
            for (bool colour : {false, true})
                for (bool invert : {false, true}) {
                    THistogram separate, together;
                    GetHistogram(src, plane, separate);
                    const Bitmap expected = PlaneImage(plane, colour, invert, src);
                    const Bitmap picture = HistogramAndPlaneImage(src, plane, colour, invert, together);
                    EXPECT_EQ(separate.Counts, together.Counts) << plane;
                    ASSERT_EQ(picture.ByteSize(), expected.ByteSize());
                    EXPECT_EQ(0, std::memcmp(picture.Data(), expected.Data(), picture.ByteSize()))
                        << plane << " " << colour << " " << invert;
                    int total = 0;
                    for (int c : together.Counts)
                        total += c;
                    EXPECT_EQ(total, 37 * 23) << "every pixel counted once, in " << bands << " bands";
                }
    }
}
