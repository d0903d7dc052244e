#include "tools/shapes/soften_edges_bands.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "doc/row_ranges.h"
#include "tools/shapes/soften_edges.h"
#include "tools/shapes/soften_edges_pull.h"

namespace pixora {

#ifdef PIXORA_SOFTEN_X86

namespace {

using soften::MakePull;
using soften::Pull;
using soften::TPull;
using soften::Transpose8;
using soften::V;

constexpr int kLanes = 8;
// How far ahead of a band's loads each row is fetched, in bytes.
constexpr int kAhead = 512;

PIXORA_AVX2 inline V Load(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
PIXORA_AVX2 inline void Store(void* p, V v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

// The lanes j of eight consecutive columns from x on that lie in [lo, hi).
PIXORA_AVX2 inline V Within(int x, int lo, int hi) {
    const V col = _mm256_add_epi32(_mm256_set1_epi32(x), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    return _mm256_and_si256(_mm256_cmpgt_epi32(col, _mm256_set1_epi32(lo - 1)),
                            _mm256_cmpgt_epi32(_mm256_set1_epi32(hi), col));
}

// The stroke pixels of overlay rows as bits: bit x + kPad of a row is set
// where column x (1..w-1) holds a blue byte other than 255. The pad bits on
// either side are clear, so windows reaching past the row read "no stroke".
constexpr int kPad = 64;

struct TStrokeBits {
    int Bytes = 0;
    explicit TStrokeBits(int w) : Bytes((w + 3 * kPad) / 8 + 8) {}
    // Bits x .. x + 7 of a row (x may lie up to kPad before column 0).
    static unsigned Window(const uint8_t* bits, int x) {
        const int at = x + kPad;
        uint16_t two;
        std::memcpy(&two, bits + (at >> 3), 2);
        return (two >> (at & 7)) & 255u;
    }
    static bool Has(const uint8_t* bits, int x) { return (bits[(x + kPad) >> 3] >> ((x + kPad) & 7)) & 1; }
};

PIXORA_AVX2 void StrokeBitsOf(const uint8_t* orow, int w, uint8_t* bits, int bytes) {
    std::memset(bits, 0, static_cast<std::size_t>(bytes));
    uint8_t* out = bits + kPad / 8;
    const V blue = _mm256_set1_epi32(255);
    int x = 0;
    for (; x + kLanes <= w; x += kLanes) {
        const V none =
            _mm256_cmpeq_epi32(_mm256_and_si256(Load(orow + static_cast<std::size_t>(x) * 4), blue), blue);
        out[x / 8] = static_cast<uint8_t>(~_mm256_movemask_ps(_mm256_castsi256_ps(none)));
    }
    for (; x < w; ++x)
        if (orow[static_cast<std::size_t>(x) * 4] != 255) out[x / 8] |= static_cast<uint8_t>(1u << (x & 7));
    out[0] &= 0xFE; // column 0 is no stroke pixel
}

// Lane masks (all ones) for the set bits of an 8-bit window.
PIXORA_AVX2 inline V MaskOfBits(unsigned window) {
    const V bit = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    return _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(static_cast<int>(window)), bit), bit);
}

// Every pixel of an image row pulled toward toward[x] where the row's
// stroke bits mark column x.
template <bool Halves, bool Wide>
PIXORA_AVX2 void PullRow(uint8_t* row, const uint32_t* toward, const uint8_t* bits, int w, const TPull& k) {
    for (int x = 0; x < w; x += kLanes) {
        const unsigned window = TStrokeBits::Window(bits, x);
        if (!window) continue;
        const V mask = MaskOfBits(window);
        int* p = reinterpret_cast<int*>(row + static_cast<std::size_t>(x) * 4);
        if (x + kLanes <= w) {
            Store(p, Pull<Halves, Wide>(Load(p), Load(toward + x), mask, k));
        } else {
            const V in = Within(x, 0, w);
            const V n = _mm256_maskload_epi32(p, in);
            const V s = _mm256_maskload_epi32(reinterpret_cast<const int*>(toward + x), in);
            _mm256_maskstore_epi32(p, in, Pull<Halves, Wide>(n, s, mask, k));
        }
    }
}

// Waits until a band's published value reaches at. A wait of more than a
// millisecond means the other thread has lost its core (a band takes far
// less): alone is then set, and the bands left go to one thread.
inline void WaitFor(const std::atomic<int>& progress, int at, std::atomic<bool>& alone) {
    for (int spins = 0; spins < 64; ++spins) {
        if (progress.load(std::memory_order_acquire) >= at) return;
        _mm_pause();
    }
    const auto since = std::chrono::steady_clock::now();
    while (progress.load(std::memory_order_acquire) < at) {
        std::this_thread::yield();
        if (!alone.load(std::memory_order_relaxed) &&
            std::chrono::steady_clock::now() - since > std::chrono::milliseconds(1))
            alone.store(true, std::memory_order_relaxed);
    }
}

// What a band reads of the band above it: the A values of its last row
// (null for row 0), that row's stroke bits, and how far the band above has
// got (null where it has ended).
struct TAbove {
    const uint32_t* A = nullptr;
    const uint8_t* Bits = nullptr;
    const std::atomic<int>* Progress = nullptr;
    std::atomic<bool>* Alone = nullptr;
};

// What a band hands on: the A values of its first and last rows, and the
// column below which the last row's are final.
struct TDone {
    uint32_t* FirstA = nullptr;
    uint32_t* LastA = nullptr;
    std::atomic<int>* Progress = nullptr;
    void Publish(int column) const {
        if (column > Progress->load(std::memory_order_relaxed))
            Progress->store(column, std::memory_order_release);
    }
};

// A band of G x 8 rows, worked a column step at a time: vector g holds
// rows 8g .. 8g + 7 of the band, lane k of it row 8g + k at column
// t - 8g - k, so the skew runs on from vector to vector and the G chains of
// a step are independent of one another. Eight steps at a time the pixels
// come in as eight row loads turned into columns, and the finished ones go
// back the same way.
template <int G, bool Halves, bool Wide> struct TBand {
    static constexpr int kRows = G * kLanes;
    const TPull& K;
    Bitmap& Image;
    int W = 0;
    // The A values of every step, lane by lane: step t, lane i at t x rows + i.
    std::vector<uint32_t> Turns;

    TBand(Bitmap& image, const TPull& k)
        : K(k), Image(image), W(image.Width()),
          Turns(static_cast<std::size_t>(image.Width() + kRows + 3 * kLanes) * kRows) {}

    uint32_t Turn(int x, int i) const {
        return Turns[static_cast<std::size_t>(x + i) * kRows + static_cast<std::size_t>(i)];
    }

    // Eight pixels of a band row from column x on; columns outside the
    // image read as 0.
    PIXORA_AVX2 V LoadRow(const uint8_t* row, int x) const {
        const int* p = reinterpret_cast<const int*>(row) + x;
        if (x >= 0 && x + kLanes <= W) return Load(p);
        return _mm256_maskload_epi32(p, Within(x, 0, W));
    }

    // The eight steps of a block from t0 on: in[g][j] the pixels of step
    // t0 + j, win[g] lane k the stroke bits of its row's eight columns;
    // fin[g][j] becomes the finished pixels of the step before. Solid: every
    // mask all ones but the one of the band's last row's pull from below.
    template <bool Solid>
    PIXORA_AVX2 void Steps(int t0, const V (&in)[G][kLanes], const V (&win)[G], V (&fin)[G][kLanes],
                           V (&prevA)[G], V (&prevS)[G], const uint32_t* aboveA, unsigned aboveWindow) {
        const V zero = _mm256_setzero_si256(), first = _mm256_setzero_si256(), ones = _mm256_set1_epi32(-1);
        const V up = _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6),
                down = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
        const V seven = _mm256_set1_epi32(kLanes - 1),
                lastBelow = _mm256_setr_epi32(-1, -1, -1, -1, -1, -1, -1, 0);
        using soften::PullAll;
        for (int j = 0; j < kLanes; ++j) {
            const int t = t0 + j;
            const V bit = _mm256_set1_epi32(1 << j);
            V A[G], S[G];
            for (int g = 0; g < G; ++g) {
                // The pixel above: the lane before, one step earlier (for lane
                // 0 the last lane of the vector before, or the row above the
                // band).
                const V fromA = g == 0 ? _mm256_set1_epi32(aboveA ? static_cast<int>(aboveA[t]) : 0)
                                       : _mm256_permutevar8x32_epi32(prevA[g - 1], seven);
                const V upA = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(prevA[g], up), fromA, 0x01);
                if constexpr (Solid) {
                    S[g] = ones;
                    A[g] = PullAll<Halves, Wide>(PullAll<Halves, Wide>(in[g][j], upA, K), prevA[g], K);
                } else {
                    S[g] = _mm256_cmpeq_epi32(_mm256_and_si256(win[g], bit), bit);
                    const V fromS = g == 0 ? _mm256_set1_epi32((aboveWindow >> j) & 1 ? -1 : 0)
                                           : _mm256_permutevar8x32_epi32(prevS[g - 1], seven);
                    const V upS = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(prevS[g], up), fromS, 0x01);
                    A[g] =
                        Pull<Halves, Wide>(Pull<Halves, Wide>(in[g][j], upA, upS, K), prevA[g], prevS[g], K);
                }
                Store(Turns.data() + static_cast<std::size_t>(t) * kRows + g * kLanes, A[g]);
            }
            // The pixels of the step before, after the turns of the pixels
            // right of them (this step, same lane) and below them (this step,
            // next lane; none for the band's last lane).
            for (int g = 0; g < G; ++g) {
                const V nextA = g + 1 < G ? _mm256_permutevar8x32_epi32(A[g + 1], first) : zero;
                const V downA = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(A[g], down), nextA, 0x80);
                if constexpr (Solid) {
                    const V right = PullAll<Halves, Wide>(prevA[g], A[g], K);
                    fin[g][j] = g + 1 < G ? PullAll<Halves, Wide>(right, downA, K)
                                          : Pull<Halves, Wide>(right, downA, lastBelow, K);
                } else {
                    const V nextS = g + 1 < G ? _mm256_permutevar8x32_epi32(S[g + 1], first) : zero;
                    const V downS = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(S[g], down), nextS, 0x80);
                    fin[g][j] =
                        Pull<Halves, Wide>(Pull<Halves, Wide>(prevA[g], A[g], S[g], K), downA, downS, K);
                }
                prevA[g] = A[g];
                prevS[g] = S[g];
            }
        }
    }

    // Rows y0 .. y0 + n - 1 (n <= kRows), columns [c0, c1): every stroke
    // pixel of the band and of the row above it lies inside, with the
    // neighbours it pulls on the left and right, and no stroke pixel lies
    // within two columns outside. aboveA: the A values of row y0 - 1 (null
    // for row 0), aboveBits its stroke bits, bits those of the band's rows
    // (clear for rows past n). Writes every pixel's value after the turns of
    // its right and lower neighbours, except that the last row of a full
    // band waits for the next band's turns below it.
    PIXORA_AVX2 void Run(int y0, int n, const TAbove& above, const uint8_t* const* bits, int c0, int c1,
                         const TDone& done) {
        const uint32_t* aboveA = above.A;
        const uint8_t* aboveBits = above.Bits;
        uint8_t* rows[kRows];
        for (int i = 0; i < kRows; ++i)
            rows[i] = Image.Row(i < n ? y0 + i : y0);
        const V zero = _mm256_setzero_si256();
        const V byteMask = _mm256_set1_epi32(255), ones = _mm256_set1_epi32(-1);
        V prevA[G], prevS[G];
        for (int g = 0; g < G; ++g)
            prevA[g] = prevS[g] = zero;
        // The last step whose pixels are finished: lane rows - 1 at column c1 - 1.
        const int lastStep = c1 - 1 + kRows - 1;
        done.Publish(c0);
        for (int t0 = c0; t0 - 1 <= lastStep; t0 += kLanes) {
            // The row above must be through with the columns this block reads.
            if (above.Progress) WaitFor(*above.Progress, std::min(t0 + kLanes, W), *above.Alone);
            V in[G][kLanes], win[G], fin[G][kLanes];
            for (int g = 0; g < G; ++g) {
                alignas(32) int32_t windows[kLanes];
                for (int k = 0; k < kLanes; ++k) {
                    const int i = g * kLanes + k;
                    in[g][k] = LoadRow(rows[i], t0 - i);
                    // Sixteen rows at once are more streams than the
                    // hardware follows on its own.
                    _mm_prefetch(reinterpret_cast<const char*>(rows[i]) +
                                     static_cast<std::ptrdiff_t>(t0 - i) * 4 + kAhead,
                                 _MM_HINT_T0);
                    windows[k] = static_cast<int32_t>(TStrokeBits::Window(bits[i], t0 - i));
                }
                Transpose8(in[g]);
                win[g] = Load(windows);
            }
            const unsigned aboveWindow = TStrokeBits::Window(aboveBits, t0);
            // Within a solid block (every pixel a stroke pixel, with the row
            // above and the step before) no pull needs its mask.
            bool solid = aboveA && aboveWindow == 255u && n == kRows;
            for (int g = 0; g < G && solid; ++g)
                solid = _mm256_testc_si256(_mm256_cmpeq_epi32(win[g], byteMask), ones) &&
                        _mm256_testc_si256(prevS[g], ones);
            if (solid)
                Steps<true>(t0, in, win, fin, prevA, prevS, aboveA, aboveWindow);
            else
                Steps<false>(t0, in, win, fin, prevA, prevS, aboveA, aboveWindow);
            // fin[g][j] lane k: row 8g + k at column t0 + j - 1 - 8g - k.
            for (int g = 0; g < G; ++g) {
                Transpose8(fin[g]);
                for (int k = 0; k < kLanes; ++k) {
                    const int i = g * kLanes + k;
                    if (i >= n) break;
                    const int x = t0 - 1 - i;
                    int* p = reinterpret_cast<int*>(rows[i]) + x;
                    if (x >= c0 && x + kLanes <= c1)
                        Store(p, fin[g][k]);
                    else if (x + kLanes > c0 && x < c1)
                        _mm256_maskstore_epi32(p, Within(x, c0, c1), fin[g][k]);
                }
            }
            // The A values of the band's first and last rows for the columns
            // this block finished, the last row's for the band below.
            for (int t = t0; t < t0 + kLanes; ++t) {
                if (t >= c0 && t < c1) done.FirstA[t] = Turns[static_cast<std::size_t>(t) * kRows];
                const int x = t - (n - 1);
                if (x >= c0 && x < c1)
                    done.LastA[x] =
                        Turns[static_cast<std::size_t>(t) * kRows + static_cast<std::size_t>(n - 1)];
            }
            done.Publish(std::min(t0 + kLanes - (n - 1), c1));
        }
        done.Publish(c1);
    }

    // Column 0 is pulled last by column w - 1 of its row, whose turn lies in
    // a run when it is a stroke pixel.
    PIXORA_AVX2 void WrapColumn(int y0, int n, const uint8_t* const* bits) {
        alignas(32) uint32_t out[kLanes];
        for (int i = 0; i < n; ++i) {
            if (!TStrokeBits::Has(bits[i], W - 1)) continue;
            uint8_t* p = Image.Row(y0 + i);
            uint32_t v;
            std::memcpy(&v, p, 4);
            Store(out, Pull<Halves, Wide>(_mm256_set1_epi32(static_cast<int>(v)),
                                          _mm256_set1_epi32(static_cast<int>(Turn(W - 1, i))),
                                          _mm256_set1_epi32(-1), K));
            std::memcpy(p, out, 4);
        }
    }
};

// The columns where a band has work: runs of columns holding a stroke pixel
// of its rows or of the row above, widened by one on each side (the pulled
// neighbours) and joined across gaps too short to be worth a new start.
// Elsewhere nothing changes and every A value is the image's own.
std::vector<std::pair<int, int>> RunsOfBand(const uint8_t* const* bits, int rows, int w, int bytes,
                                            std::vector<uint64_t>& marks) {
    constexpr int kGap = 48;
    const std::size_t words = static_cast<std::size_t>(bytes) / 8;
    marks.assign(words, 0);
    for (int r = 0; r < rows; ++r)
        for (std::size_t i = 0; i < words; ++i) {
            uint64_t word;
            std::memcpy(&word, bits[r] + i * 8, 8);
            marks[i] |= word;
        }
    std::vector<std::pair<int, int>> runs;
    int from = -1, last = -1;
    for (std::size_t i = 0; i < words; ++i)
        for (uint64_t word = marks[i]; word; word &= word - 1) {
            const int x = static_cast<int>(i * 64) + __builtin_ctzll(word) - kPad;
            if (from >= 0 && x - last < kGap) {
                last = x;
                continue;
            }
            if (from >= 0) runs.push_back({from - 1, std::min(last + 2, w)});
            from = last = x;
        }
    if (from >= 0) runs.push_back({from - 1, std::min(last + 2, w)});
    return runs;
}

// Every row's stroke bits, worked out on both cores (the rows are
// independent); row h is clear, for the rows past a part band. With clear
// (the overlay itself) each row is made white once its bits are taken,
// while it is still at hand.
PIXORA_AVX2 void StrokeBitsOfRows(const Bitmap& overlay, std::vector<uint8_t>& store, int bytes,
                                  Bitmap* clear) {
    const int w = overlay.Width(), h = overlay.Height();
    store.assign(static_cast<std::size_t>(bytes) * static_cast<std::size_t>(h + 1), 0);
    ForRowRanges(h, static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            StrokeBitsOf(overlay.Row(y), w, store.data() + static_cast<std::size_t>(y) * bytes, bytes);
            if (clear) WhiteOverlayRow(clear->Row(y), w);
        }
    });
}

// Whether the column runs of sixteen-row bands are 128 columns wide or more
// on the average.
bool LongRuns(const std::vector<uint8_t>& bitStore, int w, int h, int bytes) {
    constexpr int kRows = 2 * kLanes;
    std::vector<uint64_t> marks;
    long long columns = 0, count = 0;
    for (int y0 = 0; y0 < h; y0 += kRows) {
        const int n = std::min(kRows, h - y0);
        const uint8_t* rows[kRows];
        for (int i = 0; i < n; ++i)
            rows[i] = bitStore.data() + static_cast<std::size_t>(y0 + i) * static_cast<std::size_t>(bytes);
        for (const auto& [c0, c1] : RunsOfBand(rows, n, w, bytes, marks)) {
            columns += c1 - c0;
            ++count;
        }
    }
    return count > 0 && columns >= 128 * count;
}

// The bands run one after another in the order of their rows, or on two
// cores as a wavefront: each thread takes the next band in row order, and a
// band keeps a block of columns behind the band above it, so that every
// pixel still sees the values the pixel order gives it. A band waits for
// the one above before each block of columns, and for its whole work before
// pulling that band's last row; the last band waits for row 0's pull of its
// last row. Everything is allocated before the threads start.
template <int G, bool Halves, bool Wide>
PIXORA_AVX2 void Soften(Bitmap& image, const std::vector<uint8_t>& bitStore, const TPull& k) {
    const int w = image.Width(), h = image.Height();
    constexpr int kRows = TBand<G, Halves, Wide>::kRows;
    const int bytes = TStrokeBits(w).Bytes;
    const auto bitsOf = [&](int y) -> const uint8_t* {
        return bitStore.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(bytes);
    };
    const int bandCount = (h + kRows - 1) / kRows;
    // The runs of every band: band b's are runs[runFrom[b] .. runFrom[b + 1]).
    std::vector<std::pair<int, int>> runs;
    std::vector<int> runFrom(static_cast<std::size_t>(bandCount) + 1, 0);
    std::vector<uint64_t> marks;
    for (int b = 0; b < bandCount; ++b) {
        const int y0 = b * kRows, n = std::min(kRows, h - y0);
        const uint8_t* rows[kRows + 1];
        rows[0] = y0 > 0 ? bitsOf(y0 - 1) : bitsOf(h);
        for (int i = 0; i < n; ++i)
            rows[i + 1] = bitsOf(y0 + i);
        for (const auto& run : RunsOfBand(rows, n + 1, w, bytes, marks))
            runs.push_back(run);
        runFrom[static_cast<std::size_t>(b) + 1] = static_cast<int>(runs.size());
    }
    // A values of every band's last row (a band may still read the one
    // above while a later band writes its own), and of each thread's band's
    // first row; read past the row's end by a band's last steps.
    const std::size_t padded = static_cast<std::size_t>(w + kRows + 3 * kLanes);
    std::vector<uint32_t> lastA(static_cast<std::size_t>(bandCount) * padded), firstA(2 * padded);
    std::vector<std::atomic<int>> progress(static_cast<std::size_t>(bandCount)),
        finished(static_cast<std::size_t>(bandCount));
    std::atomic<int> next{0};
    std::atomic<bool> alone{false};
    TBand<G, Halves, Wide> bands[2] = {{image, k}, {image, k}};

    const auto work = [&](int b, int lane) {
        const int y0 = b * kRows, n = std::min(kRows, h - y0);
        const std::size_t at = static_cast<std::size_t>(b);
        TBand<G, Halves, Wide>& band = bands[lane];
        // Row 0's turns pull the last row before it has a turn.
        if (b > 0 && y0 + n == h) WaitFor(finished[0], 1, alone);
        TAbove above;
        above.Bits = bitsOf(b > 0 ? y0 - 1 : h);
        if (b > 0) {
            above.A = lastA.data() + (at - 1) * padded;
            above.Progress = &progress[at - 1];
            above.Alone = &alone;
        }
        const TDone done{firstA.data() + static_cast<std::size_t>(lane) * padded, lastA.data() + at * padded,
                         &progress[at]};
        const uint8_t* rowBits[kRows];
        for (int i = 0; i < kRows; ++i)
            rowBits[i] = bitsOf(i < n ? y0 + i : h);
        for (int r = runFrom[at]; r < runFrom[at + 1]; ++r)
            band.Run(y0, n, above, rowBits, runs[static_cast<std::size_t>(r)].first,
                     runs[static_cast<std::size_t>(r)].second, done);
        done.Publish(w);
        band.WrapColumn(y0, n, rowBits);
        // The band above's last row waited for this band's first row's turns.
        if (b > 0) {
            WaitFor(finished[at - 1], 1, alone);
            PullRow<Halves, Wide>(image.Row(y0 - 1), done.FirstA, rowBits[0], w, k);
        } else {
            PullRow<Halves, Wide>(image.Row(h - 1), done.FirstA, rowBits[0], w, k);
        }
        finished[at].store(1, std::memory_order_release);
    };
    // Each thread takes the next band in row order until none is left; the
    // second stops once a wait has shown it cannot keep up.
    ForRowRanges(2, image.ByteSize(), [&](int first, int end) {
        const int lane = end - first == 2 ? 0 : first;
        while (lane == 0 || !alone.load(std::memory_order_relaxed)) {
            const int b = next.fetch_add(1);
            if (b >= bandCount) break;
            work(b, lane);
        }
    });
    // The last row's turns pull row 0 after everything else.
    PullRow<Halves, Wide>(image.Row(0), lastA.data() + static_cast<std::size_t>(bandCount - 1) * padded,
                          bitsOf(h - 1), w, k);
}

} // namespace

namespace {

bool Bands(Bitmap& image, const Bitmap& overlay, int a, Bitmap* clear) {
    const int w = image.Width(), h = image.Height();
    if (w < 16 || h < 16 || a < 0 || a > 100 || image.BitsPerPixel() != 32 || overlay.BitsPerPixel() != 32 ||
        overlay.Width() != w || overlay.Height() != h)
        return false;
    if (!__builtin_cpu_supports("avx2")) return false;
    const TPull k = MakePull(a);
    if (!k.Found) return false;
    const int bytes = TStrokeBits(w).Bytes;
    std::vector<uint8_t> bits;
    StrokeBitsOfRows(overlay, bits, bytes, clear);
    // A band must not reach from row 0 to the last row. Four vectors of rows
    // keep more independent chains going but lose more steps at either end
    // of a run of columns: they pay where the runs are long.
    const int groups = h > 4 * kLanes && LongRuns(bits, w, h, bytes) ? 4 : h > 2 * kLanes ? 2 : 1;
    const int wide = a > 78 ? 1 : 0, halves = (a + 50) % 2 == 0 ? 2 : 0;
    using TSoften = void (*)(Bitmap&, const std::vector<uint8_t>&, const TPull&);
    // [groups / 2][halves + wide]
    static constexpr TSoften kSoften[3][4] = {
        {&Soften<1, false, false>, &Soften<1, false, true>, &Soften<1, true, false>, &Soften<1, true, true>},
        {&Soften<2, false, false>, &Soften<2, false, true>, &Soften<2, true, false>, &Soften<2, true, true>},
        {&Soften<4, false, false>, &Soften<4, false, true>, &Soften<4, true, false>, &Soften<4, true, true>}};
    kSoften[groups / 2][halves + wide](image, bits, k);
    return true;
}

} // namespace

bool SoftenStrokeEdgesBands(Bitmap& image, const Bitmap& overlay, int a) {
    return Bands(image, overlay, a, nullptr);
}

bool SoftenStrokeEdgesBandsAndClear(Bitmap& image, Bitmap& overlay, int a) {
    return Bands(image, overlay, a, &overlay);
}

#else

bool SoftenStrokeEdgesBands(Bitmap&, const Bitmap&, int) {
    return false;
}

bool SoftenStrokeEdgesBandsAndClear(Bitmap&, Bitmap&, int) {
    return false;
}

#endif

} // namespace pixora
