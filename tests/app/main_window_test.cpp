#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdio>
#include <unistd.h>

#include "app/app_fixture.h"
#include "app/status_bar.h"
#include "app/window_set.h"
#include "window_kit/message_dialog.h"
#include "window_kit/swatch.h"
#include "window_kit/up_down.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::WriteFile;

TEST_F(AppTest, EveryStartupWindowExistsOnceWithItsCaption) {
    Start();
    EXPECT_EQ(window->windowTitle(), "Pixora");
    EXPECT_EQ(window->objectName(), "TForm1");
    const auto& all = window->Windows().All();
    ASSERT_EQ(all.size(), kWindowTable.size() - 1);
    for (std::size_t i = 1; i < kWindowTable.size(); ++i) {
        const TWindowRow& e = kWindowTable[i];
        EXPECT_EQ(all[i - 1]->objectName().toStdString(), e.Name);
        EXPECT_EQ(all[i - 1]->windowTitle().toStdString(), e.Caption);
    }
    EXPECT_EQ(window->Window("TForm33")->windowTitle(), "Batch File Proccessing");
    EXPECT_EQ(window->Window("TForm50")->windowTitle(), "Proccessing - Please Wait");
}

TEST_F(AppTest, CommandStatesWithoutAndWithAnImage) {
    Start();
    // Nothing open: file commands that need an image, every edit command
    // except "Edit Only Selection", the zoom commands and most buttons off.
    for (const char* name : {"Save1", "SaveAs1", "SaveaCopy1", "Duplicate1", "ReOpenFile1", "PrintImage1", "Close1",
                             "CloseAll1", "Undo1", "Cut1", "Paste1", "SelectAll1", "ZoomIn1", "Pen1", "NewLayer1",
                             "ToolButton3", "ToolButton18", "ToolButton19", "LayerSheet1"})
        EXPECT_FALSE(Cmd(name)->isEnabled()) << name;
    for (const char* name : {"NewImage1", "OpenFile1", "ConvertFiles1", "Exit1", "ScaleBars1", "PasteAsNewImage1",
                             "HelpContents1", "EditOnlySelection1", "EditOnlySelection2", "DuplicateonMouseUp1",
                             "ExcludeSelection1", "ToolButton1", "ToolButton2"})
        EXPECT_TRUE(Cmd(name)->isEnabled()) << name;
    EXPECT_FALSE(window->findChild<QWidget*>("LayerSheet")->isVisibleTo(window.get()));

    NewImage();
    for (const char* name : {"Save1", "Duplicate1", "Close1", "Paste1", "ToolButton6", "SelectAll1", "ZoomIn1",
                             "Pen1", "NewLayer1", "DuplicateCurrentLayer1", "ToolButton19"})
        EXPECT_TRUE(Cmd(name)->isEnabled()) << name;
    // Conditions of their own.
    for (const char* name : {"ReOpenFile1", "Undo1", "Redo1", "UndoHistory1", "HistoryDialog1", "Cut1",
                             "ToolButton4", "CroptoSelection1", "DeleteCurrentLayer1", "EditCurrentLayer1",
                             "PenToolbar1", "SelectionToolbar1", "ToolButton10"})
        EXPECT_FALSE(Cmd(name)->isEnabled()) << name;
    // "Layer Sheet" starts unchecked: the sheet shows once a layer is added.
    EXPECT_FALSE(Cmd("LayerSheet1")->isChecked());
    EXPECT_FALSE(window->findChild<QWidget*>("LayerSheet")->isVisibleTo(window.get()));

    TImages& s = Ws().Images[0];
    s.HistoryCount = 2;
    s.HistoryPos = 1;
    s.Tool = 15;
    Ws().ToolVars.HasSelection = 1;
    window->UpdateCommandStates();
    for (const char* name : {"Undo1", "Undo2", "ToolButton10", "UndoHistory1", "Cut1", "ToolButton4", "Cut2",
                             "Paste2", "CroptoSelection1", "SelectionToolbar1"})
        EXPECT_TRUE(Cmd(name)->isEnabled()) << name;
    EXPECT_FALSE(Cmd("Redo1")->isEnabled());
    EXPECT_FALSE(Cmd("PenToolbar1")->isEnabled());
}

TEST_F(AppTest, ShortcutsAndPopupSpelling) {
    Start();
    EXPECT_EQ(Cmd("NewImage1")->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(Cmd("ReOpenFile1")->shortcut(), QKeySequence("Ctrl+Alt+O"));
    EXPECT_EQ(Cmd("SaveAs1")->shortcut(), QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(Cmd("CloseAll1")->shortcut(), QKeySequence("Ctrl+Alt+W"));
    EXPECT_EQ(Cmd("Exit1")->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(Cmd("Delete1")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(Cmd("HelpContents1")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(Cmd("ScaleBars1")->isChecked());
    EXPECT_TRUE(Cmd("RectangularSelection1")->isChecked());
    bool shapen = false;
    for (QAction* a : window->ImagePopup()->findChildren<QAction*>()) shapen |= a->text() == "Shapen";
    for (QMenu* m : window->ImagePopup()->findChildren<QMenu*>())
        for (QAction* a : m->actions()) shapen |= a->text() == "Shapen";
    EXPECT_TRUE(shapen);
}

TEST_F(AppTest, ToolButtonsInTwoColumnsAndPressedForTheSlotTool) {
    Start();
    auto* pen = window->findChild<QToolButton*>("ToolButton20");
    auto* eraser = window->findChild<QToolButton*>("ToolButton40");
    auto* noise = window->findChild<QToolButton*>("ToolButton21");
    auto* transparency = window->findChild<QToolButton*>("ToolButton41");
    ASSERT_TRUE(pen && eraser && noise && transparency);
    EXPECT_EQ(pen->text(), "1");
    EXPECT_EQ(pen->toolTip(), "Pen (P)");
    EXPECT_EQ(eraser->x(), pen->x());
    EXPECT_EQ(noise->x(), transparency->x());
    EXPECT_GT(noise->x(), pen->x());
    EXPECT_GT(eraser->y(), pen->y());

    NewImage();
    Ws().Images[0].Tool = 21;
    window->ShowToolButtonState();
    EXPECT_TRUE(eraser->isChecked());
    EXPECT_FALSE(pen->isChecked());
    Ws().Images[0].Tool = 0;
    window->ShowToolButtonState();
    EXPECT_FALSE(eraser->isChecked());
}

TEST_F(AppTest, SwatchExchangeTwiceRestoresEverything) {
    Start();
    NewImage();
    TImages& s = Ws().Images[0];
    SetFGColour(s, RGBColour(1, 2, 3));
    SetBGColour(s, RGBColour(250, 128, 7));
    window->PaintSwatches();
    auto* shape1 = window->findChild<SwatchWidget*>("Shape1");
    auto* shape2 = window->findChild<SwatchWidget*>("Shape2");
    window->ExchangeSwatches();
    EXPECT_EQ(shape1->Colour(), RGBColour(250, 128, 7));
    EXPECT_EQ(shape2->Colour(), RGBColour(1, 2, 3));
    window->ExchangeSwatches();
    EXPECT_EQ(shape1->Colour(), RGBColour(1, 2, 3));
    EXPECT_EQ(s.FGRed, 1);
    EXPECT_EQ(s.BGGreen, 128);
    window->DefaultSwatches();
    EXPECT_EQ(shape1->Colour(), 0);
    EXPECT_EQ(shape2->Colour(), 0xFFFFFF);

    // The same through the Colours menu's one-letter commands.
    SetFGColour(s, RGBColour(9, 8, 7));
    window->PaintSwatches();
    EXPECT_EQ(Cmd("SwapColours1")->shortcut(), QKeySequence("X"));
    EXPECT_EQ(Cmd("DefaultColours1")->shortcut(), QKeySequence("D"));
    Cmd("SwapColours1")->trigger();
    EXPECT_EQ(shape1->Colour(), 0xFFFFFF);
    EXPECT_EQ(shape2->Colour(), RGBColour(9, 8, 7));
    Cmd("DefaultColours1")->trigger();
    EXPECT_EQ(shape1->Colour(), 0);
    EXPECT_EQ(shape2->Colour(), 0xFFFFFF);
}

TEST_F(AppTest, StartupAndShutdownEmptyTheHistoryFolder) {
    // Loose files and the folder of a copy that is no longer running go;
    // the folder of a running copy stays.
    WriteFile(Path("bin/hstry/0_1.bmp"), "x");
    WriteFile(Path("bin/hstry/999999999/3_2.bmp"), "x");
    const QString parent = QString("bin/hstry/%1/keep.bmp").arg(static_cast<long>(getppid()));
    WriteFile(Path(parent), "x");
    Start();
    EXPECT_FALSE(QFile::exists(Path("bin/hstry/0_1.bmp")));
    EXPECT_FALSE(QDir(Path("bin/hstry/999999999")).exists());
    EXPECT_TRUE(QFile::exists(Path(parent)));
    const QString own = Path(QString("bin/hstry/%1/1_1.bmp").arg(static_cast<long>(getpid())));
    WriteFile(own, "x");
    window->close();
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_TRUE(QFile::exists(Path(parent)));
}

TEST_F(AppTest, BothRecentMenusAreBuiltFromTheListFile) {
    WriteFile(Path("bin/save/files.txt"), "/pics/a.png\r\n\r\n/pics/b\x01.png\r\n/pics/c.jpg\r\n");
    Start();
    // The empty and the unreadable line are skipped.
    EXPECT_EQ(Cmd("FilesHere1")->text(), "/pics/a.png");
    EXPECT_EQ(Cmd("FilesHere2")->text(), "/pics/c.jpg");
    EXPECT_TRUE(Cmd("FilesHere2")->isVisible());
    EXPECT_FALSE(Cmd("FilesHere3")->isVisible());
    EXPECT_EQ(Cmd("FileHere1")->text(), "/pics/a.png");
    EXPECT_EQ(Cmd("FilesHere11")->text(), "/pics/c.jpg");
    EXPECT_FALSE(Cmd("FilesHere12")->isVisible());
}

TEST_F(AppTest, MissingDataNeverStopsStartUp) {
    // No files.txt, no pref.INI, no cursors, no help page.
    Start();
    EXPECT_FALSE(Cmd("FilesHere1")->isVisible());
    EXPECT_FALSE(window->FirstActivation());
    EXPECT_FALSE(window->Cursors().Loaded(1));
    EXPECT_EQ(window->Cursors().Get(5).shape(), Qt::ArrowCursor);
    EXPECT_FALSE(window->OpenHelp());
}

TEST_F(AppTest, TipsShowOnlyForExactlyTRUEAndOnlyOnce) {
    WriteFile(Path("bin/save/pref.INI"), "[general]\r\nshowtips=true\r\n");
    Start();
    int shown = 0;
    window->OnShowTips = [&] { ++shown; };
    EXPECT_FALSE(window->FirstActivation());
    EXPECT_EQ(shown, 0);

    WriteFile(Path("bin/save/pref.INI"), "[general]\r\nshowtips=TRUE\r\ntipid=3\r\n");
    window.reset();
    Start();
    window->OnShowTips = [&] { ++shown; };
    EXPECT_TRUE(window->FirstActivation());
    EXPECT_FALSE(window->FirstActivation());
    EXPECT_EQ(shown, 1);
}

TEST_F(AppTest, ReportsShowOnlyTheirOwnDetailAndStartShort) {
    Start();
    MessageDialog* box = window->Messages();
    QString seen;
    int height = 0;
    auto readAndClose = [&](QWidget*) {
        seen = box->Memo()->toPlainText();
        height = box->height();
        box->MoreInfo()->setChecked(true);
        EXPECT_EQ(box->height(), 154 + 80);
        EXPECT_EQ(box->OkButton()->y(), 158);
        EXPECT_TRUE(box->Memo()->isVisible());
        box->OkButton()->click();
    };
    AppTest::WhenModal(readAndClose);
    window->ReportError(2, "first failure");
    EXPECT_EQ(seen, "first failure");
    EXPECT_EQ(height, 154);
    EXPECT_EQ(box->Label()->text(), "Could Not Open File due to an Error while Opening.");

    AppTest::WhenModal(readAndClose);
    window->ReportError(7, "second failure");
    EXPECT_EQ(seen, "second failure");
    EXPECT_EQ(height, 154);  // "More Information" was left open last time
    // An unknown kind leaves the label as it was.
    EXPECT_EQ(box->Label()->text(), "Could Not Open File due to an Error while Opening.");
    EXPECT_EQ(ErrorKindText(3, 4), "An Error Occured while trying to save 4 file(s).");
    EXPECT_EQ(ErrorKindText(1), "An Error Occured while trying to Save.");
}

TEST_F(AppTest, TabsFollowTheSlotsAndTheStatusShowsTheSize) {
    Start();
    auto* pages = window->Pages();
    EXPECT_FALSE(pages->isTabVisible(0));
    NewImage(400, 300);
    NewImage(20, 10);
    EXPECT_TRUE(pages->isTabVisible(1));
    EXPECT_EQ(pages->tabText(1), "Untitled.bmp");
    EXPECT_EQ(window->ActivePage(), 1);
    EXPECT_EQ(window->Status()->PanelText(1), "20 x 10");
    pages->setCurrentIndex(0);
    EXPECT_EQ(window->Status()->PanelText(1), "400 x 300");
    ReleaseSlot(Ws(), 0);
    ReleaseSlot(Ws(), 1);
    EXPECT_EQ(window->ActivePage(), -1);
}

TEST_F(AppTest, LayoutKeepsUpDownMaximaNonNegative) {
    Start();
    NewImage();
    auto* sheet = window->findChild<QWidget*>("LayerSheet");
    auto* upDown = window->findChild<UpDown*>("UpDown");
    auto* upDown2 = window->findChild<UpDown*>("UpDown2");
    auto* ilSheet = window->findChild<QWidget*>("ILSheet");
    auto* strip = window->findChild<QWidget*>("LSImage");
    auto* panel = window->findChild<QWidget*>("EffectsPanel");
    auto* bar3 = window->findChild<QWidget*>("ToolBar3");
    auto* bar4 = window->findChild<QWidget*>("ToolBar4");
    ASSERT_TRUE(upDown && upDown2 && ilSheet && strip && panel && bar3 && bar4);
    // Room for the strip and both effect bars: both maxima are 0.
    window->show();
    window->resize(1600, 1400);
    QApplication::processEvents();
    window->RunLayout();
    EXPECT_EQ(upDown->x(), sheet->width() - 35);
    EXPECT_EQ(ilSheet->width(), sheet->width() - 62);
    ASSERT_LE(strip->width(), ilSheet->width());
    ASSERT_LE(bar3->height() + bar4->height(), panel->height());
    EXPECT_EQ(upDown->Max(), 0);
    EXPECT_EQ(upDown2->Max(), 0);
    // A strip wider than its frame and bars taller than the panel: the
    // maxima are what does not fit.
    strip->resize(ilSheet->width() + 300, strip->height());
    window->resize(700, 260);
    window->RunLayout();
    EXPECT_EQ(upDown->Max(), strip->width() - ilSheet->width());
    EXPECT_GT(upDown->Max(), 0);
    EXPECT_EQ(upDown2->Max(), bar3->height() + bar4->height() - panel->height());
    EXPECT_GT(upDown2->Max(), 0);
}

// Start-up on the platform asked for (Wayland in the CI's Wayland run): the
// window comes up exposed with its picture drawn; the log names the platform.
TEST_F(AppTest, StartsOnThePlatformAskedFor) {
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").section(';', 0, 0);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    EXPECT_EQ(QGuiApplication::platformName(), asked);
    Start();
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(window->windowHandle()->isExposed());
    NewImage(64, 48);
    EXPECT_FALSE(window->grab().isNull());
}
