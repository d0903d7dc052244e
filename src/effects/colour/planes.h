#pragma once
// Colour planes 0..15 of an image: one value 0..255 per pixel, and the
// picture of a plane as a grey or tinted 24-bit bitmap.

#include <string>

#include "doc/bitmap.h"

namespace pixora {

inline constexpr int kPlaneCount = 16;

// The caption of a plane ("RGB Composite", "Red", ...), empty for the
// planes without a name and for numbers outside 0..15.
std::string PlaneName(int plane);

// The value of a pixel in a plane; -1 for a plane number outside 0..15.
int PlaneValue(int plane, int r, int g, int b);

// The picture of a plane: a new 24-bit bitmap of the source's size. With the
// colour flag the composite, the colour channels and the two hue planes keep
// their colour; every other case is grey. Invert turns every byte of the
// result into 255 minus itself. Throws EColorError "GetImageSpace:  Bitmap
// must be 24-bit color." when the source is not 24-bit, and
// std::invalid_argument for a plane outside 0..15.
Bitmap PlaneImage(int plane, bool colour, bool invert, const Bitmap& source);

} // namespace pixora
