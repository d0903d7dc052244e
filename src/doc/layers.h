#pragma once
// Layers of a slot: layer 1 is BackBitmap at (0, 0), layers 2..LayerCount
// are Layers[n] at their own Left/Top. The layer being edited lives in the
// slot's Bitmap; its storage is brought up to date by StoreCurrentLayer.
// Merging blends the layers in order into Bitmap.

#include "doc/records.h"

namespace pixora {

// Storage of layer n (1 = background).
Bitmap& LayerBitmap(TImages& s, int n);
TRowTable& LayerRows(TImages& s, int n);

// Copies Bitmap into the current layer's storage (nothing when no layer is
// current).
void StoreCurrentLayer(TImages& s);
// Copies the current layer's storage into Bitmap and refills Rows.
void LoadCurrentLayer(TImages& s);

// Blends a layer onto dst over the part that lies on dst. Each layer pixel
// with transparency a takes d = round(a / 255 * 100) percent of the pixel
// below; each colour byte becomes (100 - d) x layer div 100 + d x below
// div 100, and dst keeps its fourth bytes.
void BlendLayer(Bitmap& dst, const Bitmap& layer, int left, int top);
// Background plus every upper layer, in order, into Bitmap (Rows refilled).
void MergeLayers(TImages& s);

} // namespace pixora
