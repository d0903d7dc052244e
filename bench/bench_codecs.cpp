// Codec throughput on a generated photo-like 2000 x 1500 image.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "io/codecs/image_codecs.h"

using namespace pixora;

namespace {

Bitmap PhotoLike(int w, int h) {
    Bitmap b(w, h, 32);
    uint32_t seed = 1;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>(seed >> 29) - 4;
            const double s = std::sin(x * 0.01) * std::cos(y * 0.013);
            p[0] = static_cast<uint8_t>(std::clamp(128 + static_cast<int>(100 * s) + noise, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(x * 255 / w + noise, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp(y * 255 / h + noise, 0, 255));
            p[3] = 0;
        }
    }
    return b;
}

const Bitmap& Image() {
    static const Bitmap img = PhotoLike(2000, 1500);
    return img;
}

std::string TempFile(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void Write(benchmark::State& state, const char* name, int code, SaveOptions opts) {
    const std::string path = TempFile(name);
    for (auto _ : state) WriteImageFile(path, Image(), code, opts);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Image().ByteSize()));
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void Read(benchmark::State& state, const char* name, int code, SaveOptions opts) {
    const std::string path = TempFile(name);
    WriteImageFile(path, Image(), code, opts);
    for (auto _ : state) benchmark::DoNotOptimize(LoadImageFile(path, code));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Image().ByteSize()));
    std::filesystem::remove(path);
}

SaveOptions Bits(int bits) {
    SaveOptions o;
    o.BmpBits = bits;
    return o;
}
SaveOptions Quality(int q) {
    SaveOptions o;
    o.JpegQuality = q;
    return o;
}

} // namespace

BENCHMARK_CAPTURE(Write, Bmp32, "pixora_bench.bmp", fcBmp, Bits(32))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Write, Bmp24, "pixora_bench.bmp", fcBmp, Bits(24))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Write, Bmp8, "pixora_bench.bmp", fcBmp, Bits(8))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Read, Bmp32, "pixora_bench.bmp", fcBmp, Bits(32))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Read, Bmp24, "pixora_bench.bmp", fcBmp, Bits(24))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Write, Png, "pixora_bench.png", fcPng, SaveOptions{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Read, Png, "pixora_bench.png", fcPng, SaveOptions{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Write, Jpeg90, "pixora_bench.jpg", fcJpeg, Quality(90))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Read, Jpeg90, "pixora_bench.jpg", fcJpeg, Quality(90))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Write, Gif, "pixora_bench.gif", fcGif, SaveOptions{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Read, Gif, "pixora_bench.gif", fcGif, SaveOptions{})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
