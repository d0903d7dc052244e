#pragma once
// What the reader checks in a HEIF/AVIF file's item boxes before libheif
// decodes it, where libheif 1.15 itself checks too late or not at all:
// - the picture sizes that derived images (grids of tiles and overlays)
//   write into their own item data. libheif makes a picture of that size
//   before it decodes the tiles, whatever the image's 'ispe' says, and
//   checks each side alone, not the area;
// - AV1 image items whose locations hold no bytes, which its AV1 decoding
//   refuses only after leaking the buffer it made for them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixora::heif {

struct TDeclaredSize {
    int64_t Width = 0;
    int64_t Height = 0;
};

struct THeifItems {
    std::vector<TDeclaredSize> Derived; // every grid and overlay item's
    bool CodedWithoutData = false;
};

// The items as far as the file's boxes can be read; boxes this walk cannot
// follow are left to libheif, which refuses what it cannot read either.
THeifItems ReadHeifItems(const uint8_t* data, std::size_t size);

} // namespace pixora::heif
