#pragma once
// Eraser: paints the slot's canvas colour. "Square" fills the box from the
// pointer (its top-left corner) to pointer + Size, "Ellipse" the ellipse in
// that box, both clipped by the image and made opaque as any drawing is;
// "Floodfill" blends the region of exactly the clicked colour half-way
// toward the canvas colour, on the press only, leaving the fourth bytes.
// The eraser does not consult the selection.

#include <cstdint>

#include "doc/bitmap.h"

namespace pixora {

enum EraserType : int { EraserSquare = 0, EraserEllipse = 1, EraserFloodfill = 2 };

struct TEraserOptions {
    int Type = EraserSquare; // ET
    int Size = 10;           // Size, 2..50
};

// At the press (press true) and at every move.
void EraserStamp(Bitmap& image, int x, int y, const TEraserOptions& o, int32_t canvasColour, bool press);

} // namespace pixora
