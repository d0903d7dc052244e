// Two-bitmap window effects: blur and sharpen. Both read a square window of
// the source around each pixel and write the target only, so results never
// feed back. The band form keeps running column sums and a sliding row sum,
// so the cost does not grow with the radius.
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <vector>

#include "effects/engine/effects.h"
#include "effects/engine/point_kernels.h"
#include "effects/engine/round_mode.h"

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
        const int a = static_cast<int>(std::nearbyint(Percent * 255 / 100));
        for (int c = 0; c < 256; ++c) {
            const int d = static_cast<int>(std::nearbyint(c * Percent / 100));
            Up[c] = kernels::Clamp255(c + d);
            Down[c] = kernels::Clamp255(c - d);
            Contrast[c] = EngineContrastValue(c, a);
        }
    }

    // Value of one channel byte c given the window sum (centre included)
    // and the number of window pixels.
    // divide(n, d) gives n / d.
    template <class Divide>
    uint8_t Finish(int c, uint64_t sum, uint32_t count, Divide divide) const {
        if (!Sharpen) return static_cast<uint8_t>(divide(sum, count));
        if (count <= 1) return static_cast<uint8_t>(c);  // no neighbour to compare with
        const int m = static_cast<int>(divide(sum - static_cast<uint64_t>(c), count - 1));
        const int lo = std::max(m - Threshold, 0), hi = std::min(m + Threshold, 255);
        if (c >= lo && c <= hi) return static_cast<uint8_t>(c);
        if (Mode == 0) return m < c ? Up[c] : Down[c];
        if (Mode == 1) return Contrast[c];
        return static_cast<uint8_t>(c);
    }
};

namespace {

inline uint64_t PlainDivide(uint64_t sum, uint32_t count) { return sum / count; }

// Exact division by small counts through a multiply: floor(n / d) ==
// (n * (floor(2^40 / d) + 1)) >> 40 whenever n * d < 2^40, which holds for
// window sums (n <= 255 * d) while d < 65660.
constexpr uint32_t kMaxReciprocalCount = 65000;
inline uint64_t Reciprocal(uint32_t d) { return (uint64_t{1} << 40) / d + 1; }

// Window extent along one axis: first and last index of the clipped window.
inline int Lo(int i, int r) { return std::max(i - r, 0); }
inline int Hi(int i, int r, int n) { return std::min(i + r, n - 1); }

} // namespace

bool TEffects::WindowEffect(Bitmap& source, Bitmap& target, TWindowData& data) {
    if (source.Empty() || !HasChannel(data.Channels) || data.Radius < 0) return false;
    // Reading and writing the same bitmap would feed results back.
    Bitmap aliasCopy;
    Bitmap* src = ReadableSource(source, target, aliasCopy);
    if (src != &target) target.Assign(*src);
    data.Width = src->Width();
    data.Height = src->Height();
    data.Prepare();
    const TLines lines = LinesOf(*src);

    const int W = data.Width, H = data.Height, r = data.Radius;
    // Per-pixel routine: the window summed straight from the source rows.
    TScanPairEvent routine = [&data, W, H, r](TPixelRef& p, int& x, int& y, const TLines& rows, void*, bool&) {
        uint64_t sums[4] = {0, 0, 0, 0};
        for (int yy = Lo(y, r); yy <= Hi(y, r, H); ++yy)
            for (int xx = Lo(x, r); xx <= Hi(x, r, W); ++xx)
                for (int k = 0; k < 4; ++k) sums[k] += rows[static_cast<std::size_t>(yy)][4 * xx + k];
        const uint32_t count = static_cast<uint32_t>((Hi(x, r, W) - Lo(x, r) + 1) * (Hi(y, r, H) - Lo(y, r) + 1));
        const uint8_t* centre = rows[static_cast<std::size_t>(y)] + 4 * x;
        uint8_t* out[4] = {p.B, p.G, p.R, p.T};
        for (int k = 0; k < 4; ++k)
            if (data.Channels[k]) *out[k] = data.Finish(centre[k], sums[k], count, PlainDivide);
    };

    // Band routine: running sums.
    TFastWalk fast{[this, &data, &lines, &target, W, H, r](int y0, int y1, const Bitmap* mask) {
                       const int span = std::min(r, std::max(W, H));
                       const int ex = data.Sharpen ? 1 : 0;
                       const uint32_t maxCount = static_cast<uint32_t>(std::min(2 * span + 1, W)) *
                                                 static_cast<uint32_t>(std::min(2 * span + 1, H));
                       const bool useReciprocal = maxCount <= kMaxReciprocalCount;
                       std::vector<uint32_t> columns(static_cast<std::size_t>(W) * 4, 0);
                       std::vector<uint8_t> out(static_cast<std::size_t>(W) * 4);
                       auto addRow = [&](int yy, int sign) {
                           const uint8_t* s = lines[static_cast<std::size_t>(yy)];
                           uint32_t* c = columns.data();
                           if (sign > 0)
                               for (std::size_t i = 0; i < columns.size(); ++i) c[i] += s[i];
                           else
                               for (std::size_t i = 0; i < columns.size(); ++i) c[i] -= s[i];
                       };
                       for (int yy = Lo(y0, span); yy <= Hi(y0, span, H); ++yy) addRow(yy, 1);
                       const int cwMax = std::min(2 * span + 1, W);
                       std::vector<uint64_t> recip(static_cast<std::size_t>(cwMax) + 1, 0);
                       for (int y = y0; y < y1; ++y) {
                           const uint32_t ch = static_cast<uint32_t>(Hi(y, span, H) - Lo(y, span) + 1);
                           if (useReciprocal)
                               for (int cw = 1; cw <= cwMax; ++cw) {
                                   const uint32_t d = static_cast<uint32_t>(cw) * ch - static_cast<uint32_t>(ex);
                                   recip[static_cast<std::size_t>(cw)] = d ? Reciprocal(d) : 0;
                               }
                           const uint8_t* srow = lines[static_cast<std::size_t>(y)];
                           uint64_t s[4] = {0, 0, 0, 0};
                           for (int xx = 0; xx <= Hi(0, span, W); ++xx)
                               for (int k = 0; k < 4; ++k) s[k] += columns[4 * static_cast<std::size_t>(xx) + k];
                           for (int x = 0; x < W; ++x) {
                               const int cw = Hi(x, span, W) - Lo(x, span) + 1;
                               const uint32_t count = static_cast<uint32_t>(cw) * ch;
                               if (useReciprocal) {
                                   const uint64_t m = recip[static_cast<std::size_t>(cw)];
                                   for (int k = 0; k < 4; ++k)
                                       out[4 * static_cast<std::size_t>(x) + k] =
                                           data.Finish(srow[4 * x + k], s[k], count,
                                                       [m](uint64_t n, uint32_t) { return (n * m) >> 40; });
                               } else {
                                   for (int k = 0; k < 4; ++k)
                                       out[4 * static_cast<std::size_t>(x) + k] =
                                           data.Finish(srow[4 * x + k], s[k], count, PlainDivide);
                               }
                               // Slide the row window one column to the right.
                               const int leave = x - span, enter = x + span + 1;
                               for (int k = 0; k < 4; ++k) {
                                   if (leave >= 0) s[k] -= columns[4 * static_cast<std::size_t>(leave) + k];
                                   if (enter < W) s[k] += columns[4 * static_cast<std::size_t>(enter) + k];
                               }
                           }
                           uint8_t* trow = target.Row(y);
                           ForEachSpan(mask, y, W, [&](int a, int b) {
                               for (int x = a; x < b; ++x)
                                   for (int k = 0; k < 4; ++k)
                                       if (data.Channels[k])
                                           trow[4 * x + k] = out[4 * static_cast<std::size_t>(x) + k];
                           });
                           // Slide the column sums one row down.
                           if (y + 1 < y1) {
                               if (y - span >= 0) addRow(y - span, -1);
                               if (y + span + 1 < H) addRow(y + span + 1, 1);
                           }
                       }
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
