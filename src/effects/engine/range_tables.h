#pragma once
// The per-range tables of the range effects (pixelization and rough blur)
// and the arithmetic that turns their sums into the values the pixels get.

#include <cstdint>
#include <vector>

namespace pixora {

// One range's channel sums (pixel byte order) and pixel count. Every
// channel is summed, enabled or not; the value rules read the enabled ones.
template <class Sum> struct TRangeEntry {
    Sum S[4];
    uint32_t N;
};

// Sums of one byte per pixel fit 32 bits while a range, and so the image,
// has at most this many pixels.
inline constexpr long long kNarrowSumPixels = UINT32_MAX / 255;

// x / d for x < 2^16 and 1 <= d <= kSmallDivisors by one multiplication:
// with m = floor(2^32 / d) + 1, x * m / 2^32 exceeds x / d by less than
// x * d / (d * 2^32) < 2^-16, while x / d lies at least 1 / d > 2^-16 below
// the next integer, so the integer parts agree.
inline constexpr int kSmallDivisors = 257;
class TSmallDivisors {
public:
    TSmallDivisors() {
        for (uint64_t d = 1; d <= kSmallDivisors; ++d)
            m_[d] = (uint64_t{1} << 32) / d + 1;
    }
    uint32_t Quotient(uint32_t x, uint32_t d) const { return static_cast<uint32_t>((x * m_[d]) >> 32); }

private:
    uint64_t m_[kSmallDivisors + 1] = {};
};
const TSmallDivisors& SmallDivisors();

// The truncated average of every channel of an entry (one byte each, in
// pixel byte order, packed as a little-endian word); 0 for no pixels.
template <class Sum> uint32_t PackedAverage(const TRangeEntry<Sum>& e, const TSmallDivisors& small) {
    if (e.N == 0) return 0;
    uint32_t packed = 0;
    for (int k = 0; k < 4; ++k) {
        uint32_t q;
        // At most 257 pixels sum to at most 255 * 257 < 2^16.
        if (e.N <= kSmallDivisors)
            q = small.Quotient(static_cast<uint32_t>(e.S[k]), e.N);
        else if (e.S[k] <= UINT32_MAX)
            q = static_cast<uint32_t>(e.S[k]) / e.N;
        else
            q = static_cast<uint32_t>(e.S[k] / e.N);
        packed |= q << (8 * k);
    }
    return packed;
}

// Rough blur takes for range i the ranges d - e .. d + e (clipped to the
// table, those without pixels left out) over d = i - e*n .. i + e*n in
// steps of n (qualitative) or only d = i - e*n, i, i + e*n (fast), and
// gives it the truncated average of their averages.
//
// Up to radius 7 the averages of one range sit as 16-bit lanes of one
// word: running totals of such words wrap and carry between lanes, but a
// difference of two totals, and any sum of differences, is as an integer
// the word of the lane sums as long as each lane sum stays below 2^16, and
// a lane sums at most (2e + 1)^2 averages of up to 255. Larger radii take
// a 64-bit word per channel; beyond kWideRoughRadius the counts could pass
// 32 bits and the sums are taken term by term.
inline constexpr int kPackedRoughRadius = 7; // 255 * 15^2 < 2^16
inline constexpr int kWideRoughRadius = 1000;

// values (4 bytes per range) holds each range's averages on entry and its
// blurred values on return, for the ranges with pixels (has[i]); n ranges
// make a row. The scratch tables keep their storage between runs.
struct TRoughScratch {
    std::vector<uint64_t> Totals; // running totals of the packed averages
    std::vector<uint32_t> Used;   // running counts of ranges with pixels
};
void RoughBlurValues(uint8_t* values, const uint8_t* has, long long count, long long n, int radius, bool fast,
                     TRoughScratch& scratch);

// The tables an effects component keeps between runs (fresh image-sized
// blocks cost more in page faults than the work on them).
struct TRangeTables {
    std::vector<TRangeEntry<uint32_t>> Narrow;
    std::vector<TRangeEntry<uint64_t>> Wide;
    std::vector<uint8_t> Values; // 4 per range: what the second walk writes
    std::vector<uint8_t> Has;    // 1 per range with pixels
    TRoughScratch Rough;
};

} // namespace pixora
