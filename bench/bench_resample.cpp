// BilinearResample on a 4000 x 3000 image: up to 8000 x 6000 and down to a
// 55 x 55 thumbnail, next to one memcpy of the source for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "doc/resample.h"

using namespace pixora;

namespace {
const Bitmap& Source() {
    static const Bitmap src = [] {
        Bitmap b(4000, 3000);
        std::mt19937 rng(7);
        for (int y = 0; y < b.Height(); ++y)
            for (std::size_t i = 0; i < b.Stride(); ++i) b.Row(y)[i] = static_cast<uint8_t>(rng());
        return b;
    }();
    return src;
}

void BM_Memcpy4000x3000(benchmark::State& state) {
    const Bitmap& src = Source();
    Bitmap dst(src.Width(), src.Height());
    for (auto _ : state) {
        std::memcpy(dst.Data(), src.Data(), src.ByteSize());
        benchmark::ClobberMemory();
    }
}

void BM_ResampleUp8000x6000(benchmark::State& state) {
    const Bitmap& src = Source();
    Bitmap dst(8000, 6000);
    for (auto _ : state) {
        BilinearResample(src, dst);
        benchmark::ClobberMemory();
    }
}

void BM_ResampleDown55x55(benchmark::State& state) {
    const Bitmap& src = Source();
    Bitmap dst(55, 55);
    for (auto _ : state) {
        BilinearResample(src, dst);
        benchmark::ClobberMemory();
    }
}
} // namespace

BENCHMARK(BM_Memcpy4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleUp8000x6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleDown55x55)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
