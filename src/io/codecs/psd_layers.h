#pragma once
// Pieces of the Photoshop reader: PackBits rows, and the picture put
// together from the layers for files saved without a merged composite.

#include <cstdint>

#include "doc/bitmap.h"
#include "io/codecs/byte_reader.h"

namespace pixora::psd {

// One PackBits row of `rowBytes` bytes from `in` (which holds exactly that
// row's data) into `out`.
void UnpackRow(TByteReader& in, uint8_t* out, uint64_t rowBytes);

struct TCanvas {
    bool Big = false; // PSB: wider lengths
    uint32_t Width = 0, Height = 0;
    int Depth = 8; // 8 or 16
    bool Grey = false;
};

// Composes the visible layers of the layer section that `r` stands at the
// start of (its layer info length), over a clear canvas, with each layer's
// opacity; every blend mode is taken as normal. RGB and grey of 8 and 16
// bits; false for anything else, or for a file without layers.
bool ComposeLayers(TByteReader& r, const TCanvas& canvas, Bitmap& out);

} // namespace pixora::psd
