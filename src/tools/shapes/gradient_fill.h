#pragma once
// The gradient that replaces the flat colour of a pen or shape composite
// ("Use Gradient"), and the previews of the Gradient box.
//
// The gradient is laid over the bounding box of the stroke pixels (mask
// blue byte 0; interior pixels, blue byte 1, do not count): its centre sits
// at the box's left and top percentages, its radius R follows the box's
// longer side relative to the image: p := scale x E / N x 100,
// Z := Round(size x p / 100) (halves to even), R := Z div 2. Within R of the
// centre (a disc, a band of rows or a band of columns) a stroke pixel mixes
// rim colour A and centre colour B with weight w := R - distance:
// ((depth - w) x A + w x B) div depth; an interior pixel mixes its own colour
// with the background colour the same way. Results are clamped; the fourth
// byte is not changed.

#include <cstdint>

#include "doc/bitmap.h"
#include "tools/selection.h"

namespace pixora {

enum GradientKind : int { GradientRadial = 0, GradientRows = 1, GradientColumns = 2 };

// The Gradient box's settings.
struct TGradientSettings {
    int Kind = GradientRadial;  // the chosen preview
    int Size = 64;              // size, 2..100
    int LeftPercent = 50;       // sedLeft, 0..100
    int TopPercent = 50;        // sedTop, 0..100
    int Depth = 128;            // depth, 2..128
    bool TransparentFG = false; // TFG: the centre keeps the pixel's own colour
    bool TransparentBG = true;  // TBG: the rim keeps the pixel's own colour
};

// Where the gradient lies for a mask on a target of the given size.
struct TGradientPlace {
    bool Empty = true; // no stroke pixel: nothing is painted
    int CentreX = 0, CentreY = 0;
    int Radius = 0;
};
TGradientPlace PlaceGradient(const Bitmap& mask, const TGradientSettings& g, int scale, int targetWidth,
                             int targetHeight);

// target: the 32-bit image, changed in place; mask: StrokeOverlay; scale: 2
// for strokes, 1 for the box's previews; foreground, background: the slot's
// colours. Pixels refused by the test, or whose mask blue byte is neither 0
// nor 1, are skipped.
void GradientFill(Bitmap& target, const Bitmap& mask, const TGradientSettings& g, int scale,
                  int32_t foreground, int32_t background, const SelectionEditTest& test);

// One preview of the Gradient box: a 100 x 100 image of the background
// colour under an all-stroke mask at scale 1, the selection ignored.
Bitmap GradientPreview(const TGradientSettings& g, int kind, int32_t foreground, int32_t background);

} // namespace pixora
