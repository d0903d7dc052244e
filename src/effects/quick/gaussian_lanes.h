#pragma once
// The layouts of the float lanes the Gaussian blur's sums work on (the
// conversions from and to bitmap rows are in gaussian_kernels.h). Only the
// colour bytes become floats, three a pixel; a 32-bit row keeps its fourth
// bytes.
//
// Band layout (the row pass): kBandRows rows side by side, so that a
// pixel's neighbours along its row lie a whole vector further on: the
// value of channel c of pixel x of row r is at t[(3 x + c) kBandRows + r].
//
// Strip layout (the column pass): one row's run of `pixels` pixels as
// three runs of one channel each: channel c of pixel x is at
// f[c pixels + x].

namespace pixora::quick {

inline constexpr int kBandRows = 16;

} // namespace pixora::quick
