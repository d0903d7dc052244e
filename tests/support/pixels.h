#pragma once
// The tests' pixel helpers: one accessor for a pixel's bytes, the images
// the tests start from, comparisons and rectangular selection masks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "doc/bitmap.h"
#include "tools/selection.h"

namespace pixora::testing {

// The bytes of pixel (x, y): B, G, R and, in 32 bits, the fourth byte.
inline const uint8_t* Px(const Bitmap& b, int x, int y) {
    return b.Row(y) + x * b.BytesPerPixel();
}
inline uint8_t* Px(Bitmap& b, int x, int y) {
    return b.Row(y) + x * b.BytesPerPixel();
}

inline void Put(Bitmap& b, int x, int y, uint8_t blue, uint8_t green, uint8_t red, uint8_t t) {
    uint8_t* p = Px(b, x, y);
    p[0] = blue;
    p[1] = green;
    p[2] = red;
    p[3] = t;
}

// The same in red, green, blue order; the fourth byte only in 32 bits.
inline void SetPixel(Bitmap& b, int x, int y, int r, int g, int bl, int t = 0) {
    uint8_t* p = Px(b, x, y);
    p[0] = static_cast<uint8_t>(bl);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
    if (b.BytesPerPixel() == 4) p[3] = static_cast<uint8_t>(t);
}

// B, G, R, T of pixel (x, y) as numbers, for comparing with a list.
inline std::vector<int> PixelBytes(const Bitmap& b, int x, int y = 0) {
    const uint8_t* p = Px(b, x, y);
    return {p[0], p[1], p[2], p[3]};
}

// The colour of a pixel as a colour value (red in the low byte).
inline int32_t ColourAt(const Bitmap& b, int x, int y) {
    const uint8_t* p = Px(b, x, y);
    return RGBColour(p[2], p[1], p[0]);
}

// ---- images to start from ---------------------------------------------------

// Sets every byte of the w x h block at (x0, y0) of a 32-bit bitmap to v.
inline void Paint(Bitmap& b, int x0, int y0, int w, int h, uint8_t v) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) std::memset(b.Row(y) + x * 4, v, 4);
}

inline Bitmap Uniform(int w, int h, uint8_t v, uint8_t t = 0) {
    Bitmap b(w, h, 32);
    b.Fill(v, v, v, t);
    return b;
}

// A pattern that differs in every byte, fourth byte included.
inline Bitmap Pattern(int w, int h, int seed) {
    Bitmap b(w, h, 32);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < w * 4; ++x)
            p[x] = static_cast<uint8_t>(x * 7 + y * 13 + seed * 31);
    }
    return b;
}

// Every byte drawn at random from the seed.
inline Bitmap RandomImage(int w, int h, uint32_t seed) {
    Bitmap b(w, h, 32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 4 * w; ++x)
            b.Row(y)[x] = static_cast<uint8_t>(rng() & 0xFF);
    return b;
}

// A picture with smooth gradients, a few hard edges and a varying fourth byte.
inline Bitmap GradientImage(int w, int h) {
    Bitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(b, x, y, x * 255 / (w > 1 ? w - 1 : 1), y * 255 / (h > 1 ? h - 1 : 1),
                     x < w / 2 ? 40 : 200, static_cast<uint8_t>((x + y) * 7));
    return b;
}

// ---- comparisons --------------------------------------------------------------

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

// The bounds of the pixels that differ between a and b (same size), right
// and bottom excluded; all zero when none does.
inline TRect ChangedBounds(const Bitmap& a, const Bitmap& b) {
    TRect r{a.Width(), a.Height(), 0, 0};
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (!SamePixel(a, b, x, y))
                r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r.Right > 0 ? r : TRect{};
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
