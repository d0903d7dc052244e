#pragma once
// Splitting a pass over the rows of a large bitmap across two threads.

#include <cstddef>
#include <thread>

namespace pixora {

// Below this many bytes a second thread costs more than it saves.
inline constexpr std::size_t kParallelBytes = std::size_t{1} << 20;

// Runs body(firstRow, endRow) over [0, rows), on two threads when the work
// is large enough. The caller guarantees that the rows are independent, so
// the order does not matter.
template <class Body> void ForRowRanges(int rows, std::size_t bytes, Body body) {
    if (bytes < kParallelBytes || rows < 2 || std::thread::hardware_concurrency() < 2) {
        body(0, rows);
        return;
    }
    const int half = rows / 2;
    std::thread helper([&] { body(half, rows); });
    body(0, half);
    helper.join();
}

} // namespace pixora
