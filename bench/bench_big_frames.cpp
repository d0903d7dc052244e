// Frames of the running main window (offscreen) on pictures of 24, 45 and
// 100 megapixels (the first argument of every row), at zooms from 1:16 to
// 36:1 (the second: 0 = 1:16, 1 = 1:4, 2 = 1:1, 3 = 4:1, 4 = 36:1), beside
// a memcpy of the picture in the same run. A frame is everything from the
// event to the painted window: the pointer move of a spray stroke (the
// stamps, the view's copy of the changed part, the repaint it asks for),
// one step of the scroll bar, or one zoom step about the middle.
//
// Run: build/out/bench_big_frames (QT_QPA_PLATFORM is set to offscreen when
// unset). Each picture size builds its own window; 100 MP needs about 4 GB.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <cstring>
#include <memory>

#include "app/main_window.h"
#include "paint_probe.h"
#include "app/view_controls.h"
#include "doc/slots.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_options.h"
#include "tools/tool_table.h"

using namespace pixora;

namespace {

constexpr TZoom kZooms[] = {{1, 16}, {1, 4}, {1, 1}, {4, 1}, {36, 1}};

std::pair<int, int> SizeOf(int mp) {
    if (mp <= 24) return {6000, 4000};
    if (mp <= 45) return {8256, 5504};
    return {12500, 8000};
}

// Smooth colours; a band of partly transparent pixels every 64 rows, so
// that the checkerboard blend has work wherever the stroke goes.
Bitmap Picture(int mp) {
    const auto [w, h] = SizeOf(mp);
    Bitmap b(w, h, 32);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.Row(y);
        const uint8_t t = (y / 32) % 2 ? static_cast<uint8_t>(y % 255) : 0;
        for (int x = 0; x < w; ++x, p += 4) {
            p[0] = static_cast<uint8_t>(x * 255 / w);
            p[1] = static_cast<uint8_t>(y * 255 / h);
            p[2] = static_cast<uint8_t>((x ^ y) & 0xFF);
            p[3] = t;
        }
    }
    return b;
}

struct Scene {
    int Mp = 0;
    QTemporaryDir Dir;
    std::unique_ptr<MainWindow> Window;
    PaintProbe Probe;
    Bitmap CopyTarget;

    explicit Scene(int mp) : Mp(mp) {
        const QString exe = Dir.path() + "/";
        for (const char* sub : {"bin/hstry", "bin/save", "bin/res"})
            QDir().mkpath(exe + sub);
        Window = std::make_unique<MainWindow>(exe);
        Window->resize(1280, 960);
        Window->show();
        QApplication::processEvents();
        Workspace& ws = Window->Ws();
        const int slot = ClaimSlot(ws);
        FillSlot(ws, slot, Picture(mp), SlotSource{});
        QApplication::processEvents();
        Window->View()->Image()->installEventFilter(&Probe);
        const Bitmap& image = Slot().Bitmap;
        CopyTarget = Bitmap(image.Width(), image.Height(), 32);
    }
    TImages& Slot() { return Window->Ws().Images[static_cast<std::size_t>(Window->ActivePage())]; }
    ViewControls* View() { return Window->View(); }
    // Sets a zoom and scrolls to the middle; the window is painted.
    void ZoomAndCentre(TZoom z) {
        View()->ZoomTo(z, true);
        View()->ScrollTo(View()->HorzBar()->maximum() / 2, View()->VertBar()->maximum() / 2);
        QApplication::processEvents();
    }
};

// One window at a time: a new size replaces the last one.
std::unique_ptr<Scene> theScene;
Scene& SceneFor(int mp) {
    if (!theScene || theScene->Mp != mp) {
        theScene.reset();
        theScene = std::make_unique<Scene>(mp);
    }
    return *theScene;
}

void SendMouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), to->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &e);
}

void BM_Memcpy(benchmark::State& state) {
    Scene& s = SceneFor(static_cast<int>(state.range(0)));
    const Bitmap& image = s.Slot().Bitmap;
    for (auto _ : state) {
        std::memcpy(s.CopyTarget.Data(), image.Data(), image.ByteSize());
        benchmark::ClobberMemory();
    }
}

// One pointer move of a spray stroke (diameter 30, changing transparency)
// over the middle of the view, 12 x 4 view pixels a move, zigzagging inside
// the visible part; the frame ends when the window has painted it.
void BM_SprayFrame(benchmark::State& state) {
    Scene& s = SceneFor(static_cast<int>(state.range(0)));
    s.ZoomAndCentre(kZooms[state.range(1)]);
    Workspace& ws = s.Window->Ws();
    if (!SelectToolCore(ws, ToolSpray)) {
        state.SkipWithError("no spray");
        return;
    }
    ws.Port->SetToolOption(TOpt::SpraySize, 30);
    ws.Port->SetToolOption(TOpt::SprayChangeTransparency, 1);
    QWidget* image = s.View()->Image();
    const QRect shown = image->visibleRegion().boundingRect().adjusted(40, 40, -40, -40);
    QPoint at = shown.center();
    SendMouse(image, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    QApplication::processEvents();
    int dx = 12;
    for (auto _ : state) {
        QPoint to = at + QPoint(dx, 4);
        if (!shown.contains(to)) {
            dx = -dx;
            to = QPoint(at.x() + dx, shown.top() + (at.y() - shown.top() + 4) % std::max(shown.height(), 1));
        }
        SendMouse(image, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents();
        at = to;
    }
    SendMouse(image, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
    state.counters["painted_w"] = s.Probe.Last.width();
    state.counters["painted_h"] = s.Probe.Last.height();
}

// One step of the horizontal scroll bar (a tenth of its page), painted.
void BM_ScrollFrame(benchmark::State& state) {
    Scene& s = SceneFor(static_cast<int>(state.range(0)));
    s.ZoomAndCentre(kZooms[state.range(1)]);
    QScrollBar* bar = s.View()->HorzBar();
    const int step = std::max(1, bar->pageStep() / 10);
    int direction = 1;
    for (auto _ : state) {
        if (bar->value() + direction * step > bar->maximum() || bar->value() + direction * step < 0)
            direction = -direction;
        bar->setValue(bar->value() + direction * step);
        QApplication::processEvents();
    }
    state.counters["painted_w"] = s.Probe.Last.width();
    state.counters["painted_h"] = s.Probe.Last.height();
}

// One zoom step about the middle of the view (in and out by turns round the
// row's zoom), painted.
void BM_ZoomFrame(benchmark::State& state) {
    Scene& s = SceneFor(static_cast<int>(state.range(0)));
    const TZoom base = kZooms[state.range(1)];
    s.ZoomAndCentre(base);
    const QWidget* panel = s.View()->ScrollPanel();
    const QPoint middle = panel->geometry().center();
    bool in = true;
    for (auto _ : state) {
        s.View()->ZoomTo(in ? ZoomIn(base) : base, true, &middle);
        QApplication::processEvents();
        in = !in;
    }
    state.counters["painted_w"] = s.Probe.Last.width();
    state.counters["painted_h"] = s.Probe.Last.height();
}

} // namespace

#define FRAME_ROW(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()

// The rows of one size run together, so that each window is built once.
FRAME_ROW(BM_Memcpy)->Arg(24);
FRAME_ROW(BM_SprayFrame)->ArgsProduct({{24}, {0, 1, 2, 3, 4}});
FRAME_ROW(BM_ScrollFrame)->ArgsProduct({{24}, {0, 1, 2, 3, 4}});
FRAME_ROW(BM_ZoomFrame)->ArgsProduct({{24}, {0, 1, 2, 3}});
FRAME_ROW(BM_Memcpy)->Arg(45);
FRAME_ROW(BM_SprayFrame)->ArgsProduct({{45}, {0, 1, 2, 3, 4}});
FRAME_ROW(BM_ScrollFrame)->ArgsProduct({{45}, {0, 1, 2, 3, 4}});
FRAME_ROW(BM_ZoomFrame)->ArgsProduct({{45}, {0, 1, 2, 3}});
FRAME_ROW(BM_Memcpy)->Arg(100);
FRAME_ROW(BM_SprayFrame)->ArgsProduct({{100}, {0, 1, 2, 3, 4}});
FRAME_ROW(BM_ScrollFrame)->ArgsProduct({{100}, {0, 1, 2, 3, 4}});
FRAME_ROW(BM_ZoomFrame)->ArgsProduct({{100}, {0, 1, 2, 3}});

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theScene.reset();
    return 0;
}
