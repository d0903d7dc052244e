#pragma once
// The edge softening worked in bands of 8, 16 or 32 rows with AVX2, giving
// the same bytes as the pixel-by-pixel order (tools/shapes/soften_edges.h).
//
// In that order each stroke pixel, at its turn, pulls its four neighbours
// toward its value then. Call A(x, y) a pixel's value at its turn: the
// image's value pulled first by the pixel above (toward A(x, y - 1)) and then
// by the one on the left (toward A(x - 1, y)), each only when that one is a
// stroke pixel. After its turn a pixel is pulled by the one on the right
// (toward A(x + 1, y)) and last by the one below (toward A(x, y + 1)). So the
// A values alone settle every byte, and they can be worked out eight rows at
// once: lane k of a vector holds row y0 + k at column t - k, the pixel above
// a lane is the lane before it one step earlier, the one on its left the same
// lane one step earlier, and a pixel's last two pulls come one step later.
// Two or four such vectors carry on the skew from one to the next, so that
// their chains of pulls run side by side. A band needs of the band above it
// only the A values of that band's last row, so the bands can also run on
// two cores as a wavefront, each a few columns behind the one above.
//
// The wrap-around is kept: row 0 pulls row height - 1 before any other turn,
// row height - 1 pulls row 0 after every other, and column width - 1 pulls
// column 0 (never a stroke pixel) after column 1 has.
//
// The pull n := s + (n - s) x 50 / (a + 50), rounded to nearest with halves
// to even, is computed exactly as (a x s + 50 x n) / (a + 50) in 16-bit lanes,
// the division by multiplies and shifts (tools/shapes/soften_edges_pull.h).

#include "doc/bitmap.h"

namespace pixora {

// Softens in place with strength a; false (and nothing changed) when the
// machine or the sizes do not suit it: images under 16 x 16, a outside
// 0..100, or no AVX2.
bool SoftenStrokeEdgesBands(Bitmap& image, const Bitmap& overlay, int a);
// The same, and then the overlay is white (B, G, R 255, fourth byte 0):
// each row is cleared as soon as its stroke pixels are read. False (and
// neither changed) where the bands do not apply.
bool SoftenStrokeEdgesBandsAndClear(Bitmap& image, Bitmap& overlay, int a);

} // namespace pixora
