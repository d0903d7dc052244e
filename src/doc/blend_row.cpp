#include "doc/blend_row.h"

#include "doc/blend_kernels.h"

namespace pixora {

std::vector<TBlendKernel> AvailableBlendKernels() {
    std::vector<TBlendKernel> k;
    for (int i = 0; i <= static_cast<int>(WidestVectorKernel()); ++i)
        k.push_back(static_cast<TBlendKernel>(i));
    return k;
}

void BlendLayerRowWith(TBlendKernel kernel, uint8_t* dst, const uint8_t* layer, int pixels) {
    switch (kernel) {
#ifdef PIXORA_BLEND_X86
    case TBlendKernel::Avx512:
        BlendRowAvx512(dst, layer, pixels);
        return;
    case TBlendKernel::Avx2:
        BlendRowAvx2(dst, layer, pixels);
        return;
    case TBlendKernel::Sse2:
        BlendRowSse2(dst, layer, pixels);
        return;
#endif
    default:
        BlendRowPlain(dst, layer, pixels);
        return;
    }
}

void BlendLayerRow(uint8_t* dst, const uint8_t* layer, int pixels) {
    BlendLayerRowWith(VectorKernelInUse(), dst, layer, pixels);
}

} // namespace pixora
