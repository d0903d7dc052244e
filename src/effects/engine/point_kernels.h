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
#include "effects/engine/noise_stream.h"

// The vector paths need nothing beyond SSE2, which every x86-64 processor
// has; elsewhere the plain loops (same arithmetic) do the work.
#if defined(__SSE2__)
#include <emmintrin.h>
#define PIXORA_ENGINE_SSE2 1
#else
#define PIXORA_ENGINE_SSE2 0
#endif

namespace pixora {

namespace kernels {

// A kernel that carries state along a row (noise: its random stream) hands
// out cursors, one per band or walk; a cursor is called like the kernel.
// Kernels without state serve as their own cursor.
template <class Kernel>
auto MakeCursor(const Kernel& kernel) {
    if constexpr (requires { kernel.Cursor(); })
        return kernel.Cursor();
    else
        return [&kernel](uint8_t* row, int x0, int x1, int y) { kernel(row, x0, x1, y); };
}

} // namespace kernels

template <class Kernel>
bool TEffects::ScanWithKernel(Bitmap& bitmap, void* data, const Kernel& kernel, bool parallel) {
    TScanEvent routine = [cursor = kernels::MakeCursor(kernel)](TPixelRef& p, int& x, int& y, void*,
                                                                 bool&) mutable {
        cursor(p.B - 4 * static_cast<std::ptrdiff_t>(x), x, x + 1, y);
    };
    TFastWalk fast{[this, &bitmap, &kernel](int y0, int y1, const Bitmap* mask) {
                       const int w = bitmap.Width();
                       auto cursor = kernels::MakeCursor(kernel);
                       for (int y = y0; y < y1; ++y) {
                           uint8_t* row = bitmap.Row(y);
                           ForEachSpan(mask, y, w, [&](int a, int b) { cursor(row, a, b, y); });
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
// Integer arithmetic that stays within 16 bits: m = sum * K >> 11 is exact
// for sums up to 1020 and counts 1..4, and |x| / 255 ==
// (|x| + (|x| >> 8) + 1) >> 8 for |x| <= 65025. With SSE2 four pixels go
// through one pass of 16-bit lanes; the plain loop does the same sums.
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
    void Plain(uint8_t* row, int x0, int x1) const {
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
#if PIXORA_ENGINE_SSE2
    // Two pixels in eight 16-bit lanes.
    static __m128i Lanes(__m128i v, __m128i on, __m128i factor, __m128i s) {
        const __m128i e = _mm_and_si128(v, on);
        // Sum of the enabled channels in every lane of its pixel.
        const __m128i pairs = _mm_add_epi16(e, _mm_or_si128(_mm_slli_epi32(e, 16), _mm_srli_epi32(e, 16)));
        const __m128i sum = _mm_add_epi16(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(2, 3, 0, 1)));
        const __m128i m = _mm_mulhi_epu16(_mm_slli_epi16(sum, 5), factor);  // sum * K >> 11
        const __m128i d = _mm_sub_epi16(v, m);
        const __m128i negative = _mm_srai_epi16(d, 15);
        const __m128i magnitude = _mm_max_epi16(d, _mm_sub_epi16(_mm_setzero_si128(), d));
        const __m128i x = _mm_mullo_epi16(magnitude, s);
        const __m128i q = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), _mm_set1_epi16(1)), 8);
        const __m128i r = _mm_add_epi16(m, _mm_sub_epi16(_mm_xor_si128(q, negative), negative));
        return _mm_or_si128(_mm_and_si128(on, r), _mm_andnot_si128(on, v));
    }
#endif
    void operator()(uint8_t* row, int x0, int x1, int) const {
#if PIXORA_ENGINE_SSE2
        const __m128i on = _mm_setr_epi16(On[0] ? -1 : 0, On[1] ? -1 : 0, On[2] ? -1 : 0, On[3] ? -1 : 0,
                                          On[0] ? -1 : 0, On[1] ? -1 : 0, On[2] ? -1 : 0, On[3] ? -1 : 0);
        const __m128i factor = _mm_set1_epi16(static_cast<int16_t>(MeanFactor));
        const __m128i s = _mm_set1_epi16(static_cast<int16_t>(S));
        const __m128i zero = _mm_setzero_si128();
        for (; x0 + 4 <= x1; x0 += 4) {
            uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0);
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i lo = Lanes(_mm_unpacklo_epi8(v, zero), on, factor, s);
            const __m128i hi = Lanes(_mm_unpackhi_epi8(v, zero), on, factor, s);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(lo, hi));
        }
#endif
        Plain(row, x0, x1);
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

// c := clamp(c + random(N) - random(N)) on the enabled channels, the draws
// from the row's noise stream (a disabled channel draws with N = 0, which
// leaves it alone). The cursor keeps the stream of the row it is in, so a
// walk from left to right makes each row's stream once.
struct TNoiseKernel {
    uint32_t Seed;
    std::array<int, 4> N;

    class TCursor {
    public:
        explicit TCursor(const TNoiseKernel& k) : k_(k), stream_(k.Seed, 0) {}
        void operator()(uint8_t* row, int x0, int x1, int y) {
            if (y != row_ || x0 < pos_) {
                stream_ = TNoiseStream(k_.Seed, y);
                row_ = y;
                pos_ = 0;
            }
            stream_.Skip(x0 - pos_);
            pos_ = x1;
            int x = x0;
#if PIXORA_ENGINE_SSE2
            const __m128i n = _mm_setr_epi16(static_cast<int16_t>(k_.N[0]), static_cast<int16_t>(k_.N[1]),
                                             static_cast<int16_t>(k_.N[2]), static_cast<int16_t>(k_.N[3]),
                                             static_cast<int16_t>(k_.N[0]), static_cast<int16_t>(k_.N[1]),
                                             static_cast<int16_t>(k_.N[2]), static_cast<int16_t>(k_.N[3]));
            const __m128i zero = _mm_setzero_si128();
            __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream_.S0));
            __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream_.S1));
            // One step of both generators: the eight words of one pixel.
            auto step = [&] {
                __m128i a = s0;
                const __m128i b = s1;
                s0 = b;
                a = _mm_xor_si128(a, _mm_slli_epi64(a, 23));
                s1 = _mm_xor_si128(_mm_xor_si128(a, b), _mm_xor_si128(_mm_srli_epi64(a, 18), _mm_srli_epi64(b, 5)));
                return _mm_add_epi64(s1, b);
            };
            // First draws minus second draws, in lanes 0..3.
            auto change = [&] {
                const __m128i draws = _mm_mulhi_epu16(step(), n);
                return _mm_sub_epi16(draws, _mm_srli_si128(draws, 8));
            };
            for (; x + 2 <= x1; x += 2) {
                uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
                const __m128i d0 = change();
                const __m128i d = _mm_unpacklo_epi64(d0, change());
                const __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
                const __m128i r = _mm_add_epi16(v, d);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(r, r));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(stream_.S0), s0);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(stream_.S1), s1);
#endif
            for (; x < x1; ++x) {
                uint16_t words[8];
                stream_.Next(words);
                uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
                for (int c = 0; c < 4; ++c)
                    p[c] = Clamp255(p[c] + TNoiseStream::Draw(words[c], k_.N[c]) -
                                    TNoiseStream::Draw(words[4 + c], k_.N[c]));
            }
        }

    private:
        const TNoiseKernel& k_;
        TNoiseStream stream_;
        int row_ = -1, pos_ = 0;
    };
    TCursor Cursor() const { return TCursor(*this); }
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
