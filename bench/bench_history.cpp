// The history store and the layer merge on a 4000 x 3000 image, each beside
// its yardstick: one write() / read() of the same 48 MB in the same folder,
// and one memcpy of the image.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "doc/layers.h"
#include "doc/slots.h"
#include "history/history_folder.h"
#include "history/history_store.h"

using namespace pixora;

namespace {

constexpr int kW = 4000, kH = 3000;

// A window that shows one slot and does nothing else.
class QuietPort : public WindowPort {
public:
    int ActivePage() const override { return 0; }
    void ShowTabPage(int, const std::string&) override {}
    void HideTabPage(int) override {}
    void TabChange() override {}
    void RefreshView() override {}
    void UpdateCommandStates() override {}
    void RedrawLayerStrip(int) override {}
    void ReportError(int, const std::string& detail) override { throw std::runtime_error(detail); }
};

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
    std::string root;
    Workspace ws;
    QuietPort port;
    Bench() {
        char tmpl[] = "/tmp/pixora-bench-hist-XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp");
        root = tmpl;
        ws.SysData.ExeDir = root + "/";
        ws.Port = &port;
        ws.CreateWorkBitmaps();
        SlotSource src;
        src.FromFile = true;
        FillSlot(ws, ClaimSlot(ws), Picture(), src);
        for (TWorkBitmap* w : ws.ImageSizedWorkBitmaps()) {
            w->Bitmap.SetSize(kW, kH);
            w->Refill();
        }
    }
    ~Bench() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
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

// Yardstick: the image's bytes with one write() over a file of the same
// size in the history folder (as a push replaces its snapshot).
void BM_WriteOnce(benchmark::State& state) {
    Bench b;
    const std::string path = HistoryDir(b.ws) + "plain.bin";
    const Bitmap& img = b.S().Bitmap;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        WriteAll(fd, img.Data(), img.ByteSize());
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(img.ByteSize()));
}
BENCHMARK(BM_WriteOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

// PushHistory from the same position each time: snapshot 1 is written over
// the one of the last round, thumbnail included.
void BM_PushHistory(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.S().HistoryPos = 0;
        b.S().HistoryCount = 0;
        if (!PushHistory(b.ws)) state.SkipWithError("push failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(b.S().Bitmap.ByteSize()));
}
BENCHMARK(BM_PushHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

// Yardstick: one read() of a stored snapshot into a buffer of its size.
void BM_ReadOnce(benchmark::State& state) {
    Bench b;
    PushHistory(b.ws);
    const std::string path = SnapshotPath(b.ws, 0, 1);
    const std::size_t size = static_cast<std::size_t>(std::filesystem::file_size(path));
    std::vector<uint8_t> buf(size);
    std::memset(buf.data(), 1, size);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ReadAll(fd, buf.data(), size);
        ::close(fd);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}
BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

// UndoStep with the snapshot stored: positions 2 -> 1 over three stored
// snapshots, put back to 2 (untimed) before each round.
void BM_UndoStep(benchmark::State& state) {
    Bench b;
    for (int i = 0; i < 2; ++i) {
        PushHistory(b.ws);
        NameHistoryStep(b.ws, "Invert");
        b.S().Bitmap.Row(0)[0] ^= 0xFF;
    }
    UndoStep(b.ws); // stores the newest state as snapshot 3
    for (auto _ : state) {
        state.PauseTiming();
        b.S().HistoryPos = 2;
        state.ResumeTiming();
        if (!UndoStep(b.ws)) state.SkipWithError("undo failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(b.S().Bitmap.ByteSize()));
}
BENCHMARK(BM_UndoStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Memcpy(benchmark::State& state) {
    const Bitmap src = Picture();
    Bitmap dst(kW, kH, 32);
    for (auto _ : state) {
        std::memcpy(dst.Data(), src.Data(), src.ByteSize());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

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

// "View Final Image" with the background current; layer 1 is chosen again
// (untimed) before each round.
void BM_ViewFinalImage(benchmark::State& state) {
    Bench b;
    AddLayers(b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        ChooseLayer(b.ws, 1);
        state.ResumeTiming();
        ViewFinalImage(b.ws);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ViewFinalImage)->Args({10, 0})->Args({10, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

// The merge alone (no storing of the current layer, no thumbnail).
void BM_MergeLayers(benchmark::State& state) {
    Bench b;
    AddLayers(b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        MergeLayers(b.S());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MergeLayers)
    ->Args({10, 0})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
