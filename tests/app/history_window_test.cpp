// The history menus, drop-down lists, layer commands, layer dialogs and the
// layer strip in the real main window.

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <filesystem>

#include "app/app_fixture.h"
#include "app/message_dialog.h"
#include "doc/layers.h"
#include "history/history_folder.h"
#include "history/history_store.h"
#include "history/ui/layer_dialogs.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

struct HistoryWindowTest : AppTest {
    int slot = -1;
    void SetUp() override {
        AppTest::SetUp();
        Start();
        slot = NewImage(40, 30);
    }
    TImages& S() { return Ws().Images[static_cast<std::size_t>(slot)]; }
    void Edit(const std::string& name) {
        ASSERT_TRUE(PushHistory(Ws()));
        NameHistoryStep(Ws(), name);
        S().Bitmap.Row(0)[0] = static_cast<uint8_t>(S().Bitmap.Row(0)[0] + 1);
    }
    QMenu* Menu(const char* name) { return window->findChild<QMenu*>(name); }
    QStringList Shown(const char* menu) {
        QStringList list;
        for (QAction* a : Menu(menu)->actions())
            if (a->isVisible()) list << a->text();
        return list;
    }
    QAction* Item(const char* menu, int number) {
        for (QAction* a : Menu(menu)->actions())
            if (a->objectName() == QString("Item%1").arg(number)) return a;
        return nullptr;
    }
    void ClickStrip(int x) {
        QLabel* strip = window->LayerStripImage();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, 20), strip->mapToGlobal(QPointF(x, 20)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(strip, &press);
    }
    // Fills the New Layer window when it comes up and presses a button.
    void NewLayerVia(const char* button, int transparency = -1) {
        WhenModal([button, transparency](QWidget* dlg) {
            if (transparency >= 0) dlg->findChild<QSlider*>("T")->setValue(transparency);
            dlg->findChild<QPushButton*>(button)->click();
        });
        Cmd("NewLayer1")->trigger();
    }
};

TEST_F(HistoryWindowTest, MenusFollowTheStore) {
    ASSERT_EQ(Menu("UndoDown")->actions().size(), 10);
    ASSERT_EQ(Menu("RedoDown")->actions().size(), 10);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo");
    EXPECT_FALSE(Cmd("Undo1")->isEnabled());
    EXPECT_FALSE(Cmd("ToolButton10")->isEnabled());
    EXPECT_TRUE(Shown("UndoDown").isEmpty());

    Edit("Invert");
    Edit("Blur");
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Blur");
    EXPECT_EQ(Shown("UndoDown"), (QStringList{"Blur", "Invert"}));
    EXPECT_TRUE(Cmd("ToolButton10")->isEnabled());
    // The pop-up and tool-bar items keep their captions.
    EXPECT_EQ(Cmd("Undo2")->text(), "Undo");
    EXPECT_EQ(Cmd("ToolButton10")->text(), "Undo");

    Cmd("Undo1")->trigger();
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(S().HistoryCount, 3);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Invert");
    EXPECT_EQ(Cmd("Redo1")->text(), "Redo Blur");
    EXPECT_EQ(Shown("RedoDown"), (QStringList{"Blur"}));
    EXPECT_TRUE(Cmd("Redo1")->isEnabled());

    Item("RedoDown", 1)->trigger();
    EXPECT_EQ(S().HistoryPos, 2);
    EXPECT_EQ(Cmd("Redo1")->text(), "Redo");
    EXPECT_FALSE(Cmd("ToolButton11")->isEnabled());
    Cmd("ToolButton10")->trigger();
    Cmd("Undo2")->trigger();
    EXPECT_EQ(S().HistoryPos, 0);
    Cmd("Redo2")->trigger();
    Cmd("ToolButton11")->trigger();
    EXPECT_EQ(S().HistoryPos, 2);
}

TEST_F(HistoryWindowTest, UndoListItemJUndoesJSteps) {
    for (int i = 1; i <= 12; ++i) Edit(std::string("Step") + std::to_string(i));
    const QStringList shown = Shown("UndoDown");
    ASSERT_EQ(shown.size(), 10);
    EXPECT_EQ(shown.front(), "Step12");
    EXPECT_EQ(shown.back(), "Step3");
    EXPECT_EQ(Item("UndoDown", 14)->text(), "Step9");
    Item("UndoDown", 14)->trigger();  // fourth item
    EXPECT_EQ(S().HistoryPos, 8);
    EXPECT_EQ(Shown("RedoDown").size(), 4);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Step8");
}

TEST_F(HistoryWindowTest, AMissingSnapshotIsReported) {
    Edit("Pen");
    std::filesystem::remove_all(HistoryDir(Ws()));
    QString detail;
    WhenModal([&detail](QWidget* dlg) {
        if (auto* box = qobject_cast<MessageDialog*>(dlg)) detail = box->Memo()->toPlainText();
        dlg->close();
    });
    Cmd("Undo1")->trigger();
    EXPECT_TRUE(detail.contains("Could not read the undo step: ")) << detail.toStdString();
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(S().HistoryCount, 1);
}

TEST_F(HistoryWindowTest, NewLayerWindowAndTheStrip) {
    Cmd("LayerSheet1")->setChecked(false);
    auto* dlg = qobject_cast<NewLayerDialog*>(window->Window("TForm48"));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), "New Layer");
    EXPECT_EQ(dlg->TransparencyBar()->value(), 255);

    NewLayerVia("Button2");
    EXPECT_EQ(S().LayerCount, 1) << "Cancel adds nothing";
    // Closed without a button after Cancel: still nothing.
    WhenModal([](QWidget* w) { w->close(); });
    Cmd("NewLayer1")->trigger();
    EXPECT_EQ(S().LayerCount, 1);

    dlg->LeftBox()->setValue(-5);
    NewLayerVia("Button1", 0);
    EXPECT_EQ(dlg->WidthBox()->value(), 40) << "size taken from the image";
    EXPECT_EQ(dlg->HeightBox()->value(), 30);
    ASSERT_EQ(S().LayerCount, 2);
    EXPECT_EQ(S().CurrentLayer, 2);
    EXPECT_EQ(S().Layers[2].Left, -5);
    EXPECT_EQ(S().Bitmap.Row(0)[3], 0);
    EXPECT_TRUE(Cmd("LayerSheet1")->isChecked());
    EXPECT_TRUE(Cmd("DeleteCurrentLayer1")->isEnabled());
    EXPECT_EQ(dlg->LeftBox()->value(), -5) << "position kept for next time";

    QLabel* strip = window->LayerStripImage();
    EXPECT_EQ(strip->width(), 2 * 67);
    EXPECT_EQ(strip->height(), 57);
    ClickStrip(57);
    EXPECT_EQ(S().CurrentLayer, 2) << "edge of a cell";
    ClickStrip(30);
    EXPECT_EQ(S().CurrentLayer, 1);
    EXPECT_FALSE(Cmd("EditCurrentLayer1")->isEnabled());
    ClickStrip(90);
    EXPECT_EQ(S().CurrentLayer, 2);
}

TEST_F(HistoryWindowTest, LayerCommands) {
    NewLayerVia("Button1", 0);
    ASSERT_EQ(S().LayerCount, 2);

    WhenModal([](QWidget* dlg) {
        EXPECT_EQ(dlg->objectName(), "TForm49");
        EXPECT_EQ(dlg->findChild<QSpinBox*>("sedWidth")->value(), 40);
        dlg->findChild<QSpinBox*>("sedWidth")->setValue(50);
        dlg->findChild<QSpinBox*>("sedTop")->setValue(3);
        dlg->findChild<QPushButton*>("Button1")->click();
    });
    Cmd("EditCurrentLayer1")->trigger();
    EXPECT_EQ(S().Bitmap.Width(), 50);
    EXPECT_EQ(S().Layers[2].Top, 3);

    Cmd("DuplicateCurrentLayer1")->trigger();
    EXPECT_EQ(S().LayerCount, 3);
    EXPECT_EQ(S().Layers[3].Top, 3);

    Cmd("ViewFinalImage1")->trigger();
    EXPECT_EQ(S().CurrentLayer, 0);
    EXPECT_EQ(S().Bitmap.Width(), 40);
    EXPECT_FALSE(Cmd("DuplicateCurrentLayer1")->isEnabled());
    EXPECT_FALSE(Cmd("DeleteCurrentLayer1")->isEnabled());

    ClickStrip(70);
    Cmd("DeleteCurrentLayer1")->trigger();
    EXPECT_EQ(S().LayerCount, 2);
    EXPECT_EQ(S().CurrentLayer, 1);
    EXPECT_EQ(window->LayerStripImage()->width(), 2 * 67);
}

} // namespace
