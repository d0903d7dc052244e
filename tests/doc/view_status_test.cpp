#include <gtest/gtest.h>

#include "doc/view_readout.h"

using namespace pixora;

TEST(ViewReadout, FormatsPositionColourAndTransparency) {
    Bitmap white(4, 3);
    white.Fill(255, 255, 255, 0);
    EXPECT_EQ(PixelReadout(white, 0, 0), "x, y = [0,0]    r, g, b = [255,255,255]    alpha = [0]");

    // Bytes are blue, green, red, transparency.
    uint8_t* p = white.Row(2) + 4 * 3;
    p[0] = 3;
    p[1] = 20;
    p[2] = 100;
    p[3] = 7;
    EXPECT_EQ(PixelReadout(white, 3, 2), "x, y = [3,2]    r, g, b = [100,20,3]    alpha = [7]");

    EXPECT_FALSE(PixelReadout(white, -1, 0));
    EXPECT_FALSE(PixelReadout(white, 4, 0));
    EXPECT_FALSE(PixelReadout(white, 0, 3));
    EXPECT_FALSE(PixelReadout(Bitmap(), 0, 0));
}

