#include <QAbstractButton>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QKeyEvent>
#include <QImage>
#include <QPlainTextEdit>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <fcntl.h>
#include <sys/stat.h>

#include "app/app_fixture.h"
#include "doc/checkerboard.h"
#include "io/codecs/image_codecs.h"
#include "history/history_store.h"
#include "io/open_commands.h"
#include "io/ui/file_print.h"
#include "io/ui/gif_transparency_dialog.h"
#include "io/ui/jpeg_options_dialog.h"
#include "io/ui/new_image_dialog.h"
#include "io/ui/pixel_format_dialog.h"
#include "io/ui/replace_file_dialog.h"
#include "io/ui/save_changes_dialog.h"
#include "window_kit/message_dialog.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

// Runs `act` on the modal dialog named `name` as soon as it is up.
void WhenDialog(const QString& name, std::function<void(QWidget*)> act) {
    pixora::testing::WhenModalDialog(name, std::move(act), 30000);
}

void Click(QWidget* dialog, const char* button) {
    auto* b = dialog->findChild<QPushButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

struct FileWindowTest : AppTest {
    std::string SaveFile(const QString& name) { return Path(name).toStdString(); }
    std::string MakePng(const QString& name) {
        const std::string path = SaveFile(name);
        Bitmap b(9, 7);
        b.Fill(10, 20, 30);
        WriteImageFile(path, b, 3, SaveOptions{});
        return path;
    }
};

} // namespace

TEST_F(FileWindowTest, NewImageCorrectsTooSmallSizesAndSetsTheGifSensitivity) {
    Start();
    auto* dialog = qobject_cast<NewImageDialog*>(window->Window("TForm2"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "New Image");
    auto* w = dialog->findChild<QSpinBox*>("sedWidth");
    auto* h = dialog->findChild<QSpinBox*>("sedHeight");
    auto* t = dialog->findChild<QSlider*>("T");
    ASSERT_TRUE(w && h && t && dialog->findChild<QLabel*>("Shape"));
    EXPECT_EQ(w->value(), 400);
    EXPECT_EQ(t->maximum(), 255);
    EXPECT_GE(w->maximum(), 1000000);

    int okClicks = 0;
    WhenDialog("TForm2", [&](QWidget* d) {
        w->setValue(1);
        Click(d, "Button1");
        ++okClicks;
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(w->value(), 100);
        h->setValue(-5);
        Click(d, "Button1");
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(h->value(), 100);
        EXPECT_EQ(Ws().SysData.OpenCount, -1);
        w->setValue(30);
        h->setValue(20);
        t->setValue(128);
        Click(d, "Button1");
    });
    Cmd("NewImage1")->trigger();
    EXPECT_EQ(okClicks, 1);
    ASSERT_EQ(Ws().SysData.OpenCount, 0);
    const TImages& s = Ws().Images[0];
    EXPECT_EQ(s.Bitmap.Width(), 30);
    EXPECT_EQ(s.Bitmap.Row(19)[29 * 4 + 3], 128);
    auto* gif = qobject_cast<GifTransparencyDialog*>(window->Window("TForm42"));
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(gif->findChild<QSlider*>("TS")->value(), 127);
    EXPECT_EQ(window->Pages()->tabText(0), "Untitled.bmp");
}

TEST_F(FileWindowTest, CancelInSaveChangesStopsCloseAllAndExitDiscardGoesOn) {
    Start();
    window->show();
    NewImage();
    NewImage();
    Ws().Images[1].Saved = 1;
    std::vector<bool> listed;
    WhenDialog("TForm54", [&](QWidget* d) {
        listed = qobject_cast<SaveChangesDialog*>(d)->Selection();
        Click(d, "Button3");
    });
    Cmd("CloseAll1")->trigger();
    // Both images were listed (one of them saved), the unsaved one selected.
    EXPECT_EQ(listed, (std::vector<bool>{true, false}));
    EXPECT_EQ(Ws().SysData.OpenCount, 1);

    WhenDialog("TForm54", [&](QWidget* d) { Click(d, "Button3"); });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Ws().SysData.OpenCount, 1);
    EXPECT_TRUE(Cmd("Close1")->isEnabled());

    WhenDialog("TForm54", [&](QWidget* d) { Click(d, "Button2"); });
    EXPECT_TRUE(window->close());
    EXPECT_EQ(Ws().SysData.OpenCount, -1);
}

TEST_F(FileWindowTest, ExitWithSaveSelectedRewritesOnlyTheEditedFile) {
    Start();
    window->show();
    const std::string kept = MakePng("kept.png"), edited = MakePng("edited.png");
    // An old time, so that any rewrite would show in it.
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, kept.c_str(), old, 0), 0);
    auto bytesOf = [](const std::string& path) {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray keptBytes = bytesOf(kept);
    ASSERT_EQ(LoadIntoNewSlot(Ws(), kept), 0);
    ASSERT_EQ(LoadIntoNewSlot(Ws(), edited), 1);
    ASSERT_TRUE(PushHistory(Ws(), 1));
    Ws().Images[1].Bitmap.Fill(200, 100, 50);
    std::vector<bool> selection;
    WhenDialog("TForm54", [&](QWidget* d) {
        selection = qobject_cast<SaveChangesDialog*>(d)->Selection();
        Click(d, "Button1"); // "Save Selected" as the dialog comes up
    });
    EXPECT_TRUE(window->close());
    EXPECT_EQ(selection, (std::vector<bool>{false, true}));
    EXPECT_EQ(bytesOf(kept), keptBytes);
    struct stat st {};
    ASSERT_EQ(stat(kept.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(LoadImageFile(edited, fcPng).Row(3)[0], 200);
}

TEST_F(FileWindowTest, SaveChangesListsOneImageOnCloseTogglesRowsAndScrolls) {
    Start();
    for (int i = 0; i < 4; ++i) NewImage(80 + i, 40);
    Ws().Images[0].Saved = 1;
    auto* dialog = qobject_cast<SaveChangesDialog*>(window->Window("TForm54"));
    ASSERT_NE(dialog, nullptr);
    std::size_t rows = 0;
    bool barVisible = true;
    WhenDialog("TForm54", [&](QWidget* d) {
        rows = dialog->Selection().size();
        barVisible = dialog->ScrollBar()->isVisible();
        Click(d, "Button2");
    });
    Cmd("Close1")->trigger();  // slot 3 is active
    EXPECT_EQ(rows, 1u);
    EXPECT_FALSE(barVisible);
    EXPECT_EQ(Ws().Images[3].InUse, 0);

    // Three unsaved of four open: "Close All" lists all, and they need a scroll bar.
    NewImage();
    dialog->Fill(Ws(), {0, 1, 2, 3}, {0, 1, 2, 3});
    EXPECT_EQ(dialog->ListBitmap().Height(), 4 * 67);
    EXPECT_FALSE(dialog->ScrollBar()->isHidden());
    EXPECT_EQ(dialog->ScrollBar()->maximum(), 4 * 67 - dialog->findChild<QWidget*>("Panel1")->height());
    auto* list = dialog->findChild<QLabel*>("Image1");
    dialog->ScrollBar()->setValue(20);
    EXPECT_EQ(list->y(), -20);
    // A release on the second row's band toggles it; the gap between rows does nothing.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(100, 67 + 30), QPointF(100, 67 + 30), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list, &release);
    EXPECT_EQ(dialog->Selection(), (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(dialog->ListBitmap().Row(67 + 6)[71 * 4 + 1], 255);
    dialog->ReleaseAt(67 * 2 + 64);
    EXPECT_EQ(dialog->Selection(), (std::vector<bool>{true, false, true, true}));
    dialog->ReleaseAt(67 + 62);
    EXPECT_EQ(dialog->Selection()[1], true);
    EXPECT_EQ(dialog->ListBitmap().Row(67 + 6)[71 * 4 + 1], 204);
}

TEST_F(FileWindowTest, SaveAsThroughTheDialogsReopensTheJpegWithAnEmptyHistory) {
    Start();
    NewImage(20, 10);
    Ws().Images[0].HistoryCount = 0;
    const QString typed = Path("picture");
    WhenDialog("SaveDialog1", [&](QWidget* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(fd, nullptr);
        EXPECT_EQ(fd->nameFilters().size(), 19);
        fd->selectNameFilter(fd->nameFilters()[1]);
        fd->setDirectory(ExeDir());
        WhenDialog("TForm6", [](QWidget* j) {
            j->findChild<QSlider*>("TrackBar1")->setValue(55);
            Click(j, "Button1");
        });
        pixora::testing::AcceptFileDialog(fd, typed);
    });
    Cmd("SaveAs1")->trigger();
    const std::string written = (typed + ".jpg").toStdString();
    ASSERT_TRUE(QFileInfo::exists(typed + ".jpg")) << Ws().Images[0].FileName << " " << QDir(ExeDir()).entryList().join(",").toStdString();
    const TImages& s = Ws().Images[0];
    EXPECT_EQ(s.FileName, written);
    EXPECT_EQ(s.FileFormat, 2);
    EXPECT_EQ(s.HistoryCount, 0);
    EXPECT_EQ(s.History[1].Name, "Original Image");
    EXPECT_EQ(window->Pages()->tabText(0), "picture.jpg");
    EXPECT_FALSE(Cmd("Undo1")->isEnabled());
    EXPECT_TRUE(Cmd("ReOpenFile1")->isEnabled());
    // The reopened file is at the head of both recent menus.
    EXPECT_EQ(Cmd("FilesHere1")->text(), typed + ".jpg");
    EXPECT_TRUE(Cmd("FileHere1")->isVisible());
}

TEST_F(FileWindowTest, RecentMenusOpenTheirEntries) {
    Start();
    const std::string a = MakePng("a.png"), b = MakePng("b.png");
    ASSERT_GE(LoadIntoNewSlot(Ws(), a), 0);
    ASSERT_GE(LoadIntoNewSlot(Ws(), b), 0);
    window->ShowRecentFiles();
    Cmd("FilesHere2")->trigger();  // entry 1 = a.png
    EXPECT_EQ(Ws().Images[2].FileName, a);
    Cmd("FilesHere11")->trigger();  // drop-down entry 1
    EXPECT_EQ(Ws().Images[3].FileName, a);
    Cmd("FileHere1")->trigger();
    EXPECT_EQ(Ws().Images[4].FileName, b);
    EXPECT_EQ(Ws().SysData.OpenCount, 4);
    EXPECT_EQ(window->Pages()->currentIndex(), 4);
}

TEST_F(FileWindowTest, FailedOpenShowsTheOpenMessageAndNoTab) {
    Start();
    const std::string bad = SaveFile("bad.gif");
    pixora::testing::WriteFile(QString::fromStdString(bad), "GIF89a");
    QString text;
    WhenDialog("TForm51", [&](QWidget* d) {
        text = window->Messages()->Label()->text();
        EXPECT_FALSE(window->Messages()->Memo()->toPlainText().isEmpty());
        Click(d, "Button1");
    });
    EXPECT_EQ(LoadIntoNewSlot(Ws(), bad), -1);
    EXPECT_EQ(text, "Could Not Open File due to an Error while Opening.");
    EXPECT_EQ(Ws().SysData.OpenCount, -1);
    EXPECT_FALSE(window->Pages()->isTabVisible(0));
    window->ShowRecentFiles();
    EXPECT_EQ(Cmd("FilesHere1")->text().toStdString(), bad);
}

TEST_F(FileWindowTest, PrintingPutsOneImagePixelOnEachDevicePixel) {
    Bitmap image(30, 15);
    image.Fill(0, 0, 255, 200);  // red; the fourth byte does not matter
    QImage page(50, 40, QImage::Format_RGB32);
    page.fill(Qt::white);
    ASSERT_TRUE(PrintBitmap(page, image));
    EXPECT_EQ(page.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(29, 14), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(30, 14), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(29, 15), qRgb(255, 255, 255));

    // A printer takes the same drawing as one page of a document.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("out.pdf"));
    ASSERT_TRUE(PrintBitmap(printer, image));
    QFile pdf(Path("out.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
}

// The three file dialogs as they are drawn on screen. With PIXORA_SHOTS set
// to a folder, the pictures are kept there to be looked at.
TEST_F(FileWindowTest, DialogsDrawTheirListsAndPreviews) {
    Start();
    const QString shots = qEnvironmentVariable("PIXORA_SHOTS");
    auto keep = [&](QWidget* w, const char* name) {
        const QImage picture = w->grab().toImage();
        if (!shots.isEmpty()) picture.save(shots + "/" + name);
        return picture;
    };

    // "Save Changes?" with four images, the second one toggled off.
    const int32_t colours[4] = {RGBColour(220, 40, 40), RGBColour(40, 160, 60), RGBColour(40, 80, 220),
                                RGBColour(240, 200, 40)};
    for (int i = 0; i < 4; ++i) {
        const int slot = NewImage(i == 2 ? 200 : 60, i == 3 ? 120 : 40);
        Ws().Images[static_cast<std::size_t>(slot)].Bitmap.FillColour(colours[i]);
        Ws().Images[static_cast<std::size_t>(slot)].FileName = "/home/me/pictures/holiday-" + std::to_string(i + 1) + ".png";
    }
    auto* changes = qobject_cast<SaveChangesDialog*>(window->Window("TForm54"));
    changes->Fill(Ws(), {0, 1, 2, 3}, {0, 1, 2, 3});
    changes->ReleaseAt(67 + 30);
    changes->show();
    const QImage list = keep(changes, "save_changes.png");
    auto* panel = changes->findChild<QWidget*>("Panel1");
    const QPoint origin = panel->mapTo(changes, QPoint(0, 0)) * list.devicePixelRatio();
    EXPECT_EQ(list.pixel(origin + QPoint(72, 7)), qRgb(204, 204, 204));       // row 0 selected
    EXPECT_EQ(list.pixel(origin + QPoint(72, 67 + 7)), qRgb(255, 255, 255));  // row 1 not
    EXPECT_EQ(list.pixel(origin + QPoint(33, 33)), qRgb(220, 40, 40));        // row 0's thumbnail
    EXPECT_TRUE(changes->ScrollBar()->isVisible());
    changes->hide();

    // "GIF Image Transparency": transparency rising from left to right.
    Bitmap image(256, 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = image.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(y * 2), p[1] = 120, p[2] = static_cast<uint8_t>(255 - x), p[3] = static_cast<uint8_t>(x);
        }
    auto* gif = qobject_cast<GifTransparencyDialog*>(window->Window("TForm42"));
    gif->SetSensitivity(100);
    gif->show();
    gif->Prepare(image);
    const QImage preview = keep(gif, "gif_transparency.png");
    auto* shown = gif->findChild<QLabel*>("Image1");
    const QPoint at = shown->mapTo(gif, QPoint(0, 0)) * preview.devicePixelRatio();
    EXPECT_EQ(preview.pixel(at + QPoint(10, 50)), qRgb(245, 120, 100));  // kept: 100 < 255 - 10
    // Keyed (100 >= 255 - 250): the checkerboard's grey or white shows.
    const QRgb keyed = preview.pixel(at + QPoint(250, 50));
    EXPECT_TRUE(keyed == qRgb(kCheckerGrey, kCheckerGrey, kCheckerGrey) || keyed == qRgb(255, 255, 255)) << keyed;
    gif->hide();

    // "New Image" with its defaults.
    auto* create = qobject_cast<NewImageDialog*>(window->Window("TForm2"));
    create->show();
    const QImage fresh = keep(create, "new_image.png");
    auto* swatch = create->findChild<QLabel*>("Shape");
    const QPoint inSwatch = (swatch->mapTo(create, QPoint(0, 0)) + QPoint(20, 13)) * fresh.devicePixelRatio();
    EXPECT_EQ(fresh.pixel(inSwatch), qRgb(255, 255, 255));
    create->hide();

    // "WebP Options": lossy at 90 to begin with; the quality has no say in a
    // lossless file, so its group is off then.
    auto* webp = window->Window("TForm56");
    ASSERT_NE(webp, nullptr);
    webp->show();
    keep(webp, "webp_options.png");
    auto* quality = webp->findChild<QSlider*>("TrackBar1");
    ASSERT_NE(quality, nullptr);
    EXPECT_EQ(quality->value(), 90);
    EXPECT_TRUE(quality->isEnabled());
    webp->findChild<QAbstractButton*>("RadioGroup1Item1")->click();
    EXPECT_FALSE(quality->isEnabled());
    keep(webp, "webp_options_lossless.png");
    webp->findChild<QAbstractButton*>("RadioGroup1Item0")->click();
    EXPECT_TRUE(quality->isEnabled());
    webp->hide();
}

TEST_F(FileWindowTest, ReOpenMenuNeverOpensEmptyAndShowsFilesOpenedLater) {
    Start();
    window->show();
    auto* file = window->findChild<QMenu*>("File1");
    auto* menu = window->findChild<QMenu*>("ReOpen1");
    ASSERT_TRUE(file && menu);
    auto key = [](QWidget* w, int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier), release(QEvent::KeyRelease, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    };
    // File, then Re-Open chosen and the arrow key that opens it, as a user does.
    auto openReOpen = [&] {
        window->menuBar()->setActiveAction(file->menuAction());
        QApplication::processEvents();
        file->setActiveAction(menu->menuAction());
        key(file, Qt::Key_Right);
        QApplication::processEvents();
    };
    openReOpen();
    // With no recent file it does not open at all (an empty menu has no size).
    EXPECT_FALSE(menu->isVisible());
    key(file, Qt::Key_Escape);
    file->hide();
    QApplication::processEvents();

    ASSERT_GE(LoadIntoNewSlot(Ws(), MakePng("first.png")), 0);
    window->ShowRecentFiles();
    openReOpen();
    ASSERT_TRUE(menu->isVisible());
    QAction* entry = Cmd("FilesHere1");
    const QRect at = menu->actionGeometry(entry);
    EXPECT_FALSE(at.isEmpty());
    EXPECT_TRUE(menu->rect().contains(at));
    EXPECT_EQ(menu->actionAt(at.center()), entry);
    EXPECT_EQ(entry->text(), Path("first.png"));
    menu->hide();
    file->hide();
}

TEST_F(FileWindowTest, CaptionNamesTheActiveImageAndMarksItWhileUnsaved) {
    Start();
    window->show();
    const QString application = QApplication::applicationName();
    EXPECT_EQ(window->windowTitle(), "Pixora");
    const std::string path = MakePng("photo.png");
    ASSERT_EQ(LoadIntoNewSlot(Ws(), path), 0);
    EXPECT_EQ(window->windowTitle(), "photo.png - Pixora");
    ASSERT_TRUE(PushHistory(Ws())); // a step: the image is unsaved
    NameHistoryStep(Ws(), "Edit");
    EXPECT_EQ(Ws().Images[0].Saved, 0);
    EXPECT_EQ(window->windowTitle(), "photo.png * - Pixora");
    Cmd("Save1")->trigger();
    EXPECT_EQ(window->windowTitle(), "photo.png - Pixora");
    NewImage();
    EXPECT_EQ(window->windowTitle(), "Untitled.bmp * - Pixora");
    WhenDialog("TForm54", [&](QWidget* d) { Click(d, "Button2"); });
    Cmd("CloseAll1")->trigger();
    EXPECT_EQ(window->windowTitle(), "Pixora");
    EXPECT_EQ(QApplication::applicationName(), application);
}

TEST_F(FileWindowTest, TypedWebpNameUnderTheBitmapFilterAsksWebpOptionsAndWritesWebp) {
    Start();
    NewImage(20, 10);
    const QString typed = Path("picture.webp");
    bool asked = false;
    WhenDialog("SaveDialog1", [&](QWidget* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(fd, nullptr);
        fd->selectNameFilter(fd->nameFilters()[0]); // "Bitmap"
        fd->setDirectory(ExeDir());
        WhenDialog("TForm56", [&](QWidget* o) {
            asked = true;
            EXPECT_EQ(o->windowTitle(), "WebP Options");
            o->findChild<QAbstractButton*>("RadioGroup1Item1")->click(); // lossless
            Click(o, "Button1");
        });
        pixora::testing::AcceptFileDialog(fd, typed);
    });
    Cmd("SaveaCopy1")->trigger();
    EXPECT_TRUE(asked);
    QFile f(typed);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(16);
    EXPECT_TRUE(head.startsWith("RIFF"));
    EXPECT_EQ(head.mid(12, 4), "VP8L"); // lossless
    EXPECT_EQ(Ws().Images[0].WebpLossless, 1);
}
