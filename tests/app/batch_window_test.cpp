// The batch conversion window through the main window: choosing files and a
// folder, the options asked during the run, the wait box with its count and
// Cancel, and the report afterwards.

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

#include "app/app_fixture.h"
#include "effects/apply_effect.h"
#include "effects/effects_table.h"
#include "effects/recipes.h"
#include "io/codecs/image_codecs.h"
#include "io/ui/batch_window.h"
#include "support/pixels.h"
#include "support/screenshots.h"
#include "window_kit/message_dialog.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Click;
using pixora::testing::WhenDialog;
using pixora::testing::WriteFile;

namespace {

struct BatchWindowTest : AppTest {
    BatchWindow* batch = nullptr;
    QString out;

    void Open() {
        Start();
        out = Path("out");
        QDir().mkpath(out);
        Cmd("ConvertFiles1")->trigger();
        batch = qobject_cast<BatchWindow*>(window->Window("TForm33"));
        ASSERT_NE(batch, nullptr);
        ASSERT_TRUE(batch->isVisible());
    }
    std::string Source(const QString& name, uint8_t r, uint8_t g, uint8_t b, int format) {
        Bitmap img(16, 12);
        img.Fill(b, g, r, 0);
        const std::string path = Path("in/" + name).toStdString();
        QDir().mkpath(Path("in"));
        WriteImageFile(path, img, format, SaveOptions{});
        return path;
    }
    QListWidget* Files() const { return batch->findChild<QListWidget*>("Files"); }
    QLineEdit* Folder() const { return batch->findChild<QLineEdit*>("DF"); }
    QComboBox* Format() const { return batch->findChild<QComboBox*>("DS"); }

    // "Add Files" with the names typed into the open dialog, all from in/.
    void AddFiles(const QStringList& names) {
        WhenDialog("OpenDialog1", [&](QWidget* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            ASSERT_NE(fd, nullptr);
            EXPECT_EQ(fd->fileMode(), QFileDialog::ExistingFiles);
            QStringList quoted;
            for (const QString& n : names)
                quoted << '"' + n + '"';
            const QString in = Path("in");
            pixora::testing::AcceptFileDialogWith(fd, [in, quoted](QFileDialog* f) {
                f->setDirectory(in);
                f->findChild<QLineEdit*>("fileNameEdit")->setText(quoted.join(' '));
            });
        });
        Click(batch, "Button1");
    }
    // "Browse" choosing a folder, or cancelling with an empty one.
    void Browse(const QString& folder) {
        WhenDialog("BrowseDialog1", [&](QWidget* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            ASSERT_NE(fd, nullptr);
            EXPECT_EQ(fd->windowTitle(), "Select a Folder");
            if (folder.isEmpty()) {
                fd->reject();
                return;
            }
            pixora::testing::AcceptFileDialogWith(fd, [folder](QFileDialog* f) { f->setDirectory(folder); });
        });
        Click(batch, "Button3");
    }
    // "Convert Files"; the failure message, when one comes, is read and
    // closed.
    // Returns whether a message came.
    bool Convert(QString* message = nullptr, QString* memo = nullptr) {
        auto watching = std::make_shared<bool>(true);
        bool came = false;
        WhenDialog(
            "TForm51",
            [=, this, &came](QWidget* d) {
                came = true;
                if (message) *message = window->Messages()->Label()->text();
                if (memo) *memo = window->Messages()->Memo()->toPlainText();
                Click(d, "Button1");
            },
            watching);
        Click(batch, "Button4");
        *watching = false;
        return came;
    }
    Bitmap Output(const QString& name, int format) {
        return LoadImageFile((out + "/" + name).toStdString(), format);
    }
};

} // namespace

TEST_F(BatchWindowTest, StaysOnTopWithoutHoldingUpTheOthersAndClosesWithNothingToDo) {
    Open();
    EXPECT_EQ(batch->windowTitle(), "Batch File Proccessing");
    EXPECT_FALSE(batch->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(batch->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Files()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(Folder()->isReadOnly());
    ASSERT_EQ(Format()->count(), 19);
    EXPECT_EQ(Format()->currentText(), ".bmp");
    EXPECT_EQ(Format()->itemText(17), ".psp");
    EXPECT_EQ(Format()->itemText(18), ".webp");

    // Files but no folder: "Convert Files" only closes, without a message.
    Source("one.png", 1, 2, 3, fcPng);
    AddFiles({"one.png"});
    ASSERT_EQ(Files()->count(), 1);
    EXPECT_FALSE(Convert());
    EXPECT_FALSE(batch->isVisible());

    // Shown again: the list starts empty. "Cancel" closes and converts nothing.
    Cmd("ConvertFiles1")->trigger();
    EXPECT_EQ(Files()->count(), 0);
    EXPECT_TRUE(batch->Sources().empty());
    AddFiles({"one.png"});
    Browse(out);
    Click(batch, "Button5");
    EXPECT_FALSE(batch->isVisible());
    EXPECT_TRUE(QDir(out).isEmpty());
}

TEST_F(BatchWindowTest, TheBaseNameEndsAtTheFirstDotAndTheJpegOptionsAreReadForTheRun) {
    Open();
    Source("holiday.photo.png", 200, 40, 40, fcPng);
    AddFiles({"holiday.photo.png"});
    EXPECT_EQ(Files()->item(0)->text(), "holiday.photo.png");

    // Cancelling the browser clears the folder; a chosen one ends in '/'.
    Folder()->setText("/somewhere/");
    Browse(QString());
    EXPECT_EQ(Folder()->text(), "");
    Browse(out);
    EXPECT_EQ(Folder()->text(), out + "/");

    Format()->setCurrentText(".jpg");
    WhenDialog("TForm6", [](QWidget* d) {
        d->findChild<QWidget*>("RadioGroup1Item0")->setProperty("checked", true); // 8-bit
        d->findChild<QSlider*>("TrackBar1")->setValue(40);
        Click(d, "Button1");
    });
    EXPECT_FALSE(Convert()); // no failures, no message
    EXPECT_FALSE(batch->isVisible());
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"holiday.jpg"});
    const Bitmap back = Output("holiday.jpg", fcJpeg);
    EXPECT_EQ(back.Row(6)[4 * 8], back.Row(6)[4 * 8 + 2]); // gray, as asked

    // ".bmp" asks the pixel format.
    Cmd("ConvertFiles1")->trigger();
    AddFiles({"holiday.photo.png"});
    Format()->setCurrentText(".bmp");
    WhenDialog("TForm5", [](QWidget* d) {
        d->findChild<QWidget*>("RadioGroup1Item1")->setProperty("checked", true); // 16-bit
        Click(d, "Button1");
    });
    EXPECT_FALSE(Convert()); // no failures, no message
    QFile bmp(out + "/holiday.bmp");
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_EQ(bmp.readAll().at(28), 16);
}

TEST_F(BatchWindowTest, TwoSourcesOfOneBaseNameLeaveTheSecond) {
    Open();
    Source("a.bmp", 250, 0, 0, fcBmp);
    Source("a.png", 0, 0, 250, fcPng);
    AddFiles({"a.bmp", "a.png"});
    ASSERT_EQ(batch->Sources().size(), 2u);
    EXPECT_EQ(batch->Sources()[1].Name, "a.png");
    Browse(out);
    Format()->setCurrentText(".jpg");
    WhenDialog("TForm6", [](QWidget* d) { Click(d, "Button1"); });
    EXPECT_FALSE(Convert()); // no failures, no message
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"a.jpg"});
    const Bitmap back = Output("a.jpg", fcJpeg);
    EXPECT_GT(back.Row(6)[4 * 8], 200); // blue: the .png came second
    EXPECT_LT(back.Row(6)[4 * 8 + 2], 50);
}

TEST_F(BatchWindowTest, ANonImageIsCountedAndReportedOnce) {
    Open();
    Source("one.png", 10, 200, 10, fcPng);
    pixora::testing::WriteFile(Path("in/notes.txt"), "not a picture");
    Source("two.bmp", 10, 10, 200, fcBmp);
    AddFiles({"one.png", "notes.txt", "two.bmp"});
    Browse(out);
    Format()->setCurrentText(".png");
    QString message, memo;
    EXPECT_TRUE(Convert(&message, &memo));
    EXPECT_EQ(message, "An Error Occured while trying to save 1 file(s).");
    // The count, then the file that failed and why.
    EXPECT_TRUE(memo.startsWith("1 file(s) failed to be converted.\n" + Path("in/notes.txt") + ": ")) << memo.toStdString();
    EXPECT_EQ(memo.count('\n'), 1);
    EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{"one.png", "two.png"}));
    EXPECT_FALSE(batch->isVisible());
}

TEST_F(BatchWindowTest, DeletingTheSecondOfThreeKeepsNamesAndPathsPaired) {
    Open();
    Source("first.png", 250, 0, 0, fcPng);
    Source("second.png", 0, 250, 0, fcPng);
    Source("third.png", 0, 0, 250, fcPng);
    AddFiles({"first.png", "second.png", "third.png"});
    ASSERT_EQ(Files()->count(), 3);
    Files()->item(1)->setSelected(true);
    Click(batch, "Button2");
    ASSERT_EQ(Files()->count(), 2);
    EXPECT_EQ(Files()->item(0)->text(), "first.png");
    EXPECT_EQ(Files()->item(1)->text(), "third.png");
    ASSERT_EQ(batch->Sources().size(), 2u);
    EXPECT_EQ(QString::fromStdString(batch->Sources()[1].Path), Path("in/third.png"));

    // Each output holds its own source's pixels.
    Browse(out);
    Format()->setCurrentText(".png");
    EXPECT_FALSE(Convert()); // no failures, no message
    EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{"first.png", "third.png"}));
    EXPECT_EQ(Output("first.png", fcPng).Row(0)[2], 250);
    EXPECT_EQ(Output("third.png", fcPng).Row(0)[0], 250);
}

// Forty files: the wait box counts them and takes every input while it is
// up; Cancel stops after the files being converted and the report says how
// many were written. With PIXORA_SHOTS set, the window during the run is
// kept there.
TEST_F(BatchWindowTest, FortyFilesAreCountedAndCancelStopsAfterTheCurrentFile) {
    Open();
    QStringList names;
    for (int i = 0; i < 40; ++i) {
        const QString name = QString("photo%1.png").arg(i, 2, 10, QChar('0'));
        Bitmap img(160, 120);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                uint8_t* p = img.Row(y) + 4 * x;
                p[0] = static_cast<uint8_t>(x + i), p[1] = static_cast<uint8_t>(y * 2), p[2] = 90, p[3] = 0;
            }
        QDir().mkpath(Path("in"));
        WriteImageFile(Path("in/" + name).toStdString(), img, fcPng, SaveOptions{});
        names << name;
    }
    AddFiles(names);
    Browse(out);
    Format()->setCurrentText(".tga");

    ProcessingBox* box = window->Processing();
    QProgressBar* bar = box->Progress();
    std::vector<int> seen;
    bool modalDuringRun = false;
    bool shot = false;
    QMetaObject::Connection watch = QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        if (v == 0) return;
        seen.push_back(v);
        modalDuringRun = modalDuringRun || (box->isVisible() && QApplication::activeModalWidget() == box);
        if (v >= 20 && !shot && !qEnvironmentVariable("PIXORA_SHOTS").isEmpty()) {
            shot = true;
            // The screen as it is (on a display server), and the two windows
            // drawn together (wherever the wait box sits over the window).
            const QString dir = qEnvironmentVariable("PIXORA_SHOTS");
            QApplication::primaryScreen()->grabWindow(0).save(dir + "/batch_run_screen.png");
            QImage both = batch->grab().toImage();
            QPainter p(&both);
            p.drawImage((batch->width() - box->width()) / 2, (batch->height() - box->height()) / 2,
                        box->grab().toImage());
            p.end();
            both.save(dir + "/batch_run.png");
        }
    });
    EXPECT_FALSE(Convert()); // no failures, no message
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(bar->maximum(), 40);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 40);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_TRUE(modalDuringRun);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // nothing held up afterwards
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 40);

    // Again, cancelled once three files are done.
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    QObject::disconnect(watch);
    bool clicked = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        if (v < 3 || clicked) return; // several threads may finish files together
        clicked = true;
        box->CancelButton()->click();
    });
    Cmd("ConvertFiles1")->trigger();
    AddFiles(names);
    Browse(out);
    Format()->setCurrentText(".bmp");
    WhenDialog("TForm5", [](QWidget* d) { Click(d, "Button1"); });
    QString message, memo;
    EXPECT_TRUE(Convert(&message, &memo));
    const int written = static_cast<int>(QDir(out).entryList(QDir::Files).size());
    EXPECT_GE(written, 3);
    EXPECT_LT(written, 40);
    EXPECT_EQ(message, QString("Conversion cancelled: %1 of 40 file(s) were written.").arg(written));
    EXPECT_EQ(memo, "");
    EXPECT_FALSE(box->isVisible());
    EXPECT_FALSE(box->Progress()->isVisibleTo(box)); // the box is plain again
    EXPECT_FALSE(batch->isVisible());
}

TEST_F(BatchWindowTest, ARecipeChosenForTheRunIsAppliedToEveryFile) {
    Open();
    auto* apply = batch->findChild<QCheckBox*>("ApplyRecipe");
    ASSERT_NE(apply, nullptr);
    EXPECT_FALSE(apply->isChecked());
    // Ticked without a recipe, it asks for one; cancelled, it stays off.
    WhenDialog("RecipeDialog", [](QWidget* d) { qobject_cast<QDialog*>(d)->reject(); });
    apply->setChecked(true);
    EXPECT_FALSE(apply->isChecked());
    pixora::testing::Shot(batch, "batch_window_recipe");

    const std::string a = Source("a.png", 200, 30, 7, fcPng);
    Source("b.png", 5, 90, 250, fcPng);
    const QString recipe = Path("in/steps.recipe");
    WriteFile(recipe, "# Pen\ninvert\nrotate-left\n");
    WriteFile(Path("in/bad.recipe"), "invert\nblurry\n");
    AddFiles({"a.png", "b.png"});
    Browse(out);
    Format()->setCurrentText(".png");
    WhenDialog("RecipeDialog", [&](QWidget* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(fd, nullptr);
        fd->setDirectory(Path("in"));
        pixora::testing::AcceptFileDialog(fd, Path("in/bad.recipe"));
    });
    apply->setChecked(true);
    ASSERT_TRUE(apply->isChecked());
    // A recipe that does not read: a message, no file written, the window stays.
    QString message, memo;
    EXPECT_TRUE(Convert(&message, &memo));
    EXPECT_NE(memo.indexOf("line 2"), -1) << memo.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out + "/a.png"));
    EXPECT_TRUE(batch->isVisible());

    WhenDialog("RecipeDialog", [&](QWidget* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(fd, nullptr);
        fd->setDirectory(Path("in"));
        pixora::testing::AcceptFileDialog(fd, recipe);
    });
    Click(batch, "Button6");
    EXPECT_FALSE(Convert());
    std::vector<TEffectCall> steps;
    std::string error;
    ASSERT_TRUE(ReadRecipeFile(recipe.toStdString(), CommandLineEffects(), steps, error)) << error;
    Bitmap expected = LoadImageFile(a, fcPng);
    ASSERT_TRUE(EffectChain(steps, 0)(expected, error)) << error;
    const Bitmap written = Output("a.png", fcPng);
    ASSERT_EQ(written.Width(), 12);
    EXPECT_TRUE(pixora::testing::SamePixels(written, expected));
    EXPECT_EQ(Output("b.png", fcPng).Width(), 12);
}
