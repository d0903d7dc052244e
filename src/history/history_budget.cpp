#include "history/history_budget.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "doc/file_layer.h"
#include "history/history_folder.h"
#include "history/history_storage.h"
#include "history/history_store.h"
#include "history/snapshot_files.h"
#include "history/tile_snapshot.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

namespace {

uint64_t FolderBytes(const std::string& dir) {
    uint64_t total = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const uintmax_t size = entry.file_size(ec);
        if (!ec) total += size;
    }
    return total;
}

// Makes snapshot 2 the oldest: its state is written whole as snapshot 1 and
// every later file moves down a number, a tile snapshot naming its new base.
void DropOldestStep(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    Bitmap second;
    ReadSnapshot(SnapshotPath(ws, slot, 2), second);
    WriteSnapshot(SnapshotPath(ws, slot, 1), second);
    std::vector<uint8_t> bytes;
    const int last = NewestFile(ws, slot);
    for (int j = 3; j <= last; ++j) {
        const std::string from = SnapshotPath(ws, slot, j), to = SnapshotPath(ws, slot, j - 1);
        if (ReadTileSnapshotFile(from, bytes)) {
            WriteTileSnapshotFile(to, RebasedTileSnapshot(bytes, SnapshotName(slot, j - 2)), true);
            std::remove(from.c_str());
        } else if (FileLayer().Rename(from, to) != 0) {
            throw ECodecError("Cannot rename " + from + ": " + std::strerror(errno));
        }
    }
    std::remove(SnapshotPath(ws, slot, last).c_str());  // left when nothing moved over it
    s.History.erase(s.History.begin() + 1);
    --s.HistoryPos;
    --s.HistoryCount;
    TSlotBase& base = BaseOf(ws, slot);
    base.Index = base.Index >= 2 ? base.Index - 1 : -1;
}

} // namespace

void ForgetSlotHistory(Workspace& ws, int slot) {
    DeleteSlotHistoryFiles(ws, slot);
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    s.HistoryPos = 0;
    s.HistoryCount = 0;
}

std::string Megabytes(uint64_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

void KeepWithinBudget(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const std::string dir = HistoryDir(ws);
    const uint64_t budget = HistoryBudget(ws);
    uint64_t& usedAtMost = StorageOf(ws).UsedAtMost;
    {
        std::error_code ec;
        usedAtMost += std::filesystem::file_size(SnapshotPath(ws, slot, NewestFile(ws, slot)), ec);
    }
    if (s.HistoryCount < 1 || usedAtMost <= budget) return;
    usedAtMost = FolderBytes(dir);
    int dropped = 0;
    try {
        while (FolderBytes(dir) > budget && s.HistoryCount > 1) {
            DropOldestStep(ws, slot);
            ++dropped;
        }
    } catch (const std::exception& e) {
        // A half-moved history cannot be trusted: the image keeps no steps.
        ForgetSlotHistory(ws, slot);
        ReportHistoryProblem(ws, "Could not store the undo step.", e);
        return;
    }
    if (dropped > 0) NoteHistoryChange(ws, slot);
    if (dropped > 0)
        ws.Port->ShowStatusNote("Dropped the oldest undo steps (" + std::to_string(dropped) + ") to stay within " +
                                Megabytes(budget) + ".");
    usedAtMost = FolderBytes(dir);
    if (usedAtMost > budget) {
        std::error_code ec;
        const uint64_t step = std::filesystem::file_size(SnapshotPath(ws, slot, s.HistoryCount), ec);
        ForgetSlotHistory(ws, slot);
        ws.Port->ReportProblem("Could not store the undo step.",
                               "The step takes " + Megabytes(step) + ", more than the history budget of " +
                                   Megabytes(budget) + " leaves; the edit is made without it.");
    }
}

void SetHistoryBudget(Workspace& ws, uint64_t bytes) {
    StorageOf(ws).Budget = bytes;
}

uint64_t HistoryBudget(Workspace& ws) {
    const uint64_t set = StorageOf(ws).Budget;
    if (set > 0) return set;
    std::error_code ec;
    const std::filesystem::space_info space = std::filesystem::space(HistoryDir(ws), ec);
    if (ec) return kHistoryBudgetCap;
    return std::min<uint64_t>(space.available / 4, kHistoryBudgetCap);
}

uint64_t HistoryBudgetSetting(Workspace& ws) {
    return StorageOf(ws).Budget;
}

bool StepMayGoOn(Workspace& ws, int slot, uint64_t bytes, bool& fits) {
    const uint64_t budget = HistoryBudget(ws);
    fits = bytes <= budget;
    if (fits) return true;
    const bool goOn = ws.Port->AskYesNo("Could not store the undo step.",
                                        "The step takes " + Megabytes(bytes) + ", more than the history budget of " +
                                            Megabytes(budget) + ". Make the edit without it (it cannot be undone)?");
    if (goOn) ForgetSlotHistory(ws, slot);
    return goOn;
}

} // namespace pixora
