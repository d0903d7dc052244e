#pragma once
// The layer strip (LayerStrip) of a slot: one 57 x 57 cell per layer, 67
// pixels apart, each with a thumbnail of at most 55 x 55 and, for the
// current layer, a second outline one pixel inside the first.

#include "doc/records.h"
#include "doc/thumbnail_fit.h"

namespace pixora {

inline constexpr int kLayerCellPitch = 67;  // distance from one cell to the next
inline constexpr int kLayerCellSize = 57;   // cell side, outline included
inline constexpr int kLayerThumbLimit = 55; // largest thumbnail side in a cell

// Where a layer thumbnail sits inside the cell's inner 55 x 55 area.
struct TThumbPlace {
    TThumbSize Size;
    int X = 0;
    int Y = 0;
};
TThumbPlace PlaceLayerThumbnail(int w, int h);

// Draws cell n of the strip with a thumbnail of `source`. The strip is
// rebuilt first when it does not have LayerCount cells.
void DrawLayerCell(TImages& s, int n, const Bitmap& source);
// The current layer's cell from its live pixels in Bitmap.
void RedrawCurrentLayerCell(TImages& s);
// The whole strip: LayerCount x 67 by 57, white, every cell drawn.
void RedrawLayerStripBitmap(TImages& s);

// Layer whose cell contains strip column x (gaps and edges excluded), or 0.
int LayerAtStripX(const TImages& s, int x);

} // namespace pixora
