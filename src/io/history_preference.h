#pragma once
// The history budget as a preference: key "historymb" of the preference
// file's section "general", whole megabytes; missing, 0 or unreadable means
// the automatic budget (a quarter of the free space, at most 8 GB).

#include <cstdint>
#include <string>

#include "doc/workspace.h"

namespace pixora {

inline constexpr const char* kPrefHistoryBudget = "historymb";
// The largest budget that may be set, in megabytes (1 TB).
inline constexpr uint64_t kHistoryBudgetMaxMb = 1u << 20;

// The preference in megabytes (0 = automatic).
uint64_t ReadHistoryBudgetPreference(const Workspace& ws);
// Sets the workspace's budget from the preference file (start-up).
void ApplyHistoryBudgetPreference(Workspace& ws);
// Writes the preference and sets the budget. When the file cannot be
// written it stays as it was, the budget too, the window port is told
// "Could not save the preferences." with the reason, and the result is false.
bool SaveHistoryBudgetPreference(Workspace& ws, uint64_t megabytes);

} // namespace pixora
