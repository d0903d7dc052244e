#include <QFileDialog>
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

#include "app/app_fixture.h"
#include "doc/checkerboard.h"
#include "io/codecs/image_codecs.h"
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
    // Both images were listed (one of them saved), both selected.
    EXPECT_EQ(listed, (std::vector<bool>{true, true}));
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
    dialog->Fill(Ws(), {0, 1, 2, 3});
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
        EXPECT_EQ(fd->nameFilters().size(), 18);
        fd->selectNameFilter(fd->nameFilters()[1]);
        fd->setDirectory(ExeDir());
        fd->selectFile(typed);
        WhenDialog("TForm6", [](QWidget* j) {
            j->findChild<QSlider*>("TrackBar1")->setValue(55);
            Click(j, "Button1");
        });
        QMetaObject::invokeMethod(fd, "accept");
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
    changes->Fill(Ws(), {0, 1, 2, 3});
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
}
