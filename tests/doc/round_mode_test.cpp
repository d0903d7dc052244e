// Rounding halves to even, with and without the floating-point mode's help.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "doc/round_mode.h"

using namespace pixora;

TEST(RoundMode, RoundingInAnyModeMatchesRoundingToNearest) {
    const double values[] = {0.0,
                             0.5,
                             1.5,
                             2.5,
                             -0.5,
                             -1.5,
                             -2.5,
                             0.49999999999999994,
                             254.5,
                             255.5,
                             359.5,
                             1e15 + 0.5,
                             -7.25,
                             100.75,
                             1e300,
                             -0.0,
                             std::numeric_limits<double>::infinity()};
    for (double v : values) {
        double nearest;
        {
            TRoundToNearest hold;
            nearest = RoundHalfEven(v);
        }
        for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
            const int saved = std::fegetround();
            std::fesetround(mode);
            const double any = RoundHalfEvenInAnyMode(v);
            std::fesetround(saved);
            if (v > 1e200)
                EXPECT_GE(any, 2251799813685248.0) << "out of range stays out of range";
            else
                EXPECT_EQ(any, nearest) << v << " in mode " << mode;
        }
    }
    EXPECT_TRUE(std::isnan(RoundHalfEvenInAnyMode(std::numeric_limits<double>::quiet_NaN())));
}
