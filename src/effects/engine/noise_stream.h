#pragma once
// The random numbers of the noise effect.
//
// Every row of an image gets a stream of its own, started from the walk's
// seed and the row number, so rows can be worked in any order (or on any
// core) and give the same picture. Along the row the stream yields eight
// 16-bit words per pixel: words 0..3 make the first draw of blue, green,
// red and the fourth byte, words 4..7 the second draw. A draw of
// random(N), a uniform integer 0..N-1, is (word * N) >> 16.
//
// The stream is two xorshift128+ generators side by side (one per 64-bit
// half of the eight words), which needs nothing but shifts, exclusive ors
// and 64-bit additions: cheap in plain code and in 128-bit vector registers
// alike.

#include <cstdint>

namespace pixora {

class TNoiseStream {
public:
    TNoiseStream(uint32_t seed, int row) {
        // Four splitmix64 outputs of a counter keyed by seed and row.
        uint64_t z = (static_cast<uint64_t>(seed) << 32) ^ static_cast<uint32_t>(row);
        z *= 0xD1B54A32D192ED03ull;
        uint64_t* const words[4] = {&S0[0], &S0[1], &S1[0], &S1[1]};
        for (uint64_t* w : words) {
            z += 0x9E3779B97F4A7C15ull;
            uint64_t v = z;
            v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
            v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
            *w = v ^ (v >> 31);
        }
        // A generator whose state is all zero would stay there.
        for (int l = 0; l < 2; ++l)
            if ((S0[l] | S1[l]) == 0) S0[l] = 1;
    }

    // The eight words of the next pixel.
    void Next(uint16_t words[8]) {
        for (int l = 0; l < 2; ++l) {
            const uint64_t out = Step(l);
            for (int i = 0; i < 4; ++i) words[4 * l + i] = static_cast<uint16_t>(out >> (16 * i));
        }
    }

    // Skips the words of count pixels.
    void Skip(int count) {
        for (int i = 0; i < count; ++i) {
            Step(0);
            Step(1);
        }
    }

    static int Draw(uint16_t word, int n) { return static_cast<int>((static_cast<uint32_t>(word) * n) >> 16); }

    // Generator state: S0[l], S1[l] belong to generator l.
    uint64_t S0[2], S1[2];

private:
    uint64_t Step(int l) {
        uint64_t x = S0[l];
        const uint64_t y = S1[l];
        S0[l] = y;
        x ^= x << 23;
        S1[l] = x ^ y ^ (x >> 18) ^ (y >> 5);
        return S1[l] + y;
    }
};

} // namespace pixora
