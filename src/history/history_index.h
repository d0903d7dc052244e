#pragma once
// The index beside a slot's step files ("<slot>.idx" in this running copy's
// history folder): what a later run needs to bring the image back with its
// undo history after this one ended without emptying the folder (a crash).
// It is written by the step writer after the files it names, through a
// temporary file and a rename, so it never names a file not yet complete.

#include <string>
#include <vector>

#include "doc/workspace.h"

namespace pixora {

struct THistoryIndex {
    std::string Name;          // the image's file name
    bool HadFile = false;      // it came from (or was saved to) that file
    int Width = 0, Height = 0; // of the image as it is
    int Pos = 0, Count = 0;    // HistoryPos, HistoryCount
    bool Newest = false;       // file Count + 1 holds the image as it is
    std::vector<std::string> Names;  // entries 1 .. Count + 1
    long long Written = 0;     // milliseconds since the epoch
};

std::string HistoryIndexPath(const std::string& folder, int slot);

// Writes an index; throws ECodecError on failure, leaving the old one.
void WriteHistoryIndex(const std::string& path, const THistoryIndex& index);
// Reads an index; false when it is missing or not a sound one of ours.
bool ReadHistoryIndex(const std::string& path, THistoryIndex& index);

// A history left behind in the folder of a copy that is no longer running.
struct TLeftHistory {
    std::string Folder;  // with a trailing '/'
    int Slot = -1;
    long Pid = 0;
    THistoryIndex Index;
};
// The histories under the history root whose process has ended (never this
// process's own), newest first.
std::vector<TLeftHistory> FindLeftHistories(const std::string& historyRoot);

// Reads the image a left history brings back: the state the index names.
// Throws ECodecError when it cannot be read.
Bitmap LeftHistoryImage(const TLeftHistory& left);
// Gives `slot`, filled with LeftHistoryImage, the left history: its files
// move into this copy's folder under the slot's number, and the counters
// and step names follow. Throws ECodecError when a file cannot be moved;
// the files are then where they were and the slot keeps no steps.
void AdoptLeftHistory(Workspace& ws, int slot, const TLeftHistory& left);
// Removes a left history's files and index, and its folder once no index
// is left in it.
void DiscardLeftHistory(const TLeftHistory& left);

} // namespace pixora
