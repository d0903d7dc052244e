#include "io/history_preference.h"

#include <algorithm>
#include <charconv>

#include "history/history_budget.h"
#include "io/preferences.h"

namespace pixora {

uint64_t ReadHistoryBudgetPreference(const Workspace& ws) {
    const std::string text = ReadPreference(ws, kPrefHistoryBudget);
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
    if (!WritePreferences(ws, {{kPrefHistoryBudget, std::to_string(megabytes)}})) return false;
    SetHistoryBudget(ws, megabytes << 20);
    return true;
}

} // namespace pixora
