#pragma once
// Rounding helpers of the pixel libraries: results that round a real value do so to
// the nearest integer with halves to even, whatever mode the caller left the
// floating-point unit in.

#include <cfenv>
#include <cmath>

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

// The same rounding whatever mode the thread is in, without a guard: for
// per-pixel work, where setting and restoring the mode for every value
// would cost many times the arithmetic. Equal to RoundHalfEven under
// round-to-nearest for every value, NaN and infinities included.
inline double RoundHalfEvenInAnyMode(double v) {
    const double f = std::floor(v);
    const double d = v - f;
    if (d > 0.5) return f + 1;
    if (d < 0.5) return f;
    return std::fmod(f, 2) == 0 ? f : f + 1;
}

} // namespace pixora
