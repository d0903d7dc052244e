// The colour selection dialog driven through its controls, for its four owners.
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include "app/app_fixture.h"
#include "effects/ui/colour_select_dialog.h"
#include "history/ui/rotate_dialog.h"
#include "io/ui/new_image_dialog.h"
#include "window_kit/swatch.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Child;

namespace {

void Send(QWidget* to, QEvent::Type type) {
    if (type == QEvent::FocusIn) {
        QFocusEvent e(type);
        QCoreApplication::sendEvent(to, &e);
    } else if (type == QEvent::KeyPress) {
        QKeyEvent e(type, Qt::Key_5, Qt::NoModifier, "5");
        QCoreApplication::sendEvent(to, &e);
    } else {
        QMouseEvent e(type, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(to, &e);
    }
}

void MouseOn(QWidget* to, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), to->mapToGlobal(QPointF(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &e);
}

void Click(QWidget* dialog, const char* button) {
    if (auto* b = Child<QPushButton>(dialog, button)) b->click();
}

struct ColourSelectTest : AppTest {
    ColourSelectDialog* Dialog() { return qobject_cast<ColourSelectDialog*>(window->Window("TForm7")); }
    SwatchWidget* MainShape(const char* name) {
        return window->findChild<QWidget*>("Panel1")->findChild<SwatchWidget*>(name);
    }
    int OpenRed() {
        const int slot = NewImage();
        SetFGColour(Ws().Active(), RGBColour(255, 0, 0));
        SetBGColour(Ws().Active(), RGBColour(1, 2, 3));
        window->PaintSwatches();
        return slot;
    }
};

TEST_F(ColourSelectTest, OpensWithTheColourAndOnlyTheControlInUseActs) {
    Start();
    const int slot = OpenRed();
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(Dialog()->windowTitle(), "Colour Select");
    bool ran = false;
    WhenModal([&](QWidget* d) {
        ran = true;
        auto* trcR = Child<QSlider>(d, "trcR");
        auto* trcG = Child<QSlider>(d, "trcG");
        auto* trcB = Child<QSlider>(d, "trcB");
        auto* trcS = Child<QSlider>(d, "trcS");
        auto* sedG = Child<QSpinBox>(d, "sedG");
        auto* sedH = Child<QSpinBox>(d, "sedH");
        EXPECT_EQ(trcR->value(), 255);
        EXPECT_EQ(trcG->value(), 0);
        EXPECT_EQ(trcB->value(), 0);
        EXPECT_EQ(trcS->value(), 255);
        EXPECT_EQ(trcS->minimum(), 1);
        EXPECT_EQ(sedH->maximum(), 359);
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape1")->Colour(), RGBColour(255, 0, 0));
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape2")->Colour(), RGBColour(255, 0, 0));

        // Not entered: a change of the track bar moves nothing else.
        trcG->setValue(40);
        EXPECT_EQ(sedG->value(), 0);
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape1")->Colour(), RGBColour(255, 0, 0));

        Send(trcG, QEvent::FocusIn);
        trcG->setValue(128);
        EXPECT_EQ(sedG->value(), 128);
        EXPECT_EQ(sedH->value(), 30);
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape1")->Colour(), RGBColour(255, 128, 0));
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape2")->Colour(), RGBColour(255, 0, 0));

        // The hue spin edit: entered, its change goes through the track bars
        // into red, green and blue.
        Send(sedH, QEvent::FocusIn);
        sedH->setValue(240);
        EXPECT_EQ(Child<QSlider>(d, "trcH")->value(), 240);
        EXPECT_EQ(trcR->value(), 0);
        EXPECT_EQ(trcB->value(), 255);
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape1")->Colour(), RGBColour(0, 0, 255));
        // The value ramp now runs through blue.
        const QImage ramp = Child<QLabel>(d, "VImage")->pixmap().toImage();
        EXPECT_EQ(ramp.pixel(255, 0), qRgb(0, 0, 255));
        pixora::testing::Shot(d, "colour_select");
        Click(d, "Button2");
    });
    ASSERT_NE(Cmd("SelectFGColour1"), nullptr);
    Cmd("SelectFGColour1")->trigger();
    ASSERT_TRUE(ran);
    // Cancel after moving the controls: both colours as they were.
    const TImages& s = Ws().Images[static_cast<std::size_t>(slot)];
    EXPECT_EQ(s.FGColour, RGBColour(255, 0, 0));
    EXPECT_EQ(s.BGColour, RGBColour(1, 2, 3));
    EXPECT_EQ(MainShape("Shape1")->Colour(), RGBColour(255, 0, 0));
}

TEST_F(ColourSelectTest, SpinTextPressesAndPicturePicks) {
    Start();
    const int slot = OpenRed();
    WhenModal([&](QWidget* d) {
        auto* sedB = Child<QSpinBox>(d, "sedB");
        QLineEdit* text = sedB->findChild<QLineEdit*>();
        ASSERT_NE(text, nullptr);
        // Entering then pressing in the text leaves no control active ...
        Send(sedB, QEvent::FocusIn);
        Send(text, QEvent::MouseButtonPress);
        sedB->setValue(77);
        EXPECT_EQ(Child<QSlider>(d, "trcB")->value(), 3); // the background's blue
        // ... until something is typed there.
        Send(sedB, QEvent::KeyPress);
        sedB->setValue(78);
        EXPECT_EQ(Child<QSlider>(d, "trcB")->value(), 78);

        auto* image = Child<QLabel>(d, "Image");
        const QImage picture = image->pixmap().toImage();
        const int32_t before = Child<SwatchWidget>(d, "Shape1")->Colour();
        MouseOn(image, QEvent::MouseButtonPress, QPoint(0, 50));
        MouseOn(image, QEvent::MouseMove, QPoint(60, 60)); // no drag began
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape1")->Colour(), before);
        MouseOn(image, QEvent::MouseButtonRelease, QPoint(0, 50));
        MouseOn(image, QEvent::MouseButtonPress, QPoint(20, 0));
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape1")->Colour(), before);
        MouseOn(image, QEvent::MouseButtonPress, QPoint(30, 40));
        MouseOn(image, QEvent::MouseMove, QPoint(150, 120));
        MouseOn(image, QEvent::MouseButtonRelease, QPoint(150, 120));
        MouseOn(image, QEvent::MouseMove, QPoint(10, 10)); // the drag has ended
        const QRgb picked = picture.pixel(150, 120);
        EXPECT_EQ(Child<SwatchWidget>(d, "Shape1")->Colour(),
                  RGBColour(qRed(picked), qGreen(picked), qBlue(picked)));
        EXPECT_EQ(Child<QSlider>(d, "trcR")->value(), qRed(picked));
        Click(d, "Button1");
    });
    MainShape("Shape2")->OnRelease(); // the background swatch
    const TImages& s = Ws().Images[static_cast<std::size_t>(slot)];
    EXPECT_EQ(s.FGColour, RGBColour(255, 0, 0));
    EXPECT_NE(s.BGColour, RGBColour(1, 2, 3));
    EXPECT_EQ(s.BGRed, RedOf(s.BGColour));
    EXPECT_EQ(MainShape("Shape2")->Colour(), s.BGColour);
    EXPECT_EQ(Dialog()->Target(), TColourTarget::Background);
}

TEST_F(ColourSelectTest, TheNewImageAndRotateSwatchesTakeTheSelectedColour) {
    Start();
    auto* newImage = qobject_cast<NewImageDialog*>(window->Window("TForm2"));
    ASSERT_NE(newImage, nullptr);
    ASSERT_TRUE(newImage->PickColour);
    newImage->SetColour(RGBColour(10, 20, 30));
    WhenModal([](QWidget* d) {
        EXPECT_EQ(d->objectName(), "TForm7");
        EXPECT_EQ(Child<QSlider>(d, "trcB")->value(), 30);
        auto* trcR = Child<QSlider>(d, "trcR");
        Send(trcR, QEvent::MouseButtonPress); // a click on a track bar enters it
        trcR->setValue(200);
        Click(d, "Button1");
    });
    int32_t colour = newImage->Colour();
    ASSERT_TRUE(newImage->PickColour(colour));
    EXPECT_EQ(colour, RGBColour(200, 20, 30));
    EXPECT_EQ(Dialog()->Target(), TColourTarget::NewImage);

    auto* rotate = qobject_cast<RotateDialog*>(window->Window("TForm30"));
    ASSERT_NE(rotate, nullptr);
    ASSERT_GE(NewImage(6, 4), 0);
    WhenModal([rotate](QWidget* d) {
        EXPECT_EQ(d, rotate);
        WhenModal([](QWidget* c) {
            EXPECT_EQ(c->objectName(), "TForm7");
            EXPECT_EQ(Child<QSlider>(c, "trcG")->value(), 255); // the swatch starts white
            auto* trcG = Child<QSlider>(c, "trcG");
            Send(trcG, QEvent::FocusIn);
            trcG->setValue(0);
            Click(c, "Button1");
        });
        Child<SwatchWidget>(d, "Shape")->OnRelease();
        EXPECT_EQ(rotate->Background(), RGBColour(255, 0, 255));
        // A new colour previews the turn by the angle with it.
        EXPECT_EQ(rotate->LastAction().Background, RGBColour(255, 0, 255));
        Click(d, "Button2");
    });
    Cmd("RotateandFlip1")->trigger();
    EXPECT_EQ(Dialog()->Target(), TColourTarget::RotateBackground);
}

} // namespace
