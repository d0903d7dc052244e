#pragma once
// The wide vector loops of the saturation and noise kernels
// (point_kernels.h): one body per loop (point_lanes_body.h), compiled once
// per instruction set (point_lanes_sse2.cpp, _avx2.cpp, _avx512.cpp). Each
// call runs the kernel VectorKernelInUse() names, or the widest one below
// it that the loop has, over whole vectors of pixels and returns how many
// it did; the caller finishes the rest with its plain loop.

#include <cstdint>

#include "doc/noise_stream.h"

namespace pixora::kernels {

// Saturation in 16-bit lanes, four per pixel (blue, green, red, fourth):
// the mean m = (sum of c * OnFactor) >> 11 and c := m + (c - m) * Scale / 255,
// the quotient towards zero. A disabled channel has OnFactor 0 and Scale
// 255, which gives its byte back.
struct TSaturationLanes {
    int16_t OnFactor[4];
    int16_t Scale[4];
};
int SaturationLanes(const TSaturationLanes& k, uint8_t* p, int n);

// Noise: c := clamp(c + (w1 * N >> 16) - (w2 * N >> 16)) with the words of
// the stream, which must stand at an even pixel; the stream is left after
// the pixels done. N[k] is 0 for a disabled channel.
int NoiseLanes(TNoiseStream& stream, const int16_t (&n)[4], uint8_t* p, int count);
// The same over two rows at once, pixels pa[0..count) with stream a and
// pb[0..count) with stream b, both at an even pixel; the same number of
// pixels is done in each. Kernels without a loop for two rows do none.
int NoiseLanesTwoRows(TNoiseStream& a, uint8_t* pa, TNoiseStream& b, uint8_t* pb, const int16_t (&n)[4],
                      int count);

// The loops of each instruction set.
int SaturationLanesSse2(const TSaturationLanes& k, uint8_t* p, int n);
int SaturationLanesAvx2(const TSaturationLanes& k, uint8_t* p, int n);
int SaturationLanesAvx512(const TSaturationLanes& k, uint8_t* p, int n);
int NoiseLanesSse2(TNoiseStream& stream, const int16_t (&n)[4], uint8_t* p, int count);
int NoiseLanesAvx2(TNoiseStream& stream, const int16_t (&n)[4], uint8_t* p, int count);
int NoiseLanesTwoRowsAvx2(TNoiseStream& a, uint8_t* pa, TNoiseStream& b, uint8_t* pb, const int16_t (&n)[4],
                          int count);
int NoiseLanesTwoRowsAvx512(TNoiseStream& a, uint8_t* pa, TNoiseStream& b, uint8_t* pb, const int16_t (&n)[4],
                            int count);

} // namespace pixora::kernels
