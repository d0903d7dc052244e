// Brush stamps, the pen commit and the stroke-edge softening on a 4000 x
// 3000 image, with one memcpy of the image as the yardstick. A stamp run is
// 200 stamps of diameter 64 along a diagonal; the pen stroke is a zigzag of
// width 20 across the whole image.
//
// The pointer-move frames are timed as the brush families do them: a pen
// frame draws its segment into the overlay and onto the view (no refresh);
// a stamp frame paints one stamp and refreshes the view, which while the
// button is held is the plain display copy and its row table.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "doc/checkerboard.h"
#include "tools/brushes/copy_brush_rule.h"
#include "tools/brushes/custom_brush_rule.h"
#include "tools/brushes/lighten_darken_rule.h"
#include "tools/brushes/noise_rule.h"
#include "tools/brushes/pen_commit_rule.h"
#include "tools/brushes/sharpen_rule.h"
#include "tools/brushes/soften_rule.h"
#include "tools/brushes/source_brush_rule.h"
#include "tools/brushes/spray_rule.h"
#include "tools/brushes/transparency_rule.h"
#include "tools/shapes/soften_edges.h"

using namespace pixora;

namespace {

constexpr int kW = 4000, kH = 3000, kStamps = 200, kDiameter = 64;

// Every byte differs from its neighbours, so no rule finds a shortcut.
Bitmap Busy() {
    Bitmap b(kW, kH, 32);
    for (int y = 0; y < kH; ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < kW * 4; ++x)
            p[x] = static_cast<uint8_t>(x * 7 + y * 13);
    }
    return b;
}

const Bitmap& Image() {
    static const Bitmap image = Busy();
    return image;
}

void BM_Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, Image());
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

using StampFn = std::function<void(Bitmap&, const TDisc&)>;

void StampRun(benchmark::State& state, const StampFn& stamp) {
    Bitmap image = Image();
    for (auto _ : state) {
        for (int i = 0; i < kStamps; ++i)
            stamp(image, {200 + i * 17, 200 + i * 12, kDiameter});
        benchmark::ClobberMemory();
    }
}

// One pointer-move frame of a stamp brush: a stamp at the pointer, then
// the view refreshed as while the button is held.
void StampFrames(benchmark::State& state, const StampFn& stamp) {
    Bitmap image = Image(), checker, display = Image();
    BuildCheckerboard(checker, kW, kH);
    TRowTable rows;
    int i = 0;
    for (auto _ : state) {
        stamp(image, {200 + (i % kStamps) * 17, 200 + (i % kStamps) * 12, kDiameter});
        MakeDisplayCopy(image, checker, display, false);
        FillRowTable(display, rows);
        ++i;
        benchmark::ClobberMemory();
    }
}

void RegisterStamps() {
    static const SelectionEditTest all;
    static const Bitmap& source = Image();
    static TStampRandom random(1);
    static Bitmap overlay(kW, kH, 32);
    static Bitmap brush = [] {
        Bitmap b(kDiameter, kDiameter, 32);
        b.Fill(20, 40, 60, 0);
        return b;
    }();
    const std::vector<std::pair<std::string, StampFn>> stamps = {
        {"Spray",
         [](Bitmap& b, const TDisc& d) {
             SprayStamp(b, d, {128, true}, RGBColour(255, 0, 0), all);
         }},
        {"Soften", [](Bitmap& b, const TDisc& d) { SoftenStamp(b, d, true, all); }},
        {"Sharpen", [](Bitmap& b, const TDisc& d) { SharpenStamp(b, d, true, all); }},
        {"Noise", [](Bitmap& b, const TDisc& d) { NoiseStamp(b, d, true, random, all); }},
        {"Copy",
         [](Bitmap& b, const TDisc& d) {
             CopyBrushStamp(b, source, d, {1000, 1000}, true, all);
         }},
        {"Lighten", [](Bitmap& b, const TDisc& d) { LightenStamp(b, d, true, all); }},
        {"Darken",
         [](Bitmap& b, const TDisc& d) {
             DarkenStamp(b, {d.X, d.Y + (d.X + d.Y) % 2, d.Diameter}, true, all);
         }},
        {"History", [](Bitmap& b, const TDisc& d) { HistoryBrushStamp(b, source, d, 50, all); }},
        {"Effect", [](Bitmap& b, const TDisc& d) { EffectBrushStamp(b, source, d, all); }},
        {"TransparencySpray",
         [](Bitmap& b, const TDisc& d) {
             TTransparencyOptions o;
             o.Difference = 80;
             TransparencySprayStamp(b, overlay, {d.X, d.Y}, o, all);
         }},
        {"Custom",
         [](Bitmap& b, const TDisc& d) {
             CustomBrushStamp(b, brush, {d.X, d.Y}, 60, all);
         }},
    };
    for (const auto& stamp : stamps) {
        const std::string& name = stamp.first;
        const StampFn fn = stamp.second;
        benchmark::RegisterBenchmark(("BM_200Stamps/" + name).c_str(), [fn](benchmark::State& s) {
            StampRun(s, fn);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_StampFrame/" + name).c_str(), [fn](benchmark::State& s) {
            StampFrames(s, fn);
        })->Unit(benchmark::kMillisecond);
    }
}

// A pen stroke of width 20 zigzagging over the whole image.
Bitmap PenStroke() {
    Bitmap overlay(kW, kH, 32);
    overlay.Fill(255, 255, 255, 0);
    TPoint at{0, 0};
    for (int i = 1; i <= 20; ++i) {
        const TPoint to{i * kW / 20, (i % 2) ? kH - 1 : 0};
        DrawPenSegment(overlay, at, to, 20, 0);
        at = to;
    }
    return overlay;
}

TStrokeColours Colours() {
    TStrokeColours c;
    c.Stroke = c.Foreground = RGBColour(200, 30, 10);
    c.Fill = c.Background = RGBColour(255, 255, 255);
    return c;
}

// One pointer-move frame of the pen: a segment of 40 pixels of the zigzag
// into the overlay and onto the view.
void BM_PenFrame(benchmark::State& state) {
    Bitmap overlay(kW, kH, 32), view = Image();
    overlay.Fill(255, 255, 255, 0);
    TPoint at{0, 0};
    for (auto _ : state) {
        if (at.X + 32 >= kW || at.Y + 24 >= kH) at = {at.X % 64, 0};
        const TPoint to{at.X + 32, at.Y + 24};
        DrawPenSegment(overlay, at, to, 20, 0);
        DrawPenSegment(view, at, to, 20, RGBColour(200, 30, 10));
        at = to;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PenFrame)->Unit(benchmark::kMillisecond);

// The release: image back to the base, composite, overlay cleared. Putting
// the stroke back into the overlay is not timed.
void BM_PenCommit(benchmark::State& state) {
    const Bitmap stroke = PenStroke();
    const Bitmap& base = Image();
    Bitmap image = base, overlay = stroke;
    TOverlayComposite o;
    o.Occupancy = 60;
    o.Soften = state.range(0) != 0;
    for (auto _ : state) {
        CommitPenStroke(image, base, overlay, o, Colours(), SelectionEditTest());
        benchmark::ClobberMemory();
        state.PauseTiming();
        std::memcpy(overlay.Data(), stroke.Data(), stroke.ByteSize());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PenCommit)->ArgName("soften")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The softening alone, for the zigzag stroke (0) and for an overlay that
// marks every pixel (1), the worst case.
void BM_SoftenStrokeEdges(benchmark::State& state) {
    Bitmap overlay = PenStroke();
    if (state.range(0) != 0) overlay.Fill(0, 0, 0, 0);
    Bitmap image = Image();
    for (auto _ : state) {
        SoftenStrokeEdges(image, overlay, 10);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SoftenStrokeEdges)->ArgName("everywhere")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    RegisterStamps();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
