// One preview step of each filter window on a 4000 x 3000 image, as the
// window runs it when a control moves (PreviewFilter: the document onto
// the display copy, the filter, the view refreshed), with one memcpy of the
// image as the yardstick. The values are those a user might set; the row's
// command-line syntax reads them.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "doc/checkerboard.h"
#include "doc/tab_change.h"
#include "effects/effect_arguments.h"
#include "effects/effects_table.h"
#include "effects/filter_framework.h"

using namespace pixora;

namespace {

// A workspace with the random picture open in slot 0.
struct Scene {
    Workspace ws;
    bench::QuietPort port;
    Scene() {
        ws.Port = &port;
        ws.CreateWorkBitmaps();
        ws.SysData.OpenCount = 0; // one image open
        TImages& s = ws.Images[0];
        s.InUse = 1;
        s.Bitmap = bench::RandomImage4000x3000();
        TabChange(ws);
        ws.DisplayCopy = s.Bitmap;
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_Memcpy(benchmark::State& state) {
    bench::MemcpyLoop(state, bench::RandomImage4000x3000());
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void PreviewStep(benchmark::State& state, const TEffectCall& call) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        if (!PreviewFilter(scene.ws, call.Row->Filter, call.Row->ReadsDocument, call.Values))
            state.SkipWithError("the filter did not run");
        benchmark::ClobberMemory();
    }
}

void RegisterPreviews() {
    const char* const calls[] = {
        "colour-adjust:30,-20,10",
        "channel-filter:red",
        "channel-transfer:G-R,50",
        "blur:5",
        "blur:20",
        "brightness:40",
        "contrast-filter:40",
        "colour-filter:20,200,20,200,20,200",
        "noise-filter:40",
        "pixelization:8,8",
        "posterize:64",
        "rough-blur:8,8,2",
        "saturation-filter:180",
        "sharpen-filter:10,50",
        "solarize:128",
        "grayscale",
    };
    for (const char* text : calls) {
        TEffectCall call;
        std::string error;
        if (!ParseEffectCall(text, EffectTable(), call, error) || !call.Row->Filter) continue;
        benchmark::RegisterBenchmark((std::string("BM_FilterPreview/") + text).c_str(),
                                     [call](benchmark::State& s) { PreviewStep(s, call); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

} // namespace

int main(int argc, char** argv) {
    RegisterPreviews();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
