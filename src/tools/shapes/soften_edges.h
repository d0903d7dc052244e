#pragma once
// Softening of a committed stroke's edges ("Antialiasing" with its
// strength): around every stroke pixel, each of the four neighbours that
// differs from it is pulled toward it, byte by byte:
// n := s + (n - s) x 50 / (a + 50), in floating point, rounded to nearest with
// halves to even. Neighbours wrap around the image's edges, and the image is
// worked in place in row order, so pixels already pulled are used as they
// are. Stroke pixels are those whose overlay blue byte is not 255, in every
// row and in columns 1 to width - 1.

#include <cstring>

#include "doc/bitmap.h"

namespace pixora {

// A row of a stroke overlay made white (B, G, R 255, fourth byte 0), as
// Fill(255, 255, 255, 0) leaves every row.
inline void WhiteOverlayRow(uint8_t* row, int width) {
    const uint32_t white = 0x00FFFFFF; // bytes 255, 255, 255, 0 from the low end
    for (int x = 0; x < width; ++x)
        std::memcpy(row + static_cast<std::size_t>(x) * 4, &white, 4);
}

// image: Bitmap after the composite; overlay: StrokeOverlay of the stroke,
// the same size (otherwise nothing happens); strength: AP, 1..100.
void SoftenStrokeEdges(Bitmap& image, const Bitmap& overlay, int strength);
// The same, and then the overlay is cleared to white (B, G, R 255, fourth
// byte 0) for the next stroke, the overlay read once for both.
void SoftenStrokeEdgesAndClear(Bitmap& image, Bitmap& overlay, int strength);
// The same, worked pixel by pixel in row order as the rule is written
// (SoftenStrokeEdges takes it for small images and where no vector unit
// suits; the tests hold the two to the same bytes).
void SoftenStrokeEdgesInOrder(Bitmap& image, const Bitmap& overlay, int strength);

} // namespace pixora
