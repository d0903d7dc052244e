#pragma once
// Rounding helpers of the pixel libraries: results that round a real value do so to
// the nearest integer with halves to even, whatever mode the caller left the
// floating-point unit in.

#include <cfenv>

namespace pixora {

// Switches the calling thread to round-to-nearest and restores the previous
// mode when it goes out of scope.
class TRoundToNearest {
public:
    TRoundToNearest() : saved_(std::fegetround()) { std::fesetround(FE_TONEAREST); }
    ~TRoundToNearest() { std::fesetround(saved_); }
    TRoundToNearest(const TRoundToNearest&) = delete;
    TRoundToNearest& operator=(const TRoundToNearest&) = delete;

private:
    int saved_;
};

// Round to nearest, halves to even, for |v| < 2^51 under round-to-nearest:
// adding and removing 1.5 * 2^52 leaves exactly the rounded integer. Larger
// magnitudes come back as some value of at least 2^51, which callers treat
// as out of range.
inline double RoundHalfEven(double v) {
    constexpr double kShift = 6755399441055744.0;
    // Without fast-math the compiler may not fold this pair away.
    return (v + kShift) - kShift;
}

} // namespace pixora
