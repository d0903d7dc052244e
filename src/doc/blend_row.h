#pragma once
// The layer blend over one row, with the widest vector kernel the machine
// runs: each layer pixel with transparency a takes d = round(a / 255 x 100)
// percent of the pixel below; each colour byte becomes
// (100 - d) x layer div 100 + d x below div 100, and dst keeps its fourth
// bytes.

#include <cstdint>
#include <vector>

#include "doc/vector_kernels.h"

namespace pixora {

// The same rule over `pixels` pixels of one row, with the widest vector
// kernel the machine runs. Every kernel gives the same bytes; Plain is the
// rule written out per pixel.
void BlendLayerRow(uint8_t* dst, const uint8_t* layer, int pixels);
// The kernels are those of doc/vector_kernels.h; a TVectorKernelOverride
// holds BlendLayerRow to a narrower one.
using TBlendKernel = TVectorKernel;
// The kernels this machine runs, narrowest first.
std::vector<TBlendKernel> AvailableBlendKernels();
void BlendLayerRowWith(TBlendKernel kernel, uint8_t* dst, const uint8_t* layer, int pixels);

} // namespace pixora
