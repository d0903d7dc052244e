// Two-bitmap window effects: blur and sharpen. Both read a square window of
// the source around each pixel and write the target only, so results never
// feed back. The band form keeps running column sums down the image and
// takes each window's sum as a difference of their prefix sums along the
// row, so the cost does not grow with the radius.
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <vector>

#include <emmintrin.h>

#include "doc/round_mode.h"
#include "effects/engine/effects.h"
#include "effects/engine/point_kernels.h"
#include "effects/engine/window_rows.h"

namespace pixora {

uint8_t EngineContrastValue(int c, int a);

struct TEffects::TWindowData {
    TChannelSet Channels{};
    int Radius = 0;
    bool Sharpen = false;
    // Sharpen parameters and their per-value tables.
    uint8_t Threshold = 0;
    double Percent = 0;
    uint8_t Mode = 0;
    std::array<uint8_t, 256> Up{}, Down{}, Contrast{};
    int Width = 0, Height = 0;

    void Prepare() {
        if (!Sharpen) return;
        TRoundToNearest nearest;
        // Limits that change no result (every byte is clamped anyway) but
        // keep the conversions to int defined for any percentage: a step
        // beyond 512 saturates every byte, and so does a contrast amount
        // beyond 255 * 256 for every byte but 127, which no amount moves.
        const int a = static_cast<int>(std::nearbyint(std::clamp(Percent * 255 / 100, -65280.0, 65280.0)));
        for (int c = 0; c < 256; ++c) {
            const int d = static_cast<int>(std::nearbyint(std::clamp(c * Percent / 100, -512.0, 512.0)));
            Up[c] = kernels::Clamp255(c + d);
            Down[c] = kernels::Clamp255(c - d);
            Contrast[c] = EngineContrastValue(c, a);
        }
    }

    // The band form, declared here and defined after the helpers below.
    void Band(const TEffects& fx, const TLines& lines, Bitmap& target, int y0, int y1,
              const Bitmap* mask) const;

    // Value of one channel byte c given the window sum (centre included)
    // and the number of window pixels.
    // divide(n, d) gives n / d.
    template <class Divide> uint8_t Finish(int c, uint64_t sum, uint32_t count, Divide divide) const {
        if (!Sharpen) return static_cast<uint8_t>(divide(sum, count));
        if (count <= 1) return static_cast<uint8_t>(c); // no neighbour to compare with
        const int m = static_cast<int>(divide(sum - static_cast<uint64_t>(c), count - 1));
        const int lo = std::max(m - Threshold, 0), hi = std::min(m + Threshold, 255);
        if (c >= lo && c <= hi) return static_cast<uint8_t>(c);
        if (Mode == 0) return m < c ? Up[c] : Down[c];
        if (Mode == 1) return Contrast[c];
        return static_cast<uint8_t>(c);
    }
};

namespace {

inline uint64_t PlainDivide(uint64_t sum, uint32_t count) {
    return sum / count;
}

// Window sums are at most 255 * count. Below 2^24 a single-precision
// division of two such integers is exact enough to give the right integer
// part: n / d = k - j / d with j >= 1 stays at least 1 / d below k, more
// than the rounding of one division can cover while n < 2^24. So windows
// of up to this many pixels divide four lanes at a time in floats.
constexpr uint32_t kMaxFloatCount = (1u << 24) / 255;

// Window extent along one axis: first and last index of the clipped window.
inline int Lo(int i, int r) {
    return std::max(i - r, 0);
}
inline int Hi(int i, int r, int n) {
    return std::min(i + r, n - 1);
}

// pre[4 + i] = pre[i] + col[i]: running sums of each of the four bytes of
// a pixel, one pixel (four lanes) a step.
inline void PixelPrefix(uint32_t* pre, const uint32_t* col, std::size_t n4) {
    __m128i acc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pre));
    for (std::size_t i = 0; i < n4; i += 4) {
        acc = _mm_add_epi32(acc, _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pre + i + 4), acc);
    }
}

} // namespace

void TEffects::TWindowData::Band(const TEffects& fx, const TLines& lines, Bitmap& target, int y0, int y1,
                                 const Bitmap* mask) const {
    const int W = Width, H = Height;
    const kernels::TWindowRows rows = kernels::WindowRows();
    // Window parts beyond the image add nothing.
    const int span = std::min(Radius, std::max(W, H));
    // The band writes every pixel of its rows: window values on the
    // visited pixels' enabled channels, the source's bytes elsewhere. So
    // the target needs no copy of the source beforehand.
    auto copyRows = [&](int from, int to) {
        for (int y = from; y < to; ++y)
            std::memcpy(target.Row(y), lines[static_cast<std::size_t>(y)], 4 * static_cast<std::size_t>(W));
    };
    // Radius 0 (or a lone pixel): the copy is the result.
    if (span == 0 || (W == 1 && H == 1)) {
        copyRows(y0, y1);
        return;
    }
    const std::size_t n4 = 4 * static_cast<std::size_t>(W);
    const uint64_t maxCount =
        static_cast<uint64_t>(std::min(2 * static_cast<int64_t>(span) + 1, int64_t{W})) *
        static_cast<uint64_t>(std::min(2 * static_cast<int64_t>(span) + 1, int64_t{H}));
    const bool floats = maxCount <= kMaxFloatCount;

    std::vector<uint32_t> columns(n4, 0), prefix(n4 + 4, 0), sums(n4);
    std::vector<float> widths(n4);
    std::vector<int32_t> means(Sharpen && !floats ? n4 : 0);
    std::vector<uint16_t> choices(Sharpen && floats ? n4 : 0);
    std::vector<uint8_t> out(n4), raised(Sharpen && !floats ? n4 : 0), lowered(Sharpen && !floats ? n4 : 0);
    for (int x = 0; x < W; ++x)
        for (int k = 0; k < 4; ++k)
            widths[4 * static_cast<std::size_t>(x) + k] =
                static_cast<float>(Hi(x, span, W) - Lo(x, span) + 1);
    // Sharpen: the value above / below the neighbour mean, by mode; and
    // the three a byte may take side by side (its own, above, below).
    std::array<uint8_t, 256> above, below;
    std::array<uint8_t, 3 * 256> taken;
    for (int c = 0; c < 256; ++c) {
        above[c] = Mode == 0 ? Up[c] : Mode == 1 ? Contrast[c] : static_cast<uint8_t>(c);
        below[c] = Mode == 0 ? Down[c] : Mode == 1 ? Contrast[c] : static_cast<uint8_t>(c);
        taken[c] = static_cast<uint8_t>(c);
        taken[256 + c] = above[c];
        taken[512 + c] = below[c];
    }

    uint32_t keep = 0; // the bytes of the enabled channels
    for (int k = 0; k < 4; ++k)
        if (Channels[k]) keep |= 0xFFu << (8 * k);
    // Every byte of every pixel taken: the values go straight to the target.
    const bool whole = keep == 0xFFFFFFFFu && mask == nullptr;

    for (int yy = Lo(y0, span); yy <= Hi(y0, span, H); ++yy)
        rows.AddRow(columns.data(), lines[static_cast<std::size_t>(yy)], n4);

    // Unsigned sums may wrap in the prefix; their differences are still
    // the exact window sums.
    const std::size_t reach = 4 * static_cast<std::size_t>(span);
    const int interiorFrom = std::min(span, W), interiorTo = std::max(W - span, interiorFrom);
    // Narrow windows add their few columns; wide ones take differences of
    // the prefix sums.
    const bool taps = span <= 2;
    for (int y = y0; y < y1; ++y) {
        const int ch = Hi(y, span, H) - Lo(y, span) + 1;
        const uint8_t* srow = lines[static_cast<std::size_t>(y)];
        uint8_t* trow = target.Row(y);
        uint8_t* o = whole ? trow : out.data();
        uint32_t* pre = prefix.data();
        const uint32_t* col = columns.data();
        uint32_t* sum = sums.data();
        // Window sums: clipped at the edges, a plain difference inside.
        auto clipped = [&](int x) {
            const std::size_t lo = 4 * static_cast<std::size_t>(Lo(x, span));
            const std::size_t hi = 4 * static_cast<std::size_t>(Hi(x, span, W));
            for (int k = 0; k < 4; ++k) {
                uint32_t t = 0;
                for (std::size_t i = lo + k; i <= hi + k; i += 4)
                    t += col[i];
                sum[4 * static_cast<std::size_t>(x) + k] = t;
            }
        };
        const std::size_t i0 = 4 * static_cast<std::size_t>(interiorFrom),
                          i1 = 4 * static_cast<std::size_t>(interiorTo);
        if (taps) {
            for (int x = 0; x < interiorFrom; ++x)
                clipped(x);
            if (span == 1)
                rows.TapSums1(sum, col, i0, i1);
            else
                rows.TapSums2(sum, col, i0, i1);
            for (int x = interiorTo; x < W; ++x)
                clipped(x);
        } else {
            PixelPrefix(pre, col, n4);
            auto fromPrefix = [&](int x) {
                const std::size_t lo = 4 * static_cast<std::size_t>(Lo(x, span));
                const std::size_t hi = 4 * static_cast<std::size_t>(Hi(x, span, W) + 1);
                for (int k = 0; k < 4; ++k)
                    sum[4 * static_cast<std::size_t>(x) + k] = pre[hi + k] - pre[lo + k];
            };
            for (int x = 0; x < interiorFrom; ++x)
                fromPrefix(x);
            for (std::size_t i = i0; i < i1; ++i)
                sum[i] = pre[i + reach + 4] - pre[i - reach];
            for (int x = interiorTo; x < W; ++x)
                fromPrefix(x);
        }

        if (floats) {
            const float height = static_cast<float>(ch);
            if (!Sharpen) {
                rows.FloatMeans(o, sum, widths.data(), height, n4);
            } else {
                uint16_t* choice = choices.data();
                rows.SharpenChoices(choice, sum, srow, widths.data(), height, Threshold, n4);
                for (std::size_t i = 0; i < n4; ++i)
                    o[i] = taken[choice[i]];
            }
        } else {
            for (std::size_t i = 0; i < n4; ++i) {
                const uint32_t count = static_cast<uint32_t>(widths[i]) * static_cast<uint32_t>(ch);
                if (Sharpen)
                    means[i] = count > 1 ? static_cast<int32_t>((sum[i] - srow[i]) / (count - 1)) : srow[i];
                else
                    o[i] = static_cast<uint8_t>(sum[i] / count);
            }
            if (Sharpen) {
                // The table lookups first, then a loop without them (and
                // without branches) that the compiler turns into vector code.
                uint8_t* up = raised.data();
                uint8_t* down = lowered.data();
                for (std::size_t i = 0; i < n4; ++i) {
                    up[i] = above[srow[i]];
                    down[i] = below[srow[i]];
                }
                const int t = Threshold;
                const int32_t* mean = means.data();
                for (std::size_t i = 0; i < n4; ++i) {
                    const int c = srow[i], m = mean[i], u = up[i], d = down[i];
                    const int lo = std::max(m - t, 0), hi = std::min(m + t, 255);
                    const int rising = -static_cast<int>(m < c),
                              outside = -static_cast<int>((c < lo) | (c > hi));
                    const int moved = (u & rising) | (d & ~rising);
                    o[i] = static_cast<uint8_t>((moved & outside) | (c & ~outside));
                }
            }
        }

        if (!whole) {
            int copied = 0;
            auto copyTo = [&](int x) {
                std::memcpy(trow + 4 * static_cast<std::ptrdiff_t>(copied),
                            srow + 4 * static_cast<std::ptrdiff_t>(copied),
                            4 * static_cast<std::size_t>(x - copied));
            };
            fx.ForEachSpan(mask, y, W, [&](int a, int b) {
                copyTo(a);
                for (int x = a; x < b; ++x) {
                    uint32_t v, r;
                    std::memcpy(&v, srow + 4 * static_cast<std::ptrdiff_t>(x), 4);
                    std::memcpy(&r, out.data() + 4 * static_cast<std::size_t>(x), 4);
                    v = (v & ~keep) | (r & keep);
                    std::memcpy(trow + 4 * static_cast<std::ptrdiff_t>(x), &v, 4);
                }
                copied = b;
            });
            copyTo(W);
        }
        // Slide the column sums one row down.
        if (y + 1 < y1) {
            if (y - span >= 0) rows.SubtractRow(columns.data(), lines[static_cast<std::size_t>(y - span)], n4);
            if (y + span + 1 < H) rows.AddRow(columns.data(), lines[static_cast<std::size_t>(y + span + 1)], n4);
        }
    }
}

bool TEffects::WindowEffect(Bitmap& source, Bitmap& target, TWindowData& data) {
    if (source.Empty() || !HasChannel(data.Channels) || data.Radius < 0) return false;
    // Reading and writing the same bitmap would feed results back.
    Bitmap aliasCopy;
    Bitmap* src = ReadableSource(source, target, aliasCopy);
    // The rule starts from an exact copy in the target; the band loops
    // write every pixel themselves and only need the target's shape.
    if (!UseFastLoops && src != &target)
        CopyInto(target, *src);
    else if (src != &target)
        ShapeTarget(target, src->Width(), src->Height());
    data.Width = src->Width();
    data.Height = src->Height();
    data.Prepare();
    const TLines lines = LinesOf(*src);

    // Window parts beyond the image add nothing.
    const int W = data.Width, H = data.Height, r = std::min(data.Radius, std::max(W, H));
    // Per-pixel routine: the window summed straight from the source rows.
    TScanPairEvent routine = [&data, W, H, r](TPixelRef& p, int& x, int& y, const TLines& rows, void*,
                                              bool&) {
        uint64_t sums[4] = {0, 0, 0, 0};
        for (int yy = Lo(y, r); yy <= Hi(y, r, H); ++yy)
            for (int xx = Lo(x, r); xx <= Hi(x, r, W); ++xx)
                for (int k = 0; k < 4; ++k)
                    sums[k] += rows[static_cast<std::size_t>(yy)][4 * xx + k];
        const uint32_t count =
            static_cast<uint32_t>((Hi(x, r, W) - Lo(x, r) + 1) * (Hi(y, r, H) - Lo(y, r) + 1));
        const uint8_t* centre = rows[static_cast<std::size_t>(y)] + 4 * x;
        uint8_t* out[4] = {p.B, p.G, p.R, p.T};
        for (int k = 0; k < 4; ++k)
            if (data.Channels[k]) *out[k] = data.Finish(centre[k], sums[k], count, PlainDivide);
    };

    // Band routine: running column sums, window sums from their prefix sums.
    TFastWalk fast{[this, &data, &lines, &target](int y0, int y1, const Bitmap* mask) {
                       data.Band(*this, lines, target, y0, y1, mask);
                   },
                   true};
    return ScanPairWith(target, lines, &data, std::move(routine), fast);
}

bool TEffects::Blur(Bitmap& source, Bitmap& target, int radius, int channel) {
    return Blur(source, target, radius, SingleChannel(channel));
}

bool TEffects::Blur(Bitmap& source, Bitmap& target, int radius, const TChannelSet& channels) {
    TWindowData data;
    data.Channels = channels;
    data.Radius = radius;
    return WindowEffect(source, target, data);
}

bool TEffects::Sharpen(Bitmap& source, Bitmap& target, int channel, uint8_t radius, uint8_t threshold,
                       double percent, uint8_t mode) {
    return Sharpen(source, target, SingleChannel(channel), radius, threshold, percent, mode);
}

bool TEffects::Sharpen(Bitmap& source, Bitmap& target, const TChannelSet& channels, uint8_t radius,
                       uint8_t threshold, double percent, uint8_t mode) {
    if (!std::isfinite(percent)) return false;
    TWindowData data;
    data.Channels = channels;
    data.Radius = radius;
    data.Sharpen = true;
    data.Threshold = threshold;
    data.Percent = percent;
    data.Mode = mode;
    return WindowEffect(source, target, data);
}

} // namespace pixora
