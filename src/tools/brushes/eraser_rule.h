#pragma once
// Eraser: paints the slot's canvas colour. "Square" fills the box from the
// pointer (its top-left corner) to pointer + Size, "Ellipse" the ellipse in
// that box, both clipped by the image and made opaque as any drawing is;
// "Floodfill" blends the region of exactly the clicked colour half-way
// toward the canvas colour, on the press only, leaving the fourth bytes.
// The eraser does not consult the selection.

#include <cstdint>

#include "doc/bitmap.h"
#include "doc/records.h"

namespace pixora {

enum EraserType : int { EraserSquare = 0, EraserEllipse = 1, EraserFloodfill = 2 };

struct TEraserOptions {
    int Type = EraserSquare; // ET
    int Size = 10;           // Size, 2..50
};

// The square's (or ellipse's) box at (x, y), right and bottom excluded.
TRect EraserBox(int x, int y, const TEraserOptions& o);
// At the press (press true) and at every move.
void EraserStamp(Bitmap& image, int x, int y, const TEraserOptions& o, int32_t canvasColour, bool press);
// The part of the image that stamp may change: the box with a pixel of
// margin, the whole image for the flood fill's press, nothing for its moves.
TRect EraserReach(const Bitmap& image, int x, int y, const TEraserOptions& o, bool press);

} // namespace pixora
