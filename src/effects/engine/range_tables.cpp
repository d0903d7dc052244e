#include "effects/engine/range_tables.h"

#include <algorithm>
#include <cstring>

#include "doc/row_ranges.h"

namespace pixora {

const TSmallDivisors& SmallDivisors() {
    static const TSmallDivisors divisors;
    return divisors;
}

namespace {

// Rough blur's sums of averages with all four channels in one word, 16 bits
// a lane, and counts that stay at most 15^2.
struct TPackedLanes {
    using Word = uint64_t;
    static Word Lanes(const uint8_t* v) {
        return uint64_t{v[0]} | (uint64_t{v[1]} << 16) | (uint64_t{v[2]} << 32) | (uint64_t{v[3]} << 48);
    }
    static void Put(uint8_t* v, Word total, uint32_t used, const TSmallDivisors& small) {
        for (int k = 0; k < 4; ++k)
            v[k] = static_cast<uint8_t>(
                small.Quotient(static_cast<uint32_t>((total >> (16 * k)) & 0xFFFF), used));
    }
};

// The same with a 64-bit word per channel, for larger radii.
struct TWideLanes {
    struct Word {
        uint64_t C[4] = {0, 0, 0, 0};
        Word operator+(const Word& o) const {
            Word w;
            for (int k = 0; k < 4; ++k)
                w.C[k] = C[k] + o.C[k];
            return w;
        }
        Word operator-(const Word& o) const {
            Word w;
            for (int k = 0; k < 4; ++k)
                w.C[k] = C[k] - o.C[k];
            return w;
        }
    };
    static Word Lanes(const uint8_t* v) { return Word{{v[0], v[1], v[2], v[3]}}; }
    static void Put(uint8_t* v, const Word& total, uint64_t used, const TSmallDivisors&) {
        for (int k = 0; k < 4; ++k)
            v[k] = static_cast<uint8_t>(total.C[k] / used);
    }
};

template <class L>
void RoughBlurBySums(uint8_t* values, const uint8_t* has, long long count, long long n, long long e,
                     bool fast, std::vector<typename L::Word>& totalsTable,
                     std::vector<uint32_t>& usedTable) {
    using Word = typename L::Word;
    const std::size_t size = static_cast<std::size_t>(count) + 1;
    totalsTable.resize(size);
    usedTable.resize(size);
    Word* totals = totalsTable.data();
    uint32_t* used = usedTable.data();
    totals[0] = Word{};
    used[0] = 0;
    for (long long j = 0; j < count; ++j) {
        const std::size_t u = static_cast<std::size_t>(j);
        totals[u + 1] = has[u] ? totals[u] + L::Lanes(values + 4 * u) : totals[u];
        used[u + 1] = used[u] + has[u];
    }
    // The ranges d - e .. d + e, clipped to the table.
    struct TSum {
        Word Total{};
        uint32_t Used = 0;
        TSum operator+(const TSum& o) const { return {Total + o.Total, Used + o.Used}; }
        TSum operator-(const TSum& o) const { return {Total - o.Total, Used - o.Used}; }
    };
    auto run = [&](long long d) {
        const std::size_t lo = static_cast<std::size_t>(std::clamp(d - e, 0LL, count));
        const std::size_t hi = static_cast<std::size_t>(std::clamp(d + e + 1, 0LL, count));
        return TSum{totals[hi] - totals[lo], used[hi] - used[lo]};
    };
    const TSmallDivisors& small = SmallDivisors();
    auto put = [&](long long i, const TSum& s) {
        L::Put(values + 4 * static_cast<std::size_t>(i), s.Total, s.Used, small);
    };
    // Ranges are done a part of the table at a time on each core.
    const std::size_t bytes = static_cast<std::size_t>(count) * (sizeof(Word) + 8);
    if (e == 0 || fast) {
        ForRowRanges(static_cast<int>(count), bytes, [&](int i0, int i1) {
            for (long long i = i0; i < i1; ++i)
                if (has[i]) put(i, e == 0 ? run(i) : run(i - e * n) + run(i) + run(i + e * n));
        });
        return;
    }
    // Qualitative: the sum over d = i - e*n .. i + e*n is the one for i - n
    // with the run at i + e*n added and the one at i - n - e*n taken off; a
    // part's first row of ranges adds up its 2e + 1 runs.
    ForRowRanges(static_cast<int>(count), bytes, [&](int i0, int i1) {
        std::vector<TSum> rows(static_cast<std::size_t>(std::min<long long>(n, i1 - i0)));
        std::size_t column = 0;
        for (long long i = i0; i < i1; ++i, column = column + 1 == rows.size() ? 0 : column + 1) {
            TSum s;
            if (i < i0 + n) {
                for (long long q = -e; q <= e; ++q)
                    s = s + run(i + q * n);
            } else {
                s = rows[column] + run(i + e * n) - run(i - n - e * n);
            }
            rows[column] = s;
            if (has[i]) put(i, s);
        }
    });
}

// Rough blur term by term, for radii whose sums could pass 2^32 ranges.
void RoughBlurDirect(uint8_t* values, const uint8_t* has, long long count, long long n, long long e,
                     bool fast) {
    const std::vector<uint8_t> averages(values, values + 4 * count);
    const long long step = fast ? e * n : n;
    for (long long i = 0; i < count; ++i) {
        if (!has[i]) continue;
        uint64_t total[4] = {0, 0, 0, 0}, used = 0;
        for (long long d = i - e * n; d <= i + e * n; d += step) {
            for (long long j = d - e; j <= d + e; ++j) {
                if (j < 0 || j >= count || !has[j]) continue;
                for (int k = 0; k < 4; ++k)
                    total[k] += averages[static_cast<std::size_t>(4 * j + k)];
                ++used;
            }
            if (step == 0) break;
        }
        for (int k = 0; k < 4; ++k)
            values[4 * i + k] = static_cast<uint8_t>(total[k] / used);
    }
}

} // namespace

void RoughBlurValues(uint8_t* values, const uint8_t* has, long long count, long long perRow, int radius,
                     bool fast, TRoughScratch& scratch) {
    if (radius <= kPackedRoughRadius)
        RoughBlurBySums<TPackedLanes>(values, has, count, perRow, radius, fast, scratch.Totals, scratch.Used);
    else if (radius <= kWideRoughRadius) {
        std::vector<TWideLanes::Word> totals;
        RoughBlurBySums<TWideLanes>(values, has, count, perRow, radius, fast, totals, scratch.Used);
    } else
        RoughBlurDirect(values, has, count, perRow, radius, fast);
}

} // namespace pixora
