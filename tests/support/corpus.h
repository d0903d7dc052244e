#pragma once
// The shared sample corpus (../shared/corpus beside the source tree) and
// other outside inputs the tests need. On a developer's machine a missing
// one skips the test that needs it; under CI (CI=true) it fails the test,
// so that a run without them cannot pass for a full one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace pixora::testing {

inline bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

inline std::filesystem::path CorpusRoot() {
    return std::filesystem::path(PIXORA_SHARED_DIR) / "corpus";
}

} // namespace pixora::testing

// Skips the test (fails it under CI) unless `present` holds.
#define PIXORA_NEED(present, what)                                                                           \
    do {                                                                                                     \
        if (!(present)) {                                                                                    \
            if (::pixora::testing::UnderCi()) FAIL() << "missing under CI: " << what;                        \
            GTEST_SKIP() << "missing: " << what;                                                             \
        }                                                                                                    \
    } while (0)

// Skips the test (fails it under CI) unless the folder exists.
#define PIXORA_NEED_FOLDER(dir) PIXORA_NEED(std::filesystem::is_directory(dir), (dir))
