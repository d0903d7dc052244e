// The filter windows' preview step and the quick-effect rows as their frame
// runs them, on the 4000 x 3000 image, beside one memcpy of it.
//
// A preview is what every slider movement costs: the document drawn onto
// the display copy, the effect run there (PreviewFilter). A quick row is
// the scratch copy of the document and the rule (the history snapshot the
// command also stores is the history store's cost, timed in bench_history).
//
//   bench_filters --benchmark_filter=Preview
#include <map>
#include <string>

#include "bench_support.h"
#include "doc/checkerboard.h"
#include "doc/workspace.h"
#include "effects/effect_arguments.h"
#include "effects/effects_table.h"
#include "effects/filter_framework.h"

using namespace pixora;

namespace {

// Each filter at a setting a user would pick, and at its dearest one.
const std::multimap<std::string, std::string> kPreviews = {
    {"colour-adjust", "colour-adjust:40,-30,20"},
    {"channel-filter", "channel-filter:red"},
    {"channel-transfer", "channel-transfer:G-R,50"},
    {"blur", "blur:1"},
    {"blur", "blur:20"},
    {"brightness", "brightness:40"},
    {"contrast-filter", "contrast-filter:80"},
    {"colour-filter", "colour-filter:20,200,20,200,20,200"},
    {"noise-filter", "noise-filter:60"},
    {"pixelization", "pixelization:8,8"},
    {"pixelization", "pixelization:2,2,star5,solid"},
    {"posterize", "posterize:40"},
    {"rough-blur", "rough-blur:8,8,1"},
    {"rough-blur", "rough-blur:2,2,5,qualitative,cross,solid"},
    {"saturation-filter", "saturation-filter:120"},
    {"sharpen-filter", "sharpen-filter:10,50"},
    {"solarize", "solarize:100"},
    {"grayscale", "grayscale:rgb"},
};

struct TOpenImage {
    Workspace ws;
    bench::QuietPort port;
    TOpenImage() {
        ws.Port = &port;
        ws.SysData.OpenCount = 0;
        TImages& s = ws.Images[0];
        s.Bitmap = bench::RandomImage4000x3000();
        FillRowTable(s.Bitmap, s.Rows);
        CopyBitmapInto(s.Bitmap, ws.DisplayCopy);
        ws.FilterWork.Bitmap = s.Bitmap;
        ws.FilterWork.Refill();
    }
};

TOpenImage& Image() {
    static TOpenImage image;
    return image;
}

void Preview(benchmark::State& state, TEffectCall call) {
    Workspace& ws = Image().ws;
    for (auto _ : state)
        PreviewFilter(ws, call.Row->Filter, call.Row->ReadsDocument, call.Values);
}

void QuickRow(benchmark::State& state, const TEffectRow* row) {
    Workspace& ws = Image().ws;
    TImages& s = ws.Images[0];
    const Bitmap original = s.Bitmap;
    TEffectSettings settings;
    for (auto _ : state) {
        state.PauseTiming();
        CopyBitmapInto(original, s.Bitmap);
        state.ResumeTiming();
        CopyBitmapInto(s.Bitmap, ws.FilterWork.Bitmap);
        row->Operation({s.Bitmap, ws.FilterWork.Bitmap, SelectionEditTest::PassAll(), settings});
        benchmark::ClobberMemory();
    }
    CopyBitmapInto(original, s.Bitmap);
}

void Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, bench::RandomImage4000x3000());
}

} // namespace

int main(int argc, char** argv) {
    auto timed = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
    };
    timed(benchmark::RegisterBenchmark("BM_Memcpy", Memcpy));
    for (const auto& [name, text] : kPreviews) {
        TEffectCall call;
        std::string error;
        if (!ParseEffectCall(text, CommandLineEffects(), call, error) || !call.Row->Filter) {
            std::fprintf(stderr, "%s: %s\n", text.c_str(), error.c_str());
            return 1;
        }
        timed(benchmark::RegisterBenchmark(("BM_FilterPreview/" + text).c_str(), Preview, call));
    }
    for (const TEffectRow& row : EffectTable())
        if (row.Operation)
            timed(benchmark::RegisterBenchmark(("BM_QuickRow/" + std::string(row.CommandName)).c_str(),
                                               QuickRow, &row));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
