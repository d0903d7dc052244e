#include "doc/blend_row.h"

#include "doc/blend_kernels.h"

#include <atomic>

namespace pixora {

std::vector<TBlendKernel> AvailableBlendKernels() {
    std::vector<TBlendKernel> k{TBlendKernel::Plain};
#ifdef PIXORA_BLEND_X86
    k.push_back(TBlendKernel::Sse2);
    if (__builtin_cpu_supports("avx2")) k.push_back(TBlendKernel::Avx2);
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512bw"))
        k.push_back(TBlendKernel::Avx512);
#endif
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

namespace {

// -1: no override.
std::atomic<int> gForcedKernel{-1};

} // namespace

TBlendKernelOverride::TBlendKernelOverride(TBlendKernel kernel)
    : previous_(gForcedKernel.exchange(static_cast<int>(kernel))) {}

TBlendKernelOverride::~TBlendKernelOverride() {
    gForcedKernel.store(previous_);
}

void BlendLayerRow(uint8_t* dst, const uint8_t* layer, int pixels) {
    // The widest kernel this machine runs, chosen once.
    static const TBlendKernel best = AvailableBlendKernels().back();
    const int forced = gForcedKernel.load(std::memory_order_relaxed);
    BlendLayerRowWith(forced >= 0 ? static_cast<TBlendKernel>(forced) : best, dst, layer, pixels);
}

} // namespace pixora
