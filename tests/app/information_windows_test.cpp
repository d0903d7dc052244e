// The tips window with the preference file, image information and the
// about box, through the main window.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <sys/stat.h>

#include "app/app_fixture.h"
#include "app/tips_dialog.h"
#include "io/codecs/image_codecs.h"
#include "io/ini_file.h"
#include "io/tips.h"
#include "io/open_commands.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Click;
using pixora::testing::WhenDialog;

namespace {

QString Text(QWidget* w, const char* name) {
    if (auto* label = w->findChild<QLabel*>(name)) return label->text();
    if (auto* edit = w->findChild<QLineEdit*>(name)) return edit->text();
    ADD_FAILURE() << name;
    return {};
}

// With PIXORA_SHOTS set, the window is kept there as a picture.
void Keep(QWidget* w, const char* file) {
    const QString dir = qEnvironmentVariable("PIXORA_SHOTS");
    if (!dir.isEmpty()) w->grab().save(dir + "/" + file);
}

struct InformationTest : AppTest {
    std::string Pref(const char* key) {
        return ReadIniValue(Path("bin/save/pref.INI").toStdString(), "general", key);
    }
};

} // namespace

TEST_F(InformationTest, TipElevenLeadsToTipOneAndAnyCloseWritesTheStateBack) {
    pixora::testing::WriteFile(Path("bin/save/pref.INI"), "[general]\r\nshowtips=TRUE\r\ntipid=11\r\n");
    Start();
    QString first, third;
    bool checked = false;
    WhenDialog("TForm52", [&](QWidget* d) {
        first = Text(d, "lblTip1");
        third = Text(d, "lblTip3");
        checked = d->findChild<QCheckBox*>("CheckBox1")->isChecked();
        Keep(d, "tips.png");
        d->findChild<QPushButton*>("Button1")->click();
    });
    Cmd("TipoftheDay1")->trigger();
    EXPECT_EQ(first, "You can edit specific parts of an image");
    EXPECT_EQ(third, "'Edit Only Selection'.");
    EXPECT_TRUE(checked);
    EXPECT_EQ(Pref("tipid"), "1");
    EXPECT_EQ(Pref("showtips"), "TRUE");

    // Unchecked and closed with the close box: "FALSE", tip 2 remembered,
    // and the next start shows no tips.
    WhenDialog("TForm52", [&](QWidget* d) {
        EXPECT_EQ(Text(d, "lblTip1"), "You can zoom in to an image by a specified degree");
        EXPECT_EQ(Text(d, "lblTip3"), ""); // a two-line tip
        d->findChild<QCheckBox*>("CheckBox1")->setChecked(false);
        d->close();
    });
    Cmd("TipoftheDay1")->trigger();
    EXPECT_EQ(Pref("showtips"), "FALSE");
    EXPECT_EQ(Pref("tipid"), "2");
    window.reset();
    Start();
    EXPECT_FALSE(window->FirstActivation());
}

TEST_F(InformationTest, ElevenNextTipsShowEveryTipAndComeBack) {
    Start();
    QStringList seen;
    QString last;
    WhenDialog("TForm52", [&](QWidget* d) {
        auto* next = d->findChild<QPushButton*>("Button2");
        EXPECT_EQ(next->text(), "Next Tip");
        for (int i = 0; i < 11; ++i) {
            seen << Text(d, "lblTip1");
            // A three-line tip followed by a two-line one leaves no third line.
            next->click();
            if (Text(d, "lblTip1") == "All edits to an image can be undone, because") {
                EXPECT_EQ(Text(d, "lblTip3"), "");
            }
            if (Text(d, "lblTip1") == TipLines(11).Line1) {
                EXPECT_EQ(Text(d, "lblTip3"), "transparent, PNG pixels can be semi transparent.");
            }
        }
        last = Text(d, "lblTip1");
        d->findChild<QPushButton*>("Button1")->click();
    });
    Cmd("TipoftheDay1")->trigger();
    ASSERT_EQ(seen.size(), 11);
    EXPECT_EQ(seen.first(), "You can edit specific parts of an image"); // no file: tip 1
    EXPECT_EQ(last, seen.first());
    seen.removeDuplicates();
    EXPECT_EQ(seen.size(), 11);
    EXPECT_EQ(Pref("tipid"), "1");
    EXPECT_EQ(Pref("showtips"), "FALSE");
}

TEST_F(InformationTest, TheFirstActivationShowsTheTipsWindowWhenAskedTo) {
    pixora::testing::WriteFile(Path("bin/save/pref.INI"), "[general]\r\nshowtips=TRUE\r\ntipid=4\r\n");
    Start();
    QString shown;
    WhenDialog("TForm52", [&](QWidget* d) {
        shown = Text(d, "lblTip1");
        d->findChild<QPushButton*>("Button1")->click();
    });
    EXPECT_TRUE(window->FirstActivation());
    EXPECT_EQ(shown, "You can replace part of the current image");
    EXPECT_EQ(Pref("tipid"), "5");
}

TEST_F(InformationTest, ImageInformationForANewAndAnOpenedImage) {
    Start();
    NewImage(40, 30);
    std::map<std::string, QString> fields;
    auto read = [&](QWidget* d) {
        for (const char* name : {"lblName", "lblLocation", "lblFullPath", "lblODimensions", "lblCDimensions",
                                 "lblFileType", "lblSizeDisk", "lblNPixels", "lblNLayers", "lblColourProfile"})
            fields[name] = Text(d, name);
        Keep(d, "image_information.png");
        d->close();
    };
    WhenDialog("TForm46", read);
    Cmd("Properties1")->trigger();
    EXPECT_EQ(fields["lblName"], "Untitled.bmp");
    EXPECT_EQ(fields["lblLocation"], "[None]");
    EXPECT_EQ(fields["lblSizeDisk"], "[None]");
    EXPECT_EQ(fields["lblFileType"], "BMP - Windows Bitmap");
    EXPECT_EQ(fields["lblCDimensions"], "40 x 30 Pixels");
    EXPECT_EQ(fields["lblNPixels"], "1200 Pixels");
    EXPECT_EQ(fields["lblColourProfile"], "[None]"); // made here: no profile

    // A file of 1,500,000 bytes (a PNG with bytes after its end), opened
    // from the pop-up menu's item.
    Bitmap img(64, 48);
    img.Fill(30, 60, 90, 0);
    const QString file = Path("pictures/holiday.png");
    QDir().mkpath(Path("pictures"));
    WriteImageFile(file.toStdString(), img, fcPng, SaveOptions{});
    QFile f(file);
    ASSERT_TRUE(f.resize(1500000));
    ASSERT_GE(LoadIntoNewSlot(Ws(), file.toStdString()), 0);
    WhenDialog("TForm46", read);
    Cmd("Properties2")->trigger();
    EXPECT_EQ(fields["lblName"], "holiday.png");
    EXPECT_EQ(fields["lblLocation"], Path("pictures"));
    EXPECT_EQ(fields["lblFullPath"], file);
    EXPECT_EQ(fields["lblFileType"], "PNG - PNG Format");
    EXPECT_EQ(fields["lblSizeDisk"], "1.4305 MB (1500000 bytes)");
    EXPECT_EQ(fields["lblODimensions"], "64 x 48 Pixels");
    EXPECT_EQ(fields["lblNLayers"], QString::number(Ws().Images[1].LayerCount));
    EXPECT_EQ(fields["lblColourProfile"], "[None]");

    // A photo in Display P3 names its profile, also after it is opened again.
    const std::string photo = PIXORA_SHARED_DIR "/photos/icc/sharp/p3.png";
    if (!QFile::exists(QString::fromStdString(photo))) GTEST_SKIP() << "the photo samples";
    const int slot = LoadIntoNewSlot(Ws(), photo);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(Ws().Images[static_cast<std::size_t>(slot)].ColourProfile, "Display P3");
    Ws().Images[static_cast<std::size_t>(slot)].ColourProfile.clear();
    ASSERT_TRUE(ReopenFile(Ws()));
    WhenDialog("TForm46", read);
    Cmd("Properties1")->trigger();
    EXPECT_EQ(fields["lblName"], "p3.png");
    EXPECT_EQ(fields["lblColourProfile"], "Display P3");
}

TEST_F(InformationTest, AboutNamesTheProgramAndOkClosesIt) {
    Start();
    QString title;
    bool open = false;
    WhenDialog("TForm55", [&](QWidget* d) {
        title = Text(d, "Label1");
        Keep(d, "about.png");
        d->findChild<QPushButton*>("Button1")->click();
        open = d->isVisible();
    });
    Cmd("About1")->trigger();
    EXPECT_EQ(title, "Pixora 1.0.0.1");
    EXPECT_FALSE(open);
    EXPECT_EQ(window->Window("TForm55")->windowTitle(), "About");
}

TEST_F(InformationTest, DamagedSettingsFilesStartTheProgramWithDefaults) {
    // A preference file of noise that holds a real one in its first lines,
    // and a pipe where the recent-file list belongs: both would hold the
    // start up or let noise through if they were trusted.
    QByteArray noise("[general]\r\nshowtips=TRUE\r\ntipid=3\r\n");
    noise += QByteArray(1 << 20, '\x01');
    pixora::testing::WriteFile(Path("bin/save/pref.INI"), noise);
    ASSERT_EQ(mkfifo(Path("bin/save/files.txt").toLocal8Bit().constData(), 0600), 0);
    Start();
    EXPECT_FALSE(window->FirstActivation());
    EXPECT_FALSE(Cmd("FilesHere1")->isVisible());

    // The tips start from the first, and closing them writes a sound file.
    QString shown;
    WhenDialog("TForm52", [&](QWidget* d) {
        shown = Text(d, "lblTip1");
        d->close();
    });
    Cmd("TipoftheDay1")->trigger();
    EXPECT_EQ(shown, "You can edit specific parts of an image");
    EXPECT_EQ(Pref("tipid"), "1");
    EXPECT_LT(QFileInfo(Path("bin/save/pref.INI")).size(), 100);
}
