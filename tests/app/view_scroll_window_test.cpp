// Getting around the view in the running main window: every pixel within
// reach at the layout's boundary widths, the wheel, touchpad, scroll bars,
// navigation keys and the zoom keys.
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <map>

#include "app/app_fixture.h"
#include "app/view_controls.h"
#include "support/input_events.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

constexpr QRgb kMark = qRgb(255, 0, 0);

struct ViewScrollTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        Start();
        window->show();
    }
    ViewControls* View() { return window->View(); }
    QWidget* Page() { return window->Pages()->currentWidget(); }
    QScrollBar* Horz() { return View()->HorzBar(); }
    QScrollBar* Vert() { return View()->VertBar(); }
    TZoom Zoom() { return SlotZoom(Ws().Images[static_cast<std::size_t>(Ws().ActiveSlot())]); }

    // A grey image of w x h whose last column and last row are red.
    int MarkedImage(int w, int h) {
        Bitmap b(w, h);
        b.Fill(128, 128, 128, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x == w - 1 || y == h - 1) {
                    uint8_t* p = b.Row(y) + x * 4;
                    p[0] = 0;
                    p[1] = 0;
                    p[2] = 255;
                }
        const int slot = ClaimSlot(Ws());
        FillSlot(Ws(), slot, std::move(b), SlotSource{});
        Ws().Images[static_cast<std::size_t>(slot)].Saved = 1; // closes without a question
        return slot;
    }
    // The page as it shows, bars and rulers included.
    QImage PageShot() { return Page()->grab().toImage(); }
    // The image pixel under page point p at the slot's zoom.
    QPointF PixelUnder(QPoint p) {
        const QPoint onImage = View()->Image()->mapFrom(Page(), p);
        const TZoom z = Zoom();
        return QPointF(onImage.x() * double(z.Den) / z.Num, onImage.y() * double(z.Den) / z.Num);
    }
};

// A grab of a page keeps the image's fourth byte; only the colour counts.
bool IsMark(QRgb c) {
    return (c & 0xFFFFFF) == (kMark & 0xFFFFFF);
}

// Whether the page shows a red column at x (rows top..bottom) and a red row
// at y, i.e. the image's last column and row are on screen.
bool ShowsColumn(const QImage& shot, int x, int top, int bottom) {
    if (x < 0 || x >= shot.width()) return false;
    for (int y = top; y < bottom; ++y)
        if (!IsMark(shot.pixel(x, y))) return false;
    return bottom > top;
}
bool ShowsRow(const QImage& shot, int y, int left, int right) {
    if (y < 0 || y >= shot.height()) return false;
    for (int x = left; x < right; ++x)
        if (!IsMark(shot.pixel(x, y))) return false;
    return right > left;
}

} // namespace

TEST_F(ViewScrollTest, EveryPixelIsOnScreenAtTheBoundaryWidths) {
    NewImage(10, 10);
    const int W = Page()->width(), H = Page()->height();
    ASSERT_GT(W, 200);
    ASSERT_GT(H, 200);
    // One side k short of the page, the other too long for it: the long
    // side's bar takes 17 pixels from the short side's room.
    for (int k : {34, 18, 17, 16}) {
        for (bool across : {true, false}) {
            const int w = across ? W - k : W + 300, h = across ? H + 300 : H - k;
            MarkedImage(w, h);
            // Scrolled to the bottom-right corner by the bars themselves.
            Horz()->setValue(Horz()->maximum());
            Vert()->setValue(Vert()->maximum());
            const QImage shot = PageShot();
            const QRect panel = View()->ScrollPanel()->geometry();
            const QRect image(View()->Image()->mapTo(Page(), QPoint(0, 0)), View()->Image()->size());
            const std::string at = std::to_string(w) + " x " + std::to_string(h);
            // The last column and row end where the panel ends ...
            EXPECT_EQ(image.right(), panel.right()) << at;
            EXPECT_EQ(image.bottom(), panel.bottom()) << at;
            // ... and are painted there, not covered by a bar or cut off.
            EXPECT_TRUE(ShowsColumn(shot, image.right(), panel.top(), panel.bottom())) << at;
            EXPECT_TRUE(ShowsRow(shot, image.bottom(), panel.left(), panel.right())) << at;
            // A bar shows exactly when its side does not fit the room left.
            const bool shortSideBar = across ? !Horz()->isHidden() : !Vert()->isHidden();
            EXPECT_EQ(shortSideBar, k <= 34) << at;
            Cmd("Close1")->trigger();
        }
    }
}

TEST_F(ViewScrollTest, WheelScrollsShiftWheelScrollsAcrossAndTouchpadsScrollByPixels) {
    NewImage(3000, 2000);
    QWidget* image = View()->Image();
    Horz()->setValue(500);
    Vert()->setValue(500);
    const int lines = QApplication::wheelScrollLines();
    SendNotches(image, {40, 40}, -1);
    EXPECT_EQ(Vert()->value(), 500 + lines * Vert()->singleStep());
    EXPECT_EQ(Horz()->value(), 500);
    EXPECT_EQ(View()->Image()->y(), -Vert()->value());
    SendNotches(image, {40, 40}, 2);
    EXPECT_EQ(Vert()->value(), 500 - lines * Vert()->singleStep());
    SendNotches(image, {40, 40}, -1, Qt::ShiftModifier);
    EXPECT_EQ(Horz()->value(), 500 + lines * Horz()->singleStep());
    EXPECT_EQ(View()->Image()->x(), -Horz()->value());
    EXPECT_EQ(View()->TopScale()->x(), -Horz()->value());

    // A touchpad: its own pixels, both ways at once.
    const int h0 = Horz()->value(), v0 = Vert()->value();
    SendWheel(image, {40, 40}, QPoint(-24, 16), QPoint(-3, 2));
    EXPECT_EQ(Horz()->value(), h0 + 3);
    EXPECT_EQ(Vert()->value(), v0 - 2);
    // Past the far end it stops there.
    SendWheel(image, {40, 40}, QPoint(), QPoint(-100000, -100000));
    EXPECT_EQ(Horz()->value(), Horz()->maximum());
    EXPECT_EQ(Vert()->value(), Vert()->maximum());
    EXPECT_EQ(View()->Image()->x() + View()->Image()->width(), View()->ScrollPanel()->width());
}

TEST_F(ViewScrollTest, CtrlWheelZoomsThroughTheStepsAboutThePointer) {
    NewImage(1200, 900);
    Horz()->setValue(200);
    Vert()->setValue(150);
    QWidget* image = View()->Image();
    const QPoint at(260, 170); // on the image widget
    const QPoint onPage = image->mapTo(Page(), at);
    const QPointF before = PixelUnder(onPage);
    SendNotches(image, at, 1, Qt::ControlModifier);
    EXPECT_EQ(Zoom(), (TZoom{2, 1}));
    EXPECT_EQ(View()->Image()->width(), 2400);
    EXPECT_NEAR(PixelUnder(onPage).x(), before.x(), 0.5);
    EXPECT_NEAR(PixelUnder(onPage).y(), before.y(), 0.5);
    // The rulers follow the new zoom.
    EXPECT_EQ(View()->TopRulerShown().Width(), 2400);
    EXPECT_EQ(View()->TopScale()->x(), View()->Image()->x());

    // Half notches add up; zooming out goes down the same steps.
    SendWheel(View()->Image(), image->mapFrom(Page(), onPage), QPoint(0, -60), QPoint(), Qt::ControlModifier);
    EXPECT_EQ(Zoom(), (TZoom{2, 1}));
    SendWheel(View()->Image(), image->mapFrom(Page(), onPage), QPoint(0, -60), QPoint(), Qt::ControlModifier);
    EXPECT_EQ(Zoom(), (TZoom{1, 1}));
    EXPECT_NEAR(PixelUnder(onPage).x(), before.x(), 0.5);
    EXPECT_NEAR(PixelUnder(onPage).y(), before.y(), 0.5);
    SendNotches(View()->Image(), image->mapFrom(Page(), onPage), -2, Qt::ControlModifier);
    EXPECT_EQ(Zoom(), (TZoom{1, 3}));
    EXPECT_EQ(View()->Image()->width(), 1200 * 33 / 100);
}

TEST_F(ViewScrollTest, BarsStepATwentiethPageByTheVisiblePartWithProportionalThumbs) {
    NewImage(4000, 3000);
    const QSize visible = View()->ScrollPanel()->size();
    EXPECT_EQ(Horz()->pageStep(), visible.width());
    EXPECT_EQ(Vert()->pageStep(), visible.height());
    EXPECT_EQ(Horz()->singleStep(), visible.width() / 20);
    EXPECT_EQ(Vert()->singleStep(), visible.height() / 20);
    EXPECT_EQ(Horz()->maximum(), 4000 - visible.width());
    EXPECT_EQ(Vert()->maximum(), 3000 - visible.height());

    // The arrows and the track as the bar's own controls move it.
    Vert()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(View()->Image()->y(), -visible.height() / 20);
    Vert()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(View()->Image()->y(), -visible.height() / 20 - visible.height());
    Horz()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(View()->Image()->x(), -visible.width());

    // The thumb's share of the groove is the visible share of the image.
    for (QScrollBar* bar : {Horz(), Vert()}) {
        QStyleOptionSlider opt;
        opt.initFrom(bar);
        opt.orientation = bar->orientation();
        opt.minimum = bar->minimum();
        opt.maximum = bar->maximum();
        opt.sliderPosition = opt.sliderValue = bar->value();
        opt.pageStep = bar->pageStep();
        opt.singleStep = bar->singleStep();
        opt.subControls = QStyle::SC_All;
        const QRect groove =
            bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarGroove, bar);
        const QRect thumb =
            bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
        const bool across = bar->orientation() == Qt::Horizontal;
        const double share =
            double(across ? thumb.width() : thumb.height()) / (across ? groove.width() : groove.height());
        const double expected = across ? visible.width() / 4000.0 : visible.height() / 3000.0;
        EXPECT_NEAR(share, expected, 0.03) << across;
    }
}

TEST_F(ViewScrollTest, NavigationKeysScrollTheFocusedCanvasButNotDuringADrag) {
    NewImage(3000, 2000);
    QWidget* image = View()->Image();
    // A click on the canvas gives it the focus.
    EXPECT_NE(image->focusPolicy() & Qt::ClickFocus, 0);
    image->setFocus();
    SendKey(image, Qt::Key_Down);
    SendKey(image, Qt::Key_Down);
    EXPECT_EQ(Vert()->value(), 2 * Vert()->singleStep());
    SendKey(image, Qt::Key_Right);
    EXPECT_EQ(Horz()->value(), Horz()->singleStep());
    SendKey(image, Qt::Key_Left);
    SendKey(image, Qt::Key_Left);
    EXPECT_EQ(Horz()->value(), 0);
    SendKey(image, Qt::Key_PageDown);
    EXPECT_EQ(Vert()->value(), 2 * Vert()->singleStep() + Vert()->pageStep());
    SendKey(image, Qt::Key_Up);
    SendKey(image, Qt::Key_PageUp);
    EXPECT_EQ(Vert()->value(), Vert()->singleStep());
    SendKey(image, Qt::Key_End);
    EXPECT_EQ(Horz()->value(), Horz()->maximum());
    EXPECT_EQ(Vert()->value(), Vert()->maximum());
    EXPECT_EQ(image->y() + image->height(), View()->ScrollPanel()->height());

    // While a tool drags, the view stays where the drag began.
    Ws().SysData.MouseDown = 1;
    SendKey(image, Qt::Key_Home);
    SendKey(image, Qt::Key_Up);
    EXPECT_EQ(Vert()->value(), Vert()->maximum());
    Ws().SysData.MouseDown = 0;
    SendKey(image, Qt::Key_Home);
    EXPECT_EQ(Horz()->value(), 0);
    EXPECT_EQ(Vert()->value(), 0);
}

TEST_F(ViewScrollTest, ZoomKeysRunTheZoomCommandsAndCollideWithNoOtherShortcut) {
    // Window shortcuts answer in the active window.
    QApplication::setActiveWindow(window.get());
    NewImage(200, 100);
    QWidget* image = View()->Image();
    image->setFocus();
    SendKey(image, Qt::Key_Equal, Qt::ControlModifier, "=");
    EXPECT_EQ(Zoom(), (TZoom{2, 1}));
    SendKey(image, Qt::Key_Plus, Qt::ControlModifier, "+");
    EXPECT_EQ(Zoom(), (TZoom{3, 1}));
    SendKey(image, Qt::Key_Minus, Qt::ControlModifier, "-");
    EXPECT_EQ(Zoom(), (TZoom{2, 1}));
    SendKey(image, Qt::Key_0, Qt::ControlModifier, "0");
    EXPECT_EQ(Zoom(), (TZoom{1, 1}));
    EXPECT_EQ(image->width(), 200);

    // Every key sequence of the window belongs to one command only.
    std::map<QString, QString> owner;
    auto claim = [&](const QKeySequence& keys, const QString& by) {
        if (keys.isEmpty()) return;
        const auto [it, fresh] = owner.emplace(keys.toString(), by);
        EXPECT_TRUE(fresh || it->second == by) << keys.toString().toStdString() << ": "
                                               << it->second.toStdString() << " and " << by.toStdString();
    };
    for (QAction* a : window->findChildren<QAction*>())
        if (a->shortcutContext() != Qt::WidgetShortcut)
            for (const QKeySequence& k : a->shortcuts())
                claim(k, a->objectName());
    for (QShortcut* s : window->findChildren<QShortcut*>())
        claim(s->key(), QString("shortcut %1").arg(reinterpret_cast<quintptr>(s)));
    EXPECT_TRUE(owner.count("Ctrl+="));
    EXPECT_TRUE(owner.count("Ctrl+0"));
}

TEST_F(ViewScrollTest, LargePicturesOpenFittedAndFitToWindowShowsTheWholeImage) {
    SlotSource file;
    file.FromFile = true;
    file.FileName = "/pictures/photo.bmp";
    auto open = [this, &file](int w, int h) {
        // Colour ramps across and down, so the whole picture can be told
        // from a part of it in a screenshot.
        Bitmap b(w, h);
        for (int y = 0; y < h; ++y) {
            uint8_t* p = b.Row(y);
            for (int x = 0; x < w; ++x, p += 4) {
                p[0] = static_cast<uint8_t>(255 * y / h);
                p[1] = static_cast<uint8_t>(255 * x / w);
                p[2] = static_cast<uint8_t>(255 - 255 * x / w);
                p[3] = 0;
            }
        }
        const int slot = ClaimSlot(Ws());
        FillSlot(Ws(), slot, std::move(b), file);
        Ws().Images[static_cast<std::size_t>(slot)].Saved = 1;
    };
    open(6000, 4000);
    SaveScreenshot(window.get(), "fit-to-window-6000x4000");
    SaveScreenshot(window->findChild<QWidget*>("Panel2"), "effects-bar");
    EXPECT_LT(ZoomPercent(Zoom()), 100);
    EXPECT_FALSE(Horz()->isVisible());
    EXPECT_FALSE(Vert()->isVisible());
    EXPECT_LE(View()->Image()->width(), View()->ScrollPanel()->width());
    EXPECT_LE(View()->Image()->height(), View()->ScrollPanel()->height());
    EXPECT_GT(ZoomedLength(6000, ZoomIn(Zoom())), View()->ScrollPanel()->width()) << "the largest such step";
    open(300, 200);
    EXPECT_EQ(Zoom(), (TZoom{1, 1})) << "a picture the view shows whole opens at 100 %";
    NewImage(4000, 3000);
    EXPECT_EQ(Zoom(), (TZoom{1, 1})) << "a new image is not a picture opened";

    // Fit to Window, by its key too, enlarges what is small.
    EXPECT_EQ(Cmd("FittoWindow1")->shortcut(), QKeySequence("Ctrl+9"));
    Cmd("FittoWindow1")->trigger();
    EXPECT_FALSE(Horz()->isVisible());
    EXPECT_LT(ZoomPercent(Zoom()), 100);
    open(300, 200);
    ASSERT_EQ(Zoom(), (TZoom{1, 1}));
    QApplication::setActiveWindow(window.get());
    View()->Image()->setFocus();
    SendKey(View()->Image(), Qt::Key_9, Qt::ControlModifier, "9");
    EXPECT_GT(ZoomPercent(Zoom()), 100);
    EXPECT_FALSE(Horz()->isVisible());
    EXPECT_FALSE(Vert()->isVisible());

    // The preference keeps pictures at 100 %, and is remembered.
    Cmd("OpenAt100Percent1")->setChecked(true);
    open(6000, 4000);
    EXPECT_EQ(Zoom(), (TZoom{1, 1}));
    window.reset();
    Start();
    EXPECT_TRUE(Cmd("OpenAt100Percent1")->isChecked());
}
