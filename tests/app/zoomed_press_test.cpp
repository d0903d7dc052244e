// Presses on the canvas of a zoomed view reach the tools at the image
// pixel under the pointer when zoomed in, and at the view point divided by
// the zoom, halves to even, at and below full size; the status bar's
// read-out names the same pixel.

#include <QMouseEvent>

#include "app/app_fixture.h"
#include "app/status_bar.h"
#include "app/view_controls.h"
#include "tools/tool.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

void Mouse(QWidget* target, QEvent::Type type, QPoint p) {
    const bool held = type == QEvent::MouseButtonPress;
    QMouseEvent e(type, QPointF(p), target->mapToGlobal(QPointF(p)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  held ? Qt::MouseButtons{Qt::LeftButton} : Qt::MouseButtons{Qt::NoButton}, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

} // namespace

TEST_F(AppTest, ZoomedPressesMapToImagePixels) {
    Start();
    window->show();
    NewImage(60, 40);
    struct Case {
        TZoom Zoom;
        QPoint From, To;
        TRect Want; // image pixels: from / zoom and to / zoom, halves to even
    };
    const Case cases[] = {
        // 2/1: 5 -> 2.5 -> 2, 7 -> 3.5 -> 3, 15 -> 7.5 -> 7, 21 -> 10.5 -> 10.
        {{2, 1}, {5, 7}, {15, 21}, {2, 3, 7, 10}},
        // 4/1: 7 -> 1.75 -> 1, 6 -> 1.5 -> 1, 42 -> 10.5 -> 10, 43 -> 10.75 -> 10.
        {{4, 1}, {7, 6}, {42, 43}, {1, 1, 10, 10}},
        // 3/2: 4 -> 2.67 -> 2, 10 -> 6.67 -> 6, 31 -> 20.67 -> 20, 46 -> 30.67 -> 30.
        {{3, 2}, {4, 10}, {31, 46}, {2, 6, 20, 30}},
        // 1/2: every view pixel is two image pixels.
        {{1, 2}, {4, 3}, {20, 15}, {8, 6, 40, 30}},
        // 2/3: 3 -> 4.5 -> 4, 5 -> 7.5 -> 8.
        {{2, 3}, {3, 3}, {5, 5}, {4, 4, 8, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Zoom.Num * 10 + c.Zoom.Den);
        window->ApplyZoom([&](TZoom) { return c.Zoom; });
        ASSERT_EQ(SlotZoom(Ws().Images[0]), c.Zoom);
        Cmd("Crop1")->trigger();
        ASSERT_EQ(Ws().Images[0].Tool, ToolCrop);
        QWidget* canvas = window->View()->Image();
        Mouse(canvas, QEvent::MouseButtonPress, c.From);
        Mouse(canvas, QEvent::MouseMove, c.To);
        Mouse(canvas, QEvent::MouseButtonRelease, c.To);
        ASSERT_EQ(Ws().ToolVars.CropShown, 1);
        EXPECT_EQ(Ws().ToolVars.DragRect, c.Want);
        // The read-out follows the pointer once the button is up.
        Mouse(canvas, QEvent::MouseMove, c.To);
        const QString readout = QString("x, y = [%1,%2]").arg(c.Want.Right).arg(c.Want.Bottom);
        EXPECT_TRUE(window->Status()->PanelText(0).startsWith(readout)) << window->Status()->PanelText(0).toStdString();
        Cmd("Crop1")->trigger(); // no band shown for the next case
    }
}
