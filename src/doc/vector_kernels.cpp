#include "doc/vector_kernels.h"

#include <algorithm>
#include <atomic>

namespace pixora {

namespace {

TVectorKernel AskTheMachine() {
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512bw")) return TVectorKernel::Avx512;
    if (__builtin_cpu_supports("avx2")) return TVectorKernel::Avx2;
    return TVectorKernel::Sse2;
#else
    return TVectorKernel::Plain;
#endif
}

// -1: no override.
std::atomic<int> gHeldTo{-1};

} // namespace

TVectorKernel WidestVectorKernel() {
    static const TVectorKernel widest = AskTheMachine();
    return widest;
}

TVectorKernel VectorKernelInUse() {
    const int held = gHeldTo.load(std::memory_order_relaxed);
    const int widest = static_cast<int>(WidestVectorKernel());
    return static_cast<TVectorKernel>(held < 0 ? widest : std::min(held, widest));
}

TVectorKernelOverride::TVectorKernelOverride(TVectorKernel kernel)
    : previous_(gHeldTo.exchange(static_cast<int>(kernel))) {}

TVectorKernelOverride::~TVectorKernelOverride() {
    gHeldTo.store(previous_);
}

} // namespace pixora
