// The painting tools as the program makes them, on a 4000 x 3000 image,
// called the way the pointer dispatch calls them (without the history
// snapshot of the press, which is the history store's cost): 200 stamps of
// diameter 64 per stamp brush, pen segments to the view, and the pen's
// release with and without softening, against one memcpy of the image.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "bench_support.h"
#include "doc/workspace.h"
#include "tools/tool_options.h"
#include "tools/tool_set.h"

using namespace pixora;

namespace {

constexpr int kW = 4000, kH = 3000, kStamps = 200, kDiameter = 64;

// The quiet port with the option boxes' values.
class OptionPort : public bench::QuietPort {
public:
    std::map<std::pair<std::string, std::string>, int> Options;
    int ToolOption(TOpt id) const override {
        const TOptionRow& row = OptionRow(id);
        const auto it = Options.find({std::string(WindowName(row.Box)), std::string(row.Control)});
        return it == Options.end() ? 0 : it->second;
    }
};

// A workspace whose slot 0 shows the busy image, with every work bitmap the
// image's size.
struct TBench {
    Workspace Ws;
    OptionPort Port;
    TBench() {
        Ws.Port = &Port;
        Bitmap image(kW, kH, 32);
        for (int y = 0; y < kH; ++y) {
            uint8_t* p = image.Row(y);
            for (int x = 0; x < kW * 4; ++x)
                p[x] = static_cast<uint8_t>(x * 7 + y * 13);
        }
        TImages& s = Ws.Images[0];
        s.Bitmap = image;
        FillRowTable(s.Bitmap, s.Rows);
        for (TWorkBitmap* w : {&Ws.StrokeBase, &Ws.EffectBrushSource})
            w->Bitmap = image;
        Ws.StrokeOverlay.Bitmap = Bitmap(kW, kH, 32);
        Ws.StrokeOverlay.Bitmap.Fill(255, 255, 255, 0);
        Ws.CustomBrushBitmap.Bitmap = Bitmap(kDiameter, kDiameter, 32);
        Ws.DisplayCopy = image;
        for (const char* box : {"TForm23", "TForm24", "TForm38"}) {
            Port.Options[{box, "Size"}] = Port.Options[{box, "size"}] = kDiameter;
            Port.Options[{box, "thick"}] = 128;
            Port.Options[{box, "CT"}] = 1;
            Port.Options[{box, "Occ"}] = 60;
        }
        Port.Options[{"TForm40", "Occ"}] = 60;
        Port.Options[{"TForm3", "Size"}] = 20;
        Port.Options[{"TForm3", "Occ"}] = 60;
        Port.Options[{"TForm3", "CT"}] = 1;
        Port.Options[{"TForm3", "AP"}] = 10;
    }
    ToolContext Context(int tool) {
        Ws.Images[0].Tool = tool;
        return {Ws, 0, Ws.Images[0], Ws.ToolVars, ToolsOf(Ws).Row(tool)};
    }
};

TBench& Bench() {
    static TBench b;
    return b;
}

void BM_Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, Bench().Ws.Images[0].Bitmap);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// 200 moves of a held button, one stamp each.
void BM_200ToolStamps(benchmark::State& state) {
    const int number = static_cast<int>(state.range(0));
    TBench& b = Bench();
    ToolContext c = b.Context(number);
    Tool* tool = ToolsOf(b.Ws).For(number);
    state.SetLabel(std::string(c.Row.ButtonHint.empty() ? c.Row.StepName : c.Row.ButtonHint));
    for (auto _ : state) {
        for (int i = 0; i < kStamps; ++i)
            tool->Move(c, 200 + i * 17, 200 + i * 12);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_200ToolStamps)
    ->ArgName("tool")
    ->Arg(ToolSpray)
    ->Arg(ToolSoften)
    ->Arg(ToolSharpen)
    ->Arg(ToolNoise)
    ->Arg(ToolClone)
    ->Arg(ToolLighten)
    ->Arg(ToolDarken)
    ->Arg(ToolHistoryBrush)
    ->Arg(ToolCustomBrush)
    ->Arg(ToolEffectBrush)
    ->Unit(benchmark::kMillisecond);

// One pointer move of a pen stroke: the 40-pixel segment of width 20 into
// the overlay and onto the view.
void BM_PenMove(benchmark::State& state) {
    TBench& b = Bench();
    ToolContext c = b.Context(ToolPen);
    Tool* pen = ToolsOf(b.Ws).For(ToolPen);
    pen->Press(c, 100, 100);
    int i = 0;
    for (auto _ : state) {
        ++i;
        pen->Move(c, 100 + (i * 40) % 3800, 100 + (i * 23) % 2800);
        benchmark::ClobberMemory();
    }
    pen->Release(c, 100, 100);
}
BENCHMARK(BM_PenMove)->Unit(benchmark::kMicrosecond);

// The release of a stroke zigzagging over the image. The stroke is drawn
// once; between the timed releases a press starts the next stroke and the
// overlay gets the stroke back.
void BM_PenRelease(benchmark::State& state) {
    TBench& b = Bench();
    b.Port.Options[{"TForm3", "Anti"}] = static_cast<int>(state.range(0));
    ToolContext c = b.Context(ToolPen);
    Tool* pen = ToolsOf(b.Ws).For(ToolPen);
    Bitmap& overlay = b.Ws.StrokeOverlay.Bitmap;
    pen->Press(c, 0, 0);
    for (int k = 1; k <= 20; ++k)
        pen->Move(c, k * kW / 20, (k % 2) ? kH - 1 : 0);
    const Bitmap stroke = overlay;
    for (auto _ : state) {
        state.PauseTiming();
        pen->Press(c, 0, 0);
        std::memcpy(overlay.Data(), stroke.Data(), stroke.ByteSize());
        state.ResumeTiming();
        pen->Release(c, kW - 1, 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PenRelease)->ArgName("soften")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
