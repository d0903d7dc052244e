#include "effects/engine/point_lanes.h"

#include "doc/vector_kernels.h"

namespace pixora::kernels {

// A wide kernel leaves what is short of its width to the narrower ones.
int SaturationLanes(const TSaturationLanes& k, uint8_t* p, int n) {
#if defined(__x86_64__) && defined(__GNUC__)
    const TVectorKernel kernel = VectorKernelInUse();
    int done = 0;
    if (kernel >= TVectorKernel::Avx512) done += SaturationLanesAvx512(k, p, n);
    if (kernel >= TVectorKernel::Avx2) done += SaturationLanesAvx2(k, p + 4 * done, n - done);
    if (kernel >= TVectorKernel::Sse2) done += SaturationLanesSse2(k, p + 4 * done, n - done);
    return done;
#else
    (void)k, (void)p, (void)n;
    return 0;
#endif
}

int NoiseLanes(TNoiseStream& stream, const int16_t (&n)[4], uint8_t* p, int count) {
#if defined(__x86_64__) && defined(__GNUC__)
    const TVectorKernel kernel = VectorKernelInUse();
    int done = 0;
    if (kernel >= TVectorKernel::Avx2) done += NoiseLanesAvx2(stream, n, p, count);
    if (kernel >= TVectorKernel::Sse2) done += NoiseLanesSse2(stream, n, p + 4 * done, count - done);
    return done;
#else
    (void)stream, (void)n, (void)p, (void)count;
    return 0;
#endif
}

int NoiseLanesTwoRows(TNoiseStream& a, uint8_t* pa, TNoiseStream& b, uint8_t* pb, const int16_t (&n)[4],
                      int count) {
#if defined(__x86_64__) && defined(__GNUC__)
    const TVectorKernel kernel = VectorKernelInUse();
    if (kernel >= TVectorKernel::Avx512) return NoiseLanesTwoRowsAvx512(a, pa, b, pb, n, count);
    if (kernel >= TVectorKernel::Avx2) return NoiseLanesTwoRowsAvx2(a, pa, b, pb, n, count);
#endif
    (void)a, (void)pa, (void)b, (void)pb, (void)n, (void)count;
    return 0;
}

} // namespace pixora::kernels
