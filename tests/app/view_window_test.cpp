// The view in the running main window: zoom commands and the custom zoom
// dialog, per-tab zoom, layout and scrolling, pointer routing, ruler marks,
// the status read-out and hints, option-box dimming and the navigator.
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <cstring>
#include <limits>
#include <vector>

#include "app/app_fixture.h"
#include "app/custom_zoom_dialog.h"
#include "app/navigator_window.h"
#include "app/status_bar.h"
#include "app/status_hints.h"
#include "app/view_controls.h"
#include "doc/checkerboard.h"
#include "support/pixels.h"

using namespace pixora;
using pixora::testing::AppTest;
using pixora::testing::SamePixels;

namespace {

struct ViewTest : AppTest {
    ViewControls* View() { return window->View(); }
    QSize ImageSize() { return View()->Image()->size(); }
    TZoom Zoom(int slot = 0) { return SlotZoom(Ws().Images[static_cast<std::size_t>(slot)]); }

    // The Zoom menu's item with this caption.
    QAction* ZoomItem(const QString& caption) {
        for (QAction* a : window->findChild<QMenu*>("Zoom1")->actions())
            if (a->text() == caption) return a;
        ADD_FAILURE() << caption.toStdString();
        return nullptr;
    }
    int FilledImage(int w, int h, uint8_t b, uint8_t g, uint8_t r, uint8_t t) {
        const int slot = ClaimSlot(Ws());
        Bitmap pixels(w, h);
        pixels.Fill(b, g, r, t);
        FillSlot(Ws(), slot, std::move(pixels), SlotSource{});
        return slot;
    }
    static void Mouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                          ? Qt::MouseButtons{Qt::NoButton}
                                          : Qt::MouseButtons{button};
        QMouseEvent e(type, QPointF(p), target->mapToGlobal(QPointF(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    static uint8_t Red(const Bitmap& b, int x, int y) { return b.Row(y)[x * 4 + 2]; }
};

} // namespace

TEST_F(ViewTest, ZoomCommandsChangeTheSlotsPairAndTheImageSize) {
    Start();
    NewImage(100, 100);
    ASSERT_EQ(ImageSize(), QSize(100, 100));

    Cmd("ToolButton13")->trigger(); // "Zoom +"
    EXPECT_EQ(Zoom(), (TZoom{2, 1}));
    EXPECT_EQ(ImageSize(), QSize(200, 200));
    ZoomItem("Zoom Out")->trigger();
    ZoomItem("Zoom Out")->trigger();
    EXPECT_EQ(Zoom(), (TZoom{1, 2}));
    EXPECT_EQ(ImageSize(), QSize(50, 50));

    ZoomItem("1:16 (6.25%)")->trigger();
    EXPECT_EQ(Zoom(), (TZoom{1, 16}));
    EXPECT_EQ(ImageSize(), QSize(6, 6));
    ZoomItem("4:1 (400%)")->trigger();
    EXPECT_EQ(ImageSize(), QSize(400, 400));
    // The rulers follow the zoomed image, not the image's own size.
    EXPECT_EQ(View()->TopRulerShown().Width(), 400);
    EXPECT_EQ(View()->LeftRulerShown().Height(), 400);
    EXPECT_EQ(View()->TopScale()->width(), 400);
    ZoomItem("Reset")->trigger();
    EXPECT_EQ(Zoom(), (TZoom{1, 1}));
    EXPECT_EQ(View()->TopRulerShown().Width(), 100);
}

TEST_F(ViewTest, CustomZoomDialogStoresItsPairAndNeverAZero) {
    Start();
    NewImage(100, 60);
    auto* dialog = qobject_cast<CustomZoomDialog*>(window->Window("TForm34"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Custom Zoom");
    auto* a = dialog->findChild<QSpinBox*>("SpinEdit1");
    auto* b = dialog->findChild<QSpinBox*>("SpinEdit2");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->maximum(), std::numeric_limits<int>::max());
    EXPECT_EQ(b->maximum(), std::numeric_limits<int>::max());

    ZoomItem("8:1 (800%)")->trigger();
    int shownA = 0, shownB = 0;
    auto answer = [&](int numValue, int denValue, const char* button) {
        WhenModal([&, numValue, denValue, button](QWidget* w) {
            shownA = a->value();
            shownB = b->value();
            a->setValue(numValue);
            b->setValue(denValue);
            w->findChild<QPushButton*>(button)->click();
        });
        Cmd("CustomZoom1")->trigger();
    };
    answer(3, 2, "Button1");
    EXPECT_EQ(shownA, 8); // the spin edits took the slot's pair
    EXPECT_EQ(shownB, 1);
    EXPECT_EQ(Zoom(), (TZoom{3, 2}));
    EXPECT_EQ(ImageSize(), QSize(150, 90));
    // Zoom steps go on from the custom pair.
    Cmd("ZoomIn1")->trigger();
    EXPECT_EQ(Zoom(), (TZoom{3, 1}));

    answer(0, 4, "Button1");
    EXPECT_EQ(Zoom(), (TZoom{1, 4}));
    EXPECT_EQ(ImageSize(), QSize(25, 15));
    answer(5, 0, "Button1");
    EXPECT_EQ(Zoom(), (TZoom{5, 1}));

    answer(7, 3, "Button2"); // Cancel
    EXPECT_EQ(Zoom(), (TZoom{5, 1}));
    // A pair the view cannot take (rulers of gigabytes) is refused.
    answer(std::numeric_limits<int>::max(), 1, "Button1");
    EXPECT_EQ(Zoom(), (TZoom{5, 1}));
    EXPECT_EQ(ImageSize(), QSize(500, 300));
}

TEST_F(ViewTest, EachTabKeepsItsOwnZoom) {
    Start();
    NewImage(100, 80);
    ZoomItem("2:1 (200%)")->trigger();
    NewImage(60, 40); // becomes the active tab
    EXPECT_EQ(Zoom(1), (TZoom{1, 1}));
    EXPECT_EQ(ImageSize(), QSize(60, 40));
    ZoomItem("1:2 (50%)")->trigger();
    EXPECT_EQ(ImageSize(), QSize(30, 20));

    window->Pages()->setCurrentIndex(0);
    EXPECT_EQ(Zoom(0), (TZoom{2, 1}));
    EXPECT_EQ(ImageSize(), QSize(200, 160));
    EXPECT_EQ(View()->ScrollPanel()->parentWidget(), window->Pages()->widget(0));
    window->Pages()->setCurrentIndex(1);
    EXPECT_EQ(ImageSize(), QSize(30, 20));
    EXPECT_EQ(View()->TopRulerShown().Width(), 30);
}

TEST_F(ViewTest, SmallImageIsCentredAndLargeImageScrolls) {
    Start();
    window->show();
    NewImage(80, 60);
    QWidget* page = window->Pages()->widget(0);
    EXPECT_TRUE(View()->HorzBar()->isHidden());
    EXPECT_TRUE(View()->VertBar()->isHidden());
    EXPECT_EQ(View()->Image()->pos(), QPoint(0, 0));
    const QRect panel = View()->ScrollPanel()->geometry();
    EXPECT_EQ(panel.size(), QSize(80, 60));
    // Centred in the part of the page right of and below the rulers.
    EXPECT_LE(std::abs(panel.center().x() - (page->width() + 17) / 2), 1);
    EXPECT_LE(std::abs(panel.center().y() - (page->height() + 17) / 2), 1);

    ZoomItem("16:1 (1600%)")->trigger();
    ASSERT_FALSE(View()->HorzBar()->isHidden());
    ASSERT_FALSE(View()->VertBar()->isHidden());
    ASSERT_GT(View()->HorzBar()->maximum(), 100);
    ASSERT_GT(View()->VertBar()->maximum(), 70);
    View()->HorzBar()->setValue(100);
    View()->VertBar()->setValue(70);
    EXPECT_EQ(View()->Image()->pos(), QPoint(-100, -70));
    EXPECT_EQ(View()->TopScale()->x(), -100);
    EXPECT_EQ(View()->LeftScale()->y(), -70);
    // The far end shows the last column of the zoomed image.
    View()->HorzBar()->setValue(View()->HorzBar()->maximum());
    EXPECT_EQ(View()->Image()->x() + View()->Image()->width(), View()->ScrollPanel()->width());

    // Back to a small zoom: bars hidden again and the image at the panel's corner.
    ZoomItem("1:1 (100%)")->trigger();
    EXPECT_TRUE(View()->HorzBar()->isHidden());
    EXPECT_EQ(View()->Image()->pos(), QPoint(0, 0));
    EXPECT_EQ(View()->TopScale()->x(), 0);
}

TEST_F(ViewTest, PointerEventsReachTheHooksInImagePixels) {
    Start();
    NewImage(100, 100);
    // A recorder in the tool set's place at the end of the view's route.
    struct Recorder : PointerTarget {
        std::vector<std::vector<int>> calls;
        int crops = 0;
        void Down(int x, int y, int button) override { calls.push_back({0, x, y, button}); }
        void Move(int x, int y) override { calls.push_back({1, x, y}); }
        void Up(int x, int y) override { calls.push_back({2, x, y}); }
        void DoubleClick() override { ++crops; }
    } recorder;
    View()->SetPointerTarget(&recorder);
    std::vector<std::vector<int>>& calls = recorder.calls;
    int& crops = recorder.crops;
    QWidget* image = View()->Image();

    ZoomItem("1:2 (50%)")->trigger();
    Mouse(image, QEvent::MouseButtonPress, {5, 7});
    Mouse(image, QEvent::MouseMove, {6, 9});
    Mouse(image, QEvent::MouseButtonRelease, {5, 3}, Qt::LeftButton);
    ZoomItem("2:1 (200%)")->trigger();
    // Zoomed in, the pixel under the pointer: 1.5 and 2.5 fall in 1 and 2.
    Mouse(image, QEvent::MouseButtonPress, {3, 5}, Qt::RightButton);
    Mouse(image, QEvent::MouseButtonRelease, {5, 7}, Qt::RightButton);
    Mouse(image, QEvent::MouseButtonPress, {1, 1}, Qt::MiddleButton);
    const std::vector<std::vector<int>> expected = {{0, 10, 14, 0}, {1, 12, 18}, {2, 10, 6},
                                                    {0, 1, 2, 1},   {2, 2, 3},   {0, 0, 0, 2}};
    EXPECT_EQ(calls, expected);

    EXPECT_EQ(crops, 0);
    Mouse(image, QEvent::MouseButtonDblClick, {4, 4});
    EXPECT_EQ(crops, 1);
}

TEST_F(ViewTest, PointerMovesMarkTheRulersWhileTheyAreShown) {
    Start();
    NewImage(100, 100);
    QWidget* image = View()->Image();
    const Bitmap& clean = Ws().TopRuler.Bitmap;
    ASSERT_EQ(Red(clean, 35, 14), 255); // between ticks
    Mouse(image, QEvent::MouseMove, {35, 44});
    EXPECT_EQ(Red(View()->TopRulerShown(), 35, 14), 0); // the mark's frame
    EXPECT_EQ(Red(View()->LeftRulerShown(), 14, 44), 0);
    EXPECT_EQ(Red(clean, 35, 14), 255);
    // The next move takes the old mark away.
    Mouse(image, QEvent::MouseMove, {55, 44});
    EXPECT_EQ(Red(View()->TopRulerShown(), 35, 14), 255);
    EXPECT_EQ(Red(View()->TopRulerShown(), 55, 14), 0);

    Cmd("ScaleBars1")->trigger(); // unchecked: rulers hidden, no marks
    EXPECT_TRUE(window->findChild<QWidget*>("TopSScroll")->isHidden());
    Mouse(image, QEvent::MouseMove, {75, 20});
    EXPECT_EQ(Red(View()->TopRulerShown(), 75, 14), 255);
}

TEST_F(ViewTest, ReadoutFollowsThePointerAndHintsStayUntilItReachesTheImage) {
    Start();
    FilledImage(30, 20, 255, 255, 255, 0);
    StatusBarWidget* status = window->Status();
    QWidget* image = View()->Image();

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(window->findChild<QWidget*>("ToolButton20"), &enter);
    EXPECT_EQ(status->PanelText(0), "Use Pen Tool to FreeHand Draw");
    Mouse(window->Pages()->widget(0), QEvent::MouseMove, {3, 3});
    EXPECT_EQ(status->PanelText(0), "Use Pen Tool to FreeHand Draw");

    Mouse(image, QEvent::MouseMove, {0, 0});
    EXPECT_EQ(status->PanelText(0), "x, y = [0,0]    r, g, b = [255,255,255]    alpha = [0]");
    // Outside the bitmap the panel is left alone.
    ZoomItem("2:1 (200%)")->trigger();
    Mouse(image, QEvent::MouseMove, {61, 2});
    EXPECT_EQ(status->PanelText(0), "x, y = [0,0]    r, g, b = [255,255,255]    alpha = [0]");
    Mouse(image, QEvent::MouseMove, {58, 38});
    EXPECT_EQ(status->PanelText(0), "x, y = [29,19]    r, g, b = [255,255,255]    alpha = [0]");
}

TEST_F(ViewTest, MovingOverTheMainWindowDimsTheRecordedOptionBox) {
    Start();
    NewImage(30, 20);
    QWidget* box = window->Window("TForm3");
    QWidget* other = window->Window("TForm21");
    Mouse(window->findChild<QWidget*>("Body"), QEvent::MouseMove, {5, 5});
    EXPECT_DOUBLE_EQ(box->windowOpacity(), 1.0); // no box recorded

    Ws().ToolVars.OptionBoxId = 1;
    Mouse(window->findChild<QWidget*>("Body"), QEvent::MouseMove, {5, 5});
    EXPECT_NEAR(box->windowOpacity(), 100 / 255.0, 0.01);
    EXPECT_DOUBLE_EQ(other->windowOpacity(), 1.0);

    Ws().ToolVars.OptionBoxId = 2;
    Mouse(View()->Image(), QEvent::MouseMove, {2, 2});
    EXPECT_NEAR(other->windowOpacity(), 100 / 255.0, 0.01);
}

TEST_F(ViewTest, NavigatorShowsAThumbnailAndItsFrameScrollsTheView) {
    Start();
    window->show();
    FilledImage(2000, 1500, 0, 0, 200, 0);
    auto* nav = qobject_cast<NavigatorWindow*>(window->Window("TForm47"));
    ASSERT_NE(nav, nullptr);
    EXPECT_EQ(nav->windowTitle(), "Image Navigation");
    EXPECT_TRUE(nav->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(nav->windowFlags() & Qt::WindowType_Mask, Qt::Tool);

    Cmd("ToolButton19")->trigger();
    ASSERT_TRUE(nav->isVisible());
    EXPECT_FALSE(nav->isModal());
    // Fitted into the panel with the image's proportions, centred.
    const QSize panel = nav->Panel()->size();
    ASSERT_EQ(nav->Thumbnail().Width(), panel.width());
    EXPECT_EQ(nav->Thumbnail().Height(), panel.width() * 1500 / 2000);
    EXPECT_EQ(nav->Thumb()->y(), (panel.height() - nav->Thumbnail().Height()) / 2);
    EXPECT_EQ(Red(nav->Thumbnail(), 10, 10), 200);
    // Just above the status bar.
    const int statusTop = window->Status()->mapToGlobal(QPoint(0, 0)).y();
    EXPECT_EQ(nav->frameGeometry().bottom() + 1, statusTop);
    // The frame is the visible part at the thumbnail's scale (10 %).
    const QSize visible = View()->ScrollPanel()->size();
    EXPECT_NEAR(nav->FrameSize().Width, visible.width() / 10.0, 0.51);
    EXPECT_NEAR(nav->FrameSize().Height, visible.height() / 10.0, 0.51);

    QScrollBar* h = View()->HorzBar();
    QScrollBar* v = View()->VertBar();
    QWidget* thumb = nav->Thumb();
    Mouse(thumb, QEvent::MouseButtonPress, {0, 0});
    EXPECT_TRUE(nav->Dragging());
    EXPECT_FALSE(SamePixels(nav->Shown(), nav->Thumbnail())); // frame drawn
    Mouse(thumb, QEvent::MouseMove, {1000, 1000});
    EXPECT_EQ(h->value(), h->maximum());
    EXPECT_EQ(v->value(), v->maximum());
    EXPECT_EQ(View()->Image()->x(), -h->maximum());
    EXPECT_EQ(View()->Image()->y(), -v->maximum());
    Mouse(thumb, QEvent::MouseMove, {-5, -5});
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(v->value(), 0);
    // A frame centred on the thumbnail asks for half of each bar's maximum.
    Mouse(thumb, QEvent::MouseMove, {thumb->width() / 2, thumb->height() / 2});
    const TViewLayout& l = View()->LastLayout();
    EXPECT_NEAR(h->value(), l.ScrollBar1.Max / 2.0, 1.0);
    EXPECT_NEAR(v->value(), l.ScrollBar2.Max / 2.0, 1.0);

    Mouse(thumb, QEvent::MouseButtonRelease, {thumb->width() / 2, thumb->height() / 2});
    EXPECT_FALSE(nav->Dragging());
    EXPECT_TRUE(SamePixels(nav->Shown(), nav->Thumbnail()));
    // Moves without a press do not scroll.
    Mouse(thumb, QEvent::MouseMove, {0, 0});
    EXPECT_NE(h->value(), 0);

    // A press draws the frame where the bars are: a second press at the same
    // place leaves the same picture.
    Mouse(thumb, QEvent::MouseButtonPress, {0, 0});
    const Bitmap first = nav->Shown();
    Mouse(thumb, QEvent::MouseButtonRelease, {0, 0});
    Mouse(thumb, QEvent::MouseButtonPress, {0, 0});
    EXPECT_TRUE(SamePixels(nav->Shown(), first));
    Mouse(thumb, QEvent::MouseButtonRelease, {0, 0});

    nav->close();
    EXPECT_TRUE(nav->Thumbnail().Empty());
    Cmd("EasyScroll1")->trigger();
    EXPECT_TRUE(nav->isVisible());
    EXPECT_FALSE(nav->Thumbnail().Empty());
    nav->close();
}

TEST_F(ViewTest, ImagePopupMenuOnlyWhileNoToolIsChosen) {
    Start();
    window->show();
    NewImage(60, 40);
    QWidget* image = View()->Image();
    QMenu* popup = window->ImagePopup();
    Ws().Images[0].Tool = 1;
    emit image->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(popup->isVisible());
    Ws().Images[0].Tool = 0;
    emit image->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(popup->isVisible());
    popup->close();
}

TEST_F(ViewTest, EveryTabPageGetsTheSameLayout) {
    Start();
    window->show();
    NewImage(80, 60);
    const QRect first = View()->ScrollPanel()->geometry();
    const QSize page0 = window->Pages()->widget(0)->size();
    NewImage(80, 60); // a page never shown before
    EXPECT_EQ(window->Pages()->widget(1)->size(), page0);
    EXPECT_EQ(View()->ScrollPanel()->parentWidget(), window->Pages()->widget(1));
    EXPECT_EQ(View()->ScrollPanel()->geometry(), first);
    EXPECT_TRUE(View()->ScrollPanel()->isVisible());
    EXPECT_TRUE(View()->Image()->isVisible());
    EXPECT_TRUE(window->findChild<QWidget*>("TopSScroll")->isVisible());
    window->Pages()->setCurrentIndex(0);
    EXPECT_EQ(View()->ScrollPanel()->geometry(), first);
}

TEST_F(ViewTest, RefreshViewBlendsOnlyTheDisplayCopyDuringADragToo) {
    Start();
    const int slot = FilledImage(30, 20, 10, 20, 200, 128);
    TImages& s = Ws().Images[static_cast<std::size_t>(slot)];
    uint8_t* opaqueish = s.Bitmap.Row(0) + 4 * 12; // over a white cell, alpha 1
    opaqueish[3] = 1;
    int strips = 0;
    window->OnRedrawLayerStrip = [&](int) { ++strips; };
    DisplayCopyToDrawOn(Ws()); // a copy as something drawn on the view has it
    window->RefreshView();
    EXPECT_EQ(strips, 1);

    const Bitmap& shown = Ws().DisplayCopy;
    ASSERT_NE(shown.Data(), s.Bitmap.Data());
    const uint8_t grey = Ws().Checkerboard.Bitmap.Row(0)[0];
    ASSERT_EQ(grey, kCheckerGrey);
    // Alpha 128: b = 50, half image, half checkerboard.
    EXPECT_EQ(shown.Row(0)[2], 200 / 2 + 150 / 2);
    EXPECT_EQ(shown.Row(0)[0], 10 / 2 + 150 / 2);
    // Alpha 1: b = 0, the image unchanged.
    EXPECT_EQ(shown.Row(0)[4 * 12 + 2], 200);
    EXPECT_EQ(shown.Row(0)[4 * 12 + 1], 20);
    // The document keeps its own pixels; the shared scratch rows list the copy.
    EXPECT_EQ(s.Bitmap.Row(0)[2], 200);
    EXPECT_EQ(s.Bitmap.Row(0)[3], 128);
    EXPECT_EQ(Ws().SysData.ScratchRows[5], shown.Row(5));
    EXPECT_EQ(s.Rows[5], s.Bitmap.Row(5));

    // A drag in progress: blended all the same, but no thumbnail.
    Ws().SysData.MouseDown = 1;
    s.Bitmap.Row(1)[2] = 7;
    window->RefreshView();
    EXPECT_EQ(strips, 1);
    EXPECT_EQ(shown.Row(1)[2], 7 / 2 + 150 / 2);
    Ws().SysData.MouseDown = 0;
    window->RefreshView();
    EXPECT_EQ(strips, 2);
}

TEST_F(ViewTest, TabChangeResizesTheWorkBitmapsAndRefillsTheRowTables) {
    Start();
    FilledImage(30, 20, 0, 0, 0, 255);
    FilledImage(45, 12, 0, 0, 0, 255);
    for (int active : {0, 1}) {
        window->Pages()->setCurrentIndex(active);
        const TImages& s = Ws().Images[static_cast<std::size_t>(active)];
        for (TWorkBitmap* w : Ws().ImageSizedWorkBitmaps()) {
            EXPECT_EQ(w->Bitmap.Width(), s.Bitmap.Width());
            EXPECT_EQ(w->Bitmap.Height(), s.Bitmap.Height());
            ASSERT_EQ(w->Rows.Count(), s.Bitmap.Height());
            EXPECT_EQ(w->Rows[s.Bitmap.Height() - 1], w->Bitmap.Row(s.Bitmap.Height() - 1));
        }
        EXPECT_EQ(s.Rows[s.Bitmap.Height() - 1], s.Bitmap.Row(s.Bitmap.Height() - 1));
        if (!DisplayCopyRests(Ws())) {
            EXPECT_EQ(Ws().SysData.ScratchRows[0], Ws().DisplayCopy.Row(0));
        }
        // Fully transparent: the view shows the checkerboard rebuilt for this size.
        const Bitmap& checker = Ws().Checkerboard.Bitmap;
        EXPECT_EQ(Red(checker, 5, 5), kCheckerGrey);
        EXPECT_EQ(Red(checker, 15, 5), kCheckerWhite);
        EXPECT_EQ(ShownColour(Ws(), 15, 5)[2], kCheckerWhite);
    }
}

TEST_F(ViewTest, EveryControlOfTheHintTableWritesItsText) {
    Start();
    StatusBarWidget* status = window->Status();
    for (const TControlHint& hint : ControlHints()) {
        const QString name =
            QString::fromUtf8(hint.Control.data(), static_cast<qsizetype>(hint.Control.size()));
        // Tool-bar buttons are the widgets of their actions.
        QWidget* control = window->findChild<QWidget*>(name);
        if (!control) control = window->findChild<QWidget*>(name + "Widget");
        ASSERT_NE(control, nullptr) << name.toStdString();
        status->SetPanelText(0, "");
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(control, &enter);
        EXPECT_EQ(status->PanelText(0).toStdString(), hint.Text) << name.toStdString();
    }
    // An effect button outside the table leaves the panel alone.
    status->SetPanelText(0, "kept");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(window->findChild<QWidget*>("ToolButton70"), &enter);
    EXPECT_EQ(status->PanelText(0), "kept");
}

TEST_F(ViewTest, MovesOverPartsWithoutTrackingStillDimTheBox) {
    Start();
    NewImage(30, 20);
    QWidget* box = window->Window("TForm23");
    Ws().ToolVars.OptionBoxId = 4;
    for (const char* part : {"Panel1", "Panel2", "StatusBar", "LayerSheet", "TopSScroll", "ToolBar3"}) {
        box->setWindowOpacity(1.0);
        QWidget* w = window->findChild<QWidget*>(part);
        ASSERT_NE(w, nullptr) << part;
        Mouse(w, QEvent::MouseMove, {2, 2});
        EXPECT_NEAR(box->windowOpacity(), 100 / 255.0, 0.01) << part;
    }
}

TEST_F(ViewTest, StatusPanelsAreDrawnWithTheirPicturesAndText) {
    Start();
    window->show();
    StatusBarWidget* status = window->Status();
    status->SetPanelText(0, "MMMM");
    const QImage shot = status->grab().toImage();
    const QRgb back = qRgb(0xF0, 0xF0, 0xF0);
    for (int panel = 0; panel < 2; ++panel) {
        const QRect r = status->PanelRect(panel);
        EXPECT_EQ(shot.pixel(r.left() + 2, r.top() + 4), back) << panel;
        // Picture from left + 5, text from left + 31.
        int picture = 0, text = 0, gap = 0;
        for (int y = r.top(); y < r.bottom(); ++y) {
            for (int x = r.left() + 5; x < r.left() + 25; ++x)
                picture += shot.pixel(x, y) != back;
            for (int x = r.left() + 31; x < r.left() + 60; ++x)
                text += qGray(shot.pixel(x, y)) < 100;
            for (int x = r.left() + 27; x < r.left() + 31; ++x)
                gap += shot.pixel(x, y) != back;
        }
        EXPECT_GT(picture, 10) << panel;
        EXPECT_GT(text, 5) << panel; // "MMMM" and "0 x 0"
        EXPECT_EQ(gap, 0) << panel;
    }
    EXPECT_EQ(status->PanelRect(0).width(), 450);
    EXPECT_EQ(status->PanelText(1), "0 x 0");
}
