// A libFuzzer program for one target of the table (PIXORA_FUZZ_TARGET).
// `fuzz_<name> --seeds` prints the folders that seed it, one per line;
// `fuzz_<name> --dictionary` the file of its format's tokens, if it has one.
//
// `fuzz_<name> --max-pixels` the largest picture its readers accept here.
//
// The readers refuse pictures above the target's limit here (2^16 pixels for
// most, PIXORA_FUZZ_MAX_PIXELS, which the fuzz build alone heeds): a
// picture near the program's largest size takes a second to fill under the
// sanitizers and the comparison tracing, which leaves a campaign a few
// hundred executions where it needs a million, and the parsers' paths are
// the same for small pictures. Set the variable to another number before
// starting a program to fuzz at that limit (0: the program's own).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_targets.h"

using namespace pixora::fuzz;

namespace {

const TFuzzTarget& Target() {
    const TFuzzTarget* t = FindFuzzTarget(PIXORA_FUZZ_TARGET);
    if (!t) {
        std::fprintf(stderr, "no fuzz target named %s\n", PIXORA_FUZZ_TARGET);
        std::abort();
    }
    return *t;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (*argc == 2 && std::strcmp((*argv)[1], "--seeds") == 0) {
        for (const std::string& f : SeedFolders(Target(), PIXORA_CORPUS_DIR, PIXORA_REGRESSION_DIR))
            std::printf("%s\n", f.c_str());
        std::exit(0);
    }
    if (*argc == 2 && std::strcmp((*argv)[1], "--dictionary") == 0) {
        if (*Target().Dictionary) std::printf("%s/%s\n", PIXORA_DICTIONARY_DIR, Target().Dictionary);
        std::exit(0);
    }
    if (*argc == 2 && std::strcmp((*argv)[1], "--max-pixels") == 0) {
        std::printf("%lld\n", static_cast<long long>(Target().MaxPixels));
        std::exit(0);
    }
    setenv("PIXORA_FUZZ_MAX_PIXELS", std::to_string(Target().MaxPixels).c_str(), 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TFuzzResult r = RunFuzzInput(Target(), data, size);
    if (r.Outcome == TFuzzOutcome::Fault) {
        std::fprintf(stderr, "fault in fuzz target %s: %s\n", PIXORA_FUZZ_TARGET, r.Detail.c_str());
        std::abort();
    }
    return 0;
}
