#include <gtest/gtest.h>

#include <set>

#include "app/status_hints.h"

using namespace pixora;

TEST(StatusHints, EachControlHasOneText) {
    EXPECT_EQ(ControlHint("ToolButton20"), "Use Pen Tool to FreeHand Draw");
    EXPECT_EQ(ControlHint("Image2"), "Exchange FG and BG Colours");
    EXPECT_EQ(ControlHint("ToolButton69"), "Use the Gaussian Blur");
    EXPECT_EQ(ControlHint("ToolButton48"), "Use the colour Filter");
    EXPECT_TRUE(ControlHint("ToolButton70").empty()); // other effect buttons say nothing
    std::set<std::string_view> names;
    for (const TControlHint& hint : ControlHints()) {
        EXPECT_TRUE(names.insert(hint.Control).second) << hint.Control;
        EXPECT_FALSE(hint.Text.empty());
    }
    EXPECT_EQ(names.size(), 44u);
}
