#include "io/outside_files.h"

#include <filesystem>

#include "io/open_commands.h"

namespace fs = std::filesystem;

namespace pixora {

namespace {

// An absolute path without "." parts. ".." is kept: through a symbolic link
// it does not mean the folder the name suggests.
std::string AbsolutePath(const std::string& name, const std::string& workingDir) {
    const fs::path given(name);
    const fs::path full = given.is_absolute() ? given : fs::path(workingDir) / given;
    fs::path out;
    for (const fs::path& part : full)
        if (part != "." && !part.empty()) out /= part;
    return out.string();
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& workingDir) {
    TCommandLine result;
    bool help = false, version = false, optionsEnded = false;
    std::string unknown;
    for (const std::string& a : args) {
        if (optionsEnded || a.empty() || a[0] != '-') {
            if (!a.empty()) result.Files.push_back(AbsolutePath(a, workingDir));
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--version" || a == "-v") {
            version = true;
        } else if (unknown.empty()) {
            unknown = a;
        }
    }
    if (help)
        result.Action = TCommandLineAction::Help;
    else if (version)
        result.Action = TCommandLineAction::Version;
    else if (!unknown.empty()) {
        result.Action = TCommandLineAction::UsageError;
        result.Problem = "unknown option '" + unknown + "'";
    }
    return result;
}

std::string UsageLine() {
    return "Usage: pixora [--help] [--version] [FILE...]\n";
}

std::string HelpText() {
    return UsageLine() + "\n"
                         "Starts the Pixora image editor and opens each FILE in a tab of its own\n"
                         "(at most fifteen images are open at once).\n"
                         "\n"
                         "Options:\n"
                         "  -h, --help     show this text and exit\n"
                         "  -v, --version  show the version and exit\n"
                         "  --             the arguments that follow are file names\n"
                         "\n"
                         "The window system's own options (-style NAME, -platform NAME, ...) are\n"
                         "accepted as well.\n";
}

int OpenOutsideFiles(Workspace& ws, const std::vector<std::string>& paths, ReadAhead* ahead) {
    int opened = 0;
    for (const std::string& path : paths) {
        // Once fifteen are open the rest are left, said once.
        if (!RoomToOpen(ws)) break;
        if (LoadIntoNewSlot(ws, path, ahead) >= 0) ++opened;
    }
    return opened;
}

} // namespace pixora
