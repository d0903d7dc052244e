// Flood fill and magic wand over a uniform 4000 x 3000 region, with one
// memcpy of the 32-bit image as the yardstick.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_support.h"
#include "tools/flood_fill.h"
#include "tools/magic_wand.h"

using namespace pixora;

namespace {

constexpr int kW = 4000, kH = 3000;

Bitmap Uniform() {
    Bitmap b(kW, kH, 32);
    b.Fill(90, 140, 200, 0);
    return b;
}

void BM_Memcpy(benchmark::State& state) { bench::MemcpyLoop(state, Uniform()); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// The Floodfill tool's press: 24-bit work copy, fill, colour bytes back.
// Every press recolours the whole image, which stays uniform.
void BM_FloodFillPress(benchmark::State& state) {
    Bitmap b = Uniform();
    const int mode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        FloodFillPress(b, kW / 2, kH / 2, 0, mode, 30, RGBColour(255, 0, 0), 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FloodFillPress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The region fill alone on a 24-bit bitmap.
void BM_ColourRegionFill(benchmark::State& state) {
    Bitmap b(kW, kH, 24);
    b.Fill(90, 140, 200);
    for (auto _ : state) {
        const uint8_t* p = b.Row(0);
        ColourRegionFill(b, 0, 0, 0.5, 0.1, 0, 0.0, RGBColour(p[2], p[1], p[0]), RGBColour(0, 0, 255));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ColourRegionFill)->Unit(benchmark::kMillisecond);

// The wand selection: region, image-size mask, then the outline on the view.
void BM_WandSelection(benchmark::State& state) {
    Bitmap view = Uniform();
    TWorkBitmap mask;
    TToolVars vars;
    for (auto _ : state) {
        TRegionGrid grid;
        WandSelectionMask(view, kW / 2, kH / 2, 0, mask, vars, grid);
        PaintWandMask(view, grid, true);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WandSelection)->Unit(benchmark::kMillisecond);

void BM_WandRegion(benchmark::State& state) {
    const Bitmap view = Uniform();
    TRegionGrid grid;
    for (auto _ : state) {
        WandRegion(view, kW / 2, kH / 2, grid, 0.0, RGBColour(200, 140, 90));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WandRegion)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
