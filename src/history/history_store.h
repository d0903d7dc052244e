#pragma once
// The per-slot undo store. Snapshot k of a slot is a file in this running
// copy's history folder: a 32-bit BMP of the whole image, or, when less than
// half of the image changed since snapshot k - 1, only the changed tiles
// over that snapshot (history/tile_snapshot.h). The slot's History table
// keeps the step names and 50 x 50 thumbnails. HistoryCount counts the stored snapshots,
// HistoryPos the steps that can be undone.
//
// An edit calls PushHistory (which stores the image as it is before the
// edit), then NameHistoryStep, then changes the image. When a snapshot
// cannot be written or read, the operation reports it through the window
// port and leaves the counters and the image as they were; PushHistory then
// returns false and the caller skips its edit.

#include <cstdint>
#include <string>
#include <vector>

#include "doc/workspace.h"

namespace pixora {

inline constexpr int kHistoryThumbLimit = 50;
inline constexpr int kHistoryListLength = 10;  // items of each drop-down list

// File of snapshot k of a slot.
std::string SnapshotPath(const Workspace& ws, int slot, int k);

// Writes a 32-bit snapshot file (fourth byte kept). With keepOldOnFailure
// the data goes to a temporary file that is renamed over `path` only once
// it is complete, so a failure leaves the old file as it was; otherwise the
// file is written in place. Throws ECodecError on failure; no partial file
// is left behind either way.
void WriteSnapshot(const std::string& path, const Bitmap& image, bool keepOldOnFailure = true);
// Reads a snapshot file written by WriteSnapshot or the store (a tile
// snapshot with the files it stands on) into `into` (resized as needed). Throws ECodecError when the file is missing, short or not a
// snapshot; `into` may then hold partial pixels.
void ReadSnapshot(const std::string& path, Bitmap& into);

// The most bytes this running copy's snapshots may take; 0 (the default)
// means a quarter of the free space of their disk, at most 8 GB. A push
// past it drops the oldest steps of that image with a note in the status
// bar; a step that alone is larger is reported and not kept, and the edit
// goes on without it.
void SetHistoryBudget(Workspace& ws, uint64_t bytes);
uint64_t HistoryBudget(Workspace& ws);
inline constexpr uint64_t kHistoryBudgetCap = 8ull << 30;

// Active slot unless a slot index is given.
bool PushHistory(Workspace& ws);
bool PushHistory(Workspace& ws, int slot);
// Names the step that the coming edit makes, one entry ahead of the newest
// snapshot, and refreshes the menus.
void NameHistoryStep(Workspace& ws, const std::string& name);
// False when nothing happened (nothing to undo / redo, or a failure).
bool UndoStep(Workspace& ws);
bool RedoStep(Workspace& ws);
// Makes snapshot target + 1 the image, HistoryPos = target.
bool JumpToHistoryStep(Workspace& ws, int target);
// Asks the window to rebuild the Undo/Redo captions and lists.
void RefreshHistoryMenus(Workspace& ws);
// Deletes snapshot files 1..HistoryCount of a slot.
void DeleteSlotHistoryFiles(const Workspace& ws, int slot);

// What the Undo/Redo menu items and drop-down lists show for a slot.
struct THistoryMenus {
    std::string UndoCaption = "Undo";
    std::string RedoCaption = "Redo";
    std::vector<std::string> UndoItems;  // item j undoes j steps
    std::vector<std::string> RedoItems;  // item j redoes j steps
};
THistoryMenus HistoryMenuTexts(const TImages& s);

// Name of entry k, empty when the table has no such entry.
std::string HistoryName(const TImages& s, int k);

} // namespace pixora
