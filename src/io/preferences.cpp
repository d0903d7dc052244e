#include "io/preferences.h"

#include <filesystem>

#include "io/ini_file.h"

namespace pixora {

std::string ReadPreference(const Workspace& ws, const char* key) {
    return ReadIniValue(ws.Paths().PreferencesFile(), kPrefSection, key);
}

bool WritePreferences(const Workspace& ws,
                      const std::vector<std::pair<std::string, std::string>>& values) {
    const std::string file = ws.Paths().PreferencesFile();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    std::string error;
    if (WriteIniValues(file, kPrefSection, values, &error)) return true;
    ws.Port->ReportProblem("Could not save the preferences.", error);
    return false;
}

bool OpenAtFullSize(const Workspace& ws) {
    return ReadPreference(ws, kPrefOpenFullSize) == "TRUE";
}

bool SetOpenAtFullSize(const Workspace& ws, bool on) {
    return WritePreferences(ws, {{kPrefOpenFullSize, on ? "TRUE" : "FALSE"}});
}

} // namespace pixora
