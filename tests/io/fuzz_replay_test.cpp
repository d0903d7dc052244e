// The fuzz targets replayed in every build: each reader over the samples
// that seed its fuzzer and over the inputs its fuzzer once found to crash,
// hang or over-allocate (tests/data/fuzz/<target>/). Every input ends in a
// picture or a refusal with a message; the sanitizer build watches each
// access. A regression input is refused unless its name begins "opens".

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "fuzz/fuzz_targets.h"
#include "io_test_support.h"
#include "support/corpus.h"

using namespace pixora;
using namespace pixora::fuzz;
using namespace pixora::testing;
namespace fs = std::filesystem;

TEST(FuzzReplay, EveryTargetOverItsSeedsAndRegressionInputs) {
    PIXORA_NEED_FOLDER(CorpusRoot());
    const std::string regressions = std::string(PIXORA_TEST_DATA_DIR) + "/fuzz";
    int regressionInputs = 0;
    for (const TFuzzTarget& target : FuzzTargets()) {
        int opened = 0, refused = 0;
        for (const std::string& folder : SeedFolders(target, CorpusRoot().string(), regressions)) {
            const bool regression = folder.rfind(regressions, 0) == 0;
            if (!fs::is_directory(folder)) {
                EXPECT_TRUE(regression) << target.Name << ": no seed folder " << folder;
                continue;
            }
            std::vector<fs::path> files;
            for (const auto& e : fs::recursive_directory_iterator(folder))
                if (e.is_regular_file()) files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const fs::path& file : files) {
                const auto bytes = ReadBytes(file.string());
                const TFuzzResult r = RunFuzzInput(target, bytes.data(), bytes.size());
                EXPECT_NE(r.Outcome, TFuzzOutcome::Fault) << target.Name << " " << file << ": " << r.Detail;
                (r.Outcome == TFuzzOutcome::Opened ? opened : refused)++;
                if (!regression) continue;
                ++regressionInputs;
                const bool opens = file.filename().string().rfind("opens", 0) == 0;
                EXPECT_EQ(r.Outcome, opens ? TFuzzOutcome::Opened : TFuzzOutcome::Refused)
                    << target.Name << " " << file << ": " << r.Detail;
            }
        }
        EXPECT_GT(opened, 0) << target.Name << " opened none of its seeds";
        std::printf("  %-8s opened %4d, refused %4d\n", target.Name, opened, refused);
    }
    EXPECT_GT(regressionInputs, 0);
}
