#pragma once
// Splitting independent row work between two threads.

#include <cstddef>
#include <thread>

namespace pixora {

// Below this many bytes a second thread costs more than it saves.
inline constexpr std::size_t kParallelRowBytes = std::size_t{1} << 20;

// Runs body(firstRow, endRow) over [0, rows), on two threads when the work
// (`bytes` touched) is large enough. The rows must be independent, so that
// the order in which they are done does not matter.
template <class Body> void ForRowRanges(int rows, std::size_t bytes, Body body) {
    if (bytes < kParallelRowBytes || rows < 2 || std::thread::hardware_concurrency() < 2) {
        body(0, rows);
        return;
    }
    const int half = rows / 2;
    std::thread helper([&] { body(half, rows); });
    body(0, half);
    helper.join();
}

} // namespace pixora
