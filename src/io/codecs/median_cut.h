#pragma once
// Colour reduction for the palette writers (8-bit BMP, GIF).

#include <cstdint>
#include <vector>

#include "doc/bitmap.h"

namespace pixora {

struct TIndexedImage {
    int Width = 0;
    int Height = 0;
    // Colours as 0x00RRGGBB.
    std::vector<uint32_t> Palette;
    // One palette index per pixel, rows top-down, Width bytes per row.
    std::vector<uint8_t> Indices;
};

// Builds a palette for a 24- or 32-bit image and indexes every pixel.
// An image with at most maxColours distinct colours keeps them exactly (in
// order of first appearance); otherwise a median cut over a 5-5-5 histogram
// picks maxColours representative colours and every pixel takes the nearest.
// When excluded >= 0 (a 0x00RRGGBB colour), pixels of that colour are left
// out of the reduction and all map to one extra, last palette entry holding
// that colour; the palette then has at most maxColours + 1 entries.
// maxColours is 1..256 (and at most 255 with an excluded colour).
TIndexedImage ReduceColours(const Bitmap& image, int maxColours, int64_t excluded = -1);

} // namespace pixora
