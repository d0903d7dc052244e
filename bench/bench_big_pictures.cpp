// Big pictures (24, 45 and 100 megapixels, the first argument of every row)
// as a user meets them: the histogram window's change of plane, a fast
// stamp-brush move, the rotate window's preview of an angle, a press's
// copies before its first dot, a stroke's release up to the next press's
// first dot, the view's display copy after an edit, opening a camera's JPEG
// (the read alone, and into a slot as the Open command does), and the
// memcpy of the image the figures stand beside.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>

#include "bench_support.h"
#include "doc/checkerboard.h"
#include "doc/display_copy.h"
#include "effects/colour/histogram.h"
#include "effects/colour/planes.h"
#include "history/geometry_commands.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/open_commands.h"
#include "tools/brushes/spray_rule.h"
#include "tools/brushes/stroke_path.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_options.h"
#include "tools/tool_set.h"
#include "tools/tool_table.h"

using namespace pixora;

namespace {

// Width and height of a picture of about `mp` megapixels: a camera's 6000 x
// 4000, a 45 MP camera's 8256 x 5504, a 100 MP panorama's 12500 x 8000.
std::pair<int, int> SizeOf(int mp) {
    if (mp <= 24) return {6000, 4000};
    if (mp <= 45) return {8256, 5504};
    return {12500, 8000};
}

// A photograph-like picture: smooth colour gradients with noise, the same
// every run, 32 bits (the histogram's copy is 24).
const Bitmap& Picture(int mp, int bits) {
    static std::map<std::pair<int, int>, Bitmap> made;
    auto it = made.find({mp, bits});
    if (it != made.end()) return it->second;
    const auto [w, h] = SizeOf(mp);
    Bitmap b(w, h, 32);
    std::mt19937 rng(7);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < w; ++x, p += 4) {
            const uint32_t n = static_cast<uint32_t>(rng());
            p[0] = static_cast<uint8_t>(x * 255 / w + (n & 15));
            p[1] = static_cast<uint8_t>(y * 255 / h + ((n >> 4) & 15));
            p[2] = static_cast<uint8_t>((x + y) * 127 / (w + h) + ((n >> 8) & 63));
            p[3] = 0;
        }
    }
    b.SetBitsPerPixel(bits);
    return made.emplace(std::pair{mp, bits}, std::move(b)).first->second;
}

void BM_Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, Picture(static_cast<int>(state.range(0)), 32));
}

// What the histogram window does when a plane is chosen: the counts, and
// the picture of the plane made ready for the view (32 bits).
void BM_HistogramPlane(benchmark::State& state) {
    const Bitmap& work = Picture(static_cast<int>(state.range(0)), 24);
    const int plane = static_cast<int>(state.range(1));
    for (auto _ : state) {
        THistogram histogram;
        Bitmap picture = HistogramAndPlaneImage(work, plane, true, false, histogram);
        picture.SetBitsPerPixel(32);
        benchmark::DoNotOptimize(histogram.Counts.data());
        benchmark::ClobberMemory();
    }
}

// One pointer move of a fast spray drag: 120 pixels since the event before,
// each stamped (diameter 32), then the view's copy made as while the button
// is held. The stamps are the brush's own share of the frame.
void BM_FastSprayMove(benchmark::State& state, bool display) {
    Bitmap image = Picture(static_cast<int>(state.range(0)), 32), checker, shown;
    BuildCheckerboard(checker, image.Width(), image.Height());
    const SelectionEditTest all;
    TPoint at{100, 100};
    for (auto _ : state) {
        const TPoint to{100 + (at.X + 120 - 100) % 2000, 100 + (at.Y + 40 - 100) % 2000};
        StampAlong(at, to, [&](TPoint p) { SprayStamp(image, {p.X, p.Y, 32}, {128, true}, 0xFF, all); });
        at = to;
        if (display) MakeDisplayCopy(image, checker, shown, false);
        benchmark::ClobberMemory();
    }
}
void BM_FastSprayStamps(benchmark::State& state) {
    BM_FastSprayMove(state, false);
}
void BM_FastSprayFrame(benchmark::State& state) {
    BM_FastSprayMove(state, true);
}

// The rotate window's preview of a new angle as it is made: the reduced copy
// made when the window opens turned, then fitted into the view's frame.
void BM_RotatePreview(benchmark::State& state) {
    TRotatePreview preview;
    StartRotatePreview(Picture(static_cast<int>(state.range(0)), 32), preview);
    Bitmap frame;
    int angle = 30;
    for (auto _ : state) {
        if (!ShowRotatePreview(preview, {TRotateAction::Angle, static_cast<double>(angle), 0xFFFFFF}, frame))
            state.SkipWithError("refused");
        angle = angle == 30 ? 31 : 30;
        benchmark::ClobberMemory();
    }
}

// What the rotate window does once when it opens: the reduced copy.
void BM_RotatePreviewStart(benchmark::State& state) {
    const Bitmap& image = Picture(static_cast<int>(state.range(0)), 32);
    for (auto _ : state) {
        TRotatePreview preview;
        StartRotatePreview(image, preview);
        benchmark::DoNotOptimize(preview.Reduced.Row(0));
    }
}

// The copies a painting press makes before its first dot: the image as it
// was (for the step) and the stroke base. Second argument 0: fresh copies,
// whose pages the system clears first; 1: into the buffers the last press
// left, as the press makes them.
void BM_PressCopies(benchmark::State& state) {
    const Bitmap& image = Picture(static_cast<int>(state.range(0)), 32);
    const bool reuse = state.range(1) != 0;
    Bitmap before, base;
    for (auto _ : state) {
        if (reuse) {
            CopyBitmapInto(image, before);
            CopyBitmapInto(image, base);
        } else {
            before = image;
            base = image;
        }
        benchmark::DoNotOptimize(before.Row(0));
        benchmark::DoNotOptimize(base.Row(0));
        benchmark::ClobberMemory();
        if (!reuse) {
            before = Bitmap();
            base = Bitmap();
        }
    }
}

// The pen 20 pixels wide.
class PenPort : public bench::QuietPort {
public:
    int ToolOption(TOpt id) const override { return id == TOpt::PenSize ? 20 : 0; }
};

// From a pen stroke's release to the first dot of the next press: the
// release stores the step (and, as the window does once the release is
// handled, the image as it is, and the tools give their scratch back, so
// the press makes its stroke base and overlay afresh). Second argument 1: as the editor does, the
// files written behind by the step writer; 0: waiting for them before the
// next press, as a release that wrote its step itself did.
void BM_ReleaseToNextDot(benchmark::State& state) {
    PenPort port;
    bench::TScratchWorkspace b(port, Picture(static_cast<int>(state.range(0)), 32));
    b.ws.Images[0].Tool = ToolPen;
    const bool behind = state.range(1) != 0;
    int i = 0;
    PointerDown(b.ws, 100, 100, 0);
    for (auto _ : state) {
        const int y = 100 + (i++ % 300) * 10;
        PointerMove(b.ws, 600, y);
        PointerUp(b.ws, 600, y);
        StoreNewestState(b.ws, 0);
        RestTools(b.ws);
        if (!behind) WaitForStoredSteps(b.ws);
        PointerDown(b.ws, 100, y + 5, 0);
        benchmark::ClobberMemory();
    }
    PointerUp(b.ws, 100, 100);
    WaitForStoredSteps(b.ws);
    if (b.ws.Images[0].HistoryCount < 2) state.SkipWithError("the strokes stored no steps");
}

// The view's display copy after an edit. Second argument 0: made again into
// the storage it kept, as every refresh of the whole view did before the
// copy was given back at rest (while it rests a refresh makes nothing); 1: a
// tool that draws on the view (the pen's marks) has the copy made again into
// fresh pages, and once its edit is stored the copy is compared with the
// image and given back.
void BM_DisplayCopyRest(benchmark::State& state) {
    bench::QuietPort port;
    bench::TScratchWorkspace b(port, Picture(static_cast<int>(state.range(0)), 32));
    const bool rests = state.range(1) != 0;
    for (auto _ : state) {
        if (rests) {
            DisplayCopyToDrawOn(b.ws);
            if (!RestDisplayCopy(b.ws)) state.SkipWithError("the copy was kept");
        } else {
            MakeDisplayCopy(b.ws.Images[0].Bitmap, b.ws.Checkerboard.Bitmap, b.ws.DisplayCopy, true);
        }
        benchmark::ClobberMemory();
    }
}

// A JPEG (quality 90, 4:4:4) of the picture, written once per run.
const std::string& JpegOf(int mp) {
    static std::map<int, std::string> written;
    auto it = written.find(mp);
    if (it != written.end()) return it->second;
    const std::string path =
        (std::filesystem::temp_directory_path() / ("pixora-bench-" + std::to_string(mp) + "mp.jpg")).string();
    SaveOptions o;
    o.JpegQuality = 90;
    WriteImageFile(path, Picture(mp, 32), FormatFromExtension(path), o);
    return written.emplace(mp, path).first->second;
}

// The JPEG read as the Open command reads it.
void BM_OpenJpegRead(benchmark::State& state) {
    const std::string& path = JpegOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Bitmap b = LoadImageFile(path, FormatFromExtension(path));
        benchmark::DoNotOptimize(b.Row(0));
    }
}

// The whole Open command without a window: the read, the slot and its
// work bitmaps, then the image closed again.
void BM_OpenJpegIntoSlot(benchmark::State& state) {
    const std::string& path = JpegOf(static_cast<int>(state.range(0)));
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "pixora-bench-open";
    std::filesystem::create_directories(root);
    for (auto _ : state) {
        Workspace ws;
        bench::QuietPort port;
        ws.SysData.ExeDir = root.string() + "/";
        ws.Port = &port;
        ws.CreateWorkBitmaps();
        if (LoadIntoNewSlot(ws, path) < 0) state.SkipWithError("not opened");
        benchmark::DoNotOptimize(ws.Images[0].Bitmap.Row(0));
        ws.Port = nullptr;
    }
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}

} // namespace

#define BIG_ROW(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()

BIG_ROW(BM_Memcpy)->Arg(24)->Arg(45)->Arg(100);
// RGB composite, hue (HSV), hue and saturation (HLS), black (CMYK).
BIG_ROW(BM_HistogramPlane)->ArgsProduct({{24, 45, 100}, {0, 4, 7, 9, 13}});
BIG_ROW(BM_FastSprayStamps)->Arg(24)->Arg(45)->Arg(100);
BIG_ROW(BM_FastSprayFrame)->Arg(24)->Arg(45)->Arg(100);
BIG_ROW(BM_RotatePreview)->Arg(24)->Arg(45)->Arg(100);
BIG_ROW(BM_RotatePreviewStart)->Arg(24)->Arg(45)->Arg(100);
BIG_ROW(BM_PressCopies)->ArgsProduct({{24, 45, 100}, {0, 1}});
BIG_ROW(BM_ReleaseToNextDot)->ArgsProduct({{24, 45, 100}, {0, 1}})->Iterations(20);
BIG_ROW(BM_DisplayCopyRest)->ArgsProduct({{24, 45, 100}, {0, 1}});
BIG_ROW(BM_OpenJpegRead)->Arg(24)->Arg(45)->Arg(100);
BIG_ROW(BM_OpenJpegIntoSlot)->Arg(24)->Arg(45)->Arg(100);
BENCHMARK_MAIN();
