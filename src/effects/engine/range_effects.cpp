// Range effects: pixelization and rough blur. Both run two range walks: the
// first sums every enabled channel per range, the second writes each pixel
// from its range's figures.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "doc/row_ranges.h"
#include "effects/engine/effects.h"
#include "effects/engine/point_kernels.h"

namespace pixora {

struct TEffects::TRangeData {
    TChannelSet Channels{};
    bool Rough = false;
    bool Fast = false;
    int Radius = 0;
};

namespace {

// One run of the range effects over the tables kept in the component.
template <class Sum> struct TRangeWork {
    using Entry = TRangeEntry<Sum>;
    std::vector<Entry>& Entries;
    TRangeTables& Tables;
    uint32_t Keep = 0; // the enabled channels' bytes of a pixel
    int Count = 0;

    bool Valid(int range) const { return static_cast<unsigned>(range) < static_cast<unsigned>(Count); }

    // Adds the n pixels from p on (all of one range).
    static void AddRun(Entry& e, const uint8_t* p, int n) {
        Sum run[4] = {0, 0, 0, 0};
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < 4; ++k)
                run[k] += p[4 * i + k];
        for (int k = 0; k < 4; ++k)
            e.S[k] += run[k];
        e.N += static_cast<uint32_t>(n);
    }
    void AddRun(int range, const uint8_t* p, int n) {
        if (Valid(range)) AddRun(Entries[static_cast<std::size_t>(range)], p, n);
    }

    // Gives the n pixels from p on their range's values.
    void WriteRun(int range, uint8_t* p, int n) const {
        if (!Valid(range) || !Tables.Has[static_cast<std::size_t>(range)]) return;
        uint32_t value;
        std::memcpy(&value, &Tables.Values[4 * static_cast<std::size_t>(range)], 4);
        value &= Keep;
        for (int i = 0; i < n; ++i) {
            uint32_t v;
            std::memcpy(&v, p + 4 * i, 4);
            v = (v & ~Keep) | value;
            std::memcpy(p + 4 * i, &v, 4);
        }
    }

    // Each range's averages, then for rough blur the averages around it.
    void ComputeValues(bool rough, int radius, bool fast, long long perRow) {
        Tables.Values.resize(4 * static_cast<std::size_t>(Count));
        Tables.Has.resize(static_cast<std::size_t>(Count));
        const TSmallDivisors& small = SmallDivisors();
        ForRowRanges(Count, 8 * static_cast<std::size_t>(Count), [&](int i0, int i1) {
            for (int i = i0; i < i1; ++i) {
                const Entry& e = Entries[static_cast<std::size_t>(i)];
                const uint32_t packed = PackedAverage(e, small);
                std::memcpy(&Tables.Values[4 * static_cast<std::size_t>(i)], &packed, 4);
                Tables.Has[static_cast<std::size_t>(i)] = e.N > 0;
            }
        });
        if (rough)
            RoughBlurValues(Tables.Values.data(), Tables.Has.data(), Count, perRow, radius, fast,
                            Tables.Rough);
    }
};

} // namespace

bool TEffects::RangeEffect(Bitmap& bitmap, TRangeData& data, int cellWidth, int cellHeight) {
    if (bitmap.Empty() || !HasChannel(data.Channels) || !CellSizeFits(cellWidth, cellHeight)) return false;
    const long long across = (bitmap.Width() + static_cast<long long>(cellWidth) - 1) / cellWidth;
    const long long down = (bitmap.Height() + static_cast<long long>(cellHeight) - 1) / cellHeight;
    const long long count = across * down + (TransparentRange ? 0 : 1);
    if (!RangeCountFits(count)) return false;
    // A range holds at most every pixel of the image.
    if (static_cast<long long>(bitmap.Width()) * bitmap.Height() <= kNarrowSumPixels)
        return RangeEffectWith(bitmap, data, cellWidth, cellHeight, rangeTables_.Narrow);
    return RangeEffectWith(bitmap, data, cellWidth, cellHeight, rangeTables_.Wide);
}

template <class Sum>
bool TEffects::RangeEffectWith(Bitmap& bitmap, const TRangeData& data, int cellWidth, int cellHeight,
                               std::vector<TRangeEntry<Sum>>& entries) {
    const long long across = (bitmap.Width() + static_cast<long long>(cellWidth) - 1) / cellWidth;
    const long long down = (bitmap.Height() + static_cast<long long>(cellHeight) - 1) / cellHeight;
    TRangeWork<Sum> work{entries, rangeTables_};
    work.Count = static_cast<int>(across * down + (TransparentRange ? 0 : 1));
    for (int k = 0; k < 4; ++k)
        if (data.Channels[k]) work.Keep |= 0xFFu << (8 * k);
    entries.resize(static_cast<std::size_t>(work.Count));
    ForRowRanges(work.Count, entries.size() * sizeof(TRangeEntry<Sum>), [&](int i0, int i1) {
        std::fill(entries.begin() + i0, entries.begin() + i1, TRangeEntry<Sum>{});
    });

    // Walks the runs of pixels of rows y0..y1-1 that share a range:
    // fn(first pixel, run length, range). Pixels of no range are skipped.
    auto runs = [this, &bitmap](int y0, int y1, auto&& fn) {
        const Bitmap& ranges = *ActiveRanges();
        const int bpp = ranges.BytesPerPixel(), w = bitmap.Width();
        // Rows the stamps laid out need not be read.
        const TRangeLayout* layout = &ranges == &RangeBitmap() ? &RangeLayout() : nullptr;
        const long long background = TransparentRange ? kNoRange : 0;
        for (int y = y0; y < y1; ++y) {
            uint8_t* row = bitmap.Row(y);
            if (layout && layout->Covers(y)) {
                const long long base = layout->Base(y);
                for (const TRangeLayout::TRun* r = layout->Begin(y); r != layout->End(y); ++r) {
                    const long long range =
                        r->Offset == TRangeLayout::kBackground ? background : base + r->Offset;
                    if (range != kNoRange)
                        fn(row + 4 * static_cast<std::ptrdiff_t>(r->X0), r->X1 - r->X0,
                           static_cast<int>(range));
                }
                continue;
            }
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
    // they are added. Where no range other than range 0 spans more than
    // `reach` rows, bands of rows more than that apart touch distinct
    // entries: each band leaves its last `reach` rows for afterwards and
    // keeps range 0 (the background of solid ranges, found everywhere) to
    // itself.
    const int height = bitmap.Height(), reach = RangeRowReach();
    const TFastWalk gather{
        [&](int, int, const Bitmap*) {
            if (reach < 0) {
                runs(0, height, [&](uint8_t* p, int n, int range) { work.AddRun(range, p, n); });
                return;
            }
            std::mutex merging;
            std::vector<std::pair<int, int>> later;
            TRangeEntry<Sum> first{};
            ForRowRanges(height, bitmap.ByteSize(), [&](int y0, int y1) {
                const int end = y1 < height ? std::max(y0, y1 - reach) : y1;
                TRangeEntry<Sum> own{};
                runs(y0, end, [&](uint8_t* p, int n, int range) {
                    if (range == 0)
                        work.AddRun(own, p, n);
                    else
                        work.AddRun(range, p, n);
                });
                const std::lock_guard lock(merging);
                for (int k = 0; k < 4; ++k)
                    first.S[k] += own.S[k];
                first.N += own.N;
                if (end < y1) later.push_back({end, y1});
            });
            for (const auto& [y0, y1] : later)
                runs(y0, y1, [&](uint8_t* p, int n, int range) { work.AddRun(range, p, n); });
            if (work.Valid(0)) {
                for (int k = 0; k < 4; ++k)
                    entries[0].S[k] += first.S[k];
                entries[0].N += first.N;
            }
        },
        false};
    const bool ran = ScanRangeWith(
        bitmap, nullptr, cellWidth, cellHeight, nullptr,
        [&work](TPixelRef& p, int&, int&, int range, TRect&, void*, bool&) { work.AddRun(range, p.B, 1); },
        gather);
    if (!ran) return false;
    work.ComputeValues(data.Rough, data.Radius, data.Fast, across);

    // Second walk over the same ranges: each pixel written from its own.
    const TFastWalk spread{[&](int, int, const Bitmap*) {
                               ForRowRanges(height, bitmap.ByteSize(), [&](int y0, int y1) {
                                   runs(y0, y1,
                                        [&](uint8_t* p, int n, int range) { work.WriteRun(range, p, n); });
                               });
                           },
                           false};
    return ScanRangeWith(
        bitmap, nullptr, cellWidth, cellHeight, &RangeBitmap(),
        [&work](TPixelRef& p, int&, int&, int range, TRect&, void*, bool&) { work.WriteRun(range, p.B, 1); },
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
