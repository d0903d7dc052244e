// The history menus, drop-down lists, layer commands, layer dialogs and the
// layer strip in the real main window.

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <cstdlib>
#include <filesystem>

#include "app/app_fixture.h"
#include "doc/layer_operations.h"
#include "doc/ui/new_layer_dialog.h"
#include "history/history_folder.h"
#include "history/history_store.h"
#include "io/history_preference.h"
#include "app/status_bar.h"
#include "support/pixels.h"
#include "support/screenshots.h"
#include "window_kit/message_dialog.h"
#include "window_kit/up_down.h"

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
    // Gives the current layer a new size through the Edit Layer window.
    void EditLayer(int w, int h) {
        WhenModal([w, h](QWidget* dlg) {
            dlg->findChild<QSpinBox*>("sedWidth")->setValue(w);
            dlg->findChild<QSpinBox*>("sedHeight")->setValue(h);
            dlg->findChild<QPushButton*>("Button1")->click();
        });
        Cmd("EditCurrentLayer1")->trigger();
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
    const Bitmap afterInvert = S().Bitmap;
    Edit("Blur");
    EXPECT_EQ(S().HistoryPos, 2);
    EXPECT_EQ(S().HistoryCount, 2);
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
    EXPECT_EQ(Shown("UndoDown"), (QStringList{"Invert"}));
    EXPECT_EQ(Shown("RedoDown"), (QStringList{"Blur"}));
    EXPECT_TRUE(Cmd("Redo1")->isEnabled());
    EXPECT_TRUE(pixora::testing::SamePixels(S().Bitmap, afterInvert));

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

TEST_F(HistoryWindowTest, ListsShowTheTenNewestAndItemJMovesJSteps) {
    std::vector<Bitmap> states{S().Bitmap};
    for (int i = 1; i <= 12; ++i) {
        Edit(std::string("Step") + std::to_string(i));
        states.push_back(S().Bitmap);
    }
    const QStringList shown = Shown("UndoDown");
    ASSERT_EQ(shown.size(), 10);
    EXPECT_EQ(shown.front(), "Step12");
    EXPECT_EQ(shown.back(), "Step3");
    // Undo item 4: four steps back from the newest.
    EXPECT_EQ(Item("UndoDown", 14)->text(), "Step9");
    Item("UndoDown", 14)->trigger();
    EXPECT_EQ(S().HistoryPos, 8);
    EXPECT_EQ(S().HistoryCount, 13);
    EXPECT_TRUE(pixora::testing::SamePixels(S().Bitmap, states[8]));
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Step8");
    const QStringList redo = Shown("RedoDown");
    ASSERT_EQ(redo.size(), 4);
    EXPECT_EQ(redo.front(), "Step9");
    // Redo item 3: three steps forward.
    Item("RedoDown", 3)->trigger();
    EXPECT_EQ(S().HistoryPos, 11);
    EXPECT_TRUE(pixora::testing::SamePixels(S().Bitmap, states[11]));
    // Outside the stored range nothing happens.
    EXPECT_FALSE(JumpToHistoryStep(Ws(), 13));
    EXPECT_FALSE(JumpToHistoryStep(Ws(), -1));
    EXPECT_TRUE(pixora::testing::SamePixels(S().Bitmap, states[11]));
}

TEST_F(HistoryWindowTest, AMissingSnapshotIsReported) {
    Edit("Pen");
    WaitForStoredSteps(Ws());
    std::filesystem::remove_all(HistoryDir(Ws()));
    // An open error first: its headline must not stay for the next report.
    WhenModal([](QWidget* dlg) { dlg->close(); });
    window->ReportError(2, "first failure");
    QString headline, detail;
    WhenModal([&headline, &detail](QWidget* dlg) {
        if (auto* box = qobject_cast<MessageDialog*>(dlg)) {
            headline = box->Label()->text();
            detail = box->Memo()->toPlainText();
        }
        dlg->close();
    });
    Cmd("Undo1")->trigger();
    EXPECT_EQ(headline, "Could not read the undo step.");
    EXPECT_TRUE(detail.contains("No such file")) << detail.toStdString();
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(S().HistoryCount, 1);
}

// The budget set in the Preferences window holds at once and in the file;
// dropping steps shows its note in the window's status bar; a step that
// does not fit at all is asked about, and No refuses the edit.
TEST_F(HistoryWindowTest, TheBudgetIsAPreferenceWithItsNoteAndQuestionInTheWindow) {
    const int big = NewImage(600, 400);
    window->Pages()->setCurrentIndex(big);
    TImages& b = Ws().Images[static_cast<std::size_t>(big)];
    WhenModal([](QWidget* dlg) {
        dlg->findChild<QCheckBox*>("HistoryAutomatic")->setChecked(false);
        dlg->findChild<QSpinBox*>("HistoryMegabytes")->setValue(2);
        pixora::testing::SaveScreenshot(dlg, "preferences");
        dlg->findChild<QPushButton*>("Button1")->click();
    });
    Cmd("Preferences1")->trigger();
    EXPECT_EQ(HistoryBudget(Ws()), 2ull << 20);
    EXPECT_EQ(ReadHistoryBudgetPreference(Ws()), 2u);
    // Whole steps of 0.9 MB each: the third one drops the oldest.
    for (int v = 1; v <= 3; ++v) {
        ASSERT_TRUE(PushHistory(Ws()));
        b.Bitmap.Fill(static_cast<uint8_t>(v * 50), 0, 0, 0);
    }
    EXPECT_TRUE(window->Status()->Note().contains("oldest undo steps")) << window->Status()->Note().toStdString();
    EXPECT_LT(b.HistoryCount, 3);
    pixora::testing::SaveScreenshot(window.get(), "status-note");

    SetHistoryBudget(Ws(), 100000);
    const Bitmap shown = b.Bitmap;
    QString question;
    WhenModal([&question](QWidget* dlg) {
        if (auto* box = qobject_cast<QMessageBox*>(dlg)) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        } else {
            dlg->close();
        }
    });
    const int count = b.HistoryCount;
    EXPECT_FALSE(PushHistory(Ws()));
    EXPECT_TRUE(question.startsWith("Could not store the undo step.")) << question.toStdString();
    EXPECT_EQ(b.HistoryCount, count);
    EXPECT_TRUE(pixora::testing::SamePixels(b.Bitmap, shown));
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
    // The next layer starts clear again: its transparency is 255.
    NewLayerVia("Button1");
    ASSERT_EQ(S().LayerCount, 3);
    EXPECT_EQ(S().Bitmap.Row(0)[3], 255);
    EXPECT_EQ(S().Layers[3].Left, -5);
    ChooseLayer(Ws(), 2);
    DeleteCurrentLayer(Ws());
    ChooseLayer(Ws(), 2);

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

TEST_F(HistoryWindowTest, LayerSheetStartsHiddenAndNewLayerShowsIt) {
    window->show();
    QWidget* sheet = window->findChild<QWidget*>("LayerSheet");
    EXPECT_FALSE(Cmd("LayerSheet1")->isChecked());
    EXPECT_FALSE(sheet->isVisibleTo(window.get())) << "an image is open, but the item is unchecked";
    NewLayerVia("Button2");
    EXPECT_FALSE(sheet->isVisibleTo(window.get())) << "a cancelled New Layer leaves it hidden";
    NewLayerVia("Button1");
    EXPECT_TRUE(Cmd("LayerSheet1")->isChecked());
    EXPECT_TRUE(sheet->isVisibleTo(window.get()));
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

TEST_F(HistoryWindowTest, MenusFollowTheTabShown) {
    Edit("Invert");
    const int other = NewImage(20, 20);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo") << "the new image has nothing to undo";
    EXPECT_TRUE(Shown("UndoDown").isEmpty());
    auto* pages = window->findChild<QTabWidget*>("PageControl");
    pages->setCurrentIndex(slot);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Invert");
    EXPECT_EQ(Shown("UndoDown"), (QStringList{"Invert"}));
    // The list acts on the image shown.
    Item("UndoDown", 11)->trigger();
    EXPECT_EQ(S().HistoryPos, 0);
    EXPECT_EQ(Ws().Images[static_cast<std::size_t>(other)].HistoryCount, 0);
    pages->setCurrentIndex(other);
    EXPECT_EQ(Cmd("Redo1")->text(), "Redo");
    EXPECT_TRUE(Shown("RedoDown").isEmpty());
    // Once every image is closed nothing of their histories is shown.
    pages->setCurrentIndex(slot);
    ASSERT_EQ(Cmd("Redo1")->text(), "Redo Invert");
    for (TImages& s : Ws().Images) s.Saved = 1;
    Cmd("CloseAll1")->trigger();
    ASSERT_EQ(Ws().SysData.OpenCount, -1);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo");
    EXPECT_EQ(Cmd("Redo1")->text(), "Redo");
    EXPECT_TRUE(Shown("UndoDown").isEmpty());
    EXPECT_TRUE(Shown("RedoDown").isEmpty());
}

TEST_F(HistoryWindowTest, LayerSheetItemAndScrolling) {
    window->show();
    Cmd("LayerSheet1")->setChecked(true);
    QWidget* sheet = window->findChild<QWidget*>("LayerSheet");
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisibleTo(window.get()));
    Cmd("LayerSheet1")->setChecked(false);
    EXPECT_FALSE(sheet->isVisibleTo(window.get()));
    Cmd("LayerSheet1")->setChecked(true);

    // More cells than the sheet is wide: the up-down scrolls LSImage.
    window->resize(400, 500);
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(NewLayer(Ws(), {10, 10, 0, 0, 0}));
    QLabel* strip = window->LayerStripImage();
    ASSERT_EQ(strip->width(), 10 * 67);
    UpDown* upDown = window->LayerStripUpDown();
    EXPECT_EQ(upDown->Max(), strip->width() - strip->parentWidget()->width());
    upDown->StepUp();
    EXPECT_EQ(strip->x(), -20);
    for (int i = 0; i < 100; ++i) upDown->StepUp();
    EXPECT_EQ(strip->x(), -upDown->Max());
    upDown->StepDown();
    EXPECT_EQ(strip->x(), -(upDown->Max() - 20));
}

// Three layers on the sheet: the background, a dark layer of 200 x 50 and
// a small red one, the middle one current. Set PIXORA_SHOTS to a folder to
// keep a picture of the sheet.
TEST_F(HistoryWindowTest, LayerSheetWithThreeLayers) {
    S().Bitmap.FillColour(RGBColour(30, 120, 220));
    NewLayerVia("Button1", 0);
    EditLayer(200, 50);
    S().Bitmap.FillColour(RGBColour(40, 40, 40));
    NewLayer(Ws(), {12, 12, 3, 3, 0});
    S().Bitmap.FillColour(RGBColour(230, 20, 20));
    ClickStrip(67 + 30);
    ASSERT_EQ(S().CurrentLayer, 2);
    window->show();
    QApplication::processEvents();
    QWidget* sheet = window->findChild<QWidget*>("LayerSheet");
    const QImage shot = sheet->grab().toImage();
    if (const char* dir = std::getenv("PIXORA_SHOTS")) {
        shot.save(QString(dir) + "/layer_sheet_three_layers.png");
        window->grab().save(QString(dir) + "/main_window_three_layers.png");
    }
    const QPoint strip = window->LayerStripImage()->mapTo(sheet, QPoint(0, 0));
    auto at = [&](int x, int y) { return shot.pixelColor(strip + QPoint(x, y)).rgb() & 0xFFFFFF; };
    EXPECT_EQ(at(27, 27), 0x1E78DCu) << "the background's thumbnail";
    EXPECT_EQ(at(67 + 28, 28), 0x282828u) << "the 200 x 50 layer's 55 x 13 thumbnail";
    EXPECT_EQ(at(67 + 28, 15), 0xFFFFFFu) << "above it the cell is white";
    EXPECT_EQ(at(67 + 1, 1), 0u) << "second outline on the current layer";
    EXPECT_EQ(at(1, 1), 0xFFFFFFu);
    EXPECT_EQ(at(134 + 27, 27), 0xE61414u) << "the small layer, not enlarged";
    EXPECT_EQ(at(134 + 10, 10), 0xFFFFFFu);
    EXPECT_EQ(at(60, 30), 0xFFFFFFu) << "gap between cells";
}

} // namespace
