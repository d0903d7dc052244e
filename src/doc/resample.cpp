#include "doc/resample.h"

#include <algorithm>

#include "doc/row_ranges.h"
#include "doc/view_geometry.h"

namespace pixora {

long long MulDivRound(long long a, long long b, long long c) {
    return RoundDivHalfEven(a * b, c);
}

namespace {

// Channels: 3 writes the colour bytes, 4 the fourth byte too (32-bit
// bitmaps only).
template <int Channels> void StretchCopyBytes(const Bitmap& src, Bitmap& dst) {
    const int W = src.Width(), H = src.Height(), DW = dst.Width(), DH = dst.Height();
    if (W <= 0 || H <= 0 || DW <= 0 || DH <= 0) return;
    const int sb = src.BytesPerPixel(), db = dst.BytesPerPixel();
    for (int y = 0; y < DH; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * H / DH);
        const uint8_t* s = src.Row(sy);
        uint8_t* d = dst.Row(y);
        for (int x = 0; x < DW; ++x, d += db) {
            const uint8_t* p = s + static_cast<std::size_t>(static_cast<long long>(x) * W / DW) * sb;
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
            if constexpr (Channels == 4) d[3] = p[3];
        }
    }
}

template <int Channels> void BilinearResampleBytes(const Bitmap& src, Bitmap& dst) {
    const int W = src.Width(), H = src.Height(), DW = dst.Width(), DH = dst.Height();
    if (src.BitsPerPixel() != 32 || dst.BitsPerPixel() != 32 || W <= 0 || H <= 0 || DW <= 0 || DH <= 0) {
        // The fixed-point walk cannot run; fall back to the plain stretch,
        // which itself does nothing when either side has no pixels.
        StretchCopyBytes<Channels>(src, dst);
        return;
    }
    if (W == DW && H == DH) {
        for (int y = 0; y < H; ++y) {
            const uint8_t* s = src.Row(y);
            uint8_t* d = dst.Row(y);
            for (int x = 0; x < W; ++x, s += 4, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if constexpr (Channels == 4) d[3] = s[3];
            }
        }
        return;
    }
    const long long xstep = MulDivRound(W - 1, 65536, DW);
    const long long ystep = MulDivRound(H - 1, 65536, DH);
    // A step rounded up can carry the last row or column past the source;
    // such a walk cannot run and the plain stretch takes over.
    if (((DW - 1) * xstep >> 16) > W - 1 || ((DH - 1) * ystep >> 16) > H - 1) {
        StretchCopyBytes<Channels>(src, dst);
        return;
    }
    // Rows are independent: fy of row y is y x ystep.
    ForRowRanges(DH, static_cast<std::size_t>(DW) * static_cast<std::size_t>(DH) * 4, [&](int y0, int y1) {
        long long fy = static_cast<long long>(y0) * ystep;
        for (int y = y0; y < y1; ++y, fy += ystep) {
            const int sy = static_cast<int>(fy >> 16);
            const uint8_t* upper = src.Row(sy);
            const uint8_t* lower = src.Row(sy < H - 1 ? sy + 1 : sy);
            const long long f = fy & 0xFFFF;
            const long long T = 65536 - f;
            const long long B = f + 1;
            uint8_t* d = dst.Row(y);
            long long fx = 0;
            for (int x = 0; x < DW; ++x, fx += xstep, d += 4) {
                const long long g = fx & 0xFFFF;
                const int sx = static_cast<int>(fx >> 16);
                // The right neighbour of the last column is the last column
                // itself; it then carries weight 0 anyway.
                const int sx1 = sx < W - 1 ? sx + 1 : sx;
                const long long UR = MulDivRound(g, T, 65536);
                const long long LR = MulDivRound(g, B, 65536);
                const long long UL = T - UR;
                const long long LL = B - LR;
                const uint8_t* ul = upper + sx * 4;
                const uint8_t* ur = upper + sx1 * 4;
                const uint8_t* ll = lower + sx * 4;
                const uint8_t* lr = lower + sx1 * 4;
                for (int c = 0; c < Channels; ++c) {
                    const long long v = (UL * ul[c] + UR * ur[c] + LL * ll[c] + LR * lr[c]) >> 16;
                    d[c] = static_cast<uint8_t>(std::min<long long>(v, 255));
                }
            }
        }
    });
}

} // namespace

void StretchCopy(const Bitmap& src, Bitmap& dst) {
    StretchCopyBytes<3>(src, dst);
}

void BilinearResample(const Bitmap& src, Bitmap& dst) {
    BilinearResampleBytes<3>(src, dst);
}

void BilinearResampleAll(const Bitmap& src, Bitmap& dst) {
    if (src.BitsPerPixel() == 32 && dst.BitsPerPixel() == 32)
        BilinearResampleBytes<4>(src, dst);
    else
        BilinearResampleBytes<3>(src, dst);
}

} // namespace pixora
