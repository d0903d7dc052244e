#pragma once
// The random draws of the noise brush: a small generator the tool owns and
// passes in, so a stroke can be replayed from its seed.

#include <cstdint>

namespace pixora {

class TStampRandom {
public:
    explicit TStampRandom(uint64_t seed) : state_(seed) {}

    // A uniform integer 0..n-1 (n >= 1).
    int Random(int n) {
        return static_cast<int>((static_cast<uint64_t>(Next32()) * static_cast<uint32_t>(n)) >> 32);
    }

private:
    // splitmix64, top half.
    uint32_t Next32() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
    }

    uint64_t state_;
};

} // namespace pixora
