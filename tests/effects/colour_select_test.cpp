// The colour selection dialog's values, ramps and picture, without a window.
#include <gtest/gtest.h>

#include "effects/colour/colour_select.h"
#include "effects/colour/colour_spaces.h"

using namespace pixora;

namespace {

int32_t At(const Bitmap& b, int x, int y) {
    const uint8_t* p = b.Row(y) + 3 * x;
    return RGBColour(p[2], p[1], p[0]);
}

TEST(ColourSelect, OpeningWithRedSetsBothShapesAndEveryControl) {
    TColourControls c;
    c.Active = TColourControl::Green;
    OpenColourControls(c, RGBColour(255, 0, 0));
    EXPECT_EQ(c.Red, 255);
    EXPECT_EQ(c.Green, 0);
    EXPECT_EQ(c.Blue, 0);
    EXPECT_EQ(c.Hue, 0);
    EXPECT_EQ(c.Saturation, 255);
    EXPECT_EQ(c.Value, 255);
    EXPECT_EQ(c.NewColour, RGBColour(255, 0, 0));
    EXPECT_EQ(c.OldColour, RGBColour(255, 0, 0));
    EXPECT_EQ(c.Active, TColourControl::None);

    // A later change moves the new colour only.
    ColourControlsFromRGB(c, 255, 128, 0);
    EXPECT_EQ(c.NewColour, RGBColour(255, 128, 0));
    EXPECT_EQ(c.OldColour, RGBColour(255, 0, 0));
    EXPECT_EQ(c.Hue, 30);
}

TEST(ColourSelect, SaturationKeepsOneScaleBothWays) {
    TColourControls c;
    // RGB -> HSV -> RGB with the same 0..255 saturation: (200, 150, 100)
    // gives S = 100 * 255 / 200 rounded = 128, and comes back close.
    ColourControlsFromRGB(c, 200, 150, 100);
    EXPECT_EQ(c.Saturation, 128);
    EXPECT_EQ(c.Value, 200);
    const int h = c.Hue, s = c.Saturation, v = c.Value;
    ColourControlsFromHSV(c, h, s, v);
    EXPECT_NEAR(c.Red, 200, 2);
    EXPECT_NEAR(c.Green, 150, 2);
    EXPECT_NEAR(c.Blue, 100, 2);
    EXPECT_EQ(c.Saturation, 128);

    ColourControlsFromHSV(c, 240, 255, 255);
    EXPECT_EQ(c.NewColour, RGBColour(0, 0, 255));
    EXPECT_EQ(c.Blue, 255);

    // The track bar's range: a grey shows saturation 1, and asking for 0 or
    // a hue past 359 is limited to it.
    ColourControlsFromRGB(c, 90, 90, 90);
    EXPECT_EQ(c.Saturation, 1);
    EXPECT_EQ(c.Hue, 0);
    ColourControlsFromHSV(c, 400, 0, 300);
    EXPECT_EQ(c.Hue, 359);
    EXPECT_EQ(c.Saturation, 1);
    EXPECT_EQ(c.Value, 255);
    EXPECT_EQ(c.NewColour, RGBColour(c.Red, c.Green, c.Blue));
}

TEST(ColourSelect, RampsRepeatPastTheirRangeAndFollowTheCurrentColour) {
    TColourControls c;
    ColourControlsFromHSV(c, 120, 255, 200);
    const Bitmap red = ColourRampImage(TColourRamp::Red, 300, 3, c);
    ASSERT_EQ(red.BitsPerPixel(), 24);
    ASSERT_EQ(red.Width(), 300);
    EXPECT_EQ(At(red, 255, 0), RGBColour(255, 0, 0));
    EXPECT_EQ(At(red, 256, 0), RGBColour(0, 0, 0)); // from black again
    EXPECT_EQ(At(red, 290, 2), RGBColour(34, 0, 0));
    EXPECT_EQ(At(ColourRampImage(TColourRamp::Blue, 10, 1, c), 7, 0), RGBColour(0, 0, 7));

    // Hue i * 360 / 255: column 85 is hue 120, column 255 a whole turn.
    const Bitmap hue = ColourRampImage(TColourRamp::Hue, 256, 2, c);
    EXPECT_EQ(At(hue, 85, 1), RGBColour(0, 200, 0));
    EXPECT_EQ(At(hue, 255, 0), RGBColour(200, 0, 0));
    const Bitmap sat = ColourRampImage(TColourRamp::Saturation, 256, 1, c);
    EXPECT_EQ(At(sat, 0, 0), RGBColour(200, 200, 200)); // no saturation: the grey of the value
    EXPECT_EQ(At(sat, 255, 0), RGBColour(0, 200, 0));
    const Bitmap value = ColourRampImage(TColourRamp::Value, 256, 1, c);
    EXPECT_EQ(At(value, 0, 0), RGBColour(0, 0, 0));
    EXPECT_EQ(At(value, 255, 0), RGBColour(0, 255, 0));
}

TEST(ColourSelect, PicturePicksNothingOnItsFirstColumnOrRow) {
    const Bitmap picture = ColourPicture(120, 90);
    ASSERT_EQ(picture.Width(), 120);
    int32_t colour = 12345;
    EXPECT_FALSE(PickFromPicture(picture, 0, 40, colour));
    EXPECT_FALSE(PickFromPicture(picture, 40, 0, colour));
    EXPECT_FALSE(PickFromPicture(picture, 120, 40, colour));
    EXPECT_EQ(colour, 12345);
    ASSERT_TRUE(PickFromPicture(picture, 40, 45, colour));
    EXPECT_EQ(colour, RGBColour(0, 255, 0)); // hue 120 at full strength in the middle row
    ASSERT_TRUE(PickFromPicture(picture, 40, 89, colour));
    EXPECT_EQ(colour, RGBColour(0, 0, 0));
    ASSERT_TRUE(PickFromPicture(picture, 40, 1, colour));
    EXPECT_GT(BlueOf(colour), 240); // nearly white at the top
    EXPECT_EQ(colour, At(picture, 40, 1));
}

} // namespace
