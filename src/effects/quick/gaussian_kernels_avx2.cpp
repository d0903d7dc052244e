// The Gaussian blur's loops in AVX2 with fused multiply-adds
// (gaussian_kernels.h). Everything the file includes comes before the
// switch, so that only this file's own code is compiled for it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "doc/instruction_set.h"
#include "effects/quick/gaussian_kernels.h"
#include "effects/quick/gaussian_lanes.h"

#if defined(__x86_64__) && defined(__GNUC__)

PIXORA_INSTRUCTION_SET_BEGIN("avx2,fma")

#include "effects/quick/gaussian_kernels_body.h"
#include "effects/quick/gaussian_lanes_body.h"

namespace pixora::quick {

const TGaussianKernels kGaussianAvx2 = {
    BlurBandWith<true>, BlurNarrowColumnWith<true>, BlurWideColumnWith<true>, LoadBand, StoreBand, LoadStrip,
    StoreStrip};

} // namespace pixora::quick

PIXORA_INSTRUCTION_SET_END

#endif
