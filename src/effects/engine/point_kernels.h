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

// Every byte through the table of its channel. The tables are widened to
// 32 bits and pre-shifted, so a pixel is one load, four lookups and one
// store.
struct TTableKernel {
    std::array<std::array<uint32_t, 256>, 4> Wide;
    explicit TTableKernel(const std::array<std::array<uint8_t, 256>, 4>& tables) {
        for (int k = 0; k < 4; ++k)
            for (int v = 0; v < 256; ++v) Wide[k][v] = static_cast<uint32_t>(tables[k][v]) << (8 * k);
    }
    void operator()(uint8_t* row, int x0, int x1, int) const {
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0); p < row + 4 * static_cast<std::ptrdiff_t>(x1);
             p += 4) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            v = Wide[0][v & 0xFF] | Wide[1][(v >> 8) & 0xFF] | Wide[2][(v >> 16) & 0xFF] | Wide[3][v >> 24];
            std::memcpy(p, &v, 4);
        }
    }
};

// Mean m of the enabled channels; each enabled c := (c - m) * s / 255 + m.
// Written as plain arithmetic on the four bytes so the compiler vectorises
// it: m = sum * K >> 11 is exact for sums up to 1020 and counts 1..4, and
// |x| / 255 == (|x| + (|x| >> 8) + 1) >> 8 for |x| <= 65025.
struct TSaturationKernel {
    int On[4];
    int MeanFactor;
    int S;
    TSaturationKernel(const TChannelSet& on, uint8_t s) : MeanFactor(0), S(s) {
        int count = 0;
        for (int k = 0; k < 4; ++k) {
            On[k] = on[k] ? 1 : 0;
            count += On[k];
        }
        static constexpr int kFactors[5] = {0, 2048, 1024, 683, 512};
        MeanFactor = kFactors[count];
    }
    static uint8_t Scale(int c, int m, int s, int on) {
        const int d = c - m;
        const int x = (d < 0 ? -d : d) * s;
        const int q = (x + (x >> 8) + 1) >> 8;
        return static_cast<uint8_t>(on ? m + (d < 0 ? -q : q) : c);
    }
    void operator()(uint8_t* row, int x0, int x1, int) const {
        const int s = S;
        for (int x = x0; x < x1; ++x) {
            uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
            const int sum = p[0] * On[0] + p[1] * On[1] + p[2] * On[2] + p[3] * On[3];
            const int m = (sum * MeanFactor) >> 11;
            const uint8_t b0 = Scale(p[0], m, s, On[0]), b1 = Scale(p[1], m, s, On[1]);
            const uint8_t b2 = Scale(p[2], m, s, On[2]), b3 = Scale(p[3], m, s, On[3]);
            p[0] = b0;
            p[1] = b1;
            p[2] = b2;
            p[3] = b3;
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

// c := clamp(c + random(N) - random(N)) on the enabled channels (a
// disabled channel draws with N = 0, which leaves it alone). The hashes of a
// chunk are made first and used second: both loops vectorise.
struct TNoiseKernel {
    uint32_t Seed;
    uint32_t Width;
    std::array<uint32_t, 4> N;
    static uint8_t Step(uint8_t c, uint32_t h, uint32_t n) {
        const int a = static_cast<int>(((h & 0xFFFFu) * n) >> 16);
        const int b = static_cast<int>(((h >> 16) * n) >> 16);
        const int v = c + a - b;
        return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    void operator()(uint8_t* row, int x0, int x1, int y) const {
        constexpr int kChunk = 256;
        uint32_t hashes[4 * kChunk];
        const uint32_t n0 = N[0], n1 = N[1], n2 = N[2], n3 = N[3];
        for (int c0 = x0; c0 < x1; c0 += kChunk) {
            const int count = std::min(kChunk, x1 - c0);
            // Byte i of pixel x is keyed by ((y * Width + x) * 4 + i).
            const uint32_t base = (static_cast<uint32_t>(y) * Width + static_cast<uint32_t>(c0)) * 4u;
            for (int i = 0; i < 4 * count; ++i) hashes[i] = NoiseHash(Seed, base + static_cast<uint32_t>(i));
            uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(c0);
            for (int x = 0; x < count; ++x) {
                p[4 * x] = Step(p[4 * x], hashes[4 * x], n0);
                p[4 * x + 1] = Step(p[4 * x + 1], hashes[4 * x + 1], n1);
                p[4 * x + 2] = Step(p[4 * x + 2], hashes[4 * x + 2], n2);
                p[4 * x + 3] = Step(p[4 * x + 3], hashes[4 * x + 3], n3);
            }
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
