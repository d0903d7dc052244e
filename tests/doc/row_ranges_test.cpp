// The one way rows are split between threads.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "doc/row_ranges.h"

using namespace pixora;

TEST(RowRanges, BandsCoverEveryRowOnceAndClampToTheRows) {
    for (auto [rows, parts] : {std::pair{10, 3}, {7, 7}, {3, 8}, {1, 4}, {0, 2}, {1000, 2}}) {
        std::vector<int> seen(static_cast<std::size_t>(rows), 0);
        std::mutex m;
        int bands = 0;
        ForRowBands(rows, parts, [&](int y0, int y1) {
            std::lock_guard<std::mutex> lock(m);
            ++bands;
            for (int y = y0; y < y1; ++y)
                ++seen[static_cast<std::size_t>(y)];
        });
        for (int y = 0; y < rows; ++y)
            EXPECT_EQ(seen[static_cast<std::size_t>(y)], 1) << rows << "/" << parts;
        EXPECT_EQ(bands, std::max(1, std::min(rows, parts))) << rows << "/" << parts;
    }
}

TEST(RowRanges, AFailingBandIsRaisedAfterEveryBandHasEnded) {
    std::atomic<int> done{0};
    EXPECT_THROW(ForRowBands(8, 4,
                             [&](int y0, int) {
                                 if (y0 == 4) throw std::runtime_error("band failed");
                                 ++done;
                             }),
                 std::runtime_error);
    EXPECT_EQ(done, 3);
}

TEST(RowRanges, SmallWorkStaysOnOneThread) {
    int calls = 0;
    ForRowRanges(100, kParallelRowBytes - 1, [&](int y0, int y1) {
        ++calls;
        EXPECT_EQ(y0, 0);
        EXPECT_EQ(y1, 100);
    });
    EXPECT_EQ(calls, 1);
}
