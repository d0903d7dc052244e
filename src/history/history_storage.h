#pragma once
// What the undo store keeps per workspace besides the files: the state of
// each slot's newest snapshot, the budget, and the writer the files go
// through. Shared by the store's own units only.

#include <cstdint>
#include <map>

#include "doc/workspace.h"
#include "history/step_writer.h"

namespace pixora {

// The state of the newest snapshot a slot wrote, so that the next one can
// store only the tiles that differ from it. Index -1: nothing kept. While
// the snapshot's file is being written behind, the writer reads Image: it
// changes only after the writer has finished.
struct TSlotBase {
    Bitmap Image;
    int Index = -1;
    // Image was given back while snapshot Index held the image on screen
    // (DropKeptState): the next step of that number finds it stored.
    bool OnFileOnly = false;
};

struct THistoryStorage final : WorkspaceExtension {
    std::map<int, TSlotBase> Bases;
    uint64_t Budget = 0;
    // At least what the folder holds: its size when last counted plus what
    // was written since. The folder is counted again only when this passes
    // the budget, so a long history is not listed on every step.
    uint64_t UsedAtMost = 0;
    // Slots whose steps were written behind and not yet held to the budget.
    std::map<int, bool> Unchecked;
    // Last, so that it stops (finishing its writes) before the bases go.
    TStepWriter Writer;
};

THistoryStorage& StorageOf(Workspace& ws);
TSlotBase& BaseOf(Workspace& ws, int slot);

// Reports a failure of the store through the window port.
void ReportHistoryProblem(Workspace& ws, const std::string& headline, const std::exception& e);

// Forgets the steps of a slot from snapshot `from` on (their files, their
// thumbnails), the image staying as it is.
void ForgetStepsFrom(Workspace& ws, int slot, int from);

// The last file of a slot: HistoryCount + 1 when the state on screen is
// stored after the newest step (StoreNewestState), else HistoryCount.
int NewestFile(Workspace& ws, int slot);

// Hands the writer the slot's index as it is now (history/history_index.h),
// to be written after the files handed over before.
void NoteHistoryChange(Workspace& ws, int slot);

} // namespace pixora
