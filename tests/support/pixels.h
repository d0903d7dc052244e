#pragma once
// Small pixel helpers for tests of the painting rules: uniform images,
// reading one pixel, counting changed pixels, rectangular selection masks.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "doc/bitmap.h"
#include "tools/selection.h"

namespace pixora::testing {

inline Bitmap Uniform(int w, int h, uint8_t v, uint8_t t = 0) {
    Bitmap b(w, h, 32);
    b.Fill(v, v, v, t);
    return b;
}

inline const uint8_t* Px(const Bitmap& b, int x, int y) {
    return b.Row(y) + x * 4;
}
inline uint8_t* Px(Bitmap& b, int x, int y) {
    return b.Row(y) + x * 4;
}

inline void Put(Bitmap& b, int x, int y, uint8_t blue, uint8_t green, uint8_t red, uint8_t t) {
    uint8_t* p = Px(b, x, y);
    p[0] = blue;
    p[1] = green;
    p[2] = red;
    p[3] = t;
}

inline bool SamePixel(const Bitmap& a, const Bitmap& b, int x, int y) {
    return std::memcmp(Px(a, x, y), Px(b, x, y), 4) == 0;
}

// Byte-for-byte equality (the fourth byte included), naming the first
// differing pixel when they differ.
inline ::testing::AssertionResult SameImage(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel())
        return ::testing::AssertionFailure()
               << "sizes differ: " << a.Width() << "x" << a.Height() << "x" << a.BitsPerPixel() << " vs "
               << b.Width() << "x" << b.Height() << "x" << b.BitsPerPixel();
    const int bpp = a.BytesPerPixel();
    for (int y = 0; y < a.Height(); ++y) {
        const uint8_t *p = a.Row(y), *q = b.Row(y);
        if (std::memcmp(p, q, static_cast<std::size_t>(a.Width()) * static_cast<std::size_t>(bpp)) == 0)
            continue;
        for (int i = 0; i < a.Width() * bpp; ++i)
            if (p[i] != q[i])
                return ::testing::AssertionFailure() << "pixel (" << i / bpp << ", " << y << ") byte "
                                                     << i % bpp << ": " << int(p[i]) << " vs " << int(q[i]);
    }
    return ::testing::AssertionSuccess();
}

// SameImage as a plain yes or no.
inline bool SamePixels(const Bitmap& a, const Bitmap& b) {
    return static_cast<bool>(SameImage(a, b));
}

// Number of pixels whose four bytes differ between a and b (same size).
inline int ChangedPixels(const Bitmap& a, const Bitmap& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            n += SamePixel(a, b, x, y) ? 0 : 1;
    return n;
}

// A selection mask of w x h at (left, top) whose rectangle (l, t)-(r, b)
// (mask coordinates, right and bottom excluded) is selected.
inline Bitmap RectMask(int w, int h, int l, int t, int r, int b) {
    Bitmap m = Uniform(w, h, 255);
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            Put(m, x, y, 0, 0, 0, 0);
    return m;
}

} // namespace pixora::testing
