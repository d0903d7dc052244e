#include <gtest/gtest.h>

#include <set>

#include "doc/status_hints.h"
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

TEST(ViewReadout, DragsWithAToolFreezeTheReadout) {
    EXPECT_TRUE(ReadoutFollowsPointer(0, true));
    EXPECT_TRUE(ReadoutFollowsPointer(1, false));
    EXPECT_FALSE(ReadoutFollowsPointer(1, true));
}

TEST(StatusHints, EachControlHasOneText) {
    EXPECT_EQ(ControlHint("ToolButton20"), "Use Pen Tool to FreeHand Draw");
    EXPECT_EQ(ControlHint("Image2"), "Exchange FG and BG Colours");
    EXPECT_EQ(ControlHint("ToolButton69"), "Use the Gaussian Blur");
    EXPECT_EQ(ControlHint("ToolButton48"), "Use the colour Filter");
    EXPECT_TRUE(ControlHint("ToolButton70").empty());  // other effect buttons say nothing
    std::set<std::string_view> names;
    for (int i = 0; i < kControlHintCount; ++i) {
        EXPECT_TRUE(names.insert(kControlHints[i].Control).second) << kControlHints[i].Control;
        EXPECT_FALSE(kControlHints[i].Text.empty());
    }
    EXPECT_EQ(names.size(), 44u);
}
