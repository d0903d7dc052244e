#include "tools/shapes/soften_edges_bands.h"

#include <cstring>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PIXORA_SOFTEN_X86 1
#endif

namespace pixora {

#ifdef PIXORA_SOFTEN_X86

namespace {

#define PIXORA_AVX2 __attribute__((target("avx2")))
using V = __m256i;

constexpr int kLanes = 8;

// floor(t / d) = (t x m) >> 16 >> shift for every t up to 255 x d + d / 2.
struct TDivision {
    int M = 0, Shift = 0;
    bool Found = false;
    explicit TDivision(int d) {
        for (int shift = 0; shift < 16 && !Found; ++shift) {
            const long long m = ((1LL << (16 + shift)) + d - 1) / d;
            if (m > 65535) break;
            bool exact = true;
            for (long long t = 0; t <= 255LL * d + d / 2 && exact; ++t)
                exact = ((t * m) >> (16 + shift)) == t / d;
            if (exact) M = static_cast<int>(m), Shift = shift, Found = true;
        }
    }
};

struct TPull {
    V A, Fifty, Weights, LowBytes, D, HalfD, M, One, Zero, ByteMask, Up, Down;
    __m128i Shift;
};

PIXORA_AVX2 TPull MakePull(int a, const TDivision& div) {
    TPull k;
    k.A = _mm256_set1_epi16(static_cast<short>(a));
    k.Fifty = _mm256_set1_epi16(50);
    k.Weights = _mm256_set1_epi16(static_cast<short>(a | 50 << 8)); // bytes a, 50
    k.LowBytes = _mm256_set1_epi16(255);
    k.D = _mm256_set1_epi16(static_cast<short>(a + 50));
    k.HalfD = _mm256_set1_epi16(static_cast<short>((a + 50) / 2));
    k.M = _mm256_set1_epi16(static_cast<short>(static_cast<uint16_t>(div.M)));
    k.One = _mm256_set1_epi16(1);
    k.Zero = _mm256_setzero_si256();
    k.ByteMask = _mm256_set1_epi32(255);
    k.Up = _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6);
    k.Down = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
    k.Shift = _mm_cvtsi32_si128(div.Shift);
    return k;
}

// (a x s + 50 x n) / (a + 50) rounded to nearest, halves to even, for the
// 16 pixels bytes whose (s, n) pairs lie interleaved in sn: rounded half
// up, then one less where that was a half and gave an odd number. With
// a + 50 odd there are no halves. The sums stay below 32768 for a up to 78;
// above that the products are taken one by one.
template <bool Halves, bool Wide> PIXORA_AVX2 inline V Pull16(V sn, const TPull& k) {
    V sum;
    if constexpr (Wide) {
        const V s = _mm256_and_si256(sn, k.LowBytes), n = _mm256_srli_epi16(sn, 8);
        sum = _mm256_add_epi16(_mm256_mullo_epi16(s, k.A), _mm256_mullo_epi16(n, k.Fifty));
    } else {
        sum = _mm256_maddubs_epi16(sn, k.Weights);
    }
    const V up = _mm256_add_epi16(sum, k.HalfD);
    const V q = _mm256_srl_epi16(_mm256_mulhi_epu16(up, k.M), k.Shift);
    if constexpr (!Halves) return q;
    const V half = _mm256_cmpeq_epi16(_mm256_mullo_epi16(q, k.D), up);
    return _mm256_sub_epi16(q, _mm256_and_si256(half, _mm256_and_si256(q, k.One)));
}

// The pixels n, each byte pulled toward the same byte of s, where the
// pixel's mask lane is all ones.
template <bool Halves, bool Wide> PIXORA_AVX2 inline V Pull(V n, V s, V mask, const TPull& k) {
    const V lo = Pull16<Halves, Wide>(_mm256_unpacklo_epi8(s, n), k);
    const V hi = Pull16<Halves, Wide>(_mm256_unpackhi_epi8(s, n), k);
    return _mm256_blendv_epi8(n, _mm256_packus_epi16(lo, hi), mask);
}

PIXORA_AVX2 inline V Load(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
PIXORA_AVX2 inline void Store(void* p, V v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

// Stroke pixels of an overlay row: blue byte not 255, columns 1..w-1.
inline bool IsStroke(const uint8_t* orow, int x, int w) {
    return x >= 1 && x < w && orow[static_cast<std::size_t>(x) * 4] != 255;
}

// The stroke pixels among eight overlay pixels: all ones where the blue
// byte is not 255.
PIXORA_AVX2 inline V Marked(V ov, const TPull& k) {
    return _mm256_xor_si256(_mm256_cmpeq_epi32(_mm256_and_si256(ov, k.ByteMask), k.ByteMask),
                            _mm256_set1_epi32(-1));
}

// Every pixel of an image row pulled toward toward[x] where the overlay row
// marks a stroke pixel.
template <bool Halves, bool Wide>
PIXORA_AVX2 void PullRow(uint8_t* row, const uint32_t* toward, const uint8_t* orow, int w, const TPull& k) {
    int x = 0;
    for (; x + kLanes <= w; x += kLanes) {
        V mask = Marked(Load(orow + static_cast<std::size_t>(x) * 4), k);
        if (x == 0) mask = _mm256_blend_epi32(mask, k.Zero, 0x01); // column 0 is no stroke pixel
        if (_mm256_testz_si256(mask, mask)) continue;
        uint8_t* p = row + static_cast<std::size_t>(x) * 4;
        Store(p, Pull<Halves, Wide>(Load(p), Load(toward + x), mask, k));
    }
    for (; x < w; ++x) {
        if (!IsStroke(orow, x, w)) continue;
        uint8_t* p = row + static_cast<std::size_t>(x) * 4;
        uint32_t v;
        std::memcpy(&v, p, 4);
        alignas(32) uint32_t out[kLanes];
        Store(out,
              Pull<Halves, Wide>(_mm256_set1_epi32(static_cast<int>(v)),
                                 _mm256_set1_epi32(static_cast<int>(toward[x])), _mm256_set1_epi32(-1), k));
        std::memcpy(p, out, 4);
    }
}

// marks[x] becomes non-zero where the overlay row holds a stroke pixel.
PIXORA_AVX2 void MarkRow(const uint8_t* orow, uint32_t* marks, int w, const TPull& k) {
    int x = 0;
    for (; x + kLanes <= w; x += kLanes)
        Store(marks + x,
              _mm256_or_si256(Load(marks + x), Marked(Load(orow + static_cast<std::size_t>(x) * 4), k)));
    for (; x < w; ++x)
        marks[x] |= IsStroke(orow, x, w) ? 1u : 0u;
}

// A band of G x 8 rows: vector g holds rows y0 + 8g .. y0 + 8g + 7, lane k of
// it row y0 + 8g + k at column t - 8g - k, so the skew runs on from vector
// to vector and the G chains of a step are independent of one another.
template <int G, bool Halves, bool Wide> struct TBand {
    static constexpr int kRows = G * kLanes;
    const TPull& K;
    Bitmap& Image;
    const Bitmap& Overlay;
    int W = 0;
    // The A values of every step, lane by lane: (w + rows) x rows.
    std::vector<uint32_t> Turns;

    TBand(Bitmap& image, const Bitmap& overlay, const TPull& k)
        : K(k), Image(image), Overlay(overlay), W(image.Width()),
          Turns(static_cast<std::size_t>(image.Width() + kRows) * kRows) {}

    uint32_t Turn(int x, int i) const {
        return Turns[static_cast<std::size_t>(x + i) * kRows + static_cast<std::size_t>(i)];
    }
    // Lane i's A values over the columns [c0, c1).
    void TurnsOfLane(int i, int c0, int c1, uint32_t* row) const {
        for (int x = c0; x < c1; ++x)
            row[x] = Turn(x, i);
    }

    // Rows y0 .. y0 + n - 1 (n <= kRows), columns [c0, c1): every stroke
    // pixel of the band and of the row above it lies inside, with the
    // neighbours it pulls on the left and right. above: A of row y0 - 1, or
    // null for row 0. Writes every pixel's value after the turns of its
    // right and lower neighbours, except that the last row of a full band
    // waits for the next band's turns below it.
    PIXORA_AVX2 void Run(int y0, int n, const uint32_t* aboveA, int c0, int c1) {
        const int w = W;
        uint8_t* base = Image.Row(y0);
        const uint8_t* obase = Overlay.Row(y0);
        const uint8_t* aboveO = aboveA ? Overlay.Row(y0 - 1) : nullptr;
        alignas(32) int32_t rowOff[kRows], orowOff[kRows], active[kRows];
        for (int i = 0; i < kRows; ++i) {
            const bool on = i < n;
            rowOff[i] = on ? static_cast<int32_t>((Image.Row(y0 + i) - base) / 4) : 0;
            orowOff[i] = on ? static_cast<int32_t>((Overlay.Row(y0 + i) - obase) / 4) : 0;
            active[i] = on ? -1 : 0;
        }
        V rows[G], orows[G], on[G], lane[G], prevA[G], prevS[G], A[G], S[G];
        const V zero = _mm256_setzero_si256(), none = _mm256_set1_epi32(-1), first = _mm256_set1_epi32(c0),
                last = _mm256_set1_epi32(c1 - 1), from = _mm256_set1_epi32(c0 > 1 ? c0 - 1 : 0),
                end = _mm256_set1_epi32(c1), seven = _mm256_set1_epi32(kLanes - 1);
        for (int g = 0; g < G; ++g) {
            rows[g] = Load(rowOff + g * kLanes);
            orows[g] = Load(orowOff + g * kLanes);
            on[g] = Load(active + g * kLanes);
            lane[g] =
                _mm256_add_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(g * kLanes));
            prevA[g] = prevS[g] = zero;
        }
        alignas(32) uint32_t out[kRows];
        for (int t = c0; t <= c1 + kRows - 1; ++t) {
            const uint32_t aA = aboveA && t < w ? aboveA[t] : 0;
            const int aS = aboveA && t < c1 && IsStroke(aboveO, t, w) ? -1 : 0;
            for (int g = 0; g < G; ++g) {
                const V x = _mm256_sub_epi32(_mm256_set1_epi32(t), lane[g]);
                const V xc = _mm256_min_epi32(_mm256_max_epi32(x, first), last);
                const V orig = _mm256_i32gather_epi32(reinterpret_cast<const int*>(base),
                                                      _mm256_add_epi32(rows[g], xc), 4);
                const V ov = _mm256_i32gather_epi32(reinterpret_cast<const int*>(obase),
                                                    _mm256_add_epi32(orows[g], xc), 4);
                // Stroke: in the band and the run, column 1 on, blue byte not 255.
                const V inside = _mm256_and_si256(_mm256_cmpgt_epi32(x, from), _mm256_cmpgt_epi32(end, x));
                const V marked =
                    _mm256_xor_si256(_mm256_cmpeq_epi32(_mm256_and_si256(ov, K.ByteMask), K.ByteMask), none);
                S[g] = _mm256_and_si256(_mm256_and_si256(inside, marked), on[g]);
                // The pixel above: the lane before, one step earlier (for lane
                // 0 the last lane of the vector before, or the row above the band).
                const V fromA = g == 0 ? _mm256_set1_epi32(static_cast<int>(aA))
                                       : _mm256_permutevar8x32_epi32(prevA[g - 1], seven);
                const V fromS =
                    g == 0 ? _mm256_set1_epi32(aS) : _mm256_permutevar8x32_epi32(prevS[g - 1], seven);
                const V upA = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(prevA[g], K.Up), fromA, 0x01);
                const V upS = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(prevS[g], K.Up), fromS, 0x01);
                A[g] = Pull<Halves, Wide>(Pull<Halves, Wide>(orig, upA, upS, K), prevA[g], prevS[g], K);
                Store(Turns.data() + static_cast<std::size_t>(t) * kRows + g * kLanes, A[g]);
            }
            if (t > c0) {
                // The pixels of the step before, after the turns of the pixels
                // right of them (this step, same lane) and below them (this
                // step, next lane; none for the band's last lane).
                for (int g = 0; g < G; ++g) {
                    const V nextA = g + 1 < G ? _mm256_permutevar8x32_epi32(A[g + 1], zero) : zero;
                    const V nextS = g + 1 < G ? _mm256_permutevar8x32_epi32(S[g + 1], zero) : zero;
                    const V downA =
                        _mm256_blend_epi32(_mm256_permutevar8x32_epi32(A[g], K.Down), nextA, 0x80);
                    const V downS =
                        _mm256_blend_epi32(_mm256_permutevar8x32_epi32(S[g], K.Down), nextS, 0x80);
                    Store(out + g * kLanes,
                          Pull<Halves, Wide>(Pull<Halves, Wide>(prevA[g], A[g], S[g], K), downA, downS, K));
                }
                const int step = t - 1;
                const bool all = n == kRows && step - (kRows - 1) >= c0 && step < c1;
                for (int i = 0; i < n; ++i)
                    if (all || (step - i >= c0 && step - i < c1))
                        std::memcpy(base + static_cast<std::ptrdiff_t>(rowOff[i] + step - i) * 4, out + i, 4);
            }
            for (int g = 0; g < G; ++g) {
                prevA[g] = A[g];
                prevS[g] = S[g];
            }
        }
    }

    // Column 0 is pulled last by column w - 1 of its row, whose turn lies in
    // a run when it is a stroke pixel.
    PIXORA_AVX2 void WrapColumn(int y0, int n) {
        const int w = W;
        alignas(32) uint32_t out[kLanes];
        for (int i = 0; i < n; ++i) {
            if (!IsStroke(Overlay.Row(y0 + i), w - 1, w)) continue;
            uint8_t* p = Image.Row(y0 + i);
            uint32_t v;
            std::memcpy(&v, p, 4);
            Store(out, Pull<Halves, Wide>(_mm256_set1_epi32(static_cast<int>(v)),
                                          _mm256_set1_epi32(static_cast<int>(Turn(w - 1, i))),
                                          _mm256_set1_epi32(-1), K));
            std::memcpy(p, out, 4);
        }
    }
};

// The columns where a band has work: runs of columns holding a stroke pixel
// of its rows or of the row above, widened by one on each side (the pulled
// neighbours) and joined across gaps too short to be worth a new start.
// Elsewhere nothing changes and every A value is the image's own.
PIXORA_AVX2 std::vector<std::pair<int, int>> RunsOfBand(const Bitmap& overlay, int y0, int n,
                                                        std::vector<uint32_t>& marks, const TPull& k) {
    constexpr int kGap = 64;
    const int w = overlay.Width();
    marks.assign(static_cast<std::size_t>(w), 0);
    for (int y = y0 > 0 ? y0 - 1 : y0; y < y0 + n; ++y)
        MarkRow(overlay.Row(y), marks.data(), w, k);
    marks[0] = 0; // column 0 is no stroke pixel
    std::vector<std::pair<int, int>> runs;
    for (int x = 1; x < w; ++x) {
        if (!marks[static_cast<std::size_t>(x)]) continue;
        const int c0 = x - 1;
        int end = x + 1;
        for (int gap = 0; x < w && gap < kGap; ++x) {
            if (marks[static_cast<std::size_t>(x)]) {
                end = x + 1;
                gap = 0;
            } else {
                ++gap;
            }
        }
        runs.push_back({c0, end + 1 < w ? end + 1 : w});
    }
    return runs;
}

template <int G, bool Halves, bool Wide>
PIXORA_AVX2 void Soften(Bitmap& image, const Bitmap& overlay, const TPull& k) {
    const int w = image.Width(), h = image.Height();
    TBand<G, Halves, Wide> band(image, overlay, k);
    constexpr int kRows = TBand<G, Halves, Wide>::kRows;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    std::vector<uint32_t> aboveRow(static_cast<std::size_t>(w)), lastRow(static_cast<std::size_t>(w)),
        bandFirst(static_cast<std::size_t>(w));
    std::vector<uint32_t> marks;
    bool pending = false; // the last row of the band before waits for this band's first row
    for (int y0 = 0; y0 < h; y0 += kRows) {
        const int n = h - y0 < kRows ? h - y0 : kRows;
        std::memcpy(bandFirst.data(), image.Row(y0), rowBytes);
        std::memcpy(lastRow.data(), image.Row(y0 + n - 1), rowBytes);
        const auto runs = RunsOfBand(overlay, y0, n, marks, k);
        for (const auto& [c0, c1] : runs)
            band.Run(y0, n, y0 > 0 ? aboveRow.data() : nullptr, c0, c1);
        band.WrapColumn(y0, n);
        for (const auto& [c0, c1] : runs) {
            band.TurnsOfLane(0, c0, c1, bandFirst.data());
            band.TurnsOfLane(n - 1, c0, c1, lastRow.data());
        }
        if (pending) PullRow<Halves, Wide>(image.Row(y0 - 1), bandFirst.data(), overlay.Row(y0), w, k);
        // Row 0's turns pull the last row before anything else does.
        if (y0 == 0) PullRow<Halves, Wide>(image.Row(h - 1), bandFirst.data(), overlay.Row(0), w, k);
        aboveRow.swap(lastRow);
        pending = n == kRows;
    }
    // The last row's turns pull row 0 after everything else.
    PullRow<Halves, Wide>(image.Row(0), aboveRow.data(), overlay.Row(h - 1), w, k);
}

} // namespace

bool SoftenStrokeEdgesBands(Bitmap& image, const Bitmap& overlay, int a) {
    const int w = image.Width(), h = image.Height();
    if (w < 16 || h < 16 || a < 0 || a > 100 || image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32 ||
        overlay.Width() != w || overlay.Height() != h)
        return false;
    if (!__builtin_cpu_supports("avx2")) return false;
    const TDivision div(a + 50);
    if (!div.Found) return false;
    // A band must not reach from row 0 to the last row.
    const TPull k = MakePull(a, div);
    const bool halves = (a + 50) % 2 == 0, wide = a > 78;
    if (wide)
        halves ? Soften<1, true, true>(image, overlay, k) : Soften<1, false, true>(image, overlay, k);
    else
        halves ? Soften<1, true, false>(image, overlay, k) : Soften<1, false, false>(image, overlay, k);
    return true;
}

#else

bool SoftenStrokeEdgesBands(Bitmap&, const Bitmap&, int) {
    return false;
}

#endif

} // namespace pixora
