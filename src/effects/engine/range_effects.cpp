// Range effects: pixelization and rough blur. Both run two range walks: the
// first sums every enabled channel per range, the second writes each pixel
// from its range's figures.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "effects/engine/effects.h"
#include "effects/engine/point_kernels.h"

namespace pixora {

struct TEffects::TRangeData {
    TChannelSet Channels{};
    bool Rough = false;
    bool Fast = false;
    int Radius = 0;
    int PerRow = 0;               // cells per row
    int Count = 0;                // number of ranges
    std::vector<uint64_t> Sums;   // 4 per range
    std::vector<uint32_t> Pixels; // per range
    std::vector<uint8_t> Values;  // 4 per range: what the second walk writes

    bool Valid(int range) const { return range >= 0 && range < Count; }

    // Same settings and table sizes, all sums zero.
    TRangeData EmptyCopy() const {
        TRangeData part;
        part.Channels = Channels;
        part.Count = Count;
        part.Sums.assign(Sums.size(), 0);
        part.Pixels.assign(Pixels.size(), 0);
        return part;
    }
    void Merge(const TRangeData& part) {
        for (std::size_t i = 0; i < Sums.size(); ++i)
            Sums[i] += part.Sums[i];
        for (std::size_t i = 0; i < Pixels.size(); ++i)
            Pixels[i] += part.Pixels[i];
    }

    // Adds the n pixels from p on (all of one range).
    void AddRun(int range, const uint8_t* p, int n) {
        if (!Valid(range)) return;
        uint64_t run[4] = {0, 0, 0, 0};
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < 4; ++k)
                run[k] += p[4 * i + k];
        for (int k = 0; k < 4; ++k)
            if (Channels[k]) Sums[4 * static_cast<std::size_t>(range) + k] += run[k];
        Pixels[static_cast<std::size_t>(range)] += static_cast<uint32_t>(n);
    }

    // Gives the n pixels from p on their range's values.
    void WriteRun(int range, uint8_t* p, int n) const {
        if (!Valid(range) || Pixels[static_cast<std::size_t>(range)] == 0) return;
        uint32_t keep = 0, value;
        for (int k = 0; k < 4; ++k)
            if (Channels[k]) keep |= 0xFFu << (8 * k);
        std::memcpy(&value, &Values[4 * static_cast<std::size_t>(range)], 4);
        value &= keep;
        for (int i = 0; i < n; ++i) {
            uint32_t v;
            std::memcpy(&v, p + 4 * i, 4);
            v = (v & ~keep) | value;
            std::memcpy(p + 4 * i, &v, 4);
        }
    }

    uint64_t Average(int range, int k) const {
        const uint64_t sum = Sums[4 * static_cast<std::size_t>(range) + k];
        const uint32_t pixels = Pixels[static_cast<std::size_t>(range)];
        // The same quotient; a 32-bit division is several times quicker.
        return sum <= UINT32_MAX ? static_cast<uint32_t>(sum) / pixels : sum / pixels;
    }

    // What each range's pixels become.
    void ComputeValues() {
        Values.assign(4 * static_cast<std::size_t>(Count), 0);
        if (Rough) {
            if (!RoughBySums()) RoughDirect();
            return;
        }
        for (int i = 0; i < Count; ++i) {
            if (Pixels[static_cast<std::size_t>(i)] == 0) continue;
            for (int k = 0; k < 4; ++k)
                if (Channels[k])
                    Values[4 * static_cast<std::size_t>(i) + k] = static_cast<uint8_t>(Average(i, k));
        }
    }

    // Rough blur: the average of the range averages around i, over rows of
    // cells d = i - e*n .. i + e*n (every row, or only the outer two and
    // i's own when fast) and in each over the ranges d - e .. d + e.
    // Ranges outside the table or without pixels do not count; range i
    // itself always does.
    void RoughDirect() {
        for (int i = 0; i < Count; ++i) {
            if (Pixels[static_cast<std::size_t>(i)] == 0) continue;
            for (int k = 0; k < 4; ++k) {
                if (!Channels[k]) continue;
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
                Values[4 * static_cast<std::size_t>(i) + k] = static_cast<uint8_t>(total / used);
            }
        }
    }

    // The same sums from running totals: a prefix sum over the ranges gives
    // each run d - e .. d + e, and for the qualitative form a second one,
    // n ranges apart, gives the sum of the 2e + 1 runs. Integer sums, so the
    // results are RoughDirect's. False (nothing done) for radii where the
    // 32-bit totals could overflow or the runs reach past the whole table.
    bool RoughBySums() {
        const long long e = Radius, count = Count;
        if (e > 1000 || e >= count) return false;
        std::vector<uint32_t> one(static_cast<std::size_t>(count)), used, total, value(one.size());
        for (long long j = 0; j < count; ++j)
            one[static_cast<std::size_t>(j)] = Pixels[static_cast<std::size_t>(j)] > 0;
        AroundEach(one, used);
        for (int k = 0; k < 4; ++k) {
            if (!Channels[k]) continue;
            for (long long j = 0; j < count; ++j)
                value[static_cast<std::size_t>(j)] =
                    one[static_cast<std::size_t>(j)] ? static_cast<uint32_t>(Average(static_cast<int>(j), k))
                                                     : 0;
            AroundEach(value, total);
            for (long long i = 0; i < count; ++i) {
                const std::size_t u = static_cast<std::size_t>(i);
                if (one[u]) Values[4 * u + k] = static_cast<uint8_t>(total[u] / used[u]);
            }
        }
        return true;
    }

    // out[i]: the sum of f over the ranges rough blur takes for range i.
    // Unsigned totals may wrap in the running sums; their differences are
    // the exact sums, which stay below 255 * 2001^2 < 2^32.
    void AroundEach(const std::vector<uint32_t>& f, std::vector<uint32_t>& out) const {
        const long long e = Radius, n = PerRow, count = Count;
        std::vector<uint32_t> prefix(static_cast<std::size_t>(count) + 1, 0);
        for (long long j = 0; j < count; ++j)
            prefix[static_cast<std::size_t>(j + 1)] =
                prefix[static_cast<std::size_t>(j)] + f[static_cast<std::size_t>(j)];
        // The run d - e .. d + e, clipped to the table.
        auto run = [&](long long d) -> uint32_t {
            const long long lo = std::clamp(d - e, 0LL, count), hi = std::clamp(d + e + 1, 0LL, count);
            return prefix[static_cast<std::size_t>(hi)] - prefix[static_cast<std::size_t>(lo)];
        };
        out.assign(static_cast<std::size_t>(count), 0);
        if (e == 0 || Fast) {
            for (long long i = 0; i < count; ++i)
                out[static_cast<std::size_t>(i)] = e == 0 ? run(i) : run(i - e * n) + run(i) + run(i + e * n);
            return;
        }
        // Runs whose centre d lies in -e .. count - 1 + e may hold ranges;
        // rows[d + e] is the sum of the runs at d, d - n, d - 2n, ... in that
        // span.
        const long long first = -e, last = count - 1 + e;
        std::vector<uint32_t> rows(static_cast<std::size_t>(last - first + 1));
        for (long long d = first; d <= last; ++d) {
            const uint32_t below = d - n >= first ? rows[static_cast<std::size_t>(d - n - first)] : 0;
            rows[static_cast<std::size_t>(d - first)] = below + run(d);
        }
        for (long long i = 0; i < count; ++i) {
            // The runs at i - e*n .. i + e*n, n apart: the top one that lies
            // in the span, less everything below the bottom one.
            long long top = i + e * n;
            if (top > last) top -= n * ((top - last + n - 1) / n);
            const long long bottom = i - e * n - n;
            const uint32_t upper = top >= first ? rows[static_cast<std::size_t>(top - first)] : 0;
            const uint32_t lower = bottom >= first ? rows[static_cast<std::size_t>(bottom - first)] : 0;
            out[static_cast<std::size_t>(i)] = upper - lower;
        }
    }
};

bool TEffects::RangeEffect(Bitmap& bitmap, TRangeData& data, int cellWidth, int cellHeight) {
    if (bitmap.Empty() || !HasChannel(data.Channels) || !CellSizeFits(cellWidth, cellHeight)) return false;
    const long long across = (bitmap.Width() + static_cast<long long>(cellWidth) - 1) / cellWidth;
    const long long down = (bitmap.Height() + static_cast<long long>(cellHeight) - 1) / cellHeight;
    const long long count = across * down + (TransparentRange ? 0 : 1);
    if (!RangeCountFits(count)) return false;
    data.PerRow = static_cast<int>(across);
    data.Count = static_cast<int>(count);
    // The tables live on in the component between runs.
    struct TKeepTables {
        TRangeData& data;
        TRangeTables& kept;
        TKeepTables(TRangeData& d, TRangeTables& k) : data(d), kept(k) {
            data.Sums.swap(kept.Sums);
            data.Pixels.swap(kept.Pixels);
            data.Values.swap(kept.Values);
        }
        ~TKeepTables() {
            data.Sums.swap(kept.Sums);
            data.Pixels.swap(kept.Pixels);
            data.Values.swap(kept.Values);
        }
    } keepTables(data, rangeTables_);
    data.Sums.assign(4 * static_cast<std::size_t>(count), 0);
    data.Pixels.assign(static_cast<std::size_t>(count), 0);

    // Walks the runs of pixels of rows y0..y1-1 that share a range:
    // fn(first pixel, run length, range). Pixels of no range are skipped.
    auto runs = [this, &bitmap](int y0, int y1, auto&& fn) {
        const Bitmap& ranges = *ActiveRanges();
        const int bpp = ranges.BytesPerPixel(), w = bitmap.Width();
        for (int y = y0; y < y1; ++y) {
            uint8_t* row = bitmap.Row(y);
            const uint8_t* rrow = ranges.Row(y);
            int x = 0;
            while (x < w) {
                const uint8_t* r = rrow + static_cast<std::ptrdiff_t>(x) * bpp;
                const int start = x;
                kernels::PrefetchAhead(r);
                kernels::PrefetchAhead(row + 4 * static_cast<std::ptrdiff_t>(x));
                // A pixel's three bytes as the low bytes of a four-byte
                // word, while such a word lies inside the row.
                const int words = bpp == 3 ? w - 1 : bpp >= 4 ? w : 0;
                auto colourAt = [&](int i) {
                    uint32_t v;
                    std::memcpy(&v, rrow + static_cast<std::ptrdiff_t>(i) * bpp, 4);
                    return v & 0x00FFFFFFu;
                };
                if (start < words) {
                    const uint32_t first = colourAt(start);
                    for (++x; x < words && colourAt(x) == first; ++x) {
                    }
                    if (x == words && x < w) {
                        const uint8_t* q = rrow + static_cast<std::ptrdiff_t>(x) * bpp;
                        if (q[0] == r[0] && q[1] == r[1] && q[2] == r[2]) ++x;
                    }
                } else {
                    ++x;
                }
                const int range = RangeIndexOf(r);
                if (range != kNoRange) fn(row + 4 * static_cast<std::ptrdiff_t>(start), x - start, range);
            }
        }
    };

    // First walk: sums and counts. Integer sums do not care in which order
    // they are added, so bands may gather into tables of their own and add
    // them up afterwards, where those tables are small beside the image.
    const bool split = data.Count <= static_cast<long long>(bitmap.Width()) * bitmap.Height() / 16;
    std::mutex merging;
    const TFastWalk gather{[&](int y0, int y1, const Bitmap*) {
                               if (!split) {
                                   runs(y0, y1,
                                        [&](uint8_t* p, int n, int range) { data.AddRun(range, p, n); });
                                   return;
                               }
                               TRangeData part = data.EmptyCopy();
                               runs(y0, y1, [&](uint8_t* p, int n, int range) { part.AddRun(range, p, n); });
                               const std::lock_guard lock(merging);
                               data.Merge(part);
                           },
                           split};
    const bool ran = ScanRangeWith(
        bitmap, &data, cellWidth, cellHeight, nullptr,
        [&data](TPixelRef& p, int&, int&, int range, TRect&, void*, bool&) { data.AddRun(range, p.B, 1); },
        gather);
    if (!ran) return false;
    data.ComputeValues();

    // Second walk over the same ranges.
    const TFastWalk spread{[&](int y0, int y1, const Bitmap*) {
                               runs(y0, y1,
                                    [&](uint8_t* p, int n, int range) { data.WriteRun(range, p, n); });
                           },
                           true};
    return ScanRangeWith(
        bitmap, &data, cellWidth, cellHeight, &RangeBitmap(),
        [&data](TPixelRef& p, int&, int&, int range, TRect&, void*, bool&) { data.WriteRun(range, p.B, 1); },
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
