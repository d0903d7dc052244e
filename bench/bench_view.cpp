// The view on a 4000 x 3000 image in the running main window (offscreen),
// measured against one plain memcpy of the image's bytes in the same run:
//   * RefreshView while a pointer drag is in progress (plain display copy),
//   * RefreshView with the checkerboard blend, half of the pixels partly
//     transparent (the layer thumbnail redraw included, as in the program),
//   * one repaint of the visible part of the view at 25 %, 100 % and 400 %,
//     through the picture control's own paint routine,
//   * one pointer move of a pen stroke, from the mouse event to the painted
//     view: the tool draws its segment and asks for the repaint, which is
//     then done at once.
// The display-copy routines alone are timed as well, to tell their share.
//
// Run: build/out/bench_view (QT_QPA_PLATFORM is set to offscreen when unset).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstring>
#include <memory>
#include <random>

#include "app/main_window.h"
#include "paint_probe.h"
#include "app/view_controls.h"
#include "doc/checkerboard.h"
#include "doc/slots.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_options.h"
#include "tools/tool_table.h"

using namespace pixora;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Half the pixels partly transparent, scattered at random.
Bitmap TestImage() {
    Bitmap image(kWidth, kHeight);
    std::mt19937 rng(1);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < kWidth; ++x, p += 4) {
            const unsigned v = rng();
            p[0] = static_cast<uint8_t>(v);
            p[1] = static_cast<uint8_t>(v >> 8);
            p[2] = static_cast<uint8_t>(v >> 16);
            p[3] = (v >> 31) ? static_cast<uint8_t>(1 + (v >> 24) % 254) : 0;
        }
    }
    return image;
}

struct Scene {
    QTemporaryDir Dir;
    std::unique_ptr<MainWindow> Window;
    PaintProbe Probe;
    std::vector<uint8_t> CopyTarget;

    Scene() {
        const QString exe = Dir.path() + "/";
        for (const char* sub : {"bin/hstry", "bin/save", "bin/res"})
            QDir().mkpath(exe + sub);
        Window = std::make_unique<MainWindow>(exe);
        Window->resize(1000, 700);
        Window->show();
        QApplication::processEvents();
        Workspace& ws = Window->Ws();
        const int slot = ClaimSlot(ws);
        FillSlot(ws, slot, TestImage(), SlotSource{});
        QApplication::processEvents();
        Window->View()->Image()->installEventFilter(&Probe);
        CopyTarget.assign(Slot().Bitmap.ByteSize(), 1);
    }
    TImages& Slot() { return Window->Ws().Images[static_cast<std::size_t>(Window->ActivePage())]; }
};

// Made on first use, destroyed before the application object.
std::unique_ptr<Scene> theScene;
Scene& TheScene() {
    if (!theScene) theScene = std::make_unique<Scene>();
    return *theScene;
}

void CountImageBytes(benchmark::State& state, const Bitmap& image) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(image.ByteSize()));
}

void BM_Memcpy(benchmark::State& state) {
    Scene& s = TheScene();
    const Bitmap& image = s.Slot().Bitmap;
    for (auto _ : state) {
        std::memcpy(s.CopyTarget.data(), image.Data(), image.ByteSize());
        benchmark::ClobberMemory();
    }
    CountImageBytes(state, image);
}

// Once more at the end, to show the machine did not change speed meanwhile.
void BM_MemcpyAgain(benchmark::State& state) {
    BM_Memcpy(state);
}

// RefreshView with a pointer drag in progress (argument 1: plain copy) or
// without one (argument 0: copy, blend and layer thumbnail).
void BM_RefreshView(benchmark::State& state) {
    Scene& s = TheScene();
    s.Window->Ws().SysData.MouseDown = static_cast<uint8_t>(state.range(0));
    for (auto _ : state) {
        s.Window->RefreshView();
        benchmark::ClobberMemory();
    }
    s.Window->Ws().SysData.MouseDown = 0;
    CountImageBytes(state, s.Slot().Bitmap);
}

// The display-copy routine alone, with and without the blend.
void BM_DisplayCopy(benchmark::State& state) {
    Scene& s = TheScene();
    Workspace& ws = s.Window->Ws();
    const bool blend = state.range(0) != 0;
    for (auto _ : state) {
        MakeDisplayCopy(s.Slot().Bitmap, ws.Checkerboard.Bitmap, ws.DisplayCopy, blend);
        benchmark::ClobberMemory();
    }
    CountImageBytes(state, s.Slot().Bitmap);
}

// One synchronous repaint of the image control at the given zoom, scrolled
// to the middle of the image. Only the part inside ScrollPanel is exposed.
void BM_RepaintVisible(benchmark::State& state) {
    Scene& s = TheScene();
    TImages& slot = s.Slot();
    const int percent = static_cast<int>(state.range(0));
    slot.ZoomNum = percent >= 100 ? percent / 100 : 1;
    slot.ZoomDen = percent >= 100 ? 1 : 100 / percent;
    ViewControls* view = s.Window->View();
    view->Layout(true);
    view->DrawRulerPictures();
    view->HorzBar()->setValue(view->HorzBar()->maximum() / 2);
    view->VertBar()->setValue(view->VertBar()->maximum() / 2);
    QApplication::processEvents();
    QWidget* image = view->Image();
    for (auto _ : state) {
        image->repaint();
        benchmark::ClobberMemory();
    }
    state.counters["exposed_w"] = s.Probe.Last.width();
    state.counters["exposed_h"] = s.Probe.Last.height();
    state.counters["image_w"] = image->width();
    slot.ZoomNum = slot.ZoomDen = 1;
    view->Layout(true);
}

void SendMouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), to->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &e);
}

// One pointer move of a pen stroke of width 20 at 100 %, scrolled to the
// middle: the move event as the control gets it, the segment drawn into the
// overlay and the view, and the repaint it asks for. The pointer zigzags
// 32 x 24 pixels a move inside the exposed part.
void BM_PenFrameRepaint(benchmark::State& state) {
    Scene& s = TheScene();
    Workspace& ws = s.Window->Ws();
    TImages& slot = s.Slot();
    slot.ZoomNum = slot.ZoomDen = 1;
    ViewControls* view = s.Window->View();
    view->Layout(true);
    view->HorzBar()->setValue(view->HorzBar()->maximum() / 2);
    view->VertBar()->setValue(view->VertBar()->maximum() / 2);
    QApplication::processEvents();
    if (!SelectToolCore(ws, ToolPen)) {
        state.SkipWithError("no pen");
        return;
    }
    ws.Port->SetToolOption(TOpt::PenSize, 20);
    QWidget* image = view->Image();
    const QRect shown = image->visibleRegion().boundingRect().adjusted(20, 20, -20, -20);
    QPoint at = shown.topLeft();
    SendMouse(image, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    int dy = 24;
    for (auto _ : state) {
        QPoint to = at + QPoint(32, dy);
        if (to.x() > shown.right()) to.setX(shown.left());
        if (to.y() > shown.bottom() || to.y() < shown.top()) {
            dy = -dy;
            to.setY(at.y() + dy);
        }
        SendMouse(image, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        image->repaint();
        at = to;
        benchmark::ClobberMemory();
    }
    // The release commits the stroke, after the timed moves.
    SendMouse(image, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
    state.counters["exposed_w"] = s.Probe.Last.width();
    state.counters["exposed_h"] = s.Probe.Last.height();
}

} // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshView)->ArgName("drag")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintVisible)->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PenFrameRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyAgain)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theScene.reset();
    return 0;
}
