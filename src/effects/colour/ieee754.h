#pragma once
// IEEE 754 helpers: the quiet NaN that marks an undefined hue.

#include <bit>
#include <cstdint>

namespace pixora::IEEE754 {

// All bits set except the sign.
inline double NaN() {
    return std::bit_cast<double>(uint64_t{0x7FFFFFFFFFFFFFFFull});
}

inline bool IsNaN(double v) {
    const uint64_t bits = std::bit_cast<uint64_t>(v);
    return (bits & 0x7FF0000000000000ull) == 0x7FF0000000000000ull && (bits & 0x000FFFFFFFFFFFFFull) != 0;
}

} // namespace pixora::IEEE754
