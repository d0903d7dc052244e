// Gaussian blur.
//
// Every new value is, by the rule, the double sum of single-precision
// weights times bytes. The passes work it out in single precision first,
// many values at a time, and know how far that can be off (a few hundred
// times 2^-24 * 255, see MakePlan). Where the whole band of that width truncates to the same
// byte, that byte is the rule's result; where it does not (some hundredths
// of a percent of the values), the value is summed again exactly as the
// rule says. So the output is the rule's to the byte, at the speed of the
// single-precision loops.
#include "effects/quick/gaussian_blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "doc/row_ranges.h"
#include "effects/quick/gaussian_kernels.h"

namespace pixora::quick {

namespace {

TPlan MakePlan(const TGaussKernel& k) {
    TPlan p{};
    p.Size = k.Size;
    for (int j = 0; j <= k.Size; ++j)
        p.Half[j] = k.At(j);
    for (int j = -k.Size; j <= k.Size; ++j)
        p.Full[j + k.Size] = k.At(j);
    // The single-precision sum adds the Size terms w[j] * (a + b) from the
    // outermost pair in (each pair of bytes added exactly, at most 510),
    // then the centre's product. With u = 2^-24, each product is off by at
    // most u times itself, and the products add up to the sum, at most 255
    // times the weights' sum (1 within a few u); each addition is off by at
    // most u times its result, the running sum, at most 255 times the
    // weights summed so far (a fused step rounds once, only there). So the
    // sum strays from the exact one by at most 255 u (partials + 2 whole),
    // where partials adds up the weights summed after each pair and whole
    // is all of them; the rule's double sum strays by some 2^-29 of that,
    // and the bounds of the band the sum is truncated in take one rounding
    // more. Two more steps of 256 u leave room to spare. Summed from the
    // outside in, the partials are far smaller than Size times 1, so fewer
    // values go to the exact sums than when summed from the centre out.
    double tail = 0, partials = 0;
    for (int j = k.Size; j >= 1; --j) {
        tail += 2.0 * k.At(j);
        partials += tail;
    }
    const double whole = tail + k.At(0);
    p.Slack = static_cast<float>((partials + 2 * whole + 2) * 256.0 / 16777216.0);
    return p;
}

// The first float of p on a 64-byte boundary (p must have 15 floats to
// spare): a vector load that straddles two cache lines costs two.
float* AlignedTo64(float* p) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    return p + ((64 - at % 64) % 64) / sizeof(float);
}

// The row pass over rows y0..y1-1, kBandRows at a time (the last band
// repeats its last row to fill up). A band's values are padded at both
// ends with copies of its end pixels, which is the limiting of the indices.
void RowPass(Bitmap& b, const TPlan& p, int y0, int y1) {
    const int n = b.Width(), bpp = b.BytesPerPixel(), s = p.Size;
    const TGaussianKernels kernels = GaussianKernels();
    const std::ptrdiff_t lead = 3 * s * kBandRows;
    std::vector<float> store(static_cast<std::size_t>(lead + 3 * (n + s) * kBandRows + kTail + 16), 0.0f);
    std::vector<int32_t> out(static_cast<std::size_t>(3 * kChunk * kBandRows + kTail));
    float* t = AlignedTo64(store.data()) + lead;
    constexpr std::size_t kVector = kBandRows * sizeof(float);
    for (int y = y0; y < y1; y += kBandRows) {
        const int used = std::min(kBandRows, y1 - y);
        uint8_t* rows[kBandRows];
        for (int r = 0; r < kBandRows; ++r)
            rows[r] = b.Row(y + std::min(r, used - 1));
        kernels.LoadBand(rows, n, bpp, t);
        for (int i = 1; i <= s; ++i)
            for (int c = 0; c < 3; ++c) {
                std::memcpy(t + (c - 3 * i) * kBandRows, t + c * kBandRows, kVector);
                std::memcpy(t + (3 * (n - 1 + i) + c) * kBandRows, t + (3 * (n - 1) + c) * kBandRows,
                            kVector);
            }
        for (int x0 = 0; x0 < n; x0 += kChunk) {
            const int count = std::min(kChunk, n - x0);
            kernels.Band(t + 3 * x0 * kBandRows, p, 3 * count * kBandRows, out.data());
            kernels.StoreBand(rows, used, x0, count, bpp, out.data());
        }
    }
}

// The column pass over the strips s0..s1-1 of `width` values (kNarrowStrip
// or kWideStrip), kTogether strips side by side (so that each row is read
// in one longer run) and kColumnChunk rows at a time. The rows a chunk's
// sums read are copied into a padded block of floats a strip in strip
// layout, row over row (with rows to spare below for the last rows done at
// once), and blurred down; the blocks stay in the second-level cache, and
// the rows the next chunk reads again move to their starts.
constexpr int kColumnChunk = 256, kTogether = 4, kAhead = 100, kBatch = 16;

void ColumnPass(Bitmap& b, const TPlan& p, int width, int s0, int s1) {
    const int h = b.Height(), n = b.Width(), bpp = b.BytesPerPixel(), s = p.Size;
    const TGaussianKernels kernels = GaussianKernels();
    const auto column = width == kNarrowStrip ? kernels.NarrowColumn : kernels.WideColumn;
    const int kept = 2 * s + kWideRows, pixels = width / 3;
    const std::ptrdiff_t w = width, rows = kColumnChunk + kept, size = rows * w + 16;
    std::vector<float> store(static_cast<std::size_t>(kTogether * size + kTail + 16), 0.0f);
    float* blocks = AlignedTo64(store.data()); // row k holds image row y0 - s + k
    alignas(64) int32_t out[(kBatch + kWideRows) * kNarrowStrip + kTail];
    for (int g0 = s0; g0 < s1; g0 += kTogether) {
        const int together = std::min(kTogether, s1 - g0), x0 = g0 * pixels;
        const int span = (std::min(n, (g0 + together) * pixels) - x0) * bpp;
        int loaded = 0; // block rows that hold their image rows
        for (int y0 = 0; y0 < h; y0 += kColumnChunk) {
            const int y1 = std::min(h, y0 + kColumnChunk);
            if (y0 > 0) {
                for (int g = 0; g < together; ++g)
                    std::memmove(blocks + g * size, blocks + g * size + kColumnChunk * w,
                                 static_cast<std::size_t>(kept * w) * sizeof(float));
                loaded = kept;
            }
            for (int k = loaded; k < y1 - y0 + kept; ++k) {
                const uint8_t* ahead = b.Row(std::clamp(y0 - s + k + kAhead, 0, h - 1)) + x0 * bpp;
                for (int at = 0; at < span; at += 64)
                    __builtin_prefetch(ahead + at);
                const uint8_t* row = b.Row(std::clamp(y0 - s + k, 0, h - 1));
                for (int g = 0; g < together; ++g) {
                    const int xg = (g0 + g) * pixels;
                    kernels.LoadStrip(row + xg * bpp, std::min(pixels, n - xg), bpp, pixels,
                              blocks + g * size + k * w);
                }
            }
            for (int g = 0; g < together; ++g) {
                const int xg = (g0 + g) * pixels, m = std::min(pixels, n - xg);
                const float* block = blocks + g * size;
                for (int y = y0; y < y1; y += kBatch) {
                    const int todo = std::min(kBatch, y1 - y);
                    column(block + (y - y0 + s) * w, p, todo, out);
                    for (int r = 0; r < todo; ++r)
                        kernels.StoreStrip(b.Row(y + r) + xg * bpp, m, bpp, pixels, out + r * w);
                }
            }
        }
    }
}

void Blur(Bitmap& b, double radius) {
    if (b.Empty()) return;
    const TPlan p = MakePlan(MakeGaussKernel(radius));
    ForRowRanges(b.Height(), b.ByteSize(), [&](int y0, int y1) { RowPass(b, p, y0, y1); });
    const int width = p.Size <= kNarrowStripSize ? kNarrowStrip : kWideStrip;
    const int strips = (3 * b.Width() + width - 1) / width;
    ForRowRanges(strips, b.ByteSize(), [&](int s0, int s1) { ColumnPass(b, p, width, s0, s1); });
}

} // namespace

TGaussKernel MakeGaussKernel(double radius) {
    if (!(radius > 0)) throw std::invalid_argument("the blur radius must be above 0");
    TGaussKernel k;
    double sum = 0;
    for (int j = -100; j <= 100; ++j) {
        const double q = j / radius;
        k.Weight[static_cast<std::size_t>(j + 100)] = static_cast<float>(std::exp(-q * q / 2));
        sum += k.At(j);
    }
    for (float& w : k.Weight)
        w = static_cast<float>(w / sum);
    int size = 100;
    double total = 0;
    while (total < 1.0 / 510 && size > 1) {
        total += 2.0 * k.At(size);
        --size;
    }
    sum = 0;
    for (int j = -size; j <= size; ++j)
        sum += k.At(j);
    for (int j = -size; j <= size; ++j) {
        float& w = k.Weight[static_cast<std::size_t>(j + 100)];
        w = static_cast<float>(w / sum);
    }
    k.Size = size;
    return k;
}

void GBlur(Bitmap& bitmap, double radius) {
    if (bitmap.BitsPerPixel() != 24) throw std::invalid_argument("GBlur only works for 24-bit bitmaps");
    Blur(bitmap, radius);
}

void GaussianBlur(Bitmap& document, const TBlurRadius& params) {
    if (document.BitsPerPixel() != 32) throw std::invalid_argument("the document bitmap is 32-bit");
    if (params.Radius < 1 || params.Radius > 24)
        throw std::invalid_argument("the blur radius runs from 1 to 24");
    Blur(document, params.Radius);
}

} // namespace pixora::quick
