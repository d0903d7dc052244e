#pragma once
// The Gaussian blur's inner loops (gaussian_blur.cpp): the sums along a
// band of rows and down column strips, and the conversions between bitmap
// rows and the float lanes they work on (gaussian_lanes.h). One body
// (gaussian_kernels_body.h, gaussian_lanes_body.h) is compiled for the
// plain x86-64 set (sums rounded after each product), for AVX2 with fused
// multiply-adds and for AVX-512 (gaussian_kernels_avx2.cpp, _avx512.cpp);
// the run-time choice follows doc/vector_kernels.h. Every one gives the
// rule's bytes: where the single-precision sum leaves a byte in doubt, the
// value is summed again exactly (ExactValue).

#include <cstddef>
#include <cstdint>

#include "effects/quick/gaussian_lanes.h"

namespace pixora::quick {

// The kernel as the sums use it (MakePlan in gaussian_blur.cpp).
struct TPlan {
    int Size;
    float Half[101]; // the weights 0..Size (the kernel is symmetric)
    float Full[201]; // the weights -Size..Size in the order the rule sums them
    float Slack;     // how far the single-precision sums may stray
};

// Lanes done together, kept in registers through the whole tap loop: as
// many as keep the vector units busy while each sum waits on its last
// addition (eight 8-lane or four 16-lane vectors, eight 16-lane ones with
// fused multiply-adds, which wait longer).
inline constexpr int kGroup = 64, kFusedGroup = 128;
// Floats a line carries past its padded end, so that the last group may
// read and work out lanes it then throws away.
inline constexpr int kTail = kFusedGroup;
// The passes work on the colour values alone, three a pixel. The row pass
// takes kBandRows rows at a time in band layout (gaussian_lanes.h), so that
// a value's neighbours lie whole vectors apart, kChunk pixels at a time.
// The column pass works on strips of kNarrowStrip values (a whole number
// of pixels), one row at a time, as long as the rows one row's sums read
// (2 Size + 1 of them) stay in the first-level cache; for larger kernels on
// strips of kWideStrip values and kWideRows rows at a time (fewer without
// fused multiply-adds), so that the registers still hold enough sums.
inline constexpr int kChunk = 64;
inline constexpr int kNarrowStrip = 96, kNarrowStripSize = 32;
inline constexpr int kWideStrip = 48, kWideRows = 3, kPlainWideRows = 2;

// The row pass's values of one pixel's channel lie this far apart.
inline constexpr std::ptrdiff_t kBandStep = 3 * kBandRows;

// The rule's own sum for one value: centre[-j * step] for j = -Size..Size.
uint8_t ExactValue(const float* centre, std::ptrdiff_t step, const TPlan& p);

struct TGaussianKernels {
    // The values of `count` lanes of a band (centre in band layout).
    void (*Band)(const float* centre, const TPlan& p, int count, int32_t* out);
    // The values of `rows` rows (rounded up to the rows done at once) of a
    // column strip of kNarrowStrip or kWideStrip values from the row whose
    // centre is given on, written a strip's width apart into out.
    void (*NarrowColumn)(const float* centre, const TPlan& p, int rows, int32_t* out);
    void (*WideColumn)(const float* centre, const TPlan& p, int rows, int32_t* out);
    // Loads the colour bytes of pixels 0..n-1 of kBandRows rows (bpp bytes
    // a pixel) into band layout.
    void (*LoadBand)(const uint8_t* const* rows, int n, int bpp, float* t);
    // Writes new colour values in band layout (pixels x0..x0+count-1, the
    // first at out[0]) into the first `used` of kBandRows rows.
    void (*StoreBand)(uint8_t* const* rows, int used, int x0, int count, int bpp, const int32_t* out);
    // Loads the colour bytes of m pixels (m <= pixels) into strip layout.
    void (*LoadStrip)(const uint8_t* src, int m, int bpp, int pixels, float* f);
    // Writes the new colour values of m pixels in strip layout into a row.
    void (*StoreStrip)(uint8_t* dst, int m, int bpp, int pixels, const int32_t* out);
};

// The loops of each instruction set.
extern const TGaussianKernels kGaussianPlain;
extern const TGaussianKernels kGaussianAvx2;
extern const TGaussianKernels kGaussianAvx512;

// The loops for the kernel VectorKernelInUse() names (the wide ones need
// fused multiply-adds too).
const TGaussianKernels& GaussianKernels();

} // namespace pixora::quick
