#pragma once
// Pieces the benchmarks share: a window port that shows one slot and does
// nothing else, and the memcpy yardstick every ratio is measured against.

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <string>

#include <cstdlib>
#include <filesystem>

#include "doc/bitmap.h"
#include "doc/slots.h"
#include "doc/window_port.h"
#include "doc/workspace.h"

namespace pixora::bench {

// Slot 0 is always the active page; every window request is a no-op and an
// error report ends the benchmark, since a measured run must not fail.
class QuietPort : public NoWindowPort {
public:
    int ActivePage() const override { return 0; }
    void ReportError(int, const std::string& detail) override { throw std::runtime_error(detail); }
    void ReportProblem(const std::string& headline, const std::string&) override {
        throw std::runtime_error(headline);
    }
};

// The 4000 x 3000 32-bit image of random bytes the effect benchmarks time.
inline const Bitmap& RandomImage4000x3000() {
    static const Bitmap image = [] {
        Bitmap b(4000, 3000, 32);
        std::mt19937 rng(7);
        for (int y = 0; y < b.Height(); ++y) {
            uint32_t* p = reinterpret_cast<uint32_t*>(b.Row(y));
            for (int x = 0; x < b.Width(); ++x)
                p[x] = static_cast<uint32_t>(rng());
        }
        return b;
    }();
    return image;
}

// One memcpy of `src` per iteration into a bitmap of its size.
inline void MemcpyLoop(benchmark::State& state, const Bitmap& src) {
    Bitmap b(src.Width(), src.Height(), src.BitsPerPixel());
    for (auto _ : state) {
        std::memcpy(b.Data(), src.Data(), src.ByteSize());
        benchmark::ClobberMemory();
    }
}

// A workspace whose program folder is a fresh temporary folder (removed
// with it), showing `picture` in slot 0 with every work bitmap its size.
struct TScratchWorkspace {
    std::string root;
    Workspace ws;
    TScratchWorkspace(WindowPort& port, const Bitmap& picture) {
        char tmpl[] = "/tmp/pixora-bench-XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp");
        root = tmpl;
        ws.SysData.ExeDir = root + "/";
        ws.Port = &port;
        ws.CreateWorkBitmaps();
        SlotSource src;
        src.FromFile = true;
        FillSlot(ws, ClaimSlot(ws), Bitmap(picture), src);
        for (TWorkBitmap* w : ws.ImageSizedWorkBitmaps()) {
            w->Bitmap.SetSize(picture.Width(), picture.Height());
            w->Refill();
        }
    }
    ~TScratchWorkspace() {
        ws.Port = nullptr;
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

} // namespace pixora::bench
