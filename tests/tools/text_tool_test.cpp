#include <gtest/gtest.h>

#include <algorithm>

#include "history/history_store.h"
#include "support/pixels.h"
#include "tools/text_tool.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::Px;
using pixora::testing::Uniform;
using pixora::testing::WorkspaceTest;

namespace {

struct TextTest : WorkspaceTest {
    int slot = -1;
    void SetUp() override {
        WorkspaceTest::SetUp();
        port.Ws = &ws;
        slot = Open(Uniform(120, 60, 255));
        Activate(slot);
        ASSERT_TRUE(SelectToolCore(ws, ToolText));
    }
    TImages& S() { return Slot(slot); }
    static TTextSettings Settings(const std::string& text, int occ = 100) {
        TTextSettings t;
        t.Text = text;
        t.Font.Height = 24;
        t.Occupancy = occ;
        return t;
    }
};

// The bounding box of the pixels darker than `below`.
TRect DarkBox(const Bitmap& b, int below) {
    TRect r{b.Width(), b.Height(), -1, -1};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (Px(b, x, y)[0] < below) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x);
                r.Bottom = std::max(r.Bottom, y);
            }
    return r;
}

} // namespace

TEST_F(TextTest, APressKeepsThePointAndAsksForTheEditor) {
    PointerDown(ws, 10, 12, 0);
    PointerUp(ws, 10, 12);
    EXPECT_EQ(port.TextPresses, 1);
    EXPECT_EQ(S().DownX, 10);
    EXPECT_EQ(S().DownY, 12);
    EXPECT_EQ(S().HistoryCount, 0); // nothing stored before the text is committed
    EXPECT_EQ(ws.StrokeBase.Bitmap.Width(), 120);
}

TEST_F(TextTest, HalfOccupancyGivesHalfToneTextAndKeepsTheRest) {
    PointerDown(ws, 10, 10, 0);
    PointerUp(ws, 10, 10);
    ASSERT_TRUE(CommitText(ws, Settings("Hello", 50)));
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Text");
    int half = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const uint8_t v = Px(S().Bitmap, x, y)[1];
            ASSERT_TRUE(v == 127 || v >= 254) << x << "," << y << " = " << int(v);
            half += v == 127 ? 1 : 0;
        }
    EXPECT_GT(half, 20);
    const TRect box = DarkBox(S().Bitmap, 200);
    EXPECT_GE(box.Left, 10);
    EXPECT_GE(box.Top, 10);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_EQ(DarkBox(S().Bitmap, 255).Right, -1);
}

TEST_F(TextTest, TheAngleTurnsTheTextAndASolidBackgroundFillsItsBox) {
    const Bitmap white = Uniform(120, 60, 255);
    TTextSettings t = Settings("WWWW");
    Bitmap flat, turned;
    RenderText(white, t, 40, 50, flat);
    t.Font.Escapement = 900;
    RenderText(white, t, 40, 50, turned);
    const TRect a = DarkBox(flat, 128), b = DarkBox(turned, 128);
    EXPECT_GT(a.Right - a.Left, a.Bottom - a.Top);
    EXPECT_GT(b.Bottom - b.Top, b.Right - b.Left);
    EXPECT_LE(b.Bottom, 50); // turned counter-clockwise: upwards from the point

    TTextSettings solid = Settings("i");
    solid.ClearBackground = false;
    solid.BackColour = RGBColour(0, 0, 200);
    Bitmap boxed;
    RenderText(white, solid, 5, 5, boxed);
    EXPECT_EQ(Px(boxed, 5, 5)[0], 200); // blue byte of the background box
    EXPECT_EQ(Px(boxed, 5, 5)[2], 0);
}

TEST_F(TextTest, NothingIsCommittedWithoutTextOrAfterTheImageChanged) {
    PointerDown(ws, 10, 10, 0);
    PointerUp(ws, 10, 10);
    EXPECT_FALSE(CommitText(ws, Settings("")));
    EXPECT_FALSE(CommitText(ws, Settings("late"))); // the press was used up
    PointerDown(ws, 10, 10, 0);
    PointerUp(ws, 10, 10);
    Activate(Open(Uniform(20, 20, 0)));
    EXPECT_FALSE(CommitText(ws, Settings("other image")));
    EXPECT_EQ(S().HistoryCount, 0);
}
