// Display-copy costs on a 4000 x 3000 image, measured against one plain
// memcpy of the same bytes: the checkerboard blend (half the pixels partly
// transparent), the plain copy made while a pointer drag is in progress, and
// one repaint of the visible part of the view (835 x 474, the view of a
// 1000 x 700 main window) at 25 %, 100 % and 400 %.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstring>
#include <random>

#include "doc/checkerboard.h"

using namespace pixora;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct Scene {
    Bitmap Image{kWidth, kHeight};
    Bitmap Checker;
    Bitmap Display{kWidth, kHeight};

    Scene() {
        std::mt19937 rng(1);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* p = Image.Row(y);
            for (int x = 0; x < kWidth; ++x, p += 4) {
                const unsigned v = rng();
                p[0] = static_cast<uint8_t>(v);
                p[1] = static_cast<uint8_t>(v >> 8);
                p[2] = static_cast<uint8_t>(v >> 16);
                // Half the pixels partly transparent, scattered at random.
                p[3] = (v >> 31) ? static_cast<uint8_t>(1 + (v >> 24) % 255) : 0;
            }
        }
        BuildCheckerboard(Checker, kWidth, kHeight);
        std::memset(Display.Data(), 0, Display.ByteSize());
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// Times one pass of `op` over the scene, counting the image's bytes.
template <class Op>
void TimeOverScene(benchmark::State& state, Op op) {
    Scene& s = TheScene();
    for (auto _ : state) {
        op(s);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.Image.ByteSize()));
}

void BM_Memcpy(benchmark::State& state) {
    TimeOverScene(state, [](Scene& s) { std::memcpy(s.Display.Data(), s.Image.Data(), s.Image.ByteSize()); });
}

void BM_DisplayCopyBlend(benchmark::State& state) {
    TimeOverScene(state, [](Scene& s) { MakeDisplayCopy(s.Image, s.Checker, s.Display, true); });
}

void BM_DisplayCopyDrag(benchmark::State& state) {
    TimeOverScene(state, [](Scene& s) { MakeDisplayCopy(s.Image, s.Checker, s.Display, false); });
}

void BM_BuildCheckerboard(benchmark::State& state) {
    Bitmap checker;
    for (auto _ : state) {
        BuildCheckerboard(checker, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
}

// The picture control scales only the exposed part of the display copy:
// a nearest-pixel drawImage from the matching source rectangle (here the
// top-left of the image, which fits at every zoom measured).
void BM_RepaintVisible(benchmark::State& state) {
    Scene& s = TheScene();
    const double scale = static_cast<double>(state.range(0)) / 100;
    const QImage shown(s.Display.Data(), kWidth, kHeight, static_cast<qsizetype>(s.Display.Stride()),
                       QImage::Format_RGB32);
    QImage view(835, 474, QImage::Format_RGB32);
    const QRectF source(0, 0, view.width() / scale, view.height() / scale);
    for (auto _ : state) {
        QPainter p(&view);
        p.drawImage(QRectF(view.rect()), shown, source);
        p.end();
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_RepaintVisible)->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayCopyBlend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayCopyDrag)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCheckerboard)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
