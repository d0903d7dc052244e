#pragma once
// Row kernels of the per-pixel effects. A kernel changes pixels x0..x1-1 of
// one 32-bit row: kernel(row, x0, x1, y). The same kernel serves the
// effect's per-pixel callback (a one-pixel span) and the band loop, so the
// fast path and the callback path cannot drift apart.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "effects/engine/effects.h"

namespace pixora {

template <class Kernel>
bool TEffects::ScanWithKernel(Bitmap& bitmap, void* data, const Kernel& kernel, bool parallel) {
    TScanEvent routine = [&kernel](TPixelRef& p, int& x, int& y, void*, bool&) {
        kernel(p.B - 4 * static_cast<std::ptrdiff_t>(x), x, x + 1, y);
    };
    TFastWalk fast{[this, &bitmap, &kernel](int y0, int y1, const Bitmap* mask) {
                       const int w = bitmap.Width();
                       for (int y = y0; y < y1; ++y) {
                           uint8_t* row = bitmap.Row(y);
                           ForEachSpan(mask, y, w, [&](int a, int b) { kernel(row, a, b, y); });
                       }
                   },
                   parallel};
    return ScanWith(bitmap, data, std::move(routine), fast);
}

namespace kernels {

inline uint8_t Clamp255(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Every byte through the table of its channel.
struct TTableKernel {
    const std::array<std::array<uint8_t, 256>, 4>* Tables;
    void operator()(uint8_t* row, int x0, int x1, int) const {
        const auto& t = *Tables;
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0); p < row + 4 * static_cast<std::ptrdiff_t>(x1);
             p += 4) {
            p[0] = t[0][p[0]];
            p[1] = t[1][p[1]];
            p[2] = t[2][p[2]];
            p[3] = t[3][p[3]];
        }
    }
};

// Mean m of the enabled channels; each enabled c := (c - m) * s / 255 + m.
struct TSaturationKernel {
    std::array<bool, 4> On;
    std::array<uint8_t, 4> Keep;      // 0xFF for enabled channels (sum mask)
    std::array<uint8_t, 1021> Mean;   // sum -> sum / count
    std::array<int16_t, 511> Scaled;  // d + 255 -> d * s / 255 (truncated)
    TSaturationKernel(const TChannelSet& on, uint8_t s) : On(on) {
        int count = 0;
        for (int k = 0; k < 4; ++k) {
            Keep[k] = on[k] ? 0xFF : 0;
            count += on[k] ? 1 : 0;
        }
        for (int sum = 0; sum < 1021; ++sum) Mean[sum] = static_cast<uint8_t>(std::min(sum / count, 255));
        for (int d = -255; d <= 255; ++d) Scaled[d + 255] = static_cast<int16_t>(d * s / 255);
    }
    void operator()(uint8_t* row, int x0, int x1, int) const {
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0); p < row + 4 * static_cast<std::ptrdiff_t>(x1);
             p += 4) {
            const int m = Mean[(p[0] & Keep[0]) + (p[1] & Keep[1]) + (p[2] & Keep[2]) + (p[3] & Keep[3])];
            for (int k = 0; k < 4; ++k)
                if (On[k]) p[k] = static_cast<uint8_t>(m + Scaled[p[k] - m + 255]);
        }
    }
};

// All four bytes inverted where threshold < mean of the enabled channels,
// i.e. where the sum reaches (threshold + 1) * count.
struct TSolarizeKernel {
    uint32_t Keep;  // byte mask of the enabled channels
    int Limit;
    TSolarizeKernel(const TChannelSet& on, uint8_t threshold) : Keep(0), Limit(0) {
        int count = 0;
        for (int k = 0; k < 4; ++k)
            if (on[k]) {
                Keep |= 0xFFu << (8 * k);
                ++count;
            }
        Limit = (threshold + 1) * count;
    }
    void operator()(uint8_t* row, int x0, int x1, int) const {
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0); p < row + 4 * static_cast<std::ptrdiff_t>(x1);
             p += 4) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            const uint32_t e = v & Keep;
            const int sum = static_cast<int>((e & 0xFF) + ((e >> 8) & 0xFF) + ((e >> 16) & 0xFF) + (e >> 24));
            v ^= sum >= Limit ? 0xFFFFFFFFu : 0u;
            std::memcpy(p, &v, 4);
        }
    }
};

// Position-keyed random numbers for noise, so the result does not depend on
// the order in which rows are visited.
inline uint32_t NoiseHash(uint32_t seed, uint32_t i) {
    uint32_t x = i * 0x9E3779B9u + seed;
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// c := clamp(c + random(N) - random(N)) on the enabled channels.
struct TNoiseKernel {
    uint32_t Seed;
    uint32_t Width;
    uint32_t N;
    std::array<uint8_t, 4> Keep;
    void operator()(uint8_t* row, int x0, int x1, int y) const {
        // Byte i of the row is channel i & 3 of pixel i / 4.
        const uint32_t base = static_cast<uint32_t>(y) * Width * 4u;
        for (int i = 4 * x0; i < 4 * x1; ++i) {
            const uint32_t h = NoiseHash(Seed, base + static_cast<uint32_t>(i));
            const int a = static_cast<int>(((h & 0xFFFFu) * N) >> 16);
            const int b = static_cast<int>(((h >> 16) * N) >> 16);
            int v = row[i] + a - b;
            v = v < 0 ? 0 : (v > 255 ? 255 : v);
            const uint8_t keep = Keep[static_cast<unsigned>(i) & 3u];
            row[i] = static_cast<uint8_t>((v & keep) | (row[i] & ~keep));
        }
    }
};

// Replacement colour where any flagged channel's (in window XOR outside)
// holds; the decision flipped by invert.
struct TColourFilterKernel {
    std::array<std::array<uint8_t, 256>, 3> Hit;  // per colour channel and value
    uint32_t Replacement;
    uint8_t Invert;
    TColourFilterKernel(const TPixelBytes& lower, const TPixelBytes& upper, const TChannelSet& flags,
                        const TPixelBytes& replacement, bool outside, bool invert)
        : Invert(invert ? 1 : 0) {
        const uint8_t lo[3] = {lower.B, lower.G, lower.R}, hi[3] = {upper.B, upper.G, upper.R};
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 256; ++c)
                Hit[k][c] = flags[k] && ((lo[k] <= c && c <= hi[k]) != outside) ? 1 : 0;
        const uint8_t r[4] = {replacement.B, replacement.G, replacement.R, replacement.T};
        std::memcpy(&Replacement, r, 4);
    }
    void operator()(uint8_t* row, int x0, int x1, int) const {
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0); p < row + 4 * static_cast<std::ptrdiff_t>(x1);
             p += 4) {
            if ((Hit[0][p[0]] | Hit[1][p[1]] | Hit[2][p[2]]) != Invert) std::memcpy(p, &Replacement, 4);
        }
    }
};

} // namespace kernels
} // namespace pixora
