#pragma once
// Opening files into slots and reopening the active one.

#include <string>

#include "doc/workspace.h"
#include "io/read_ahead.h"

namespace pixora {

// The message shown when an image is to be opened while fifteen are open.
inline constexpr const char* kTooManyImagesHeadline = "Could Not Open File: 15 images are open already.";
inline constexpr const char* kTooManyImagesDetail = "Close an image to make room for another one.";

// Whether another image can be opened; when fifteen are open already it
// says so through the port and returns false.
bool RoomToOpen(Workspace& ws);

// Opens a file into the lowest free slot: the path enters the recent list
// first, then the file is read. A failed read gives the claim back
// completely and reports "Could Not Open File due to an Error while
// Opening." with the error's message. Returns the slot, or -1 (also when
// fifteen images are open, after saying so: RoomToOpen). When `ahead` holds
// the path, its pixels (or its failure) are taken instead of reading again.
int LoadIntoNewSlot(Workspace& ws, const std::string& path, ReadAhead* ahead = nullptr);

// LoadIntoNewSlot with recent entry i (0..9); nothing for an empty entry.
int OpenRecentFile(Workspace& ws, int index);

// Reads the active slot's file again as an undoable step "ReOpened Image".
// The file is read into a temporary bitmap first, so a failed read leaves
// the image, its history and its Saved flag exactly as they were.
bool ReopenFile(Workspace& ws);

} // namespace pixora
