#pragma once
// Snapshots stored as what changed. A tile snapshot holds the tiles of an
// image that differ from the snapshot before it (its base, a file in the
// same folder), each compressed on its own; reading one reads its base
// first and lays the tiles over it. A chain ends at a full snapshot.

#include <cstdint>
#include <string>
#include <vector>

#include "doc/bitmap.h"

namespace pixora {

inline constexpr int kSnapshotTile = 256;  // tile side in pixels

struct TTileIndex {
    int X = 0, Y = 0;  // in tiles
};

// Tiles where the two images (of the same size) differ.
std::vector<TTileIndex> ChangedTiles(const Bitmap& before, const Bitmap& after);
// Pixels the tiles cover (edge tiles are smaller).
int64_t TilePixels(const Bitmap& image, const std::vector<TTileIndex>& tiles);
// Copies the tiles of `from` into `into` (same size).
void CopyTiles(const Bitmap& from, Bitmap& into, const std::vector<TTileIndex>& tiles);

// The file's bytes: the tiles of a 32-bit image over the base file `baseName`.
std::vector<uint8_t> EncodeTileSnapshot(const Bitmap& image, const std::vector<TTileIndex>& tiles,
                                        const std::string& baseName);
// True when the bytes start like a tile snapshot.
bool IsTileSnapshot(const uint8_t* head, std::size_t size);
// The base file's name a tile snapshot names. Throws ECodecError when the
// bytes are not a sound tile snapshot.
std::string TileSnapshotBase(const std::vector<uint8_t>& file);
// The same tile snapshot standing on another base file.
std::vector<uint8_t> RebasedTileSnapshot(const std::vector<uint8_t>& file, const std::string& baseName);
// Lays the tiles over `image`, which holds the base. Throws ECodecError when
// the sizes disagree or a tile is damaged.
void ApplyTileSnapshot(const std::vector<uint8_t>& file, Bitmap& image);

} // namespace pixora
