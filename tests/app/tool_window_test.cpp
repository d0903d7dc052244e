#include <QToolButton>

#include "app/app_fixture.h"
#include "app/view_widget.h"
#include "tools/selection.h"
#include "tools/tool_table.h"

using namespace pixora;
using pixora::testing::AppTest;

TEST_F(AppTest, ToolButtonsChooseToolsAndShowTheirBoxes) {
    Start();
    window->show();
    auto* pen = window->findChild<QToolButton*>("ToolButton20");
    pen->click();  // no image: nothing happens
    EXPECT_FALSE(pen->isChecked());
    NewImage();
    pen->click();
    EXPECT_EQ(Ws().Images[0].Tool, ToolPen);
    EXPECT_TRUE(pen->isChecked());
    EXPECT_TRUE(window->Window("TForm3")->isVisible());
    EXPECT_TRUE(Cmd("PenToolbar1")->isEnabled());

    window->findChild<QToolButton*>("ToolButton31")->click();  // flood fill
    EXPECT_EQ(Ws().Images[0].Tool, ToolFloodFill);
    EXPECT_FALSE(window->Window("TForm3")->isVisible());
    EXPECT_TRUE(window->Window("TForm25")->isVisible());
    EXPECT_FALSE(pen->isChecked());

    // The History Brush needs a history step first.
    window->findChild<QToolButton*>("ToolButton35")->click();
    EXPECT_EQ(Ws().Images[0].Tool, ToolFloodFill);
}

TEST_F(AppTest, PointerEventsReachTheToolsAndSelectAllWorks) {
    Start();
    window->show();
    NewImage(60, 40);
    Cmd("SelectAll1")->trigger();
    EXPECT_EQ(Ws().Images[0].Tool, ToolSelection);
    EXPECT_EQ(Ws().ToolVars.HasSelection, 1);
    EXPECT_TRUE(Cmd("Cut1")->isEnabled());
    Cmd("SelectNone1")->trigger();
    EXPECT_EQ(Ws().ToolVars.HasSelection, 0);

    // A drag on the image with the crop tool, then the crop command.
    Cmd("Crop1")->trigger();
    EXPECT_EQ(Ws().Images[0].Tool, ToolCrop);
    ViewWidget* view = window->View();
    view->PointerPress(10, 5, 0);
    view->PointerMove(30, 25);
    view->PointerRelease(30, 25);
    EXPECT_EQ(Ws().ToolVars.CropShown, 1);
    view->PointerDoubleClick();
    EXPECT_EQ(Ws().Images[0].Bitmap.Width(), 20);
    EXPECT_EQ(Ws().Images[0].Tool, 0);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Crop");
}
