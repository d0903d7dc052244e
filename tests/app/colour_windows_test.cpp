// The Image Histogram, GrayScale and Colour Channel Transfer windows driven
// through their controls.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <cstring>

#include "app/app_fixture.h"
#include "effects/colour/planes.h"
#include "effects/ui/colour_windows.h"
#include "history/history_store.h"
#include "support/pixels.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Child;
using pixora::testing::Px;

namespace {

void Click(QWidget* parent, const char* name) {
    if (auto* b = Child<QAbstractButton>(parent, name)) b->click();
}

struct ColourWindowTest : AppTest {
    int slot = -1;
    Bitmap original;
    TImages& S() { return Ws().Images[static_cast<std::size_t>(slot)]; }
    void OpenImage() {
        Start();
        slot = NewImage(16, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                uint8_t* p = S().Bitmap.Row(y) + 4 * x;
                p[0] = static_cast<uint8_t>(15 * x);
                p[1] = static_cast<uint8_t>(200 - 20 * y);
                p[2] = static_cast<uint8_t>(16 * x + y);
                p[3] = static_cast<uint8_t>(x < 2 ? 90 : 0);
            }
        FillRowTable(S().Bitmap, S().Rows);
        window->RefreshView();
        original = S().Bitmap;
    }
    bool Unchanged() const {
        const Bitmap& b = window->Ws().Images[static_cast<std::size_t>(slot)].Bitmap;
        return std::memcmp(b.Data(), original.Data(), original.ByteSize()) == 0;
    }
};

TEST_F(ColourWindowTest, NoneOpensWithoutAnImage) {
    Start();
    EXPECT_EQ(ModalWindowsOf([this] {
                  for (const char* name : {"Histogram1", "Histogram3", "Grayscale1", "Grayscale3",
                                           "ColourTransfer1", "ColourTransfer4"})
                      if (QAction* a = Cmd(name)) a->trigger();
                  RunHistogram(*window);
              }),
              0);
    EXPECT_FALSE(window->Window("TForm35")->isVisible());
}

TEST_F(ColourWindowTest, HistogramFollowsSpaceAndPlaneAndCommitsThePlanePicture) {
    OpenImage();
    bool ran = false;
    WhenModal([&](QWidget* d) {
        ran = true;
        EXPECT_EQ(d->objectName(), "TForm39");
        EXPECT_EQ(d->windowTitle(), "RGB Composite");
        EXPECT_EQ(Child<QLabel>(d, "ImageHistogram")->pixmap().width(), 256);
        EXPECT_TRUE(Child<QCheckBox>(d, "CheckBoxMonochrome")->isVisibleTo(d));
        // The composite in colour is the image itself.
        EXPECT_EQ(std::memcmp(Px(Ws().DisplayCopy, 5, 3), Px(original, 5, 3), 3), 0);

        Click(d, "RadioGroupColorSpaceItem1"); // HSV
        EXPECT_EQ(d->windowTitle(), "Hue (HSV)");
        EXPECT_EQ(Child<QRadioButton>(d, "RadioGroupColorPlaneItem1")->text(), "Saturation");
        EXPECT_FALSE(Child<QRadioButton>(d, "RadioGroupColorPlaneItem3")->isVisibleTo(d));
        Click(d, "RadioGroupColorPlaneItem2");
        EXPECT_EQ(d->windowTitle(), "Value (HSV)");
        EXPECT_FALSE(Child<QCheckBox>(d, "CheckBoxMonochrome")->isVisibleTo(d));
        Click(d, "RadioGroupColorSpaceItem3"); // CMYK: the caption names the plane too
        EXPECT_EQ(d->windowTitle(), "Cyan");
        EXPECT_EQ(Child<QRadioButton>(d, "RadioGroupColorPlaneItem3")->text(), "blacK");
        EXPECT_TRUE(Child<QRadioButton>(d, "RadioGroupColorPlaneItem0")->isChecked());

        Click(d, "RadioGroupColorSpaceItem0");
        Click(d, "RadioGroupColorPlaneItem1"); // Red, in colour
        EXPECT_EQ(d->windowTitle(), "Red");
        EXPECT_EQ(Px(Ws().DisplayCopy, 5, 3)[2], Px(original, 5, 3)[2]);
        EXPECT_EQ(Px(Ws().DisplayCopy, 5, 3)[1], 0);
        Click(d, "CheckBoxInvert");
        EXPECT_EQ(Px(Ws().DisplayCopy, 5, 3)[1], 255);
        Click(d, "CheckBoxMonochrome"); // grey of red, inverted
        EXPECT_EQ(Px(Ws().DisplayCopy, 5, 3)[1], 255 - Px(original, 5, 3)[2]);
        // Red values 0..243 in steps of 16 (+ row): one bar per value.
        const QImage shown = Child<QLabel>(d, "ImageHistogram")->pixmap().toImage();
        EXPECT_EQ(shown.pixel(81, 100), qRgb(81, 0, 0));
        EXPECT_EQ(shown.pixel(88, 100), qRgb(192, 192, 192));
        pixora::testing::Shot(d, "histogram");
        Child<QCheckBox>(d, "UB")->setChecked(true);
        EXPECT_EQ(Child<QCheckBox>(d, "UB")->text(), "Use Brush");
        Click(d, "Button1");
    });
    const int steps = S().HistoryCount;
    Cmd("Histogram1")->trigger();
    ASSERT_TRUE(ran);
    // "Use Brush": the image as it was and no step, the picture in the brush.
    EXPECT_EQ(S().HistoryCount, steps);
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(S().Tool, 26);
    EXPECT_EQ(Px(Ws().EffectBrushSource.Bitmap, 5, 3)[0], 255 - Px(original, 5, 3)[2]);

    WhenModal([&](QWidget* d) {
        EXPECT_TRUE(Child<QRadioButton>(d, "RadioGroupColorSpaceItem0")->isChecked());
        EXPECT_EQ(d->windowTitle(), "RGB Composite");
        Child<QCheckBox>(d, "UB")->setChecked(false);
        Click(d, "Button1");
    });
    Cmd("Histogram2")->trigger();
    // The composite picture is grey ("Monochrome" stays checked) and
    // inverted; the fourth bytes stay.
    const uint8_t* p = Px(S().Bitmap, 5, 3);
    const uint8_t* o = Px(original, 5, 3);
    EXPECT_EQ(p[0], 255 - (o[0] + o[1] + o[2]) / 3);
    EXPECT_EQ(Px(S().Bitmap, 1, 1)[3], 90);
    EXPECT_EQ(S().Tool, 0);
}

TEST_F(ColourWindowTest, GrayScaleIsModelessPreviewsAndCommitsOrCancels) {
    OpenImage();
    QWidget* gray = window->Window("TForm35");
    ASSERT_NE(gray, nullptr);
    const int steps = S().HistoryCount;
    Cmd("Grayscale1")->trigger();
    ASSERT_TRUE(gray->isVisible());
    EXPECT_FALSE(gray->isModal());
    EXPECT_TRUE(gray->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    Click(gray, "DItem1"); // Red
    const uint8_t* v = Px(Ws().DisplayCopy, 6, 2);
    const uint8_t* o = Px(original, 6, 2);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], (o[0] + o[1] + o[2]) / 3);
    EXPECT_TRUE(Unchanged());
    Child<QSlider>(gray, "B")->setValue(-30);
    EXPECT_EQ(Px(Ws().DisplayCopy, 6, 2)[2], std::max(0, (o[0] + o[1] + o[2]) / 3 - 30));
    Click(gray, "Button2");
    EXPECT_FALSE(gray->isVisible());
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(S().HistoryCount, steps);

    Cmd("Grayscale2")->trigger();
    EXPECT_TRUE(Child<QRadioButton>(gray, "DItem0")->isChecked()); // "RGB" on every show
    Click(gray, "DItem3");                                         // Blue
    Child<QSlider>(gray, "B")->setValue(0);
    // The image changes while the window is open: "OK" commits the grey of
    // the image as it is then.
    S().Bitmap.Row(2)[4 * 6] = 0;
    Click(gray, "Button1");
    EXPECT_EQ(HistoryName(S(), 2), "Grayscale");
    const uint8_t* p = Px(S().Bitmap, 6, 2);
    EXPECT_EQ(p[0], (0 + o[1] + o[2]) / 3);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(Px(S().Bitmap, 1, 2)[3], 90);
}

TEST_F(ColourWindowTest, ChannelTransferEditsLiveAndRecordsTheImageBeforeIt) {
    OpenImage();
    const int steps = S().HistoryCount;
    WhenModal([&](QWidget* d) {
        EXPECT_EQ(Child<QSlider>(d, "P")->value(), 100);
        EXPECT_EQ(Child<QSlider>(d, "P")->minimum(), 1);
        Child<QSlider>(d, "P")->setValue(50); // no transfer chosen yet: nothing moves
        EXPECT_TRUE(Unchanged());
        Click(d, "G_R");
        EXPECT_EQ(Px(S().Bitmap, 4, 1)[1],
                  50 * Px(original, 4, 1)[1] / 100 + Px(original, 4, 1)[2] * 50 / 100);
        Child<QSlider>(d, "P")->setValue(100);
        EXPECT_EQ(Px(S().Bitmap, 4, 1)[1], Px(original, 4, 1)[2]); // green = red, live
        Click(d, "Button2");
    });
    Cmd("ColourTransfer1")->trigger();
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(S().HistoryCount, steps);

    WhenModal([&](QWidget* d) {
        EXPECT_EQ(Child<QSlider>(d, "P")->value(), 100);
        Click(d, "B_G");
        Click(d, "Button1");
    });
    Cmd("ColourTransfer3")->trigger();
    EXPECT_EQ(HistoryName(S(), 2), "Colour Transfer");
    EXPECT_EQ(Px(S().Bitmap, 4, 1)[0], Px(original, 4, 1)[1]);
    EXPECT_EQ(Px(S().Bitmap, 4, 1)[2], Px(original, 4, 1)[2]);
    EXPECT_EQ(Px(S().Bitmap, 1, 1)[3], 90);
    // The step holds the image as it was before the window.
    ASSERT_TRUE(UndoStep(Ws()));
    EXPECT_TRUE(Unchanged());

    WhenModal([&](QWidget* d) {
        Click(d, "R_B");
        Child<QCheckBox>(d, "UB")->setChecked(true);
        Click(d, "Button1");
    });
    Cmd("ColourTransfer2")->trigger();
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(S().Tool, 26);
    EXPECT_EQ(Px(Ws().EffectBrushSource.Bitmap, 4, 1)[2], Px(original, 4, 1)[0]);
}

} // namespace
