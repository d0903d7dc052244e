// Range effects: pixelization and rough blur. Both run two range walks: the
// first sums every enabled channel per range, the second writes each pixel
// from its range's figures.
#include <vector>

#include "effects/engine/effects.h"

namespace pixora {

struct TEffects::TRangeData {
    TChannelSet Channels{};
    bool Rough = false;
    bool Fast = false;
    int Radius = 0;
    int PerRow = 0;  // cells per row
    int Count = 0;   // number of ranges
    std::vector<uint64_t> Sums;     // 4 per range
    std::vector<uint32_t> Pixels;   // per range
    std::vector<uint8_t> Values;    // 4 per range: what the second walk writes

    bool Valid(int range) const { return range >= 0 && range < Count; }

    void Add(int range, const uint8_t* p) {
        if (!Valid(range)) return;
        for (int k = 0; k < 4; ++k)
            if (Channels[k]) Sums[4 * static_cast<std::size_t>(range) + k] += p[k];
        ++Pixels[static_cast<std::size_t>(range)];
    }

    void Write(int range, uint8_t* const out[4]) const {
        if (!Valid(range) || Pixels[static_cast<std::size_t>(range)] == 0) return;
        for (int k = 0; k < 4; ++k)
            if (Channels[k]) *out[k] = Values[4 * static_cast<std::size_t>(range) + k];
    }

    uint64_t Average(int range, int k) const {
        return Sums[4 * static_cast<std::size_t>(range) + k] / Pixels[static_cast<std::size_t>(range)];
    }

    // What each range's pixels become.
    void ComputeValues() {
        Values.assign(4 * static_cast<std::size_t>(Count), 0);
        for (int i = 0; i < Count; ++i) {
            if (Pixels[static_cast<std::size_t>(i)] == 0) continue;
            for (int k = 0; k < 4; ++k) {
                if (!Channels[k]) continue;
                uint64_t v = Average(i, k);
                if (Rough) {
                    // Average of the range averages around i: rows of cells
                    // d = i - e*n .. i + e*n, and in each i - e .. i + e
                    // around d.
                    const long long e = Radius, n = PerRow;
                    const long long step = Fast ? e * n : n;
                    uint64_t total = 0, used = 0;
                    for (long long d = i - e * n; d <= i + e * n; d += step) {
                        for (long long j = d - e; j <= d + e; ++j) {
                            if (j < 0 || j >= Count || Pixels[static_cast<std::size_t>(j)] == 0) continue;
                            total += Average(static_cast<int>(j), k);
                            ++used;
                        }
                        if (step == 0) break;
                    }
                    v = total / used;  // range i itself is always counted
                }
                Values[4 * static_cast<std::size_t>(i) + k] = static_cast<uint8_t>(v);
            }
        }
    }
};

namespace {

inline int RangeOf(const uint8_t* rangeRow, int bpp, int x) {
    const uint8_t* p = rangeRow + static_cast<std::ptrdiff_t>(x) * bpp;
    return p[2] | (p[1] << 8) | (p[0] << 16);
}

} // namespace

bool TEffects::RangeEffect(Bitmap& bitmap, TRangeData& data, int cellWidth, int cellHeight) {
    if (bitmap.Empty() || !HasChannel(data.Channels) || cellWidth < 1 || cellHeight < 1) return false;
    const long long across = (bitmap.Width() + static_cast<long long>(cellWidth) - 1) / cellWidth;
    const long long down = (bitmap.Height() + static_cast<long long>(cellHeight) - 1) / cellHeight;
    const long long count = across * down + (TransparentRange ? 0 : 1);
    if (!RangeCountFits(count)) return false;
    data.PerRow = static_cast<int>(across);
    data.Count = static_cast<int>(count);
    data.Sums.assign(4 * static_cast<std::size_t>(count), 0);
    data.Pixels.assign(static_cast<std::size_t>(count), 0);

    // Walks every pixel with a range: fn(pixel, range).
    auto bands = [this, &bitmap](auto fn) {
        return [this, &bitmap, fn](int y0, int y1, const Bitmap*) {
            const Bitmap& ranges = *ActiveRanges();
            const int bpp = ranges.BytesPerPixel();
            for (int y = y0; y < y1; ++y) {
                uint8_t* row = bitmap.Row(y);
                const uint8_t* rrow = ranges.Row(y);
                for (int x = 0; x < bitmap.Width(); ++x) {
                    const int range = RangeOf(rrow, bpp, x);
                    if (range != kNoRange) fn(row + 4 * static_cast<std::ptrdiff_t>(x), range);
                }
            }
        };
    };

    // First walk: sums and counts (one band: the sums are shared).
    const TFastWalk gather{bands([&data](uint8_t* p, int range) { data.Add(range, p); }), false};
    const bool ran = ScanRangeWith(
        bitmap, &data, cellWidth, cellHeight, nullptr,
        [&data](TPixelRef& p, int&, int&, int range, TRect&, void*, bool&) { data.Add(range, p.B); }, gather);
    if (!ran) return false;
    data.ComputeValues();

    // Second walk over the same ranges.
    const TFastWalk spread{bands([&data](uint8_t* p, int range) {
                               uint8_t* const out[4] = {p, p + 1, p + 2, p + 3};
                               data.Write(range, out);
                           }),
                           true};
    return ScanRangeWith(
        bitmap, &data, cellWidth, cellHeight, &RangeBitmap(),
        [&data](TPixelRef& p, int&, int&, int range, TRect&, void*, bool&) {
            uint8_t* const out[4] = {p.B, p.G, p.R, p.T};
            data.Write(range, out);
        },
        spread);
}

bool TEffects::Pixelization(Bitmap& bitmap, int channel, int cellWidth, int cellHeight) {
    return Pixelization(bitmap, SingleChannel(channel), cellWidth, cellHeight);
}

bool TEffects::Pixelization(Bitmap& bitmap, const TChannelSet& channels, int cellWidth, int cellHeight) {
    TRangeData data;
    data.Channels = channels;
    return RangeEffect(bitmap, data, cellWidth, cellHeight);
}

bool TEffects::RoughBlur(Bitmap& bitmap, int channel, bool fast, int radius, int cellWidth, int cellHeight) {
    return RoughBlur(bitmap, SingleChannel(channel), fast, radius, cellWidth, cellHeight);
}

bool TEffects::RoughBlur(Bitmap& bitmap, const TChannelSet& channels, bool fast, int radius, int cellWidth,
                         int cellHeight) {
    if (radius < 0) return false;
    TRangeData data;
    data.Channels = channels;
    data.Rough = true;
    data.Fast = fast;
    data.Radius = radius;
    return RangeEffect(bitmap, data, cellWidth, cellHeight);
}

} // namespace pixora
