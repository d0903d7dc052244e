#pragma once
// The shared sample corpus (../shared/corpus beside the source tree) and
// other outside inputs the tests need. On a developer's machine a missing
// one skips the test that needs it; under CI (CI=true) it fails the test,
// so that a run without them cannot pass for a full one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace pixora::testing {

inline bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

inline std::filesystem::path CorpusRoot() {
    return std::filesystem::path(PIXORA_SHARED_DIR) / "corpus";
}

// Photos from phones and cameras: HEIF, AVIF, WebP, JPEG XL, profiles, EXIF.
inline std::filesystem::path PhotosRoot() {
    return std::filesystem::path(PIXORA_SHARED_DIR) / "photos";
}

// A manifest of corpus files beside the tests: "path | field | field ..."
// per line, "#" lines are comments. Each path with its fields; none when
// the file is missing.
inline std::map<std::string, std::vector<std::string>> ReadManifest(const std::string& file) {
    std::map<std::string, std::vector<std::string>> lines;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t bar; (bar = line.find(" | ", from)) != std::string::npos; from = bar + 3)
            fields.push_back(line.substr(from, bar - from));
        fields.push_back(line.substr(from));
        if (fields.size() < 2) continue;
        const std::string path = fields.front();
        fields.erase(fields.begin());
        lines[path] = fields;
    }
    return lines;
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
