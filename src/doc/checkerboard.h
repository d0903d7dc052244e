#pragma once
// The checkerboard behind transparent pixels, the view's display copy of a
// slot's Bitmap, and the transparency blend that shows one through the other.
// The blend writes only into the display copy, never into the document.

#include <array>
#include <cstdint>

#include "doc/bitmap.h"
#include "doc/records.h"

namespace pixora {

inline constexpr int kCheckerCell = 10;       // cells are 10 x 10 pixels
inline constexpr uint8_t kCheckerGrey = 150;  // red, green and blue of a grey cell
inline constexpr uint8_t kCheckerWhite = 255;

// Gives `checker` the size width x height (32 bits) and paints it with cells
// alternating grey and white in both directions, the top-left cell grey;
// cells at the right and bottom edges are cut to the bitmap. T is 0.
void BuildCheckerboard(Bitmap& checker, int width, int height);

// Rows of the checkerboard repeat every two cells.
inline constexpr int kCheckerBand = 2 * kCheckerCell;

// The checkerboard the view blends with for a width x height picture: only
// its first band of rows (all of it when the picture is shorter), which the
// blends below repeat downwards; it costs a few rows, not a picture.
void BuildCheckerBand(Bitmap& checker, int width, int height);

// Share of the checkerboard, in percent, shown through a pixel of
// transparency a: a / 255 x 100 rounded half to even.
uint8_t CheckerShare(uint8_t transparency);
const std::array<uint8_t, 256>& CheckerShareTable();

// Makes `dst` a copy of `src` (size, format and pixels), keeping dst's
// storage when the size and format already match. Large copies are split
// across two threads.
void CopyBitmapInto(const Bitmap& src, Bitmap& dst);

// The transparency blend over a display copy that already holds the image's
// pixels: for every pixel whose transparency a (read from `image`) is above
// 0, each colour byte becomes
//     (100 - b) x display div 100 + b x checker div 100,   b = CheckerShare(a).
// T of the display copy is left alone. Only the part covered by all three
// bitmaps (32 bits each) is touched; a checkerboard band (BuildCheckerBand)
// covers every row.
void BlendTransparency(const Bitmap& image, const Bitmap& checker, Bitmap& display);

// The view's display copy: a copy of `image`, blended with the checkerboard
// unless `blend` is false (a pointer drag is in progress and only the plain
// copy is wanted). Copy and blend run in one pass over the rows.
void MakeDisplayCopy(const Bitmap& image, const Bitmap& checker, Bitmap& display, bool blend);

// Whether `display` holds what MakeDisplayCopy(image, checker, display,
// true) makes of the image: its pixels blended with the checkerboard and
// nothing drawn over them.
bool IsDisplayCopyOf(const Bitmap& image, const Bitmap& checker, const Bitmap& display);

// The colour bytes (B, G, R) the view shows for `pixel` (B, G, R, T) at
// (x, y) of a picture: blended by its transparency with the checkerboard's
// cell there, as the display copy holds them. `share` is
// CheckerShareTable(), fetched once by a caller that blends many pixels.
inline void BlendedPixel(const uint8_t* share, const uint8_t* pixel, int x, int y, uint8_t out[3]) {
    const int b = share[pixel[3]];
    const int c = ((x / kCheckerCell + y / kCheckerCell) & 1) ? kCheckerWhite : kCheckerGrey;
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<uint8_t>((100 - b) * pixel[k] / 100 + b * c / 100);
}
void BlendedPixel(const uint8_t* pixel, int x, int y, uint8_t out[3]);

// The blended display copy made again over `area` (image pixels, clipped to
// the image) only, the rest being known to be up to date: the pixels come
// out as MakeDisplayCopy(image, checker, display, true) would make them.
// When the display copy or the checkerboard does not have the image's size
// and format, the whole copy is made instead; returns whether it was.
bool RefreshDisplayArea(const Bitmap& image, const Bitmap& checker, Bitmap& display, const TRect& area);

} // namespace pixora
