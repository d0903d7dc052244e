// Point effects. The vector loops take four pixels (sixteen bytes) at a time
// and do exactly what the plain loops after them do for the rest of a run.
#include "effects/quick/point_effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "doc/noise_stream.h"
#include "doc/round_mode.h"

namespace pixora::quick {

namespace {

constexpr uint32_t kColourBytes = 0x00FFFFFFu;

uint8_t* PixelAt(uint8_t* row, int x) {
    return row + 4 * static_cast<std::ptrdiff_t>(x);
}

void CheckPercents(const TChannelPercents& p) {
    for (int v : {p.R, p.G, p.B})
        if (v < 0 || v > 255) throw std::invalid_argument("channel percentages run from 0 to 255");
}

// Blue, green, red factors of the percentages.
std::array<int, 3> Factors(const TChannelPercents& p) {
    CheckPercents(p);
    return {ChannelFactor(p.B), ChannelFactor(p.G), ChannelFactor(p.R)};
}

int SumOfColours(const uint8_t* p) {
    return p[0] + p[1] + p[2];
}

#if PIXORA_QUICK_SSE2
// d * k div 256, rounded towards zero, in 16-bit lanes, for |d| <= 128 and
// 0 <= k < 65536: the high half of (|d| * 256) * k, the sign put back.
inline __m128i TimesDiv256(__m128i d, __m128i k) {
    const __m128i negative = _mm_srai_epi16(d, 15);
    const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(d, negative), negative);
    const __m128i q = _mm_mulhi_epu16(_mm_slli_epi16(magnitude, 8), k);
    return _mm_sub_epi16(_mm_xor_si128(q, negative), negative);
}

// Runs lanes(eight 16-bit lanes) -> lanes over pixels x.. of a row, two
// pixels at a time, four per step, the results limited to 0..255 on
// packing; returns where it stopped (fewer than four pixels before x1).
template <class Lanes> int InSixteenBitLanes(uint8_t* row, int x, int x1, Lanes&& lanes) {
    const __m128i zero = _mm_setzero_si128();
    for (; x + 4 <= x1; x += 4) {
        __m128i* q = reinterpret_cast<__m128i*>(PixelAt(row, x));
        const __m128i v = _mm_loadu_si128(q);
        _mm_storeu_si128(
            q, _mm_packus_epi16(lanes(_mm_unpacklo_epi8(v, zero)), lanes(_mm_unpackhi_epi8(v, zero))));
    }
    return x;
}
#endif

} // namespace

std::array<uint8_t, 256> GammaTable() {
    TRoundToNearest nearest;
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<uint8_t>(RoundHalfEven(std::pow(0.33, i / 255.0) * 128.0));
    return t;
}

void TShiftKernel::operator()(uint8_t* row, int x0, int x1, int) const {
    const int d = delta_;
    int x = x0;
#if PIXORA_QUICK_SSE2
    // Saturating byte arithmetic is the clamp; the fourth byte gets 0.
    const int a = d < 0 ? -d : d;
    const uint32_t step = a > 255 ? kColourBytes : static_cast<uint32_t>(a) * 0x00010101u;
    const __m128i s = _mm_set1_epi32(static_cast<int>(step));
    for (; x + 4 <= x1; x += 4) {
        __m128i* q = reinterpret_cast<__m128i*>(PixelAt(row, x));
        const __m128i v = _mm_loadu_si128(q);
        _mm_storeu_si128(q, d < 0 ? _mm_subs_epu8(v, s) : _mm_adds_epu8(v, s));
    }
#endif
    for (; x < x1; ++x) {
        uint8_t* p = PixelAt(row, x);
        for (int c = 0; c < 3; ++c)
            p[c] = Clamp255(p[c] + d);
    }
}

void TInvertKernel::operator()(uint8_t* row, int x0, int x1, int) const {
    int x = x0;
#if PIXORA_QUICK_SSE2
    const __m128i m = _mm_set1_epi32(static_cast<int>(kColourBytes));
    for (; x + 4 <= x1; x += 4) {
        __m128i* q = reinterpret_cast<__m128i*>(PixelAt(row, x));
        _mm_storeu_si128(q, _mm_xor_si128(_mm_loadu_si128(q), m));
    }
#endif
    for (; x < x1; ++x) {
        uint8_t* p = PixelAt(row, x);
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<uint8_t>(255 - p[c]);
    }
}

TChannelTableKernel::TChannelTableKernel(const std::array<std::array<uint8_t, 256>, 3>& tables) {
    for (int k = 0; k < 3; ++k)
        for (int v = 0; v < 256; ++v)
            wide_[k][v] = static_cast<uint32_t>(tables[k][v]) << (8 * k);
}

void TChannelTableKernel::operator()(uint8_t* row, int x0, int x1, int) const {
    for (int x = x0; x < x1; ++x) {
        uint8_t* p = PixelAt(row, x);
        uint32_t v;
        std::memcpy(&v, p, 4);
        v = (v & ~kColourBytes) | wide_[0][v & 0xFF] | wide_[1][(v >> 8) & 0xFF] | wide_[2][(v >> 16) & 0xFF];
        std::memcpy(p, &v, 4);
    }
}

TSumDeltaKernel::TSumDeltaKernel(const std::array<std::array<int, 766>, 3>& deltas) {
    for (int s = 0; s < 766; ++s) {
        uint32_t v = 0;
        for (int k = 0; k < 3; ++k) {
            const int d = deltas[k][s];
            if (d < 0) throw std::invalid_argument("sum deltas must not be negative");
            v |= static_cast<uint32_t>(d > 255 ? 255 : d) << (8 * k);
        }
        packed_[s] = v;
    }
}

void TSumDeltaKernel::operator()(uint8_t* row, int x0, int x1, int) const {
    // An addition of 255 or more gives 255 as surely as the exact one does,
    // so the saturating byte addition of the limited deltas is the clamp.
    int x = x0;
#if PIXORA_QUICK_SSE2
    for (; x + 4 <= x1; x += 4) {
        uint8_t* p = PixelAt(row, x);
        const __m128i d = _mm_setr_epi32(
            static_cast<int>(packed_[SumOfColours(p)]), static_cast<int>(packed_[SumOfColours(p + 4)]),
            static_cast<int>(packed_[SumOfColours(p + 8)]), static_cast<int>(packed_[SumOfColours(p + 12)]));
        __m128i* q = reinterpret_cast<__m128i*>(p);
        _mm_storeu_si128(q, _mm_adds_epu8(_mm_loadu_si128(q), d));
    }
#endif
    for (; x < x1; ++x) {
        uint8_t* p = PixelAt(row, x);
        const uint32_t d = packed_[SumOfColours(p)];
        for (int c = 0; c < 3; ++c)
            p[c] = Clamp255(p[c] + static_cast<int>((d >> (8 * c)) & 0xFF));
    }
}

TSaturationKernel::TSaturationKernel(const TChannelPercents& p) {
    const auto k = Factors(p);
    for (int c = 0; c < 3; ++c)
        k_[c] = k[c];
}

void TSaturationKernel::operator()(uint8_t* row, int x0, int x1, int) const {
    int x = x0;
#if PIXORA_QUICK_SSE2
    // Two pixels in eight 16-bit lanes. |c - m| <= 128 and 2k <= 1304, so
    // |2k (c - m)| div 256 is the high half of (|c - m| * 256) * 2k, and
    // the sign goes back on afterwards: division towards zero.
    const int16_t k0 = static_cast<int16_t>(2 * k_[0]), k1 = static_cast<int16_t>(2 * k_[1]),
                  k2 = static_cast<int16_t>(2 * k_[2]);
    const __m128i k = _mm_setr_epi16(k0, k1, k2, 0, k0, k1, k2, 0);
    auto lanes = [&](__m128i v) {
        // The colour bytes rotated within each pixel, the fourth byte in place.
        const __m128i s1 =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 0, 2, 1)), _MM_SHUFFLE(3, 0, 2, 1));
        const __m128i s2 =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 1, 0, 2)), _MM_SHUFFLE(3, 1, 0, 2));
        const __m128i mx = _mm_max_epi16(v, _mm_max_epi16(s1, s2));
        const __m128i mn = _mm_min_epi16(v, _mm_min_epi16(s1, s2));
        const __m128i m = _mm_srli_epi16(_mm_add_epi16(mx, mn), 1);
        return _mm_add_epi16(v, TimesDiv256(_mm_sub_epi16(v, m), k));
    };
    x = InSixteenBitLanes(row, x, x1, lanes);
#endif
    for (; x < x1; ++x) {
        uint8_t* p = PixelAt(row, x);
        const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
        const int m = (hi + lo) / 2;
        for (int c = 0; c < 3; ++c)
            p[c] = Clamp255(p[c] + Div256(k_[c] * (p[c] - m) * 2));
    }
}

void TNoiseKernel::operator()(uint8_t* row, int x0, int x1, int y) const {
    // Each run starts a stream of its own, keyed by its row and first column,
    // so rows can be done in any order. A pixel's numbers are the words of
    // one generator output: blue, green and red from words 0..2.
    TNoiseStream stream(seed_ ^ (static_cast<uint32_t>(x0) * 0x9E3779B9u), y);
    int x = x0;
#if PIXORA_QUICK_SSE2
    // Generators 0 and 1 side by side give two pixels per step, generators
    // 2 and 3 the next two, so two chains of steps interleave. The fourth
    // byte's lane draws with 0 and is not offset.
    __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S0));
    __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S1));
    __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S0 + 2));
    __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stream.S1 + 2));
    const __m128i n = _mm_setr_epi16(26, 26, 26, 0, 26, 26, 26, 0);
    const __m128i offset = _mm_setr_epi16(13, 13, 13, 0, 13, 13, 13, 0);
    const __m128i zero = _mm_setzero_si128();
    auto two = [&](uint8_t* p, __m128i words) {
        const __m128i d = _mm_sub_epi16(_mm_mulhi_epu16(words, n), offset);
        const __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
        const __m128i r = _mm_add_epi16(v, d);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(r, r));
    };
    for (; x + 4 <= x1; x += 4) {
        uint8_t* p = PixelAt(row, x);
        two(p, TNoiseStream::StepPair(a0, a1));
        two(p + 8, TNoiseStream::StepPair(b0, b1));
    }
#endif
    uint16_t words[8];
    for (; x < x1; ++x) {
        stream.Next(words);
        uint8_t* p = PixelAt(row, x);
        for (int c = 0; c < 3; ++c)
            p[c] = Clamp255(p[c] + TNoiseStream::Draw(words[c], 26) - 13);
    }
}

namespace {

std::array<std::array<uint8_t, 256>, 3> ContrastTables(const std::array<int, 3>& k) {
    std::array<std::array<uint8_t, 256>, 3> t{};
    for (int c = 0; c < 3; ++c) {
        const int scale = 256 - k[c] / 4;
        for (int v = 0; v < 256; ++v) {
            const int u = v + Div256(k[c] * (v - 127));
            t[c][v] = Clamp255(Div256(scale * u));
        }
    }
    return t;
}

} // namespace

TContrastKernel::TContrastKernel(const TChannelPercents& p) : k_(Factors(p)), tables_(ContrastTables(k_)) {}

void TContrastKernel::operator()(uint8_t* row, int x0, int x1, int y) const {
    int x = x0;
#if PIXORA_QUICK_SSE2
    // Eight 16-bit lanes, two pixels. With d = c - 127 (|d| <= 128) and
    // k <= 652: k * d div 256 is the high half of (|d| * 256) * k, the sign
    // put back after. u = c + that lies in -323..581; a u <= 0 ends at 0,
    // and for u > 0, scale * u div 256 is the high half of (u * 64) *
    // (scale * 4). The fourth byte's lane has k = 0 and scale 256, which
    // gives it back; packing limits the results to 0..255.
    const auto lane = [](int v) { return static_cast<int16_t>(v); };
    const __m128i k =
        _mm_setr_epi16(lane(k_[0]), lane(k_[1]), lane(k_[2]), 0, lane(k_[0]), lane(k_[1]), lane(k_[2]), 0);
    const auto scale4 = [&](int c) { return lane(4 * (256 - k_[c] / 4)); };
    const __m128i scale =
        _mm_setr_epi16(scale4(0), scale4(1), scale4(2), 1024, scale4(0), scale4(1), scale4(2), 1024);
    const __m128i mid = _mm_set1_epi16(127), zero = _mm_setzero_si128();
    auto lanes = [&](__m128i c) {
        const __m128i u = _mm_max_epi16(_mm_add_epi16(c, TimesDiv256(_mm_sub_epi16(c, mid), k)), zero);
        return _mm_mulhi_epu16(_mm_slli_epi16(u, 6), scale);
    };
    x = InSixteenBitLanes(row, x, x1, lanes);
#endif
    if (x < x1) tables_(row, x, x1, y);
}

TContrastKernel ContrastKernel(const TChannelPercents& p) {
    return TContrastKernel(p);
}

TSumDeltaKernel TintKernel(const TChannelPercents& p) {
    const auto k = Factors(p);
    std::array<std::array<int, 766>, 3> d{};
    for (int s = 0; s < 766; ++s) {
        const int a = (s + 2) / 3;
        for (int c = 0; c < 3; ++c)
            d[c][s] = Div256(k[c] * a);
    }
    return TSumDeltaKernel(d);
}

TSumDeltaKernel GammaKernel(const TChannelPercents& p) {
    const auto k = Factors(p);
    const auto table = GammaTable();
    // Blue takes the entry itself, green 8 less, red 4 less.
    constexpr int kOffset[3] = {0, 8, 4};
    std::array<std::array<int, 766>, 3> d{};
    for (int s = 0; s < 766; ++s) {
        const int l = table[s / 3];
        for (int c = 0; c < 3; ++c)
            d[c][s] = Div256(k[c] * (l - kOffset[c]));
    }
    return TSumDeltaKernel(d);
}

} // namespace pixora::quick
