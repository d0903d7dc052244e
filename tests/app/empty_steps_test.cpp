// Commands that would change nothing make no undo step: the history, its
// names and the steps to redo stay as they were.
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>

#include "app/app_fixture.h"
#include "history/history_store.h"
#include "support/pixels.h"
#include "tools/crop_tool.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Child;

TEST_F(AppTest, CommandsThatChangeNothingMakeNoStep) {
    Start();
    const int slot = NewImage(30, 20);
    TImages& s = Ws().Images[static_cast<std::size_t>(slot)];
    s.Bitmap = pixora::testing::Pattern(30, 20, 3);
    FillRowTable(s.Bitmap, s.Rows);
    // One real step, undone: what an empty command must not take away is
    // the step to redo.
    Cmd("FillwithFGColour1")->trigger();
    ASSERT_EQ(s.HistoryPos, 1);
    Cmd("FillwithFGColour1")->trigger(); // all of that colour already
    EXPECT_EQ(s.HistoryPos, 1);
    ASSERT_TRUE(UndoStep(Ws()));
    ASSERT_TRUE(RedoStep(Ws()));
    ASSERT_TRUE(UndoStep(Ws()));
    const int count = s.HistoryCount;
    const Bitmap before = s.Bitmap;

    // Resize to the size it has, a turn by 0 degrees, a crop of the whole image.
    WhenModal([](QWidget* d) { Child<QPushButton>(d, "Button1")->click(); });
    Cmd("Resize1")->trigger();
    WhenModal([](QWidget* d) {
        Child<QSpinBox>(d, "RA")->setValue(360);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("RotateandFlip1")->trigger();
    s.DownX = 0, s.DownY = 0;
    Ws().ToolVars.SelRight = 30, Ws().ToolVars.SelBottom = 20;
    Ws().ToolVars.CropShown = 1;
    ApplyCrop(Ws());
    EXPECT_EQ(Ws().ToolVars.CropShown, 0) << "the rectangle goes all the same";

    EXPECT_EQ(s.HistoryPos, 0);
    EXPECT_EQ(s.HistoryCount, count);
    EXPECT_TRUE(pixora::testing::SamePixels(s.Bitmap, before));
    EXPECT_EQ(HistoryMenuTexts(s).RedoCaption, "Redo FG Colour Fill");
}
