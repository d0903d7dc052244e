#include "io/recent_files.h"

#include <filesystem>
#include <vector>

#include "io/text_lines.h"

namespace pixora {

namespace {

// A line we can show in a menu: not empty, no control characters and valid
// UTF-8.
bool Readable(const std::string& s) {
    if (s.empty()) return false;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) return false;
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0) return false;
        if (extra > 0 && i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 0x2) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// Ten paths of at most the longest path the system takes; a bigger file is
// not a list we wrote and is ignored.
constexpr std::size_t kMaxRecentPathBytes = 4096;
constexpr std::size_t kMaxRecentFilesBytes = kRecentFileCount * (kMaxRecentPathBytes + 2);

} // namespace

std::string RecentFilesPath(const Workspace& ws) {
    return ws.Paths().RecentFilesFile();
}

int LoadRecentFiles(Workspace& ws) {
    auto& list = ws.ToolVars.RecentFiles;
    for (auto& e : list)
        e.clear();
    int count = 0;
    for (const std::string& line : ReadSmallTextFile(RecentFilesPath(ws), kMaxRecentFilesBytes)) {
        if (count == kRecentFileCount) break;
        if (line.size() > kMaxRecentPathBytes || !Readable(line)) continue;
        list[static_cast<std::size_t>(count++)] = line;
    }
    return count;
}

bool AddRecentFile(Workspace& ws, const std::string& path) {
    auto& list = ws.ToolVars.RecentFiles;
    for (const auto& e : list)
        if (!e.empty() && e == path) return true;
    const std::string file = RecentFilesPath(ws);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    std::vector<std::string> lines{path};
    for (int i = 0; i < kRecentFileCount - 1; ++i)
        if (!list[static_cast<std::size_t>(i)].empty()) lines.push_back(list[static_cast<std::size_t>(i)]);
    std::string error;
    const bool ok = WriteSmallTextFile(file, lines, &error);
    if (!ok) ws.Port->ReportProblem("Could not update the list of recent files.", error);
    LoadRecentFiles(ws);
    return ok;
}

} // namespace pixora
