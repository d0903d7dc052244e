#include "doc/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef PIXORA_DATA_FROM_BIN
#define PIXORA_DATA_FROM_BIN "../share/pixora"
#endif

namespace fs = std::filesystem;

namespace pixora {

namespace {

std::string Variable(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

// A folder variable counts only when it holds an absolute path; otherwise
// the fallback under the home folder is used.
std::string XdgFolder(const std::string& value, const std::string& home, const char* fallback) {
    if (!value.empty() && value.front() == '/') return WithSlash(value);
    return WithSlash(home) + fallback;
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool Writable(const std::string& path) {
    return access(path.c_str(), W_OK | X_OK) == 0;
}

TProgramPaths ProgramFolderLayout(const std::string& exeDir) {
    const std::string bin = exeDir + "bin/";
    TProgramPaths p;
    p.Layout = TPathLayout::ProgramFolder;
    p.Resources = bin + "res/";
    p.Patterns = p.StarterPatterns = bin + "ptrns/";
    p.Brushes = p.StarterBrushes = bin + "brshs/";
    p.History = bin + "hstry/";
    p.Settings = bin + "save/";
    p.Recovery = bin + "save/recovery/";
    return p;
}

TProgramPaths DesktopLayout(const std::string& data, const TPathEnvironment& env) {
    TProgramPaths p;
    p.Layout = TPathLayout::Desktop;
    p.Resources = data + "res/";
    p.StarterPatterns = data + "ptrns/";
    p.StarterBrushes = data + "brshs/";
    const std::string config = XdgFolder(env.ConfigHome, env.Home, ".config/") + "pixora/";
    const std::string share = XdgFolder(env.DataHome, env.Home, ".local/share/") + "pixora/";
    const std::string state = XdgFolder(env.StateHome, env.Home, ".local/state/") + "pixora/";
    const std::string cache = XdgFolder(env.CacheHome, env.Home, ".cache/") + "pixora/";
    // Snapshots go to the cache folder on disk. The runtime folder is a RAM
    // disk sized at a small share of memory, which a few steps of a large
    // image would fill.
    p.History = cache + "hstry/";
    p.Settings = config;
    p.Patterns = share + "ptrns/";
    p.Brushes = share + "brshs/";
    p.Recovery = state + "recovery/";
    return p;
}

// Makes a folder and its missing parents; with ownerOnly, every folder made
// here is readable by the user alone.
void MakeFolder(const std::string& dir, bool ownerOnly) {
    std::error_code ec;
    fs::path made;
    for (const fs::path& part : fs::path(dir)) {
        made /= part;
        if (part.empty() || IsFolder(made.string())) continue;
        if (!fs::create_directory(made, ec)) return;
        if (ownerOnly) fs::permissions(made, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
}

// Copies the starter set into a library folder that does not exist yet. A
// library that exists, even empty, is the user's and is left alone.
void SeedLibrary(const std::string& library, const std::string& starter) {
    if (library == starter || IsFolder(library)) return;
    std::error_code ec;
    fs::create_directories(library, ec);
    if (ec || !IsFolder(starter)) return;
    for (const auto& entry : fs::directory_iterator(starter, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const fs::path name = entry.path().filename();
        if (name.string().front() == '.') continue;
        fs::copy_file(entry.path(), fs::path(library) / name, fs::copy_options::skip_existing, ec);
    }
}

} // namespace

TPathEnvironment ProcessPathEnvironment() {
    TPathEnvironment env;
    env.Home = Variable("HOME");
    if (env.Home.empty()) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
            env.Home = found->pw_dir;
    }
    env.ConfigHome = Variable("XDG_CONFIG_HOME");
    env.DataHome = Variable("XDG_DATA_HOME");
    env.StateHome = Variable("XDG_STATE_HOME");
    env.CacheHome = Variable("XDG_CACHE_HOME");
    env.RuntimeDir = Variable("XDG_RUNTIME_DIR");
    return env;
}

std::string InstalledDataFolder(const std::string& exeDir) {
    return WithSlash((fs::path(exeDir) / PIXORA_DATA_FROM_BIN).lexically_normal().string());
}

TProgramPaths ResolveProgramPaths(const std::string& exeDir, const TPathEnvironment& env) {
    const std::string dir = WithSlash(exeDir);
    const std::string bin = dir + "bin/";
    if (IsFolder(bin)) return Writable(bin) ? ProgramFolderLayout(dir) : DesktopLayout(bin, env);
    const std::string shared = InstalledDataFolder(dir);
    if (IsFolder(shared)) return DesktopLayout(shared, env);
    return Writable(dir) ? ProgramFolderLayout(dir) : DesktopLayout(shared, env);
}

void PrepareProgramFolders(const TProgramPaths& paths) {
    // Snapshots are copies of the user's images: in the desktop's shared
    // folders they are kept to the user.
    MakeFolder(paths.History, paths.Layout == TPathLayout::Desktop);
    MakeFolder(paths.Settings, false);
    SeedLibrary(paths.Patterns, paths.StarterPatterns);
    SeedLibrary(paths.Brushes, paths.StarterBrushes);
}

} // namespace pixora
