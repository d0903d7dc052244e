#pragma once
// Splitting independent row work between threads: the one place that does.

#include <atomic>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace pixora {

// Below this many bytes a second thread costs more than it saves.
inline constexpr std::size_t kParallelRowBytes = std::size_t{1} << 20;

// Runs body(firstRow, endRow) over `parts` bands of [0, rows) (band i
// starts at rows x i / parts): band 0 on this thread, each other band on a
// thread of its own; a band whose thread cannot be had runs here. An
// exception of any band is raised here once every band has ended. The rows
// must be independent, so that the order in which they are done does not
// matter.
template <class Body> void ForRowBands(int rows, int parts, Body body) {
    if (parts > rows) parts = rows;
    if (parts <= 1) {
        body(0, rows);
        return;
    }
    auto start = [rows, parts](int i) { return static_cast<int>(static_cast<long long>(rows) * i / parts); };
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(parts));
    auto band = [&](int i) {
        try {
            body(start(i), start(i + 1));
        } catch (...) {
            failures[static_cast<std::size_t>(i)] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        int started = 1;
        try {
            for (; started < parts; ++started)
                helpers.emplace_back(band, started);
        } catch (const std::system_error&) {
            for (int i = started; i < parts; ++i)
                band(i);
        }
        band(0);
    } // joins the helpers
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

// The number of bands ForRowRanges is held to; 0 = its own choice. Tests
// hold it to 1 or 2 with TRowBandsOverride, so that both paths run on any
// machine.
inline std::atomic<int>& RowBandsOverride() {
    static std::atomic<int> bands{0};
    return bands;
}
class TRowBandsOverride {
public:
    explicit TRowBandsOverride(int bands) : previous_(RowBandsOverride().exchange(bands)) {}
    ~TRowBandsOverride() { RowBandsOverride().store(previous_); }
    TRowBandsOverride(const TRowBandsOverride&) = delete;
    TRowBandsOverride& operator=(const TRowBandsOverride&) = delete;

private:
    int previous_;
};

// The bands ForRowRanges splits `rows` into: two when the work (`bytes`
// touched) is large enough and the machine runs at least `threads` threads
// at once (a second core by default), otherwise one; or as many as an
// override holds it to.
inline int RowBandsFor(int rows, std::size_t bytes, unsigned threads = 2) {
    if (const int forced = RowBandsOverride().load(std::memory_order_relaxed); forced > 0) return forced;
    const bool split =
        bytes >= kParallelRowBytes && rows >= 2 && std::thread::hardware_concurrency() >= threads;
    return split ? 2 : 1;
}

template <class Body> void ForRowRanges(int rows, std::size_t bytes, Body body) {
    ForRowBands(rows, RowBandsFor(rows, bytes), body);
}

} // namespace pixora
