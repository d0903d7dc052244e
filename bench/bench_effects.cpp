// Effects engine timings on a 4000 x 3000 32-bit image, with one memcpy of
// the image as the yardstick for the per-pixel effects. Times are wall
// clock (the effects split rows across the cores); the CPU column is the
// whole process's.
#include <benchmark/benchmark.h>

#include <cstring>
#include <numbers>
#include <random>

#include "bench_support.h"
#include "effects/engine/effects.h"

using namespace pixora;

namespace {

const Bitmap& Source() {
    return bench::RandomImage4000x3000();
}

void BM_Memcpy(benchmark::State& state) { bench::MemcpyLoop(state, Source()); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// In-place effects run on a working copy that is not refreshed between
// iterations (the effects' cost does not depend on the pixel values much).
template <class Fn> void InPlace(benchmark::State& state, Fn fn) {
    TEffects fx;
    Bitmap b = Source();
    for (auto _ : state) {
        fn(fx, b);
        benchmark::ClobberMemory();
    }
}

void BM_Invert(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.Invert(b, kAllChannels); });
}
void BM_ColourAdjust(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.ColourAdjust(b, kAllChannels, {10, -20, 30, 0}); });
}
void BM_Contrast(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.Contrast(b, kAllChannels, {40, 40, 40, 0}); });
}
void BM_Saturation(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.Saturation(b, kAllChannels, 128); });
}
void BM_Solarize(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.Solarize(b, kAllChannels, 128); });
}
void BM_Posterize(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.Posterize(b, kAllChannels, 32); });
}
void BM_ColourFilter(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) {
        fx.ColourFilter(b, {0, 0, 0, 0}, {255, 255, 100, 0}, kColourChannels, {}, true, false);
    });
}
void BM_Noise(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.Noise(b, kAllChannels, 40); });
}
void BM_Pixelization8(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.Pixelization(b, kAllChannels, 8, 8); });
}
void BM_PixelizationStar8(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) {
        fx.RangeType = rtStar5;
        fx.Pixelization(b, kAllChannels, 8, 8);
    });
}
void BM_RoughBlur8(benchmark::State& s) {
    InPlace(s, [](TEffects& fx, Bitmap& b) { fx.RoughBlur(b, kAllChannels, false, 1, 8, 8); });
}

BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ColourAdjust)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Contrast)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Saturation)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Solarize)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Posterize)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ColourFilter)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Noise)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Pixelization8)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_PixelizationStar8)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_RoughBlur8)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Two-bitmap effects read the untouched source every time.
void BM_Blur(benchmark::State& state) {
    TEffects fx;
    Bitmap source = Source(), target;
    const int r = static_cast<int>(state.range(0));
    for (auto _ : state)
        fx.Blur(source, target, r, kAllChannels);
}
BENCHMARK(BM_Blur)
    ->Arg(1)
    ->Arg(5)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_Sharpen1(benchmark::State& state) {
    TEffects fx;
    Bitmap source = Source(), target;
    for (auto _ : state)
        fx.Sharpen(source, target, kAllChannels, 1, 10, 50, 0);
}
BENCHMARK(BM_Sharpen1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Rotate45(benchmark::State& state) {
    TEffects fx;
    Bitmap source = Source(), target;
    for (auto _ : state)
        fx.RotateAngle(source, target, {255, 255, 255, 0}, std::numbers::pi / 4);
}
BENCHMARK(BM_Rotate45)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_RotateLeft(benchmark::State& state) {
    TEffects fx;
    Bitmap source = Source(), target;
    for (auto _ : state)
        fx.RotateLeft(source, target, {});
}
BENCHMARK(BM_RotateLeft)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

BENCHMARK_MAIN();
