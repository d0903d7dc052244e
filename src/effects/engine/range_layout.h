#pragma once
// The stamped range bitmap's rows clear of its top and bottom cells, as
// runs of pixels that share a range. Every row at one place within a cell
// row has the same runs, their ranges one row of cells apart, so a short
// table gives the ranges of nearly every pixel without reading the bitmap.

#include <limits>
#include <vector>

#include "effects/engine/shape_points.h"

namespace pixora {

class TRangeLayout {
public:
    // Pixels X0..X1-1 of a row; Offset is their range less the range of the
    // first cell of the row's cell row, or kBackground for pixels no shape
    // covers.
    struct TRun {
        int X0, X1;
        long long Offset;
    };
    static constexpr long long kBackground = std::numeric_limits<long long>::min();

    // Lays out a width x height range bitmap of cells w x h, numbered from
    // `first` across and then down, every cell drawn with the stamp in turn
    // (later cells over earlier ones). False, with nothing laid out, when
    // no row lies clear of the top and bottom cells or the table would be
    // large.
    bool Make(const TRangeStamp& stamp, int width, int height, int w, int h, long long first);
    void Clear() { top_ = bottom_ = 0; }

    // The rows laid out: top..bottom-1.
    int Top() const { return top_; }
    int Bottom() const { return bottom_; }
    bool Covers(int y) const { return y >= top_ && y < bottom_; }
    // The runs of a row it covers, and the range their offsets count from.
    const TRun* Begin(int y) const { return runs_.data() + starts_[static_cast<std::size_t>(y % h_)]; }
    const TRun* End(int y) const { return runs_.data() + starts_[static_cast<std::size_t>(y % h_) + 1]; }
    long long Base(int y) const { return first_ + (y / h_) * across_; }

private:
    std::vector<TRun> runs_;
    std::vector<std::size_t> starts_; // per place in the cell row, and one past
    int h_ = 1, top_ = 0, bottom_ = 0;
    long long across_ = 0, first_ = 0;
};

} // namespace pixora
