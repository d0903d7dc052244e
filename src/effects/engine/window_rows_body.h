#pragma once
// The bodies of the window effects' row loops (window_rows.h), written once
// and compiled by each instruction set's unit. Everything here has internal
// linkage, so each unit keeps copies of its own.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "effects/engine/window_rows.h"

namespace pixora::kernels {

namespace {

void AddRowBody(uint32_t* __restrict c, const uint8_t* __restrict s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        c[i] += s[i];
}

void SubtractRowBody(uint32_t* __restrict c, const uint8_t* __restrict s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        c[i] -= s[i];
}

template <int Taps>
void TapSumsBody(uint32_t* __restrict sum, const uint32_t* __restrict col, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        uint32_t t = col[i];
        for (int j = 1; j <= Taps; ++j)
            t += col[i - 4 * j] + col[i + 4 * j];
        sum[i] = t;
    }
}

void FloatMeansBody(uint8_t* __restrict out, const uint32_t* __restrict sum, const float* __restrict wide,
                    float rows, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(
            static_cast<int32_t>(static_cast<float>(static_cast<int32_t>(sum[i])) / (wide[i] * rows)));
}

// The neighbour mean is the sum less the centre over count - 1.
void SharpenChoicesBody(uint16_t* __restrict choice, const uint32_t* __restrict sum,
                        const uint8_t* __restrict src, const float* __restrict wide, float rows, int t,
                        std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const int c = src[i];
        const int m = static_cast<int32_t>(static_cast<float>(static_cast<int32_t>(sum[i] - src[i])) /
                                           (wide[i] * rows - 1.0f));
        const int lo = std::max(m - t, 0), hi = std::min(m + t, 255);
        const int outside = (c < lo) | (c > hi);
        const int which = outside * (m < c ? 1 : 2);
        choice[i] = static_cast<uint16_t>(which * 256 + c);
    }
}

constexpr TWindowRows kWindowRowsOfThisUnit = {AddRowBody,     SubtractRowBody, TapSumsBody<1>,
                                               TapSumsBody<2>, FloatMeansBody,  SharpenChoicesBody};

} // namespace

} // namespace pixora::kernels
