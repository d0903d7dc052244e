// The history store and the layer merge on a 4000 x 3000 image, each beside
// its yardstick: one write() / read() of the same 48 MB in the same folder,
// and one memcpy of the image.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench_support.h"
#include "doc/layer_operations.h"
#include "doc/layers.h"
#include "doc/slots.h"
#include "history/history_folder.h"
#include "history/history_store.h"

using namespace pixora;

namespace {

constexpr int kW = 4000, kH = 3000;

using bench::QuietPort;

Bitmap Picture() {
    Bitmap b(kW, kH, 32);
    for (int y = 0; y < kH; ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < 4 * kW; ++x)
            p[x] = static_cast<uint8_t>(x * 7 + y * 3);
    }
    return b;
}

// A workspace with one open 4000 x 3000 image, its program folder in a
// fresh temporary folder.
struct Bench {
    QuietPort port;
    bench::TScratchWorkspace scratch{port, Picture()};
    Workspace& ws = scratch.ws;
    TImages& S() { return ws.Images[0]; }
};

void WriteAll(int fd, const uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t got = ::write(fd, p, n);
        if (got <= 0) throw std::runtime_error("write");
        p += got;
        n -= static_cast<std::size_t>(got);
    }
}

void ReadAll(int fd, uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t got = ::read(fd, p, n);
        if (got <= 0) throw std::runtime_error("read");
        p += got;
        n -= static_cast<std::size_t>(got);
    }
}

// Each benchmark runs the operation and its yardstick in turn, round after
// round, so that both see the same machine (others may be busy on it). The
// reported time is the operation's; the counters give the yardstick's
// median and the ratio of the two medians.
class Paired {
public:
    template <class Op, class Yardstick> void Round(benchmark::State& state, Op op, Yardstick yardstick) {
        const double o = Seconds(op), y = Seconds(yardstick);
        ops_.push_back(o);
        yards_.push_back(y);
        state.SetIterationTime(o);
    }
    void Report(benchmark::State& state) {
        if (ops_.empty()) return;
        const double o = Median(ops_), y = Median(yards_);
        state.counters["yardstick_ms"] = y * 1e3;
        state.counters["ratio"] = o / y;
    }

private:
    template <class F> static double Seconds(F f) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        benchmark::ClobberMemory();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    std::vector<double> ops_, yards_;
};

// PushHistory from the same position each time (snapshot 1 is written over
// the one of the last round, thumbnail included) against one write() of the
// image's bytes over a file of the same size in the same folder.
void BM_PushHistory_vs_write(benchmark::State& state) {
    Bench b;
    const std::string path = HistoryDir(b.ws) + "plain.bin";
    const Bitmap& img = b.S().Bitmap;
    Paired pair;
    for (auto _ : state) {
        b.S().HistoryPos = 0;
        b.S().HistoryCount = 0;
        pair.Round(
            state,
            [&] {
                if (!PushHistory(b.ws)) state.SkipWithError("push failed");
            },
            [&] {
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
                WriteAll(fd, img.Data(), img.ByteSize());
                ::close(fd);
            });
    }
    pair.Report(state);
}
BENCHMARK(BM_PushHistory_vs_write)->Unit(benchmark::kMillisecond)->UseManualTime();

// UndoStep with the snapshot stored (positions 2 -> 1 over three stored
// snapshots, put back to 2 before each round) against one read() of that
// snapshot into a buffer of its size.
void BM_UndoStep_vs_read(benchmark::State& state) {
    Bench b;
    for (int i = 0; i < 2; ++i) {
        PushHistory(b.ws);
        NameHistoryStep(b.ws, "Invert");
        b.S().Bitmap.Row(0)[0] ^= 0xFF;
    }
    UndoStep(b.ws); // stores the newest state as snapshot 3
    const std::string path = SnapshotPath(b.ws, 0, 2);
    const std::size_t size = static_cast<std::size_t>(std::filesystem::file_size(path));
    std::vector<uint8_t> buf(size, 1);
    Paired pair;
    for (auto _ : state) {
        b.S().HistoryPos = 2;
        pair.Round(
            state,
            [&] {
                if (!UndoStep(b.ws)) state.SkipWithError("undo failed");
            },
            [&] {
                const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
                ReadAll(fd, buf.data(), size);
                ::close(fd);
            });
    }
    pair.Report(state);
}
BENCHMARK(BM_UndoStep_vs_read)->Unit(benchmark::kMillisecond)->UseManualTime();

// Ten full-size upper layers over the background. Content 0: every pixel
// has a transparency of its own (no shortcut applies). Content 1: what
// painting on new layers gives, an opaque third on a clear ground.
void AddLayers(Bench& b, int layers, int content) {
    Bitmap px(kW, kH, 32);
    for (int i = 0; i < layers; ++i) {
        for (int y = 0; y < kH; ++y) {
            uint8_t* p = px.Row(y);
            if (content == 0) {
                for (int x = 0; x < 4 * kW; ++x)
                    p[x] = static_cast<uint8_t>(x * 5 + y + i * 40);
            } else {
                for (int x = 0; x < kW; ++x, p += 4) {
                    const bool painted = x >= i * kW / 30 && x < i * kW / 30 + kW / 3;
                    p[0] = static_cast<uint8_t>(x + i), p[1] = static_cast<uint8_t>(y), p[2] = 90;
                    p[3] = painted ? 0 : 255;
                }
            }
        }
        TLayer& layer = b.S().Layer(b.S().LayerCount + 1);
        layer.Bitmap = px;
        FillRowTable(layer.Bitmap, layer.Rows);
        b.S().LayerCount += 1;
    }
}

// "View Final Image" with the background current (layer 1 is chosen again
// before each round) against one memcpy of the image.
void BM_ViewFinalImage_vs_memcpy(benchmark::State& state) {
    Bench b;
    AddLayers(b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const Bitmap src = Picture();
    Bitmap dst(kW, kH, 32);
    Paired pair;
    for (auto _ : state) {
        ChooseLayer(b.ws, 1);
        pair.Round(
            state, [&] { ViewFinalImage(b.ws); },
            [&] { std::memcpy(dst.Data(), src.Data(), src.ByteSize()); });
    }
    pair.Report(state);
}
BENCHMARK(BM_ViewFinalImage_vs_memcpy)
    ->Args({10, 0})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The merge alone (no storing of the current layer, no thumbnail).
void BM_MergeLayers_vs_memcpy(benchmark::State& state) {
    Bench b;
    AddLayers(b, static_cast<int>(state.range(0)), 0);
    const Bitmap src = Picture();
    Bitmap dst(kW, kH, 32);
    Paired pair;
    for (auto _ : state)
        pair.Round(
            state, [&] { MergeLayers(b.S()); }, [&] { std::memcpy(dst.Data(), src.Data(), src.ByteSize()); });
    pair.Report(state);
}
BENCHMARK(BM_MergeLayers_vs_memcpy)->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
