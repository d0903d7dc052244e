// Gaussian blur.
//
// Every new value is, by the rule, the double sum of single-precision
// weights times bytes. The passes work it out in single precision first,
// many values at a time, and know how far that can be off: the sum of k
// rounded products strays from the exact one by less than about
// k * 2^-24 * 255. Where the whole band of that width truncates to the same
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

namespace pixora::quick {

namespace {

// Values worked on in one go (the accumulators stay in the first-level cache).
constexpr int kBlock = 256;
// Bytes across a column strip of the column pass.
constexpr int kStrip = 128;

struct TPlan {
    int Size;
    float Half[101];   // the weights 0..Size (the kernel is symmetric)
    float Full[201];   // the weights -Size..Size in the order the rule sums them
    float Slack;       // how far the single-precision sums may stray
};

TPlan MakePlan(const TGaussKernel& k) {
    TPlan p{};
    p.Size = k.Size;
    for (int j = 0; j <= k.Size; ++j)
        p.Half[j] = k.At(j);
    for (int j = -k.Size; j <= k.Size; ++j)
        p.Full[j + k.Size] = k.At(j);
    p.Slack = static_cast<float>((2.0 * k.Size + 8.0) * 256.0 / 16777216.0);
    return p;
}

// The rule's own sum for one value: centre[-j * step] for j = -Size..Size.
uint8_t ExactValue(const float* centre, std::ptrdiff_t step, const TPlan& p) {
    double s = 0;
    for (int j = -p.Size; j <= p.Size; ++j)
        s += static_cast<double>(p.Full[j + p.Size]) * static_cast<double>(centre[-j * step]);
    s = s < 0 ? 0 : (s > 255 ? 255 : s);
    return static_cast<uint8_t>(s);
}

// New values of centre[0..count-1] (count <= kBlock), whose neighbours lie
// step floats apart, into out.
__attribute__((target_clones("avx2", "default"))) void BlurValues(const float* centre, std::ptrdiff_t step,
                                                                  const TPlan& p, int count, uint8_t* out) {
    float acc[kBlock];
    const float w0 = p.Half[0];
    for (int t = 0; t < count; ++t)
        acc[t] = w0 * centre[t];
    for (int j = 1; j <= p.Size; ++j) {
        const float wj = p.Half[j];
        const float* a = centre - j * step;
        const float* b = centre + j * step;
        for (int t = 0; t < count; ++t)
            acc[t] += wj * (a[t] + b[t]);
    }
    uint8_t unsure[kBlock];
    int anyUnsure = 0;
    const float slack = p.Slack;
    for (int t = 0; t < count; ++t) {
        const float lo = std::clamp(acc[t] - slack, 0.0f, 255.0f);
        const float hi = std::clamp(acc[t] + slack, 0.0f, 255.0f);
        const int a = static_cast<int>(lo), b = static_cast<int>(hi);
        out[t] = static_cast<uint8_t>(a);
        unsure[t] = static_cast<uint8_t>(a != b);
        anyUnsure |= a != b;
    }
    if (!anyUnsure) return;
    for (int t = 0; t < count; ++t)
        if (unsure[t]) out[t] = ExactValue(centre + t, step, p);
}

// The row pass over rows y0..y1-1. Each pixel gets four lanes (blue, green,
// red and a spare one) and the row is padded at both ends with copies of
// its end pixels, which is the limiting of the indices.
void RowPass(Bitmap& b, const TPlan& p, int y0, int y1) {
    const int n = b.Width(), bpp = b.BytesPerPixel(), s = p.Size;
    std::vector<float> line(4 * static_cast<std::size_t>(n + 2 * s), 0.0f);
    uint8_t out[kBlock];
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = b.Row(y);
        for (int i = -s; i < n + s; ++i) {
            const uint8_t* px = row + static_cast<std::ptrdiff_t>(bpp) * std::clamp(i, 0, n - 1);
            float* f = &line[4 * static_cast<std::size_t>(i + s)];
            f[0] = px[0];
            f[1] = px[1];
            f[2] = px[2];
        }
        for (int x0 = 0; x0 < n; x0 += kBlock / 4) {
            const int m = std::min(kBlock / 4, n - x0);
            BlurValues(&line[4 * static_cast<std::size_t>(x0 + s)], 4, p, 4 * m, out);
            for (int i = 0; i < m; ++i) {
                uint8_t* px = row + static_cast<std::ptrdiff_t>(bpp) * (x0 + i);
                std::memcpy(px, out + 4 * i, 3);
            }
        }
    }
}

// The column pass over the byte strips s0..s1-1 of kStrip bytes. A strip is
// copied into a padded block of floats, row over row, and blurred down.
void ColumnPass(Bitmap& b, const TPlan& p, int s0, int s1) {
    const int h = b.Height(), bpp = b.BytesPerPixel(), s = p.Size;
    const int rowBytes = b.Width() * bpp;
    std::vector<float> block(static_cast<std::size_t>(h + 2 * s) * kStrip, 0.0f);
    uint8_t out[kStrip];
    for (int strip = s0; strip < s1; ++strip) {
        const int b0 = strip * kStrip, m = std::min(kStrip, rowBytes - b0);
        for (int i = -s; i < h + s; ++i) {
            const uint8_t* src = b.Row(std::clamp(i, 0, h - 1)) + b0;
            float* f = &block[static_cast<std::size_t>(i + s) * kStrip];
            for (int t = 0; t < m; ++t)
                f[t] = src[t];
        }
        for (int y = 0; y < h; ++y) {
            BlurValues(&block[static_cast<std::size_t>(y + s) * kStrip], kStrip, p, m, out);
            uint8_t* dst = b.Row(y) + b0;
            if (bpp == 3) {
                std::memcpy(dst, out, static_cast<std::size_t>(m));
            } else {
                // The fourth bytes are not the blur's to write.
                for (int t = 0; t < m; ++t)
                    if (((b0 + t) & 3) != 3) dst[t] = out[t];
            }
        }
    }
}

void Blur(Bitmap& b, double radius) {
    if (b.Empty()) return;
    const TPlan p = MakePlan(MakeGaussKernel(radius));
    ForRowRanges(b.Height(), b.ByteSize(), [&](int y0, int y1) { RowPass(b, p, y0, y1); });
    const int strips = (b.Width() * b.BytesPerPixel() + kStrip - 1) / kStrip;
    ForRowRanges(strips, b.ByteSize(), [&](int s0, int s1) { ColumnPass(b, p, s0, s1); });
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
    if (params.Radius < 1 || params.Radius > 24) throw std::invalid_argument("the blur radius runs from 1 to 24");
    Blur(document, params.Radius);
}

} // namespace pixora::quick
