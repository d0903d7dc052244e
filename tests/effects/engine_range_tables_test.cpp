// The arithmetic behind the range effects' values: quotients by small
// divisors and rough blur's running sums, against the plain rules.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "doc/row_ranges.h"
#include "effects/engine/range_tables.h"

using namespace pixora;

TEST(EngineRangeTables, SmallDivisorQuotientsAreTheDivision) {
    // Every numerator a range of up to 257 pixels can sum, by every count.
    const TSmallDivisors& small = SmallDivisors();
    for (uint32_t d = 1; d <= kSmallDivisors; ++d)
        for (uint32_t x = 0; x < 65536; ++x)
            ASSERT_EQ(small.Quotient(x, d), x / d) << x << " / " << d;
}

TEST(EngineRangeTables, PackedAverageIsEachChannelsQuotient) {
    const TSmallDivisors& small = SmallDivisors();
    std::mt19937 rng(7);
    for (uint32_t n : {0u, 1u, 2u, 3u, 256u, 257u, 258u, 100000u, 16843009u}) {
        for (int trial = 0; trial < 50; ++trial) {
            TRangeEntry<uint64_t> wide{{}, n};
            TRangeEntry<uint32_t> narrow{{}, n};
            for (int k = 0; k < 4; ++k) {
                // Sums as pixels of up to 255 give them, the largest included.
                const uint64_t s = trial == 0 ? 255ull * n : rng() % (255ull * n + 1);
                wide.S[k] = s;
                narrow.S[k] = static_cast<uint32_t>(s);
            }
            uint32_t expected = 0;
            for (int k = 0; k < 4 && n > 0; ++k)
                expected |= static_cast<uint32_t>(wide.S[k] / n) << (8 * k);
            EXPECT_EQ(PackedAverage(wide, small), expected) << n;
            EXPECT_EQ(PackedAverage(narrow, small), expected) << n;
        }
    }
    TRangeEntry<uint64_t> huge{{255ull * 20000000, 5, 0, 19999999ull * 255}, 20000000};
    EXPECT_EQ(PackedAverage(huge, small), 0xFE0000FFu);
}

namespace {

// The rule term by term.
std::vector<uint8_t> RoughByTerms(const std::vector<uint8_t>& averages, const std::vector<uint8_t>& has,
                                  long long n, long long e, bool fast) {
    const long long count = static_cast<long long>(has.size());
    std::vector<uint8_t> out = averages;
    for (long long i = 0; i < count; ++i) {
        if (!has[i]) continue;
        long long total[4] = {0, 0, 0, 0}, used = 0;
        for (long long t = -e; t <= e; ++t) {
            if (fast && t != -e && t != 0 && t != e) continue;
            if (fast && e == 0 && t != 0) continue;
            const long long d = i + t * n;
            for (long long j = d - e; j <= d + e; ++j) {
                if (j < 0 || j >= count || !has[j]) continue;
                for (int k = 0; k < 4; ++k)
                    total[k] += averages[4 * j + k];
                ++used;
            }
        }
        for (int k = 0; k < 4; ++k)
            out[4 * i + k] = static_cast<uint8_t>(total[k] / used);
    }
    return out;
}

} // namespace

TEST(EngineRangeTables, RoughBlurValuesAreTheRuleTermByTerm) {
    // Tables shorter than a row, than the radius, with gaps; averages at
    // their largest, where the 16-bit lanes are fullest; radii on both sides
    // of the packed words' limit.
    // The table is done in parts, each starting its own running sums.
    std::mt19937 rng(11);
    TRoughScratch scratch; // kept between runs, as the component keeps it
    for (int parts : {1, 2, 3})
        for (long long count : {1LL, 2LL, 3LL, 7LL, 31LL, 64LL, 250LL})
            for (long long n : {1LL, 2LL, 5LL, 16LL})
                for (int e : {0, 1, 2, 5, 7, 8, 12})
                    for (bool fast : {true, false})
                        for (int fill : {0, 1, 2}) {
                            std::vector<uint8_t> averages(4 * static_cast<std::size_t>(count)),
                                has(averages.size() / 4);
                            for (std::size_t j = 0; j < has.size(); ++j) {
                                has[j] = fill == 0 || rng() % 3 != 0;
                                for (int k = 0; k < 4; ++k)
                                    averages[4 * j + k] = has[j] ? (fill == 2 ? 255 : rng() & 0xFF) : 0;
                            }
                            has[rng() % has.size()] = 1;
                            std::vector<uint8_t> values = averages;
                            const TRowBandsOverride held(parts);
                            RoughBlurValues(values.data(), has.data(), count, n, e, fast, scratch);
                            const std::vector<uint8_t> expected = RoughByTerms(averages, has, n, e, fast);
                            for (std::size_t j = 0; j < has.size(); ++j) {
                                if (!has[j]) continue;
                                for (int k = 0; k < 4; ++k)
                                    ASSERT_EQ(values[4 * j + k], expected[4 * j + k])
                                        << parts << " parts, count " << count << " row " << n << " radius "
                                        << e << (fast ? " fast" : " qualitative") << " range " << j
                                        << " byte " << k;
                            }
                        }
}
