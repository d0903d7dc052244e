#include "io/history_preference.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "history/history_budget.h"
#include "io/ini_file.h"
#include "io/tips.h"

namespace pixora {

uint64_t ReadHistoryBudgetPreference(const Workspace& ws) {
    const std::string text = ReadIniValue(ws.Paths().PreferencesFile(), kPrefSection, kPrefHistoryBudget);
    uint64_t mb = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), mb);
    if (ec != std::errc() || end != text.data() + text.size()) return 0;
    return std::min(mb, kHistoryBudgetMaxMb);
}

void ApplyHistoryBudgetPreference(Workspace& ws) {
    SetHistoryBudget(ws, ReadHistoryBudgetPreference(ws) << 20);
}

bool SaveHistoryBudgetPreference(Workspace& ws, uint64_t megabytes) {
    megabytes = std::min(megabytes, kHistoryBudgetMaxMb);
    const std::string file = ws.Paths().PreferencesFile();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    std::string error;
    if (!WriteIniValues(file, kPrefSection, {{kPrefHistoryBudget, std::to_string(megabytes)}}, &error)) {
        ws.Port->ReportProblem("Could not save the preferences.", error);
        return false;
    }
    SetHistoryBudget(ws, megabytes << 20);
    return true;
}

} // namespace pixora
