#include "effects/engine/range_layout.h"

#include <algorithm>

namespace pixora {

namespace {

long long FloorDiv(long long a, long long b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

} // namespace

bool TRangeLayout::Make(const TRangeStamp& stamp, int width, int height, int w, int h, long long first) {
    Clear();
    runs_.clear();
    starts_.clear();
    constexpr long long kLargest = 1 << 22; // places in the table
    if (width < 1 || height < 1 || w < 1 || h < 1 || static_cast<long long>(h) * width > kLargest)
        return false;
    const long long across = (width + static_cast<long long>(w) - 1) / w;
    const long long down = (height + static_cast<long long>(h) - 1) / h;
    // Row y is reached by the cell rows cy with top <= y - cy * h <= bottom;
    // from stamp.Bottom() on they all lie at or below cell row 0, and below
    // down * h + stamp.Top() at or above the last.
    const long long top = std::max(0LL, static_cast<long long>(stamp.Bottom()));
    const long long bottom = std::min(static_cast<long long>(height), down * h + stamp.Top());
    if (top >= bottom) return false;
    std::vector<long long> place(static_cast<std::size_t>(width));
    for (int py = 0; py < h; ++py) {
        std::fill(place.begin(), place.end(), kBackground);
        // The cell rows dcy (relative to the row's own) reaching it, in turn.
        const long long lowest = -FloorDiv(stamp.Bottom() - py, h), highest = FloorDiv(py - stamp.Top(), h);
        for (long long dcy = lowest; dcy <= highest; ++dcy) {
            const int dy = static_cast<int>(py - dcy * h);
            for (long long cx = 0; cx < across; ++cx) {
                const long long x = cx * w;
                stamp.ForEachSpanOfRow(dy, [&](int x0, int x1) {
                    const long long a = std::max(0LL, x + x0),
                                    b = std::min(static_cast<long long>(width), x + x1);
                    for (long long i = a; i < b; ++i)
                        place[static_cast<std::size_t>(i)] = dcy * across + cx;
                });
            }
        }
        starts_.push_back(runs_.size());
        for (int x = 0; x < width;) {
            const int start = x;
            const long long offset = place[static_cast<std::size_t>(x)];
            while (x < width && place[static_cast<std::size_t>(x)] == offset)
                ++x;
            runs_.push_back({start, x, offset});
        }
    }
    starts_.push_back(runs_.size());
    h_ = h;
    top_ = static_cast<int>(top);
    bottom_ = static_cast<int>(bottom);
    across_ = across;
    first_ = first;
    return true;
}

} // namespace pixora
