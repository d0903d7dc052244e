#pragma once
// How much disk the undo steps may take. Past the budget a push drops the
// oldest steps of its image, with a note in the status bar; the step just
// stored is never dropped. A step that alone is larger than the whole
// budget cannot be kept: the edit is then made without it, after asking.

#include <cstdint>
#include <string>

#include "doc/workspace.h"

namespace pixora {

inline constexpr uint64_t kHistoryBudgetCap = 8ull << 30;

// The most bytes this running copy's snapshots may take; 0 (the default)
// means a quarter of the free space of their disk, at most 8 GB.
void SetHistoryBudget(Workspace& ws, uint64_t bytes);
uint64_t HistoryBudget(Workspace& ws);
// The budget as set: 0 for the automatic one.
uint64_t HistoryBudgetSetting(Workspace& ws);

// "12 MB", rounded up.
std::string Megabytes(uint64_t bytes);

// After the steps of a slot up to HistoryCount were written: drops the
// oldest of them while the folder holds more than the budget, never the
// newest; a newest step larger than the budget alone is reported and every
// step of the slot forgotten.
void KeepWithinBudget(Workspace& ws, int slot);

// Whether a step of `bytes` may be stored at all. When it may not, asks the
// user whether to make the edit without it: true when the answer is Yes (the
// slot's steps are then forgotten), false for No.
bool StepMayGoOn(Workspace& ws, int slot, uint64_t bytes, bool& fits);

// Forgets every step of a slot (its files and counters); the image stays.
void ForgetSlotHistory(Workspace& ws, int slot);

} // namespace pixora
