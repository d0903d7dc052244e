// One frame of a selection drag on a 4000 x 3000 image: the view is
// restored from StrokeBase and the floating pixels are drawn at the
// pointer; and one frame of the rubber band while a new rectangle, a large
// ellipse or a freehand outline is drawn. One memcpy of the image is the
// yardstick.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "bench_support.h"
#include "doc/checkerboard.h"
#include "tools/selection.h"
#include "tools/tool.h"
#include "tools/tool_options.h"
#include "tools/tool_set.h"
#include "tools/tool_table.h"

using namespace pixora;

namespace {

constexpr int kW = 4000, kH = 3000;

class BenchPort : public bench::QuietPort {
public:
    int Shape = SelRectangle;
    int ToolOption(TOpt id) const override {
        if (id == TOpt::SelectionType) return Shape;
        if (id == TOpt::SelectionEdit) return 1; // "Edit Selected Canvas"
        return 0;
    }
};

Bitmap Picture() {
    Bitmap b(kW, kH, 32);
    for (int y = 0; y < kH; ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < kW * 4; ++x)
            p[x] = static_cast<uint8_t>(x * 7 + y * 3);
    }
    return b;
}

// A workspace with the picture open in slot 0 and the selection tool chosen.
struct Scene {
    Workspace ws;
    BenchPort port;
    explicit Scene(int shape) {
        port.Shape = shape;
        ws.Port = &port;
        ws.CreateWorkBitmaps();
        ws.SysData.OpenCount = 0;
        TImages& s = ws.Images[0];
        s.InUse = 1;
        s.Bitmap = Picture();
        FillRowTable(s.Bitmap, s.Rows);
        s.Tool = ToolSelection;
        ws.StrokeBase.Bitmap = s.Bitmap;
        ws.StrokeBase.Refill();
        ws.DisplayCopy = s.Bitmap;
    }
    ToolContext Context() { return {ws, 0, ws.Images[0], ws.ToolVars, ToolDescription(ToolSelection)}; }
};

void BM_Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, Picture());
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// Frames of a drag that has grabbed the selection at the image's middle.
void DragFrames(benchmark::State& state, Scene& scene) {
    ToolContext c = scene.Context();
    Tool* tool = ToolsOf(scene.ws).For(ToolSelection);
    tool->Press(c, kW / 2, kH / 2);
    scene.ws.SysData.MouseDown = 1;
    int step = 0;
    for (auto _ : state) {
        tool->Move(c, kW / 2 + 40 + (step & 7), kH / 2 + 30);
        ++step;
        benchmark::ClobberMemory();
    }
}

// Select All, then the whole image dragged by its inside: the floating
// pixels are stretched into the inner rectangle on every frame.
void BM_DragFrameRectangle(benchmark::State& state) {
    Scene scene(SelRectangle);
    SelectAll(scene.ws);
    DragFrames(state, scene);
}
BENCHMARK(BM_DragFrameRectangle)->Unit(benchmark::kMillisecond)->UseRealTime();

// An ellipse over most of the image, moved by its mask.
void BM_DragFrameEllipse(benchmark::State& state) {
    Scene scene(SelEllipse);
    ToolContext c = scene.Context();
    Tool* tool = ToolsOf(scene.ws).For(ToolSelection);
    tool->Press(c, 100, 100);
    tool->Move(c, kW - 100, kH - 100);
    tool->Release(c, kW - 100, kH - 100);
    DragFrames(state, scene);
}
BENCHMARK(BM_DragFrameEllipse)->Unit(benchmark::kMillisecond)->UseRealTime();

// Frames of the rubber band of a new selection pressed near the top-left
// corner: the rectangle and the ellipse are dragged to near the far corner
// (restored and redrawn at every move), the freehand outline goes round a
// large circle, 30 pixels a move.
void RubberBandFrames(benchmark::State& state, int shape) {
    Scene scene(shape);
    ToolContext c = scene.Context();
    Tool* tool = ToolsOf(scene.ws).For(ToolSelection);
    tool->Press(c, 100, 100);
    scene.ws.SysData.MouseDown = 1;
    int step = 0;
    for (auto _ : state) {
        if (shape == SelFreeHand) {
            const double t = step * 30.0 / 1400.0;
            tool->Move(c, kW / 2 + static_cast<int>(1400 * std::cos(t)),
                       kH / 2 + static_cast<int>(1400 * std::sin(t)));
        } else {
            tool->Move(c, kW - 100 - (step & 7), kH - 100 - (step & 3));
        }
        ++step;
        benchmark::ClobberMemory();
    }
}
void BM_RubberBandRectangle(benchmark::State& state) {
    RubberBandFrames(state, SelRectangle);
}
void BM_RubberBandEllipse(benchmark::State& state) {
    RubberBandFrames(state, SelEllipse);
}
void BM_RubberBandFreeHand(benchmark::State& state) {
    RubberBandFrames(state, SelFreeHand);
}
BENCHMARK(BM_RubberBandRectangle)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RubberBandEllipse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RubberBandFreeHand)->Unit(benchmark::kMillisecond)->UseRealTime();

// The dotted not-xor outline of a selection as large as the image, drawn
// and erased again (the crop rectangle's rubber band does both per move).
void BM_DottedOutline(benchmark::State& state) {
    Bitmap view = Picture();
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k)
            DottedRectangle(view, {10, 10, kW - 10, kH - 10});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DottedOutline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
