#pragma once
// Folders and processes for tests: a scratch folder of the test's own, a
// program folder in one, the names a folder holds (hidden temporary files
// included) and the id of a process that has ended.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace pixora::testing {

// A fresh folder under the system temp folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pixora-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        path_ = tmpl;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A program folder (ExeDir) of the test's own: with its settings and history
// folders bin/save and bin/hstry made, or bare for tests of what makes them.
class ScratchProgramFolder : public ScratchDir {
public:
    enum TKind { Made, Bare };
    explicit ScratchProgramFolder(TKind kind = Made) {
        if (kind == Bare) return;
        std::filesystem::create_directories(Path() / "bin/save");
        std::filesystem::create_directories(Path() / "bin/hstry");
    }
    // The folder as ExeDir holds it, with its final slash.
    std::string ExeDir() const { return Path().string() + "/"; }
};

// The names of the entries of a folder, sorted; none when it is missing.
inline std::vector<std::string> FolderNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The id of a process that has ended and been reaped.
inline long EndedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<long>(child);
}

} // namespace pixora::testing
