#include "effects/quick/antialias.h"

#include <vector>

#include <emmintrin.h>

namespace pixora::quick {

const TTowardsTable& TowardsTable() {
    // Constant data worked out once: not state.
    static const TTowardsTable table = [] {
        TTowardsTable t{};
        // Every sum v = c + 5 n is reached with n = v / 5, c = v % 5.
        for (int v = 0; v < kTowardsSums; ++v)
            t[static_cast<std::size_t>(v)] = TowardsCentre(v % 5, v / 5);
        return t;
    }();
    return table;
}

namespace {

// TowardsCentre by arithmetic, for loops the compiler turns into vector
// code: v / 6 as (v * 10923) >> 16, exact for every v up to 6 * 255.
constexpr uint32_t Towards(uint32_t v) {
    uint32_t q = (v * 10923u) >> 16;
    const uint32_t r = v - 6 * q;
    q += (r > 3) | ((r == 3) & (q & 1));
    return q;
}

constexpr bool TowardsMatchesTheRule() {
    for (int c = 0; c < 256; ++c)
        for (int n = 0; n < 256; ++n)
            if (Towards(static_cast<uint32_t>(c + 5 * n)) != TowardsCentre(c, n)) return false;
    return true;
}
static_assert(TowardsMatchesTheRule());

uint32_t Pulled(uint32_t n, uint32_t c, const TTowardsTable& towards) {
    return (n & 0xFF000000u) | towards[(c & 0xFF) + 5 * (n & 0xFF)] |
           static_cast<uint32_t>(towards[((c >> 8) & 0xFF) + 5 * ((n >> 8) & 0xFF)]) << 8 |
           static_cast<uint32_t>(towards[((c >> 16) & 0xFF) + 5 * ((n >> 16) & 0xFF)]) << 16;
}

// Pixel i of n pulled towards pixel i of c, for i < count; fourth bytes
// stay. Four pixels a step in 16-bit lanes, the rest one by one.
void PullRun(uint8_t* n, const uint8_t* __restrict c, std::size_t count, const TTowardsTable& towards) {
    const __m128i zero = _mm_setzero_si128(), three = _mm_set1_epi16(3), one = _mm_set1_epi16(1),
                  factor = _mm_set1_epi16(10923), fourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    auto towardsLanes = [&](__m128i cv, __m128i nv) {
        const __m128i v = _mm_add_epi16(cv, _mm_add_epi16(_mm_slli_epi16(nv, 2), nv));
        __m128i q = _mm_mulhi_epu16(v, factor);
        const __m128i r = _mm_sub_epi16(v, _mm_add_epi16(_mm_slli_epi16(q, 2), _mm_slli_epi16(q, 1)));
        const __m128i odd = _mm_cmpeq_epi16(_mm_and_si128(q, one), one);
        const __m128i up =
            _mm_or_si128(_mm_cmpgt_epi16(r, three), _mm_and_si128(_mm_cmpeq_epi16(r, three), odd));
        return _mm_sub_epi16(q, up); // up is -1 where the quotient rounds up
    };
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i nv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n + 4 * i));
        const __m128i cv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 4 * i));
        const __m128i lo = towardsLanes(_mm_unpacklo_epi8(cv, zero), _mm_unpacklo_epi8(nv, zero));
        const __m128i hi = towardsLanes(_mm_unpackhi_epi8(cv, zero), _mm_unpackhi_epi8(nv, zero));
        const __m128i t = _mm_packus_epi16(lo, hi);
        const __m128i out = _mm_or_si128(_mm_andnot_si128(fourth, t), _mm_and_si128(fourth, nv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(n + 4 * i), out);
    }
    for (; i < count; ++i) {
        uint32_t nv, cv;
        std::memcpy(&nv, n + 4 * i, 4);
        std::memcpy(&cv, c + 4 * i, 4);
        nv = Pulled(nv, cv, towards);
        std::memcpy(n + 4 * i, &nv, 4);
    }
}

} // namespace

void AntialiasEveryPixel(Bitmap& bitmap) {
    const TTowardsTable& towards = TowardsTable();
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w < 2) return; // column 0 is never a centre
    // centres[x]: pixel x of the row as it is when it becomes the centre.
    std::vector<uint32_t> centres(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bitmap.Row(y);
        auto at = [row](int x) {
            uint32_t v;
            std::memcpy(&v, row + 4 * static_cast<std::ptrdiff_t>(x), 4);
            return v;
        };
        // Each centre is the next pixel as the one before pulled it (the
        // neighbours of a centre that feed nothing later in the row wait).
        // Three chains, one per colour byte, each waiting on one lookup a
        // pixel.
        uint8_t* cs = reinterpret_cast<uint8_t*>(centres.data());
        std::memcpy(cs + 4, row + 4, 4);
        uint32_t b = row[4], g = row[5], r = row[6];
        const uint8_t* t = towards.data();
        for (std::size_t i = 8; i < 4 * static_cast<std::size_t>(w); i += 4) {
            b = t[b + 5u * row[i]];
            g = t[g + 5u * row[i + 1]];
            r = t[r + 5u * row[i + 2]];
            cs[i] = static_cast<uint8_t>(b);
            cs[i + 1] = static_cast<uint8_t>(g);
            cs[i + 2] = static_cast<uint8_t>(r);
            cs[i + 3] = row[i + 3];
        }
        // Column 0: pulled by centre 1 (its left neighbour), then by the
        // last centre (its right neighbour, around the edge).
        const uint32_t first =
            Pulled(Pulled(at(0), centres[1], towards), centres[static_cast<std::size_t>(w - 1)], towards);
        // Columns 1 .. w-2: the centre values, pulled by the next centre.
        std::memcpy(row + 4, centres.data() + 1, 4 * static_cast<std::size_t>(w - 1));
        PullRun(row + 4, reinterpret_cast<const uint8_t*>(centres.data() + 2),
                static_cast<std::size_t>(w - 2), towards);
        std::memcpy(row, &first, 4);
        // The rows above and below (one row when there are two; none when
        // the image is one row high, whose centre is its own neighbour).
        if (h == 1) continue;
        PullRun(bitmap.Row(y == 0 ? h - 1 : y - 1) + 4, cs + 4, static_cast<std::size_t>(w - 1), towards);
        PullRun(bitmap.Row(y == h - 1 ? 0 : y + 1) + 4, cs + 4, static_cast<std::size_t>(w - 1), towards);
    }
}

} // namespace pixora::quick
