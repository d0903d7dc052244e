#pragma once
// Row kernels of the per-pixel effects. A kernel changes pixels x0..x1-1 of
// one 32-bit row: kernel(row, x0, x1, y). The same kernel serves the
// effect's per-pixel callback (a one-pixel span) and the band loop, so the
// fast path and the callback path cannot drift apart.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "doc/noise_stream.h"
#include "effects/engine/effects.h"
#include "effects/engine/point_lanes.h"

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
template <class Kernel> auto MakeCursor(const Kernel& kernel) {
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
                       int y = y0;
                       // Whole rows two at a time, for a kernel that does better so.
                       if constexpr (requires { cursor.TwoRows(bitmap.Row(y), bitmap.Row(y), w, y); })
                           for (; !mask && y + 1 < y1; y += 2)
                               cursor.TwoRows(bitmap.Row(y), bitmap.Row(y + 1), w, y);
                       for (; y < y1; ++y) {
                           uint8_t* row = bitmap.Row(y);
                           ForEachSpan(mask, y, w, [&](int a, int b) { cursor(row, a, b, y); });
                       }
                   },
                   parallel};
    return ScanWith(bitmap, data, std::move(routine), fast);
}

namespace kernels {

// The streaming loops ask for the memory a few kilobytes ahead of where
// they are: on this kind of machine the hardware's own prefetching leaves
// loops with some work per byte at half the speed of a plain copy. A
// prefetch never faults, so running past the end of the image is harmless.
inline void PrefetchAhead(const void* p) {
#if defined(__GNUC__)
    // As an address, not a pointer into the image: it may lie past its end.
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(p) + 4096));
#else
    (void)p;
#endif
}

inline uint8_t Clamp255(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Every byte through the table of its channel. The tables are widened to
// 32 bits and pre-shifted, so a pixel is one load, four lookups and one
// store. The vector form, where an effect has one, takes runs of four
// pixels first (it returns how many pixels it did) and must give exactly
// what the tables give.
template <class Vector> struct TTableKernel {
    std::array<std::array<uint32_t, 256>, 4> Wide;
    Vector Vec;
    TTableKernel(const std::array<std::array<uint8_t, 256>, 4>& tables, const Vector& vec) : Vec(vec) {
        for (int k = 0; k < 4; ++k)
            for (int v = 0; v < 256; ++v)
                Wide[k][v] = static_cast<uint32_t>(tables[k][v]) << (8 * k);
    }
    void operator()(uint8_t* row, int x0, int x1, int) const {
        x0 += Vec(row + 4 * static_cast<std::ptrdiff_t>(x0), x1 - x0);
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0);
             p < row + 4 * static_cast<std::ptrdiff_t>(x1); p += 4) {
            if ((reinterpret_cast<std::uintptr_t>(p) & 63) == 0) PrefetchAhead(p);
            uint32_t v;
            std::memcpy(&v, p, 4);
            v = Wide[0][v & 0xFF] | Wide[1][(v >> 8) & 0xFF] | Wide[2][(v >> 16) & 0xFF] | Wide[3][v >> 24];
            std::memcpy(p, &v, 4);
        }
    }
};

// No vector form: the tables do everything.
struct TNoVector {
    int operator()(uint8_t*, int) const { return 0; }
};

// Vector forms of the table effects. Each handles whole groups of four
// pixels (16 bytes) and returns the number of pixels done.
#if PIXORA_ENGINE_SSE2
// Runs body(16 bytes) -> 16 bytes over the groups of four pixels.
template <class Body> inline int ForEachGroup(uint8_t* p, int n, Body&& body) {
    const int groups = n / 4;
    for (int i = 0; i < groups; ++i) {
        __m128i* q = reinterpret_cast<__m128i*>(p + 16 * static_cast<std::ptrdiff_t>(i));
        if ((i & 3) == 0) PrefetchAhead(q);
        _mm_storeu_si128(q, body(_mm_loadu_si128(q)));
    }
    return 4 * groups;
}

// The same with each half of the sixteen bytes widened to eight 16-bit
// lanes for half(lanes) -> lanes; results are limited to 0..255 on packing.
template <class Half> inline int ForEachGroupIn16(uint8_t* p, int n, Half&& half) {
    const __m128i zero = _mm_setzero_si128();
    return ForEachGroup(p, n, [&](__m128i v) {
        return _mm_packus_epi16(half(_mm_unpacklo_epi8(v, zero)), half(_mm_unpackhi_epi8(v, zero)));
    });
}
#endif

// Invert: the enabled bytes exclusive-ored with 255.
struct TInvertVector {
    uint32_t Mask;
    int operator()(uint8_t* p, int n) const {
#if PIXORA_ENGINE_SSE2
        const __m128i m = _mm_set1_epi32(static_cast<int>(Mask));
        return ForEachGroup(p, n, [&](__m128i v) { return _mm_xor_si128(v, m); });
#else
        (void)p, (void)n;
        return 0;
#endif
    }
};

// Colour adjust: c + delta limited to 0..255, or (c + delta) mod 256 on a
// wrapping channel, in 16-bit lanes. Deltas beyond +-256 limit every byte
// as +-256 does, and a wrapping delta counts mod 256, so both fit a lane.
struct TAdjustVector {
    std::array<int16_t, 4> Delta;
    std::array<int16_t, 4> Wrap; // -1 where the channel wraps
    TAdjustVector(const TChannelSet& on, const TChannelValues& deltas, const TChannelSet& wrap)
        : Delta{}, Wrap{} {
        for (int k = 0; k < 4; ++k) {
            if (!on[k]) continue;
            Wrap[k] = wrap[k] ? -1 : 0;
            Delta[k] =
                static_cast<int16_t>(wrap[k] ? deltas[k] & 0xFF : std::clamp<int>(deltas[k], -256, 256));
        }
    }
    int operator()(uint8_t* p, int n) const {
#if PIXORA_ENGINE_SSE2
        const __m128i d =
            _mm_setr_epi16(Delta[0], Delta[1], Delta[2], Delta[3], Delta[0], Delta[1], Delta[2], Delta[3]);
        const __m128i w =
            _mm_setr_epi16(Wrap[0], Wrap[1], Wrap[2], Wrap[3], Wrap[0], Wrap[1], Wrap[2], Wrap[3]);
        const __m128i low = _mm_set1_epi16(0xFF);
        return ForEachGroupIn16(p, n, [&](__m128i v) {
            const __m128i sum = _mm_add_epi16(v, d);
            return _mm_or_si128(_mm_and_si128(w, _mm_and_si128(sum, low)), _mm_andnot_si128(w, sum));
        });
#else
        (void)p, (void)n;
        return 0;
#endif
    }
};

// Contrast: c - a * (127 - c) / 255 limited to 0..255, in 32-bit float
// lanes. |a * (127 - c)| <= 2^22, so the product is exact in a float and
// one division truncates to the right integer (see the window effects for
// why quotients of integers below 2^24 do).
// Amounts within +-255 (every amount the dialog gives) take 16-bit lanes
// instead: |a| * |127 - c| <= 32640, and x / 255 ==
// (x + (x >> 8) + 1) >> 8 for 0 <= x <= 65025, the sign put back after.
struct TContrastVector {
    std::array<float, 4> A;
    std::array<int16_t, 4> Magnitude{}, Negative{}; // |a| and -1 where a < 0
    bool Small = true;                              // every |a| <= 255
    TContrastVector(const TChannelSet& on, const TChannelValues& amounts) : A{} {
        for (int k = 0; k < 4; ++k) {
            const int a = on[k] ? amounts[k] : 0;
            A[k] = static_cast<float>(a);
            Small = Small && a >= -255 && a <= 255;
            Magnitude[k] = static_cast<int16_t>(a < 0 ? -a : a);
            Negative[k] = static_cast<int16_t>(a < 0 ? -1 : 0);
        }
    }
    int operator()(uint8_t* p, int n) const {
#if PIXORA_ENGINE_SSE2
        if (Small) {
            const __m128i m = _mm_setr_epi16(Magnitude[0], Magnitude[1], Magnitude[2], Magnitude[3],
                                             Magnitude[0], Magnitude[1], Magnitude[2], Magnitude[3]);
            const __m128i sa = _mm_setr_epi16(Negative[0], Negative[1], Negative[2], Negative[3], Negative[0],
                                              Negative[1], Negative[2], Negative[3]);
            const __m128i mid = _mm_set1_epi16(127), one = _mm_set1_epi16(1);
            return ForEachGroupIn16(p, n, [&](__m128i c) {
                const __m128i d = _mm_sub_epi16(mid, c);
                const __m128i sd = _mm_srai_epi16(d, 15);
                const __m128i x = _mm_mullo_epi16(m, _mm_sub_epi16(_mm_xor_si128(d, sd), sd));
                const __m128i q =
                    _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), one), 8);
                const __m128i negative = _mm_xor_si128(sa, sd);
                return _mm_sub_epi16(c, _mm_sub_epi16(_mm_xor_si128(q, negative), negative));
            });
        }
        const __m128 a = _mm_setr_ps(A[0], A[1], A[2], A[3]), d = _mm_set1_ps(255.0f);
        const __m128i mid = _mm_set1_epi32(127), zero = _mm_setzero_si128();
        auto pixel = [&](__m128i c) {
            const __m128 x = _mm_mul_ps(a, _mm_cvtepi32_ps(_mm_sub_epi32(mid, c)));
            return _mm_sub_epi32(c, _mm_cvttps_epi32(_mm_div_ps(x, d)));
        };
        return ForEachGroup(p, n, [&](__m128i v) {
            const __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
            const __m128i r0 = pixel(_mm_unpacklo_epi16(lo, zero)), r1 = pixel(_mm_unpackhi_epi16(lo, zero));
            const __m128i r2 = pixel(_mm_unpacklo_epi16(hi, zero)), r3 = pixel(_mm_unpackhi_epi16(hi, zero));
            return _mm_packus_epi16(_mm_packs_epi32(r0, r1), _mm_packs_epi32(r2, r3));
        });
#else
        (void)p, (void)n;
        return 0;
#endif
    }
};

// Posterize: round(v / L) * L with halves to even, limited to 255, on all
// four bytes, in 16-bit lanes. floor(v / L) == (v * M) >> 16 with
// M = floor(65536 / L) + 1, since v * L < 65536.
struct TPosterizeVector {
    int L;
    int operator()(uint8_t* p, int n) const {
#if PIXORA_ENGINE_SSE2
        if (L <= 1) return n & ~3; // step 1 changes nothing
        const __m128i l = _mm_set1_epi16(static_cast<int16_t>(L));
        const __m128i m = _mm_set1_epi16(static_cast<int16_t>(65536 / L + 1));
        const __m128i one = _mm_set1_epi16(1), top = _mm_set1_epi16(255);
        return ForEachGroupIn16(p, n, [&](__m128i v) {
            const __m128i q = _mm_mulhi_epu16(v, m);
            const __m128i r2 = _mm_slli_epi16(_mm_sub_epi16(v, _mm_mullo_epi16(q, l)), 1);
            const __m128i odd = _mm_cmpeq_epi16(_mm_and_si128(q, one), one);
            const __m128i up =
                _mm_or_si128(_mm_cmpgt_epi16(r2, l), _mm_and_si128(_mm_cmpeq_epi16(r2, l), odd));
            return _mm_min_epi16(_mm_mullo_epi16(_mm_sub_epi16(q, up), l), top);
        });
#else
        (void)p, (void)n;
        return 0;
#endif
    }
};

// x / 255 for 0 <= x <= 65025 (255 * 255), as the plain loop and the wide
// loops work it out.
constexpr bool QuotientsBy255Hold() {
    for (int x = 0; x <= 65025; ++x)
        if (((x + (x >> 8) + 1) >> 8) != x / 255 || ((x * 0x8081) >> 23) != x / 255) return false;
    return true;
}
static_assert(QuotientsBy255Hold());

// Mean m of the enabled channels; each enabled c := (c - m) * s / 255 + m.
// Integer arithmetic that stays within 16 bits: m = sum * K >> 11 is exact
// for sums up to 1020 and counts 1..4, and |x| / 255 ==
// (|x| + (|x| >> 8) + 1) >> 8 for |x| <= 65025. The wide loops
// (point_lanes.h) take whole vectors of pixels first and give the same.
struct TSaturationKernel {
    int On[4];
    int MeanFactor;
    int S;
    TSaturationLanes Lanes;
    TSaturationKernel(const TChannelSet& on, uint8_t s) : MeanFactor(0), S(s), Lanes{} {
        int count = 0;
        for (int k = 0; k < 4; ++k) {
            On[k] = on[k] ? 1 : 0;
            count += On[k];
        }
        static constexpr int kFactors[5] = {0, 2048, 1024, 683, 512};
        MeanFactor = kFactors[count];
        for (int k = 0; k < 4; ++k) {
            Lanes.OnFactor[k] = static_cast<int16_t>(On[k] * MeanFactor);
            Lanes.Scale[k] = static_cast<int16_t>(On[k] ? S : 255);
        }
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
    void operator()(uint8_t* row, int x0, int x1, int) const {
        if (x1 - x0 >= 4) x0 += SaturationLanes(Lanes, row + 4 * static_cast<std::ptrdiff_t>(x0), x1 - x0);
        Plain(row, x0, x1);
    }
};

// All four bytes inverted where threshold < mean of the enabled channels,
// i.e. where the sum reaches (threshold + 1) * count.
struct TSolarizeKernel {
    uint32_t Keep; // byte mask of the enabled channels
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
#if PIXORA_ENGINE_SSE2
        // Per 32-bit lane: the bytes at even and odd places summed in two
        // 16-bit halves, the halves added; a lane at the limit flips.
        const __m128i keep = _mm_set1_epi32(static_cast<int>(Keep)), low = _mm_set1_epi32(0x00FF00FF);
        const __m128i below = _mm_set1_epi32(Limit - 1);
        x0 += ForEachGroup(row + 4 * static_cast<std::ptrdiff_t>(x0), x1 - x0, [&](__m128i v) {
            const __m128i e = _mm_and_si128(v, keep);
            const __m128i halves =
                _mm_add_epi32(_mm_and_si128(e, low), _mm_and_si128(_mm_srli_epi32(e, 8), low));
            const __m128i sum =
                _mm_add_epi32(_mm_and_si128(halves, _mm_set1_epi32(0xFFFF)), _mm_srli_epi32(halves, 16));
            return _mm_xor_si128(v, _mm_cmpgt_epi32(sum, below));
        });
#endif
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0);
             p < row + 4 * static_cast<std::ptrdiff_t>(x1); p += 4) {
            if ((reinterpret_cast<std::uintptr_t>(p) & 63) == 0) PrefetchAhead(p);
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
        explicit TCursor(const TNoiseKernel& k) : k_(k), stream_(k.Seed, 0) {
            for (int c = 0; c < 4; ++c)
                n_[c] = static_cast<int16_t>(k.N[c]);
        }
        void operator()(uint8_t* row, int x0, int x1, int y) {
            if (y != row_ || static_cast<uint64_t>(x0) < stream_.Position) {
                stream_ = TNoiseStream(k_.Seed, y);
                row_ = y;
            }
            stream_.Skip(x0 - static_cast<int>(stream_.Position));
            int x = x0;
            // An odd start takes one pixel the plain way, so that the
            // wide loops start on an even pixel.
            if ((stream_.Position & 1) && x < x1) Plain(row, x++);
            if (x1 - x >= 2) x += NoiseLanes(stream_, n_, row + 4 * static_cast<std::ptrdiff_t>(x), x1 - x);
            for (; x < x1; ++x)
                Plain(row, x);
        }
        // Rows y and y + 1 whole, their streams side by side as far as the
        // wide loops go.
        void TwoRows(uint8_t* rowA, uint8_t* rowB, int width, int y) {
            TNoiseStream b(k_.Seed, y + 1);
            stream_ = TNoiseStream(k_.Seed, y);
            row_ = y;
            const int done = NoiseLanesTwoRows(stream_, rowA, b, rowB, n_, width);
            (*this)(rowA, done, width, y);
            stream_ = b;
            row_ = y + 1;
            (*this)(rowB, done, width, y + 1);
        }

    private:
        void Plain(uint8_t* row, int x) {
            uint16_t words[8];
            stream_.Next(words);
            uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
            for (int c = 0; c < 4; ++c)
                p[c] = Clamp255(p[c] + TNoiseStream::Draw(words[c], k_.N[c]) -
                                TNoiseStream::Draw(words[4 + c], k_.N[c]));
        }

        const TNoiseKernel& k_;
        int16_t n_[4];
        TNoiseStream stream_;
        int row_ = -1;
    };
    TCursor Cursor() const { return TCursor(*this); }
};

// Replacement colour where any flagged channel's (in window XOR outside)
// holds; the decision flipped by invert.
// With SSE2, sixteen bytes at a time: lower <= c and c <= upper by
// saturating differences, one pixel's flagged results tested as one word.
struct TColourFilterKernel {
    std::array<std::array<uint8_t, 256>, 3> Hit; // per colour channel and value
    uint32_t Replacement;
    uint8_t Invert;
    uint32_t Lower, Upper, Flagged; // bytes in pixel order; Flagged: 0xFF per flagged colour channel
    bool Outside;
    TColourFilterKernel(const TPixelBytes& lower, const TPixelBytes& upper, const TChannelSet& flags,
                        const TPixelBytes& replacement, bool outside, bool invert)
        : Invert(invert ? 1 : 0), Flagged(0), Outside(outside) {
        const uint8_t lo[3] = {lower.B, lower.G, lower.R}, hi[3] = {upper.B, upper.G, upper.R};
        for (int k = 0; k < 3; ++k) {
            for (int c = 0; c < 256; ++c)
                Hit[k][c] = flags[k] && ((lo[k] <= c && c <= hi[k]) != outside) ? 1 : 0;
            if (flags[k]) Flagged |= 0xFFu << (8 * k);
        }
        const uint8_t r[4] = {replacement.B, replacement.G, replacement.R, replacement.T};
        std::memcpy(&Replacement, r, 4);
        const uint8_t l4[4] = {lower.B, lower.G, lower.R, lower.T},
                      u4[4] = {upper.B, upper.G, upper.R, upper.T};
        std::memcpy(&Lower, l4, 4);
        std::memcpy(&Upper, u4, 4);
    }
    void operator()(uint8_t* row, int x0, int x1, int) const {
#if PIXORA_ENGINE_SSE2
        const __m128i lo = _mm_set1_epi32(static_cast<int>(Lower)),
                      hi = _mm_set1_epi32(static_cast<int>(Upper));
        const __m128i flagged = _mm_set1_epi32(static_cast<int>(Flagged));
        const __m128i flip = Outside ? _mm_set1_epi8(-1) : _mm_setzero_si128();
        const __m128i repl = _mm_set1_epi32(static_cast<int>(Replacement)), zero = _mm_setzero_si128();
        const bool invert = Invert != 0;
        x0 += ForEachGroup(row + 4 * static_cast<std::ptrdiff_t>(x0), x1 - x0, [&](__m128i v) {
            const __m128i in = _mm_and_si128(_mm_cmpeq_epi8(_mm_subs_epu8(lo, v), zero),
                                             _mm_cmpeq_epi8(_mm_subs_epu8(v, hi), zero));
            const __m128i results = _mm_and_si128(_mm_xor_si128(in, flip), flagged);
            const __m128i none = _mm_cmpeq_epi32(results, zero); // all ones: no flagged channel holds
            const __m128i take = invert ? none : _mm_xor_si128(none, _mm_set1_epi8(-1));
            return _mm_or_si128(_mm_and_si128(take, repl), _mm_andnot_si128(take, v));
        });
#endif
        for (uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x0);
             p < row + 4 * static_cast<std::ptrdiff_t>(x1); p += 4) {
            if ((Hit[0][p[0]] | Hit[1][p[1]] | Hit[2][p[2]]) != Invert) std::memcpy(p, &Replacement, 4);
        }
    }
};

} // namespace kernels

// Lookup-table effects: every enabled channel byte c becomes table[k][c].
template <class Vector>
bool TEffects::ApplyTables(Bitmap& bitmap, const TChannelSet& channels,
                           const std::array<std::array<uint8_t, 256>, 4>& tables, const Vector& vector) {
    if (bitmap.Empty() || !HasChannel(channels)) return false;
    struct TTableData {
        TChannelSet Channels;
        std::array<std::array<uint8_t, 256>, 4> Tables;
    } data{channels, tables};
    // Disabled channels get the identity so the loop never branches.
    for (int k = 0; k < 4; ++k)
        if (!channels[k])
            for (int v = 0; v < 256; ++v)
                data.Tables[k][v] = static_cast<uint8_t>(v);
    const kernels::TTableKernel<Vector> kernel(data.Tables, vector);
    return ScanWithKernel(bitmap, &data, kernel, true);
}

} // namespace pixora
