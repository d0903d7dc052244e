#pragma once
// The integer distance of the disc stamps and the radial gradient.
//
// For s = dx² + dy² it is the result of twelve integer Newton steps for the
// square root, starting from (s + 1) div 2. That is floor(sqrt(s)) almost
// everywhere; at some values one below a square the steps end on the upper
// value of the pair they alternate between (3 gives 2, 24 gives 5, 35 gives
// 6), and those pixels belong to the next ring out.

#include <array>
#include <cstdint>

namespace pixora {

// The twelve steps themselves.
constexpr int IntDistanceSteps(int64_t s) {
    int64_t q = (s + 1) / 2;
    for (int i = 0; i < 12 && q > 0; ++i)
        q = (q + s / q) / 2;
    return static_cast<int>(q);
}

// Every s of a 257 x 257 square around its centre is looked up; beyond that
// the steps run.
inline constexpr int kIntDistanceTableSize = 2 * 128 * 128 + 1;
extern const std::array<uint8_t, kIntDistanceTableSize> kIntDistanceTable;

inline int IntDistance(int64_t s) {
    if (s >= 0 && s < kIntDistanceTableSize) return kIntDistanceTable[static_cast<std::size_t>(s)];
    return IntDistanceSteps(s);
}

} // namespace pixora
