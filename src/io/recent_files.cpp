#include "io/recent_files.h"

#include "io/codecs/image_codecs.h"

#include <filesystem>
#include <fstream>

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

} // namespace

std::string RecentFilesPath(const Workspace& ws) { return ws.Paths().RecentFilesFile(); }

int LoadRecentFiles(Workspace& ws) {
    auto& list = ws.ToolVars.RecentFiles;
    for (auto& e : list) e.clear();
    std::ifstream in(RecentFilesPath(ws), std::ios::binary);
    if (!in) return 0;
    int count = 0;
    std::string line;
    while (count < kRecentFileCount && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!Readable(line)) continue;
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
    std::string text = path + "\r\n";
    for (int i = 0; i < kRecentFileCount - 1; ++i)
        if (!list[static_cast<std::size_t>(i)].empty()) text += list[static_cast<std::size_t>(i)] + "\r\n";
    bool ok = true;
    try {
        WriteWholeFile(file, text);
    } catch (const std::exception& e) {
        ok = false;
        if (ws.Port) ws.Port->ReportProblem("Could not update the list of recent files.", e.what());
    }
    LoadRecentFiles(ws);
    return ok;
}

} // namespace pixora
