#include <QDir>
#include <QGroupBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include "app/app_fixture.h"
#include "app/pointer_events.h"
#include "app/view_controls.h"
#include "tools/selection.h"
#include "tools/tool_table.h"

using namespace pixora;
using pixora::testing::AppTest;
using namespace pixora::testing;
using pixora::testing::Shot;

TEST_F(AppTest, ToolButtonsChooseToolsAndShowTheirBoxes) {
    Start();
    window->show();
    auto* pen = window->findChild<QToolButton*>("ToolButton20");
    pen->click(); // no image: nothing happens
    EXPECT_FALSE(pen->isChecked());
    NewImage();
    pen->click();
    EXPECT_EQ(Ws().Images[0].Tool, ToolPen);
    EXPECT_TRUE(pen->isChecked());
    EXPECT_TRUE(window->Window("TForm3")->isVisible());
    EXPECT_TRUE(Cmd("PenToolbar1")->isEnabled());

    window->findChild<QToolButton*>("ToolButton31")->click(); // flood fill
    EXPECT_EQ(Ws().Images[0].Tool, ToolFloodFill);
    EXPECT_FALSE(window->Window("TForm3")->isVisible());
    EXPECT_TRUE(window->Window("TForm25")->isVisible());
    EXPECT_FALSE(pen->isChecked());

    // The History Brush needs a history step first.
    window->findChild<QToolButton*>("ToolButton35")->click();
    EXPECT_EQ(Ws().Images[0].Tool, ToolFloodFill);
}

TEST_F(AppTest, PointerEventsReachTheToolsAndSelectAllWorks) {
    Start();
    window->show();
    NewImage(60, 40);
    Cmd("SelectAll1")->trigger();
    EXPECT_EQ(Ws().Images[0].Tool, ToolSelection);
    EXPECT_EQ(Ws().ToolVars.HasSelection, 1);
    EXPECT_TRUE(Cmd("Cut1")->isEnabled());
    Cmd("SelectNone1")->trigger();
    EXPECT_EQ(Ws().ToolVars.HasSelection, 0);

    // A drag on the image with the crop tool, then the crop command.
    Cmd("Crop1")->trigger();
    EXPECT_EQ(Ws().Images[0].Tool, ToolCrop);
    ViewControls* view = window->View();
    view->PointerPress(10, 5, 0);
    view->PointerMove(30, 25);
    view->PointerRelease(30, 25);
    EXPECT_EQ(Ws().ToolVars.CropShown, 1);
    view->PointerDoubleClick();
    EXPECT_EQ(Ws().Images[0].Bitmap.Width(), 20);
    EXPECT_EQ(Ws().Images[0].Tool, 0);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Crop");
}

namespace {

// A picture worth looking at: soft colour ramps.
Bitmap Ramps(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.Row(y) + x * 4;
            p[0] = static_cast<uint8_t>(255 * x / w), p[1] = static_cast<uint8_t>(180 * y / h + 40);
            p[2] = static_cast<uint8_t>(((x / 20 + y / 20) % 2) * 90 + 120);
        }
    return b;
}

struct ToolWindowTest : AppTest {
    ViewControls* View() { return window->View(); }
    TImages& Image() { return Ws().Images[0]; }
    void Open(int w, int h) {
        Start();
        window->show();
        const int slot = ClaimSlot(Ws());
        FillSlot(Ws(), slot, Ramps(w, h), SlotSource{});
    }
    // The image on the screen, colour bytes only.
    QImage OnScreen() { return View()->Image()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static QRgb Rgb(const Bitmap& b, int x, int y) {
        const uint8_t* p = b.Row(y) + x * 4;
        return qRgb(p[2], p[1], p[0]);
    }
};

} // namespace

TEST_F(ToolWindowTest, EllipseSelectionMadeAndMovedOnTheCanvasIsShownOnScreen) {
    Open(240, 160);
    window->findChild<QToolButton*>("ToolButton29")->click();
    ASSERT_EQ(Image().Tool, ToolSelection);
    QWidget* box = window->Window("TForm4");
    ASSERT_TRUE(box->isVisible());
    box->findChild<QGroupBox*>("RadioGroup1")
        ->findChildren<QRadioButton*>()[1]
        ->click(); // "Ellipse Selection"
    EXPECT_TRUE(Cmd("EllipseSelection1")->isChecked());
    QWidget* canvas = View()->Image();
    DragOn(canvas, {40, 30}, {140, 110});
    ASSERT_EQ(Ws().ToolVars.HasSelection, 1);
    DragOn(canvas, {90, 70}, {150, 90}); // grab the middle, move by (60, 20)
    ASSERT_EQ(Ws().ToolVars.HasSelection, 1);
    EXPECT_GE(Image().DownX, 100);

    // What the screen shows is the view: the moved pixels with the dotted
    // outline over them, while the image itself is still unchanged.
    const QImage screen = OnScreen();
    const Bitmap& view = Ws().DisplayCopy;
    ASSERT_EQ(screen.width(), view.Width());
    Bitmap moved;
    ComposeMasked(Image().Bitmap, Ws().ToolVars.FloatBitmap, Ws().SelectionMask.Bitmap, Image().DownX,
                  Image().DownY, moved);
    int outline = 0, changed = 0;
    for (int y = 0; y < view.Height(); ++y)
        for (int x = 0; x < view.Width(); ++x) {
            ASSERT_EQ(screen.pixel(x, y), Rgb(view, x, y)) << x << "," << y;
            if (Rgb(view, x, y) == (~Rgb(moved, x, y) | 0xFF000000u))
                ++outline;
            else
                ASSERT_EQ(Rgb(view, x, y), Rgb(moved, x, y)) << x << "," << y;
            if (Rgb(view, x, y) != Rgb(Image().Bitmap, x, y)) ++changed;
        }
    EXPECT_GT(outline, 60); // the inverted dots of the outline
    EXPECT_GT(changed, 3000);
    // The pixel from the ellipse's middle is shown 60 right, 20 down.
    EXPECT_EQ(Rgb(view, 150, 90), Rgb(Image().Bitmap, 90, 70));
    Shot(window.get(), "moved_ellipse_selection");

    // Choosing another tool drops it into the image.
    window->findChild<QToolButton*>("ToolButton31")->click();
    EXPECT_EQ(Ws().ToolVars.HasSelection, 0);
    EXPECT_EQ(Rgb(Image().Bitmap, 150, 90), Rgb(Ramps(240, 160), 90, 70));
}

TEST_F(ToolWindowTest, DoubleClickOnTheCanvasCropsAndTheSecondClickIsAPress) {
    Open(120, 80);
    Cmd("Crop1")->trigger();
    QWidget* canvas = View()->Image();
    DragOn(canvas, {10, 10}, {70, 50});
    ASSERT_EQ(Ws().ToolVars.CropShown, 1);
    // The band is on the screen.
    EXPECT_NE(OnScreen().pixel(10, 10), Rgb(Image().Bitmap, 10, 10));
    Mouse(canvas, QEvent::MouseButtonPress, {30, 30});
    Mouse(canvas, QEvent::MouseButtonRelease, {30, 30});
    Mouse(canvas, QEvent::MouseButtonDblClick, {30, 30});
    Mouse(canvas, QEvent::MouseButtonRelease, {30, 30});
    EXPECT_EQ(Image().Bitmap.Width(), 60);
    EXPECT_EQ(Image().Bitmap.Height(), 40);
    EXPECT_EQ(Image().Tool, 0);

    // With a drawing tool the second click of a double click is a press of
    // its own, not a crop; a colour pick changes no pixel and leaves no step.
    window->findChild<QToolButton*>("ToolButton39")->click(); // colour picker
    const int steps = Image().HistoryCount;
    Mouse(canvas, QEvent::MouseButtonPress, {5, 5});
    Mouse(canvas, QEvent::MouseButtonRelease, {5, 5});
    Mouse(canvas, QEvent::MouseButtonDblClick, {5, 5});
    Mouse(canvas, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_EQ(Image().HistoryCount, steps);
    EXPECT_EQ(Image().Bitmap.Width(), 60);
}

TEST_F(ToolWindowTest, CropHandlesShowTheirCursorsOverTheCanvas) {
    Open(120, 80);
    Cmd("Crop1")->trigger();
    QWidget* canvas = View()->Image();
    DragOn(canvas, {20, 20}, {80, 60});
    Mouse(canvas, QEvent::MouseMove, {18, 20});
    EXPECT_EQ(canvas->cursor().shape(), Qt::SizeFDiagCursor);
    Mouse(canvas, QEvent::MouseMove, {50, 61});
    EXPECT_EQ(canvas->cursor().shape(), Qt::SizeVerCursor);
    Mouse(canvas, QEvent::MouseMove, {17, 20});
    EXPECT_EQ(canvas->cursor().shape(), Qt::ArrowCursor);
    // Moves over the panel around a smaller image reach the tools as well.
    QWidget* panel = View()->ScrollPanel();
    if (panel->width() > canvas->x() + canvas->width() + 3) {
        DragOn(canvas, {20, 20}, {40, 30}); // move the rectangle away first
        Ws().ToolVars.SelRight = 120;
        Mouse(panel, QEvent::MouseMove, canvas->pos() + QPoint(121, 35));
        EXPECT_EQ(canvas->cursor().shape(), Qt::SizeHorCursor);
    }
}

TEST_F(ToolWindowTest, FloodfillButtonAndAPressOnTheCanvasFill) {
    Start();
    window->show();
    const int slot = ClaimSlot(Ws());
    Bitmap plain(50, 40);
    plain.Fill(0, 0, 0, 9);
    FillSlot(Ws(), slot, std::move(plain), SlotSource{});
    window->findChild<QToolButton*>("ToolButton31")->click();
    ASSERT_TRUE(window->Window("TForm25")->isVisible());
    window->Window("TForm25")->findChild<QSlider*>("TrackBar")->setValue(0);
    SetFGColour(Image(), RGBColour(255, 255, 255));
    Mouse(View()->Image(), QEvent::MouseButtonPress, {10, 10});
    Mouse(View()->Image(), QEvent::MouseButtonRelease, {10, 10});
    EXPECT_EQ(Image().Bitmap.Row(39)[49 * 4 + 2], 128); // 127.5 to even
    EXPECT_EQ(Image().Bitmap.Row(39)[49 * 4 + 3], 9);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Flood Fill");
    EXPECT_EQ(OnScreen().pixel(20, 20), qRgb(128, 128, 128));
}

TEST_F(ToolWindowTest, OpeningAnotherImageCommitsTheSelectionIntoItsOwnImage) {
    Open(120, 80);
    window->findChild<QToolButton*>("ToolButton29")->click();
    QWidget* canvas = View()->Image();
    DragOn(canvas, {10, 10}, {50, 40});
    DragOn(canvas, {30, 25}, {60, 45}); // moved by (30, 20)
    ASSERT_EQ(Ws().ToolVars.HasSelection, 1);
    // A second image of another size becomes the active one.
    const int other = ClaimSlot(Ws());
    FillSlot(Ws(), other, Bitmap(70, 50), SlotSource{});
    ASSERT_EQ(window->ActivePage(), other);
    EXPECT_EQ(Ws().ToolVars.HasSelection, 0);
    const Bitmap ramps = Ramps(120, 80);
    EXPECT_EQ(Rgb(Image().Bitmap, 41, 31), Rgb(ramps, 11, 11));
    EXPECT_EQ(Rgb(Image().Bitmap, 11, 11), Rgb(ramps, 11, 11)); // the source stays
    EXPECT_EQ(Rgb(Ws().Images[static_cast<std::size_t>(other)].Bitmap, 41, 31), qRgb(0, 0, 0));
}

TEST_F(ToolWindowTest, CropButtonAppliesTheRectangleShown) {
    Open(120, 80);
    QAction* crop = Cmd("ToolButton16");
    crop->trigger(); // nothing shown yet: only the tool is chosen
    EXPECT_EQ(Image().Tool, ToolCrop);
    EXPECT_EQ(Image().Bitmap.Width(), 120);
    DragOn(View()->Image(), {10, 20}, {90, 70});
    crop->trigger();
    EXPECT_EQ(Image().Bitmap.Width(), 80);
    EXPECT_EQ(Image().Bitmap.Height(), 50);
    EXPECT_EQ(Rgb(Image().Bitmap, 0, 0), Rgb(Ramps(120, 80), 10, 20));
    EXPECT_EQ(Image().Tool, 0);
    EXPECT_EQ(Cmd("Undo1")->text(), "Undo Crop");
}
