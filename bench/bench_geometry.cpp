// The whole-image geometry commands on a 4000 x 3000 32-bit image: the turn
// by 45 degrees and the quarter turn of the rotate window, and the
// stretched resize to 8000 x 6000 of the resize window, through the same
// calls the windows and the command line make. Wall-clock times (rows are
// split across the cores); the CPU column is the whole process's.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "history/geometry_commands.h"

using namespace pixora;

namespace {

const Bitmap& Source() {
    return bench::RandomImage4000x3000();
}

void BM_Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, Source());
}

void Rotate(benchmark::State& state, const TRotateParams& params) {
    Bitmap out;
    for (auto _ : state) {
        if (!RotateBitmap(Source(), params, out)) state.SkipWithError("refused");
        benchmark::ClobberMemory();
    }
}

void BM_Rotate45(benchmark::State& state) {
    Rotate(state, {TRotateAction::Angle, 45, 0xFFFFFF});
}
void BM_RotateLeft(benchmark::State& state) {
    Rotate(state, {TRotateAction::RotateLeft, 0, 0});
}

void BM_ResizeStretch8000x6000(benchmark::State& state) {
    Bitmap out;
    for (auto _ : state) {
        if (!ResizeBitmap(Source(), {8000, 6000, true}, out)) state.SkipWithError("refused");
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Rotate45)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_RotateLeft)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ResizeStretch8000x6000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_MAIN();
