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
// The stream is four xorshift128+ generators: even pixels take their words
// from generators 0 (words 0..3) and 1 (words 4..7), odd pixels from 2 and
// 3, so that two independent chains of steps interleave. A step needs
// nothing but shifts, exclusive ors and 64-bit additions: cheap in plain
// code and in 128-bit vector registers alike.

#include <cstdint>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pixora {

class TNoiseStream {
public:
    TNoiseStream(uint32_t seed, int row) {
        // Four splitmix64 outputs of a counter keyed by seed and row.
        uint64_t z = (static_cast<uint64_t>(seed) << 32) ^ static_cast<uint32_t>(row);
        z *= 0xD1B54A32D192ED03ull;
        for (int g = 0; g < 4; ++g)
            for (uint64_t* w : {&S0[g], &S1[g]}) {
                z += 0x9E3779B97F4A7C15ull;
                uint64_t v = z;
                v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
                v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
                *w = v ^ (v >> 31);
            }
        // A generator whose state is all zero would stay there.
        for (int g = 0; g < 4; ++g)
            if ((S0[g] | S1[g]) == 0) S0[g] = 1;
    }

    // The eight words of the next pixel.
    void Next(uint16_t words[8]) {
        const int first = 2 * static_cast<int>(Position & 1);
        for (int l = 0; l < 2; ++l) {
            const uint64_t out = Step(first + l);
            for (int i = 0; i < 4; ++i)
                words[4 * l + i] = static_cast<uint16_t>(out >> (16 * i));
        }
        ++Position;
    }

    // Skips the words of count pixels.
    void Skip(int count) {
        uint16_t words[8];
        for (int i = 0; i < count; ++i)
            Next(words);
    }

#if defined(__SSE2__)
    // One step of two generators held as the 64-bit lanes of s0 and s1:
    // the two outputs, eight words.
    static __m128i StepPair(__m128i& s0, __m128i& s1) {
        __m128i a = s0;
        const __m128i b = s1;
        s0 = b;
        a = _mm_xor_si128(a, _mm_slli_epi64(a, 23));
        s1 = _mm_xor_si128(_mm_xor_si128(a, b), _mm_xor_si128(_mm_srli_epi64(a, 18), _mm_srli_epi64(b, 5)));
        return _mm_add_epi64(s1, b);
    }
#endif

    static int Draw(uint16_t word, int n) {
        return static_cast<int>((static_cast<uint32_t>(word) * n) >> 16);
    }

    // Generator state: S0[g], S1[g] belong to generator g. Position counts
    // the pixels the stream has given.
    uint64_t S0[4], S1[4];
    uint64_t Position = 0;

private:
    uint64_t Step(int g) {
        uint64_t x = S0[g];
        const uint64_t y = S1[g];
        S0[g] = y;
        x ^= x << 23;
        S1[g] = x ^ y ^ (x >> 18) ^ (y >> 5);
        return S1[g] + y;
    }
};

} // namespace pixora
