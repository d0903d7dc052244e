// Quick effect timings on a 4000 x 3000 32-bit image, with one memcpy of
// the image as the yardstick. Times are wall clock (rows are split across
// the cores); the CPU column is the whole process's.
#include <benchmark/benchmark.h>

#include <random>

#include "bench_support.h"
#include "effects/quick/antialias.h"
#include "effects/quick/convolve.h"
#include "effects/quick/gaussian_blur.h"
#include "effects/quick/point_effects.h"

using namespace pixora;
using namespace pixora::quick;

namespace {

const Bitmap& Source() {
    return bench::RandomImage4000x3000();
}

#define PIXORA_QUICK_BENCH(name)                                                                             \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()

void BM_Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, Source());
}
PIXORA_QUICK_BENCH(BM_Memcpy);

// In-place effects run on a working copy that is not refreshed between
// iterations (their cost hardly depends on the pixel values).
template <class Fn> void InPlace(benchmark::State& state, Fn fn) {
    Bitmap b = Source();
    for (auto _ : state) {
        fn(b);
        benchmark::ClobberMemory();
    }
}

const TChannelPercents kPercents{8, 8, 8};

void BM_Lighten(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Lighten(b); });
}
void BM_Darken(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Darken(b); });
}
void BM_Invert(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Invert(b); });
}
void BM_Noise(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Noise(b, TNoiseParams{99}); });
}
void BM_Tint(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Tint(b, kPercents); });
}
void BM_Gamma(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Gamma(b, kPercents); });
}
void BM_Contrast(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Contrast(b, kPercents); });
}
void BM_Saturation(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Saturation(b, kPercents); });
}
// A selection that keeps every other 64-pixel run: the pixel test's cost.
void BM_DarkenSelected(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Darken(b, [](int x, int) { return (x & 64) == 0; }); });
}
void BM_Antialiasing(benchmark::State& s) {
    InPlace(s, [](Bitmap& b) { Antialiasing(b); });
}
PIXORA_QUICK_BENCH(BM_Lighten);
PIXORA_QUICK_BENCH(BM_Darken);
PIXORA_QUICK_BENCH(BM_Invert);
PIXORA_QUICK_BENCH(BM_Noise);
PIXORA_QUICK_BENCH(BM_Tint);
PIXORA_QUICK_BENCH(BM_Gamma);
PIXORA_QUICK_BENCH(BM_Contrast);
PIXORA_QUICK_BENCH(BM_Saturation);
PIXORA_QUICK_BENCH(BM_DarkenSelected);
PIXORA_QUICK_BENCH(BM_Antialiasing);

// The convolutions read the unchanged copy and write the document.
template <class Fn> void FromScratch(benchmark::State& state, Fn fn) {
    const Bitmap& scratch = Source();
    Bitmap doc = scratch;
    for (auto _ : state) {
        fn(scratch, doc);
        benchmark::ClobberMemory();
    }
}
void BM_Soften(benchmark::State& s) {
    FromScratch(s, [](const Bitmap& a, Bitmap& b) { Soften(a, b); });
}
void BM_Sharpen(benchmark::State& s) {
    FromScratch(s, [](const Bitmap& a, Bitmap& b) { Sharpen(a, b); });
}
PIXORA_QUICK_BENCH(BM_Soften);
PIXORA_QUICK_BENCH(BM_Sharpen);

// The blur starts from the same image every time.
void BM_GaussianBlur(benchmark::State& state) {
    Bitmap b;
    const int r = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        b = Source();
        state.ResumeTiming();
        GaussianBlur(b, TBlurRadius{r});
    }
}
BENCHMARK(BM_GaussianBlur)
    ->Arg(1)
    ->Arg(8)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
