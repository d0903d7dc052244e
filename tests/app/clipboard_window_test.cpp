// The clipboard commands, the Undo History and Reset Image dialogs, the Text
// Editor and the library boxes in the real main window.

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

#include "app/app_fixture.h"
#include "app/view_controls.h"
#include "history/history_store.h"
#include "history/ui/undo_history_dialog.h"
#include "support/input_events.h"
#include "tools/clipboard_image.h"
#include "tools/library.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"
#include "tools/ui/library_box.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Shot;

namespace {

struct ClipWindowTest : AppTest {
    int slot = -1;
    void SetUp() override {
        AppTest::SetUp();
        Start();
        window->show();
        slot = NewImage(120, 90);
        TImages& s = S();
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 120; ++x) {
                uint8_t* p = s.Bitmap.Row(y) + x * 4;
                p[0] = static_cast<uint8_t>(x * 2), p[1] = static_cast<uint8_t>(y * 2), p[2] = 90, p[3] = 0;
            }
        window->RefreshView();
    }
    TImages& S() { return Ws().Images[static_cast<std::size_t>(slot)]; }
    void Drag(int x0, int y0, int x1, int y1) {
        PointerDown(Ws(), x0, y0, 0);
        PointerMove(Ws(), x1, y1);
        PointerUp(Ws(), x1, y1);
    }
    void Edit(uint8_t v) {
        ASSERT_TRUE(PushHistory(Ws()));
        NameHistoryStep(Ws(), "Step " + std::to_string(v));
        S().Bitmap.Fill(v, v, v, 0);
    }
    void ClickTool(const char* button) {
        auto* b = window->findChild<QToolButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }
    QRadioButton* SelectionType(int i) {
        return window->Window("TForm4")
            ->findChild<QGroupBox*>("RadioGroup1")
            ->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)[i];
    }
};

Bitmap FromClipboard() {
    return ReadPicture(QGuiApplication::clipboard()->mimeData()).Pixels;
}

} // namespace

TEST_F(ClipWindowTest, CopyAndPasteGoThroughTheSystemClipboard) {
    ClickTool("ToolButton29");
    ASSERT_EQ(S().Tool, ToolSelection);
    Drag(10, 20, 60, 50);
    Cmd("Copy1")->trigger();
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
    const Bitmap copied = FromClipboard();
    EXPECT_EQ(copied.Width(), 50);
    EXPECT_EQ(copied.Height(), 30);
    EXPECT_EQ(copied.Row(0)[0], 20); // image column 10

    SelectionType(1)->click(); // the paste sets the rectangle type again
    Cmd("Paste1")->trigger();
    EXPECT_TRUE(SelectionType(0)->isChecked());
    EXPECT_EQ(S().Tool, ToolSelection);
    EXPECT_EQ(Ws().ToolVars.HasSelection, 1);
    EXPECT_EQ(S().DownX, 0);
    EXPECT_EQ(Ws().ToolVars.SelRight, 50);
    EXPECT_TRUE(window->Window("TForm4")->isVisible());
}

TEST_F(ClipWindowTest, PictureOfAnotherProgramPastesAsANewImageWithItsTransparency) {
    QImage image(6, 4, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30, 255));
    image.setPixelColor(2, 1, QColor(0, 0, 0, 0));
    QGuiApplication::clipboard()->setImage(image);
    const int open = Ws().SysData.OpenCount;
    Cmd("PasteAsNewImage1")->trigger();
    ASSERT_EQ(Ws().SysData.OpenCount, open + 1);
    const TImages& s = Ws().Active();
    EXPECT_EQ(s.Bitmap.Width(), 6);
    EXPECT_EQ(s.Bitmap.Row(1)[2 * 4 + 3], 255);
    EXPECT_EQ(s.Bitmap.Row(0)[1], 200);
    EXPECT_EQ(window->Pages()->tabText(Ws().ActiveSlot()), "Untitled.bmp");
    EXPECT_EQ(window->ToolOption(TOpt::GifSensitivity), 255);
}

TEST_F(ClipWindowTest, UndoHistoryListsTheSnapshotsAndOkJumps) {
    Edit(10);
    Edit(20);
    auto* dialog = qobject_cast<UndoHistoryDialog*>(window->Window("TForm31"));
    ASSERT_NE(dialog, nullptr);
    int selected = -1, height = -1;
    bool scroll = true;
    WhenModal([&](QWidget* w) {
        selected = dialog->SelectedStep();
        height = w->findChild<QLabel*>("Image")->height();
        scroll = w->findChild<QScrollBar*>("ScrollBar")->isVisibleTo(w);
        dialog->PressList(4); // between rows: nothing
        dialog->PressList(63);
        Shot(w, "undo_history");
        w->findChild<QPushButton*>("Button1")->click();
    });
    Cmd("UndoHistory1")->trigger();
    EXPECT_EQ(selected, 3); // the newest state is not stored yet
    EXPECT_EQ(height, 58 * 2 + 55);
    EXPECT_FALSE(scroll);
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(S().Bitmap.Row(0)[0], 10);
    EXPECT_EQ(S().Tool, ToolNone);
}

TEST_F(ClipWindowTest, TenSnapshotsScrollAndTheHistoryBrushTakesItsSource) {
    for (int i = 1; i <= 9; ++i)
        Edit(static_cast<uint8_t>(i));
    ASSERT_TRUE(JumpToHistoryStep(Ws(), 8)); // stores the newest: ten snapshots
    ASSERT_EQ(S().HistoryCount, 10);
    int height = -1, max = -1, wheeled = -1;
    QRgb chosen = 0, highlight = 1;
    WhenModal([&](QWidget* w) {
        auto* list = w->findChild<QLabel*>("Image");
        auto* bar = w->findChild<QScrollBar*>("ScrollBar");
        height = list->height();
        max = bar->maximum();
        // The wheel over the list turns it a row a notch.
        pixora::testing::SendNotches(list, QPoint(50, 50), -1);
        wheeled = bar->value();
        bar->setValue(0);
        qobject_cast<UndoHistoryDialog*>(w)->PressList(58 * 2 + 20);
        // The chosen row in the palette's highlight.
        chosen = list->pixmap().toImage().pixel(188, 58 * 2 + 10);
        highlight = w->palette().color(QPalette::Active, QPalette::Highlight).rgb();
        w->findChild<QPushButton*>("Button1")->click();
    });
    ClickTool("ToolButton35"); // the history brush shows the list itself
    EXPECT_EQ(height, 635);
    EXPECT_EQ(max, 434);
    EXPECT_EQ(wheeled, (58 / 3) * QApplication::wheelScrollLines());
    EXPECT_EQ(chosen, highlight);
    ASSERT_EQ(S().Tool, ToolHistoryBrush);
    EXPECT_EQ(S().HistoryPos, 8); // choosing the source moves no step
    EXPECT_EQ(S().Bitmap.Row(0)[0], 8); // the image on screen stays
    EXPECT_EQ(Ws().StrokeBase.Bitmap.Row(0)[0], 2);
    EXPECT_TRUE(window->Window("TForm38")->isVisible());
}

TEST_F(ClipWindowTest, ResetImageSitsAboveTheStatusBarAndBlendsBack) {
    const Bitmap original = S().Bitmap;
    Edit(250);
    int bottom = -1;
    WhenModal([&](QWidget* w) {
        bottom = w->frameGeometry().bottom() + 1;
        w->findChild<QSlider*>("P")->setValue(100);
        w->findChild<QPushButton*>("Button1")->click();
    });
    Cmd("ResetImage1")->trigger();
    const int statusTop = window->StatusBar()->mapTo(window.get(), QPoint(0, 0)).y();
    EXPECT_EQ(bottom, window->geometry().top() + statusTop);
    EXPECT_EQ(std::memcmp(S().Bitmap.Row(40) + 40 * 4, original.Row(40) + 40 * 4, 4), 0);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Image Reset");
}

TEST_F(ClipWindowTest, TextEditorPreviewsAndCommitsWhenClosed) {
    ClickTool("ToolButton33");
    ASSERT_EQ(S().Tool, ToolText);
    PointerDown(Ws(), 20, 30, 0);
    PointerUp(Ws(), 20, 30);
    QWidget* box = window->Window("TForm37");
    ASSERT_TRUE(box->isVisible());
    const Bitmap before = S().Bitmap;
    box->findChild<QSlider*>("Occ")->setValue(50);
    box->findChild<QLineEdit*>("T")->setText("Pixels");
    int changedOnView = 0;
    for (int y = 30; y < 60; ++y)
        for (int x = 20; x < 80; ++x)
            changedOnView += Ws().DisplayCopy.Row(y)[x * 4] != before.Row(y)[x * 4];
    EXPECT_GT(changedOnView, 10);
    EXPECT_EQ(S().HistoryCount, 0); // only the view shows it
    Shot(box, "text_editor");
    box->close();
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Text");
    int changed = 0;
    for (int y = 30; y < 60; ++y)
        for (int x = 20; x < 80; ++x)
            changed += S().Bitmap.Row(y)[x * 4] != before.Row(y)[x * 4];
    EXPECT_GT(changed, 10);
}

// A click on the canvas with the text tool hands the keyboard to the Text
// Editor, whether it opens with that click or was open already.
TEST_F(ClipWindowTest, ACanvasClickWithTheTextToolGivesTheEditorTheKeyboard) {
    window->show();
    ClickTool("ToolButton33");
    QWidget* box = window->Window("TForm37");
    auto* text = box->findChild<QLineEdit*>("T");
    for (QPoint at : {QPoint(20, 30), QPoint(40, 50)}) {
        window->activateWindow();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), window.get());
        window->View()->PointerPress(at.x(), at.y(), 0);
        window->View()->PointerRelease(at.x(), at.y());
        QCoreApplication::processEvents();
        ASSERT_TRUE(box->isVisible());
        EXPECT_EQ(QApplication::activeWindow(), box) << at.x();
        EXPECT_EQ(QApplication::focusWidget(), text) << at.x();
    }
    box->close();
}

TEST_F(ClipWindowTest, PatternBoxFillsWithTheChosenPatternAndBrushBoxLoadsTheBrush) {
    const TLibrary patterns(Ws().Paths().Patterns), brushes(Ws().Paths().Brushes);
    for (uint8_t v : {40, 200, 120}) {
        Bitmap b(64, 64, 32);
        b.Fill(v, v, v);
        patterns.Add(b);
    }
    Bitmap brush(24, 16, 32);
    brushes.Add(brush);
    int chosen = -1;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<LibraryBox*>(w);
        box->PressPicture(150, 20); // entry 2
        chosen = box->Selected();
        Shot(w, "patterns");
        w->findChild<QPushButton*>("Button1")->click();
    });
    Cmd("FillwithPattern1")->trigger();
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Pattern Fill");
    EXPECT_NEAR(S().Bitmap.Row(80)[110 * 4], 200, 3);

    WhenModal([&](QWidget* w) { w->findChild<QPushButton*>("Button1")->click(); });
    ClickTool("ToolButton37");
    ASSERT_EQ(S().Tool, ToolCustomBrush);
    EXPECT_EQ(Ws().CustomBrushBitmap.Bitmap.Width(), 24);
}

TEST_F(ClipWindowTest, StarterPatternsShowInTheirBox) {
    const QString from = QString(PIXORA_SOURCE_DIR) + "/data/bin/ptrns/";
    const QString to = QString::fromStdString(Ws().Paths().Patterns);
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList({"*.jpg"}))
        QFile::copy(from + name, to + name);
    int entries = -1;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<LibraryBox*>(w);
        entries = box->Library().Count();
        box->PressPicture(20, 140); // entry 3
        Shot(w, "starter_patterns");
        w->findChild<QPushButton*>("Button2")->click();
    });
    Cmd("FillwithPattern2")->trigger();
    EXPECT_EQ(entries, 6);
    EXPECT_EQ(S().HistoryCount, 0); // "Cancel" fills nothing
}
