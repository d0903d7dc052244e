#pragma once
// The layer blend over one row, with the widest vector kernel the machine
// runs: each layer pixel with transparency a takes d = round(a / 255 x 100)
// percent of the pixel below; each colour byte becomes
// (100 - d) x layer div 100 + d x below div 100, and dst keeps its fourth
// bytes.

#include <cstdint>
#include <vector>

namespace pixora {

// The same rule over `pixels` pixels of one row, with the widest vector
// kernel the machine runs. Every kernel gives the same bytes; Plain is the
// rule written out per pixel.
void BlendLayerRow(uint8_t* dst, const uint8_t* layer, int pixels);
enum class TBlendKernel { Plain, Sse2, Avx2, Avx512 };
// The kernels this machine runs, narrowest first.
std::vector<TBlendKernel> AvailableBlendKernels();
void BlendLayerRowWith(TBlendKernel kernel, uint8_t* dst, const uint8_t* layer, int pixels);
// Makes BlendLayerRow use `kernel` for the override's life time (tests run
// the plain kernel whatever the machine offers).
class TBlendKernelOverride {
public:
    explicit TBlendKernelOverride(TBlendKernel kernel);
    ~TBlendKernelOverride();
    TBlendKernelOverride(const TBlendKernelOverride&) = delete;
    TBlendKernelOverride& operator=(const TBlendKernelOverride&) = delete;

private:
    int previous_;
};

} // namespace pixora
