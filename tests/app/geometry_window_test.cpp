// The Resize Image and Rotate Image windows driven through their controls.
#include <QCheckBox>
#include <QFocusEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <cstring>

#include "app/app_fixture.h"
#include "doc/display_copy.h"
#include "history/history_store.h"
#include "history/ui/geometry_windows.h"
#include "history/ui/resize_dialog.h"
#include "history/ui/rotate_dialog.h"
#include "support/pixels.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::Child;
using pixora::testing::Px;

namespace {

void Enter(QWidget* w) {
    QFocusEvent e(QEvent::FocusIn);
    QCoreApplication::sendEvent(w, &e);
}

// A picture that differs in every pixel.
Bitmap Numbered(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(x * 3 + y);
            p[3] = 0;
        }
    return b;
}

bool SameColours(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (std::memcmp(a.Row(y) + 4 * x, b.Row(y) + 4 * x, 3) != 0) return false;
    return true;
}

struct GeometryWindowTest : AppTest {
    int slot = -1;
    TImages& S() { return Ws().Images[static_cast<std::size_t>(slot)]; }
    void OpenImage(int w, int h) {
        Start();
        slot = NewImage(w, h);
        S().Bitmap = Numbered(w, h);
        FillRowTable(S().Bitmap, S().Rows);
        window->RefreshView();
    }
};

TEST_F(GeometryWindowTest, ResizeLinksTheSizesRefusesBadOnesAndStretches) {
    OpenImage(100, 80);
    const Bitmap before = S().Bitmap;
    bool ran = false;
    WhenModal([&](QWidget* d) {
        ran = true;
        EXPECT_EQ(d->objectName(), "TForm28");
        EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
        auto* w = Child<QSpinBox>(d, "W");
        auto* h = Child<QSpinBox>(d, "H");
        EXPECT_EQ(w->value(), 100);
        EXPECT_EQ(h->value(), 80);
        EXPECT_TRUE(Child<QCheckBox>(d, "S")->isChecked());
        EXPECT_LT(w->minimum(), 0);
        Child<QCheckBox>(d, "Link")->setChecked(true);
        Enter(w);
        w->setValue(150);
        EXPECT_EQ(h->value(), 130);
        // The height changed by the link does not link back; refused values
        // come back as they were.
        w->setValue(0);
        EXPECT_EQ(w->value(), 150);
        EXPECT_EQ(h->value(), 130);
        Enter(h);
        h->setValue(120);
        EXPECT_EQ(w->value(), 140);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("Resize1")->trigger();
    ASSERT_TRUE(ran);
    ASSERT_EQ(S().Bitmap.Width(), 140);
    ASSERT_EQ(S().Bitmap.Height(), 120);
    EXPECT_EQ(std::memcmp(S().Bitmap.Row(0), before.Row(0), 4), 0); // the first pixel kept
    EXPECT_EQ(HistoryName(S(), 2), "Resize");
    EXPECT_EQ(S().Rows.Count(), 120);
    EXPECT_EQ(ShownPicture(Ws()).Width(), 140);

    // Unstretched, cancelled first: nothing happens on Cancel.
    WhenModal([](QWidget* d) { Child<QPushButton>(d, "Button2")->click(); });
    Cmd("ToolButton17")->trigger();
    EXPECT_EQ(S().HistoryPos, 1);
    WhenModal([](QWidget* d) {
        EXPECT_EQ(Child<QSpinBox>(d, "W")->value(), 140); // the current size again
        Child<QCheckBox>(d, "S")->setChecked(false);
        Child<QCheckBox>(d, "Link")->setChecked(false);
        Child<QSpinBox>(d, "W")->setValue(200);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("Resize1")->trigger();
    ASSERT_EQ(S().Bitmap.Width(), 200);
    ASSERT_EQ(S().Bitmap.Height(), 120);
    EXPECT_EQ(std::memcmp(S().Bitmap.Row(119) + 4 * 150, "\0\0\0\0", 4), 0);
}

TEST_F(GeometryWindowTest, ResizeKeepsTheAspectRatioOrTakesAPercentage) {
    OpenImage(100, 80);
    WhenModal([&](QWidget* d) {
        auto* w = Child<QSpinBox>(d, "W");
        auto* h = Child<QSpinBox>(d, "H");
        auto* percent = Child<QSpinBox>(d, "Percent");
        auto* link = Child<QCheckBox>(d, "Link");
        auto* aspect = Child<QCheckBox>(d, "KeepAspect");
        EXPECT_EQ(aspect->text(), "Keep aspect ratio");
        EXPECT_EQ(percent->value(), 100);
        link->setChecked(true);
        aspect->setChecked(true);
        EXPECT_FALSE(link->isChecked()) << "one way of following at a time";
        Enter(w);
        w->setValue(150);
        EXPECT_EQ(h->value(), 120);
        EXPECT_EQ(percent->value(), 150);
        percent->setValue(50);
        EXPECT_EQ(w->value(), 50);
        EXPECT_EQ(h->value(), 40);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("Resize1")->trigger();
    EXPECT_EQ(S().Bitmap.Width(), 50);
    EXPECT_EQ(S().Bitmap.Height(), 40);
}

TEST_F(GeometryWindowTest, RotatePreviewsTheLastActionAndOkOrCancelEndIt) {
    OpenImage(3, 2);
    const Bitmap before = S().Bitmap;
    auto* dialog = qobject_cast<RotateDialog*>(window->Window("TForm30"));
    ASSERT_NE(dialog, nullptr);
    const int steps = S().HistoryCount;
    WhenModal([&](QWidget* d) {
        EXPECT_EQ(Child<QSpinBox>(d, "RA")->value(), 0);
        EXPECT_EQ(Child<QSpinBox>(d, "RA")->singleStep(), 5);
        Child<QRadioButton>(d, "CItem2")->click(); // "Rotate Left"
        EXPECT_EQ(dialog->PreviewBitmap().Width(), 2);
        EXPECT_EQ(dialog->PreviewBitmap().Height(), 3);
        // The view keeps the image's frame and shows the result in it at
        // its own aspect (2 x 3 fits as 1 x 2, centred), the rest grey.
        ASSERT_EQ(Ws().DisplayCopy.Width(), 3);
        ASSERT_EQ(Ws().DisplayCopy.Height(), 2);
        EXPECT_EQ(Px(Ws().DisplayCopy, 0, 0)[0], BlueOf(kPreviewFrameColour));
        EXPECT_EQ(Px(Ws().DisplayCopy, 2, 1)[0], BlueOf(kPreviewFrameColour));
        EXPECT_EQ(Px(Ws().DisplayCopy, 1, 0)[0], Px(dialog->PreviewBitmap(), 0, 0)[0]);
        EXPECT_TRUE(SameColours(S().Bitmap, before)); // only the view shows it
        // The angle comes later and wins: a half turn.
        Child<QSpinBox>(d, "RA")->setValue(180);
        EXPECT_EQ(dialog->PreviewBitmap().Width(), 3);
        // Every control shows whole inside its box and the box inside the dialog.
        for (QWidget* c : d->findChildren<QWidget*>()) {
            if (c->objectName().isEmpty() || c->objectName().startsWith("qt_")) continue;
            const QRect inParent(c->pos(), c->size());
            EXPECT_TRUE(c->parentWidget()->rect().contains(inParent)) << c->objectName().toStdString();
            EXPECT_GE(c->width(), c->sizeHint().width()) << c->objectName().toStdString();
        }
        Child<QPushButton>(d, "Button2")->click();
    });
    Cmd("ToolButton18")->trigger();
    EXPECT_EQ(S().HistoryCount, steps);
    EXPECT_TRUE(SameColours(Ws().DisplayCopy, before)); // Cancel shows the image again
    EXPECT_TRUE(dialog->PreviewBitmap().Empty());

    WhenModal([&](QWidget* d) {
        Child<QSpinBox>(d, "RA")->setValue(270);   // a quarter turn clockwise
        Child<QRadioButton>(d, "CItem2")->click(); // then "Rotate Left", which is applied
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("RotateandFlip2")->trigger();
    ASSERT_EQ(S().Bitmap.Width(), 2);
    ASSERT_EQ(S().Bitmap.Height(), 3);
    EXPECT_EQ(std::memcmp(S().Bitmap.Row(0), before.Row(0) + 4 * 2, 4), 0); // top-left = old top-right
    EXPECT_EQ(HistoryName(S(), 2), "Image Rotate");
    EXPECT_EQ(S().Rows.Count(), 3);
    EXPECT_TRUE(SameColours(ShownPicture(Ws()), S().Bitmap));
}

TEST_F(GeometryWindowTest, RotatePreviewOfABigImageIsReducedAndOkTurnsTheWholeImage) {
    OpenImage(2 * kRotatePreviewSide, 300);
    const Bitmap before = S().Bitmap;
    auto* dialog = qobject_cast<RotateDialog*>(window->Window("TForm30"));
    ASSERT_NE(dialog, nullptr);
    WhenModal([&](QWidget* d) {
        Child<QSpinBox>(d, "RA")->setValue(30);
        // The view shows the preview at its own size, in the image's aspect.
        EXPECT_EQ(Ws().DisplayCopy.Width(), kRotatePreviewSide);
        EXPECT_EQ(Ws().DisplayCopy.Height(), 150); // 300 halved
        EXPECT_LT(dialog->PreviewBitmap().Width(), 2 * kRotatePreviewSide);
        Child<QPushButton>(d, "Button1")->click();
    });
    Cmd("RotateandFlip2")->trigger();
    // The image itself is turned at its own size, as the pure form turns it.
    Bitmap expected;
    ASSERT_TRUE(RotateBitmap(before, {TRotateAction::Angle, 30, dialog->LastAction().Background}, expected));
    ASSERT_EQ(S().Bitmap.Width(), expected.Width());
    ASSERT_EQ(S().Bitmap.Height(), expected.Height());
    for (int y = 0; y < expected.Height(); ++y)
        ASSERT_EQ(std::memcmp(S().Bitmap.Row(y), expected.Row(y), static_cast<std::size_t>(expected.Width()) * 4), 0)
            << "row " << y;
    EXPECT_EQ(HistoryName(S(), 2), "Image Rotate");
}

TEST_F(GeometryWindowTest, TheWindowsStayShutWithoutAnImage) {
    Start();
    EXPECT_EQ(ModalWindowsOf([this] {
                  RunResizeImage(*window);
                  RunRotateImage(*window);
              }),
              0);
}

} // namespace
