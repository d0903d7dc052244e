#pragma once
// THistogram: 256 counts of the values of one colour plane, and its drawing.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "doc/bitmap.h"

class QImage;

namespace pixora {

class THistogram {
public:
    THistogram() { Clear(); }
    void Clear() { Counts.fill(0); }
    int32_t Largest() const;

    std::array<int32_t, 256> Counts;
};

// "Histogram index = v (i,j) = (column, row)": a plane value outside 0..255.
std::string HistogramIndexMessage(int value, int column, int row);

// Clears the histogram and counts the plane value of every pixel (rows from
// the last to the first, pixels from the last to the first). A value outside
// 0..255 is shown through report (when given) and counted in bin 0. Throws
// EHistogramError "GetHistogram:  Bitmap must be 24-bit." for other bitmaps.
void GetHistogram(const Bitmap& bitmap, int plane, THistogram& histogram,
                  const std::function<void(const std::string&)>& report = {});

// GetHistogram (without reports) and PlaneImage in one pass over the
// pixels, with the same results.
Bitmap HistogramAndPlaneImage(const Bitmap& bitmap, int plane, bool colour, bool invert,
                              THistogram& histogram);

// Draws the histogram of a plane on a canvas exactly 256 pixels wide: one
// bar per bin in the plane's colour, scaled to the largest count, grey
// ticks every ten bins and grid lines at fifths of the height, and the
// labels "Max = n", "0" and "250". Draws nothing on any other width or when
// every count is 0.
void DrawHistogram(int plane, const THistogram& histogram, QImage& canvas);

} // namespace pixora
