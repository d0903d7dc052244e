#pragma once
// The picture of the Gradient box: a preview of each gradient kind, two per
// row, with a frame around the chosen one. Kind 0 lies at (10, 10)-(110,
// 110), kind 1 at (130, 10)-(230, 110), kind 2 at (10, 130)-(110, 230);
// every row of previews adds 120 pixels to the picture's height.

#include <cstdint>

#include "doc/bitmap.h"
#include "doc/records.h"
#include "tools/shapes/gradient_fill.h"

namespace pixora {

inline constexpr int kGradientKindCount = 3;
inline constexpr int kGradientPictureWidth = 240;

// Where the preview of a kind lies (right and bottom excluded).
TRect GradientPreviewRect(int kind);
int GradientPictureHeight();
// The kind whose preview holds picture pixel (x, y), or -1.
int GradientPreviewAt(int x, int y);

// Draws every preview (GradientPreview: the background colour under an
// all-stroke mask at scale 1, the selection ignored) into picture, which is
// kGradientPictureWidth x GradientPictureHeight(), and the frames.
void DrawGradientPreviews(Bitmap& picture, const TGradientSettings& g, int32_t foreground,
                          int32_t background);

// The frames: the old ones painted over in white (pen width 5), a black
// 1-pixel border round every preview, and a black frame of width 5 from
// (left - 4, top - 4) to (right + 4, bottom + 4) round the chosen kind.
void DrawGradientFrames(Bitmap& picture, int chosen);

} // namespace pixora
