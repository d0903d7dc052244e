#pragma once
// The Gaussian blur's conversions between bitmap rows and the float lanes
// its sums work on (see gaussian_blur.cpp). Only the colour bytes become
// floats, three a pixel; a 32-bit row keeps its fourth bytes.
//
// Band layout (the row pass): kBandRows rows side by side, so that a
// pixel's neighbours along its row lie a whole vector further on: the
// value of channel c of pixel x of row r is at t[(3 x + c) kBandRows + r].
//
// Strip layout (the column pass): one row's run of `pixels` pixels as
// three runs of one channel each: channel c of pixel x is at
// f[c pixels + x].

#include <cstdint>

namespace pixora::quick {

inline constexpr int kBandRows = 16;

// Loads the colour bytes of pixels 0..n-1 of kBandRows rows (bpp bytes a
// pixel) into band layout.
void LoadBand(const uint8_t* const* rows, int n, int bpp, float* t);

// Writes new colour values in band layout (pixels x0..x0+count-1, the
// first at out[0]) into the first `used` of kBandRows rows.
void StoreBand(uint8_t* const* rows, int used, int x0, int count, int bpp, const int32_t* out);

// Loads the colour bytes of m pixels (m <= pixels) into strip layout.
void LoadStrip(const uint8_t* src, int m, int bpp, int pixels, float* f);

// Writes the new colour values of m pixels in strip layout into a row.
void StoreStrip(uint8_t* dst, int m, int bpp, int pixels, const int32_t* out);

} // namespace pixora::quick
