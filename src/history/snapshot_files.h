#pragma once
// The files of the undo store. Snapshot k of a slot is "<slot>_<k>.bmp" in
// this running copy's history folder: a 32-bit BMP of the whole image, or a
// tile snapshot (history/tile_snapshot.h) standing on snapshot k - 1.

#include <cstdint>
#include <string>
#include <vector>

#include "doc/workspace.h"

namespace pixora {

// Name and path of snapshot k of a slot.
std::string SnapshotName(int slot, int k);
std::string SnapshotPath(const Workspace& ws, int slot, int k);

// Writes a 32-bit snapshot file (fourth byte kept). With keepOldOnFailure
// the data goes to a temporary file that is renamed over `path` only once
// it is complete, so a failure leaves the old file as it was; otherwise the
// file is written in place. Throws ECodecError on failure; no partial file
// is left behind either way.
void WriteSnapshot(const std::string& path, const Bitmap& image, bool keepOldOnFailure = true);
// Writes the bytes of a tile snapshot with the same care for an old file.
void WriteTileSnapshotFile(const std::string& path, const std::vector<uint8_t>& bytes, bool keepOldOnFailure);

// Reads a snapshot file written by WriteSnapshot or the store (a tile
// snapshot with the files it stands on) into `into` (resized as needed).
// Throws ECodecError when the file is missing, short or not a snapshot;
// `into` may then hold partial pixels.
void ReadSnapshot(const std::string& path, Bitmap& into);
// The whole file when it is a tile snapshot; false for any other file.
bool ReadTileSnapshotFile(const std::string& path, std::vector<uint8_t>& bytes);

} // namespace pixora
