// The Gaussian blur's loops for the plain x86-64 set, the rule's exact
// sum, and the choice between the instruction sets (gaussian_kernels.h).
#include "effects/quick/gaussian_kernels.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "doc/vector_kernels.h"
#include "effects/quick/gaussian_kernels_body.h"
#include "effects/quick/gaussian_lanes_body.h"

namespace pixora::quick {

// The rule's own sum for one value: centre[-j * step] for j = -Size..Size.
uint8_t ExactValue(const float* centre, std::ptrdiff_t step, const TPlan& p) {
    double s = 0;
    for (int j = -p.Size; j <= p.Size; ++j)
        s += static_cast<double>(p.Full[j + p.Size]) * static_cast<double>(centre[-j * step]);
    s = s < 0 ? 0 : (s > 255 ? 255 : s);
    return static_cast<uint8_t>(s);
}

const TGaussianKernels kGaussianPlain = {BlurBandWith<false>,
                                         BlurNarrowColumnWith<false>,
                                         BlurWideColumnWith<false>,
                                         LoadBand,
                                         StoreBand,
                                         LoadStrip,
                                         StoreStrip};

namespace {

bool HasFusedMultiplyAdd() {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool fma = __builtin_cpu_supports("fma");
    return fma;
#else
    return false;
#endif
}

} // namespace

const TGaussianKernels& GaussianKernels() {
#if defined(__x86_64__) && defined(__GNUC__)
    const TVectorKernel kernel = VectorKernelInUse();
    if (kernel >= TVectorKernel::Avx512 && HasFusedMultiplyAdd()) return kGaussianAvx512;
    if (kernel >= TVectorKernel::Avx2 && HasFusedMultiplyAdd()) return kGaussianAvx2;
#endif
    return kGaussianPlain;
}

} // namespace pixora::quick
