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
#include <immintrin.h>
#include <stdexcept>
#include <vector>

#include "doc/row_ranges.h"
#include "doc/vector_kernels.h"
#include "effects/quick/gaussian_lanes.h"

namespace pixora::quick {

namespace {

// Values worked on in one go (the accumulators stay in the first-level cache).
constexpr int kBlock = 256;

struct TPlan {
    int Size;
    float Half[101]; // the weights 0..Size (the kernel is symmetric)
    float Full[201]; // the weights -Size..Size in the order the rule sums them
    float Slack;     // how far the single-precision sums may stray
};

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

// The rule's own sum for one value: centre[-j * step] for j = -Size..Size.
uint8_t ExactValue(const float* centre, std::ptrdiff_t step, const TPlan& p) {
    double s = 0;
    for (int j = -p.Size; j <= p.Size; ++j)
        s += static_cast<double>(p.Full[j + p.Size]) * static_cast<double>(centre[-j * step]);
    s = s < 0 ? 0 : (s > 255 ? 255 : s);
    return static_cast<uint8_t>(s);
}

// Lanes done together, kept in registers through the whole tap loop: as
// many as keep the vector units busy while each sum waits on its last
// addition (eight 8-lane or four 16-lane vectors, eight 16-lane ones with
// fused multiply-adds, which wait longer).
constexpr int kGroup = 64, kFusedGroup = 128;
// Floats a line carries past its padded end, so that the last group may
// read and work out lanes it then throws away.
constexpr int kTail = kFusedGroup;
// The passes work on the colour values alone, three a pixel. The row pass
// takes kBandRows rows at a time in band layout (gaussian_lanes.h), so that
// a value's neighbours lie whole vectors apart, kChunk pixels at a time.
// The column pass works on strips of kNarrowStrip values (a whole number
// of pixels), one row at a time, as long as the rows one row's sums read
// (2 Size + 1 of them) stay in the first-level cache; for larger kernels on
// strips of kWideStrip values and kWideRows rows at a time (fewer without
// fused multiply-adds), so that the registers still hold enough sums.
constexpr int kChunk = 64;
constexpr int kNarrowStrip = 96, kNarrowStripSize = 32;
constexpr int kWideStrip = 48, kWideRows = 3, kPlainWideRows = 2;

// New values of kRows lines of values: line r's centre[0..count-1], whose
// neighbours lie step floats apart (line r starts r steps after line 0),
// into out[r * outStride + 0..count-1]. Lanes up to the next multiple of
// kLanes are read (and must exist); out must hold that many too. Every
// load is of whole vectors on 64-byte boundaries where centre and step
// keep to them.
//
// The fused kind rounds once where the plain one rounds twice (after the
// product and after the sum), so it strays less and the same slack holds
// for both; the sum of a pair of bytes is exact either way.
template <bool kFused, int kLanes, int kRows>
[[gnu::always_inline]] inline void BlurValuesWith(const float* centre, std::ptrdiff_t step, const TPlan& p,
                                                  int count, int32_t* out, std::ptrdiff_t outStride) {
    const float w0 = p.Half[0], slack = p.Slack;
    for (int t0 = 0; t0 < count; t0 += kLanes) {
        const float* c = centre + t0;
        float acc[kRows][kLanes];
        const int s = p.Size;
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < kLanes; ++k)
                acc[r][k] = p.Half[s] * (c[(r - s) * step + k] + c[(r + s) * step + k]);
        for (int j = s - 1; j >= 1; --j) {
            const float wj = p.Half[j];
            for (int r = 0; r < kRows; ++r) {
                const float* a = c + (r - j) * step;
                const float* b = c + (r + j) * step;
                for (int k = 0; k < kLanes; ++k) {
                    if constexpr (kFused)
                        acc[r][k] = __builtin_fmaf(wj, a[k] + b[k], acc[r][k]);
                    else
                        acc[r][k] += wj * (a[k] + b[k]);
                }
            }
        }
        for (int r = 0; r < kRows; ++r)
            for (int k = 0; k < kLanes; ++k) {
                if constexpr (kFused)
                    acc[r][k] = __builtin_fmaf(w0, c[r * step + k], acc[r][k]);
                else
                    acc[r][k] += w0 * c[r * step + k];
            }
        for (int r = 0; r < kRows; ++r) {
            int32_t* o = out + r * outStride + t0;
            int unsure = 0;
            uint8_t unsureAt[kLanes];
            // The sums lie between 0 and 255 plus some u (the weights add
            // up to 1 within a few u), and so does the band around each
            // but for a slack's width below 0: truncated, every end of a
            // band already is what limiting to 0..255 and truncating give.
            for (int k = 0; k < kLanes; ++k) {
                const int a = static_cast<int>(acc[r][k] - slack), b = static_cast<int>(acc[r][k] + slack);
                o[k] = a;
                unsureAt[k] = a != b;
                unsure |= a != b;
            }
            if (!unsure) continue;
            for (int k = 0; k < kLanes && t0 + k < count; ++k)
                if (unsureAt[k]) o[k] = ExactValue(c + r * step + k, step, p);
        }
    }
}

bool HasFusedMultiplyAdd() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

// The default clones of the fused kind are never called: the plain kind
// serves machines without fused multiply-adds.
#define PIXORA_FUSED_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#define PIXORA_PLAIN_CLONES __attribute__((target_clones("avx2", "default")))

constexpr std::ptrdiff_t kBandStep = 3 * kBandRows;

PIXORA_FUSED_CLONES void BlurBandFused(const float* centre, const TPlan& p, int count, int32_t* out) {
    BlurValuesWith<true, kFusedGroup, 1>(centre, kBandStep, p, count, out, 0);
}
PIXORA_PLAIN_CLONES void BlurBandPlain(const float* centre, const TPlan& p, int count, int32_t* out) {
    BlurValuesWith<false, kGroup, 1>(centre, kBandStep, p, count, out, 0);
}
// The column kernels work out `rows` rows (rounded up to the rows done at
// once) from the centre row given on, their values `width` apart in out.
template <bool kFused, int kWidth, int kRows>
[[gnu::always_inline]] inline void BlurColumnWith(const float* centre, const TPlan& p, int rows,
                                                  int32_t* out) {
    for (int y = 0; y < rows; y += kRows)
        BlurValuesWith<kFused, kWidth, kRows>(centre + y * kWidth, kWidth, p, kWidth, out + y * kWidth,
                                              kWidth);
}
PIXORA_FUSED_CLONES void BlurNarrowColumnFused(const float* centre, const TPlan& p, int rows, int32_t* out) {
    BlurColumnWith<true, kNarrowStrip, 1>(centre, p, rows, out);
}
PIXORA_PLAIN_CLONES void BlurNarrowColumnPlain(const float* centre, const TPlan& p, int rows, int32_t* out) {
    BlurColumnWith<false, kNarrowStrip, 1>(centre, p, rows, out);
}
PIXORA_FUSED_CLONES void BlurWideColumnFused(const float* centre, const TPlan& p, int rows, int32_t* out) {
    BlurColumnWith<true, kWideStrip, kWideRows>(centre, p, rows, out);
}
PIXORA_PLAIN_CLONES void BlurWideColumnPlain(const float* centre, const TPlan& p, int rows, int32_t* out) {
    BlurColumnWith<false, kWideStrip, kPlainWideRows>(centre, p, rows, out);
}

// The band kernel of machines with 16-lane vectors, written out in them:
// kBandVectors vectors of values side by side, whose neighbours lie
// kBandHop vectors apart. The value a vector reads on the left at one pair
// is the one the vector kBandHop further on reads at the next pair (on the
// right, kBandHop back), so each pair loads 2 kBandHop vectors afresh and
// passes the rest along in registers. The sums are those of BlurValuesWith
// to the last rounding (the same operations in the same order).
constexpr int kBandVectors = 8, kBandHop = 3;

__attribute__((target("avx512f"))) void BlurBandWide(const float* centre, const TPlan& p, int count,
                                                     int32_t* out) {
    const int s = p.Size;
    const __m512 slack = _mm512_set1_ps(p.Slack), w0 = _mm512_set1_ps(p.Half[0]);
    constexpr int kKept = kBandVectors - kBandHop;
    for (int t0 = 0; t0 < count; t0 += 16 * kBandVectors) {
        const float* c = centre + t0;
        __m512 left[kBandVectors], right[kBandVectors], acc[kBandVectors];
        const __m512 ws = _mm512_set1_ps(p.Half[s]);
        for (int i = 0; i < kBandVectors; ++i) {
            left[i] = _mm512_load_ps(c + 16 * (i - kBandHop * s));
            right[i] = _mm512_load_ps(c + 16 * (i + kBandHop * s));
            acc[i] = _mm512_mul_ps(ws, _mm512_add_ps(left[i], right[i]));
        }
        for (int j = s - 1; j >= 1; --j) {
            const __m512 wj = _mm512_set1_ps(p.Half[j]);
            for (int i = 0; i < kKept; ++i)
                left[i] = left[i + kBandHop];
            for (int i = kKept; i < kBandVectors; ++i)
                left[i] = _mm512_load_ps(c + 16 * (i - kBandHop * j));
            for (int i = kBandVectors - 1; i >= kBandHop; --i)
                right[i] = right[i - kBandHop];
            for (int i = 0; i < kBandHop; ++i)
                right[i] = _mm512_load_ps(c + 16 * (i + kBandHop * j));
            for (int i = 0; i < kBandVectors; ++i)
                acc[i] = _mm512_fmadd_ps(wj, _mm512_add_ps(left[i], right[i]), acc[i]);
        }
        for (int i = 0; i < kBandVectors; ++i) {
            acc[i] = _mm512_fmadd_ps(w0, _mm512_load_ps(c + 16 * i), acc[i]);
            const __m512i a = _mm512_maskz_cvttps_epi32(0xFFFF, _mm512_sub_ps(acc[i], slack));
            const __m512i b = _mm512_maskz_cvttps_epi32(0xFFFF, _mm512_add_ps(acc[i], slack));
            _mm512_storeu_si512(out + t0 + 16 * i, a);
            __mmask16 unsure = _mm512_cmpneq_epi32_mask(a, b);
            while (unsure) {
                const int k = __builtin_ctz(unsure), q = 16 * i + k;
                unsure &= unsure - 1;
                if (t0 + q < count) out[t0 + q] = ExactValue(c + q, kBandStep, p);
            }
        }
    }
}

// The machine's widest vector kernel, or the narrower one a test holds the
// vector loops to.
bool HasWideVectors() {
    return VectorKernelInUse() == TVectorKernel::Avx512;
}

// The values of `count` lanes of a band (see BlurValuesWith).
void BlurBand(const float* centre, const TPlan& p, int count, int32_t* out) {
    if (HasWideVectors())
        BlurBandWide(centre, p, count, out);
    else if (HasFusedMultiplyAdd())
        BlurBandFused(centre, p, count, out);
    else
        BlurBandPlain(centre, p, count, out);
}

// The values of `rows` rows of a column strip of `width` values
// (kNarrowStrip or kWideStrip) from the row whose centre is given on,
// written `width` values apart into out (which holds kWideRows rows more).
void BlurColumnRows(const float* centre, const TPlan& p, int width, int rows, int32_t* out) {
    const bool fused = HasFusedMultiplyAdd();
    if (width == kNarrowStrip)
        fused ? BlurNarrowColumnFused(centre, p, rows, out) : BlurNarrowColumnPlain(centre, p, rows, out);
    else
        fused ? BlurWideColumnFused(centre, p, rows, out) : BlurWideColumnPlain(centre, p, rows, out);
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
        LoadBand(rows, n, bpp, t);
        for (int i = 1; i <= s; ++i)
            for (int c = 0; c < 3; ++c) {
                std::memcpy(t + (c - 3 * i) * kBandRows, t + c * kBandRows, kVector);
                std::memcpy(t + (3 * (n - 1 + i) + c) * kBandRows, t + (3 * (n - 1) + c) * kBandRows,
                            kVector);
            }
        for (int x0 = 0; x0 < n; x0 += kChunk) {
            const int count = std::min(kChunk, n - x0);
            BlurBand(t + 3 * x0 * kBandRows, p, 3 * count * kBandRows, out.data());
            StoreBand(rows, used, x0, count, bpp, out.data());
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
                    LoadStrip(row + xg * bpp, std::min(pixels, n - xg), bpp, pixels,
                              blocks + g * size + k * w);
                }
            }
            for (int g = 0; g < together; ++g) {
                const int xg = (g0 + g) * pixels, m = std::min(pixels, n - xg);
                const float* block = blocks + g * size;
                for (int y = y0; y < y1; y += kBatch) {
                    const int todo = std::min(kBatch, y1 - y);
                    BlurColumnRows(block + (y - y0 + s) * w, p, width, todo, out);
                    for (int r = 0; r < todo; ++r)
                        StoreStrip(b.Row(y + r) + xg * bpp, m, bpp, pixels, out + r * w);
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
