#pragma once
// The per-slot undo store. Snapshot k of a slot is a file in this running
// copy's history folder (history/snapshot_files.h): a 32-bit BMP of the whole
// image, or, when less than half of the image changed since snapshot k - 1,
// only the changed tiles over that snapshot (history/tile_snapshot.h). The
// files are written by a worker thread (history/step_writer.h). The slot's
// History table keeps the step names and 50 x 50 thumbnails. HistoryCount
// counts the stored snapshots, HistoryPos the steps that can be undone.
//
// An edit calls PushHistory (which stores the image as it is before the
// edit), then NameHistoryStep, then changes the image. When a snapshot
// cannot be written or read, the operation reports it through the window
// port and leaves the counters and the image as they were; PushHistory then
// returns false and the caller skips its edit. So does it when a step does
// not fit the budget (history/history_budget.h) and the user answers No.

#include <cstdint>
#include <string>
#include <vector>

#include "doc/workspace.h"
#include "history/history_budget.h"
#include "history/snapshot_files.h"
#include "history/tile_snapshot.h"

namespace pixora {

inline constexpr int kHistoryThumbLimit = 50;
inline constexpr int kHistoryListLength = 10;  // items of each drop-down list

// Waits for the steps being written behind. A step that could not be
// written is reported, and it and the later steps of its image are
// forgotten (the image keeps its changes); the slots written to are then
// held to the history budget.
void WaitForStoredSteps(Workspace& ws);
// Reads snapshot k of a slot once every write handed over is done. Throws
// ECodecError as ReadSnapshot does.
void ReadStoredStep(Workspace& ws, int slot, int k, Bitmap& into);

// Active slot unless a slot index is given. Waits until the step's file is
// written.
bool PushHistory(Workspace& ws);
bool PushHistory(Workspace& ws, int slot);
// The same, but the file is written behind: the edit goes on at once, and a
// failure to write comes out at the next WaitForStoredSteps.
bool PushHistoryBehind(Workspace& ws, int slot);
// Stores the image as it is, behind, after the newest step of the slot, so
// that a crash loses nothing (history/history_index.h); the next step then
// finds it stored. Only when the image is newer than every step, not while
// a stroke is drawn, and not when it would not fit the budget. The window
// calls it once an edit is done.
void StoreNewestState(Workspace& ws, int slot);
// The slot's kept state (the picture the store compares the next snapshot
// with) when it is stored as the state after the newest step and holds the
// image as it is now, else null: an edit may take it as the image as it was
// instead of a copy of its own, as long as no step is stored meanwhile.
const Bitmap* CurrentKeptState(Workspace& ws, int slot);
// Gives the kept state's memory back while it holds the image as it is and
// its file is written, for an edit that is about to make a new image of
// another size: the step that edit stores next finds the image on file.
// False when the kept state is not that (nothing is given back). An edit
// that then stores no step calls ForgetDroppedKeptState, after which the
// next step is stored whole.
bool DropKeptState(Workspace& ws, int slot);
void ForgetDroppedKeptState(Workspace& ws, int slot);
// Makes the kept state, current when the edit began, the new step (its
// file is written already), then stores the image as it is now from the
// tiles found changed since it. False when the step could not be stored
// (reported); the kept state is then still the image as it was.
bool PushKeptState(Workspace& ws, int slot, const std::vector<TTileIndex>& changed);
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
