#pragma once
// What the quick effects share: the pixel test that confines an effect to a
// selection, the row walk that feeds a row kernel the runs of pixels that
// pass it, and the integer helpers the pixel rules are written in.
//
// A pixel test is any callable `bool test(int x, int y)`; it must be safe to
// call from two threads at once (the selection edit test only reads). Pass
// TAllPixels when the effect is to change every pixel: the walk then skips
// the test altogether.

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "doc/bitmap.h"
#include "doc/row_ranges.h"

// The vector loops of the kernels need nothing beyond SSE2, which every
// x86-64 processor has; elsewhere the plain loops (same arithmetic) do all.
#if defined(__SSE2__)
#include <emmintrin.h>
#define PIXORA_QUICK_SSE2 1
#else
#define PIXORA_QUICK_SSE2 0
#endif

namespace pixora::quick {

// The test that every pixel passes.
struct TAllPixels {
    bool operator()(int, int) const { return true; }
};

// The selection edit test (or anything with Test(x, y)) as a pixel test.
template <class EditTest> auto PixelTestOf(const EditTest& t) {
    return [&t](int x, int y) { return t.Test(x, y); };
}

// x div 256 rounding towards zero, as the rules write it: a negative value
// has 255 added before the arithmetic shift.
constexpr int Div256(int x) {
    return (x < 0 ? x + 255 : x) >> 8;
}

constexpr uint8_t Clamp255(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// A percentage of the channel options window as the factor the rules use:
// p * 256 div 100 (p = 8 gives 20).
constexpr int ChannelFactor(int percent) {
    return percent * 256 / 100;
}

// Calls run(x0, x1) for each run of pixels of row y that pass the test.
template <class Test, class Run>
inline void ForEachPassingRun(const Test& test, int y, int width, Run&& run) {
    if constexpr (std::is_same_v<Test, TAllPixels>) {
        if (width > 0) run(0, width);
    } else {
        int x = 0;
        while (x < width) {
            while (x < width && !test(x, y))
                ++x;
            const int start = x;
            while (x < width && test(x, y))
                ++x;
            if (x > start) run(start, x);
        }
    }
}

// A kernel that changes pixels x0..x1-1 of row y of a 32-bit bitmap in place.
class TRowKernel {
public:
    virtual ~TRowKernel() = default;
    virtual void operator()(uint8_t* row, int x0, int x1, int y) const = 0;
};

// Runs a row kernel over every pixel of a 32-bit bitmap that passes the
// test. Rows are independent, so the two halves of the image may be done
// on two threads.
template <class Test> void RunRows(Bitmap& bitmap, const TRowKernel& kernel, const Test& test) {
    if (bitmap.Empty()) return;
    const int w = bitmap.Width();
    ForRowRanges(bitmap.Height(), bitmap.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* row = bitmap.Row(y);
            ForEachPassingRun(test, y, w, [&](int a, int b) { kernel(row, a, b, y); });
        }
    });
}

} // namespace pixora::quick
