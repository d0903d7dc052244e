#pragma once
// The row loops of the window effects (window_effects.cpp), one body
// (window_rows_body.h) compiled for the plain x86-64 set and for AVX2
// (window_rows_avx2.cpp). The integer and single-precision results are the
// same either way; the run-time choice only decides the speed.

#include <cstddef>
#include <cstdint>

namespace pixora::kernels {

struct TWindowRows {
    // c[i] += s[i] and c[i] -= s[i]: the running column sums.
    void (*AddRow)(uint32_t* __restrict c, const uint8_t* __restrict s, std::size_t n);
    void (*SubtractRow)(uint32_t* __restrict c, const uint8_t* __restrict s, std::size_t n);
    // Window sums of bytes from..to-1 along a row whose column sums lie 4
    // apart, for windows wholly inside the row: one or two columns either side.
    void (*TapSums1)(uint32_t* __restrict sum, const uint32_t* __restrict col, std::size_t from,
                     std::size_t to);
    void (*TapSums2)(uint32_t* __restrict sum, const uint32_t* __restrict col, std::size_t from,
                     std::size_t to);
    // Blur: sum / (width * rows) in single precision.
    void (*FloatMeans)(uint8_t* __restrict out, const uint32_t* __restrict sum, const float* __restrict wide,
                       float rows, std::size_t n);
    // Sharpen: which value each byte takes, as choice * 256 + byte (0 its
    // own, 1 the raised one, 2 the lowered one).
    void (*SharpenChoices)(uint16_t* __restrict choice, const uint32_t* __restrict sum,
                           const uint8_t* __restrict src, const float* __restrict wide, float rows, int t,
                           std::size_t n);
};

// The loops of each instruction set.
extern const TWindowRows kWindowRowsPlain;
extern const TWindowRows kWindowRowsAvx2;

// The loops for the kernel VectorKernelInUse() names.
const TWindowRows& WindowRows();

} // namespace pixora::kernels
