#include "effects/quick/antialias.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include <emmintrin.h>

#include "doc/row_ranges.h"
#include "effects/quick/antialias_pull.h"

namespace pixora::quick {

const TTowardsTable& TowardsTable() {
    // Constant data worked out once: not state.
    static const TTowardsTable table = [] {
        TTowardsTable t{};
        // Every sum v = c + 5 n is reached with n = v / 5, c = v % 5.
        for (int v = 0; v < kTowardsSums; ++v)
            t[static_cast<std::size_t>(v)] = TowardsCentre(v % 5, v / 5);
        return t;
    }();
    return table;
}

namespace {

uint32_t Pulled(uint32_t n, uint32_t c, const TTowardsTable& towards) {
    return (n & 0xFF000000u) | towards[(c & 0xFF) + 5 * (n & 0xFF)] |
           static_cast<uint32_t>(towards[((c >> 8) & 0xFF) + 5 * ((n >> 8) & 0xFF)]) << 8 |
           static_cast<uint32_t>(towards[((c >> 16) & 0xFF) + 5 * ((n >> 16) & 0xFF)]) << 16;
}

// One step of the three chains (one per colour byte) that make the
// centres: the next centre is the pixel p pulled by the one before. Each
// chain waits on one lookup a pixel; its address is the table moved by
// five times the pixel's byte, worked out beside the chain.
struct TChains {
    uint32_t B, G, R;
    void Step(const uint8_t* t, const uint8_t* p) {
        B = t[5u * p[0] + B];
        G = t[5u * p[1] + G];
        R = t[5u * p[2] + R];
    }
    void Put(const uint8_t* p, uint8_t* out) const {
        out[0] = static_cast<uint8_t>(B);
        out[1] = static_cast<uint8_t>(G);
        out[2] = static_cast<uint8_t>(R);
        out[3] = p[3];
    }
};

// Steps a guessed chain takes before its values count.
constexpr int kWarmUp = 16;

// The centres of columns from .. to-1 into cs (whose pixel from-1 is the
// centre before them). A chain forgets where it started: a centre is one
// sixth its predecessor, so two chains that start apart come together
// within a few pixels, and from the first pixel where they agree they are
// the same. So the second half of the run is walked beside the first (six
// chains at a time instead of three), from a guess kWarmUp pixels before
// it; where the guess had not come together with the first half's true
// chain by the end of the first half, that chain goes on over the second
// half's values until it meets them. The result is the plain walk's.
void Centres(const uint8_t* row, uint8_t* cs, int from, int to) {
    const uint8_t* t = TowardsTable().data();
    const uint8_t* last = cs + 4 * static_cast<std::size_t>(from - 1);
    TChains a{last[0], last[1], last[2]};
    auto at = [](auto* p, int x) { return p + 4 * static_cast<std::size_t>(x); };
    if (to - from < 4 * kWarmUp) {
        for (int x = from; x < to; ++x) {
            a.Step(t, at(row, x));
            a.Put(at(row, x), at(cs, x));
        }
        return;
    }
    // The first half is from .. m-1; the second m .. to-1, walked from
    // m - kWarmUp on, the two walks of about the same length.
    const int m = (from + to + kWarmUp) / 2, n = m - from;
    const uint8_t* guess = at(row, m - kWarmUp - 1);
    TChains b{guess[0], guess[1], guess[2]};
    for (int i = 0; i < kWarmUp; ++i) {
        a.Step(t, at(row, from + i));
        a.Put(at(row, from + i), at(cs, from + i));
        b.Step(t, at(row, m - kWarmUp + i));
    }
    const TChains guessed = b; // the second walk's centre m - 1
    for (int i = kWarmUp; i < n; ++i) {
        const int xa = from + i, xb = m - kWarmUp + i;
        a.Step(t, at(row, xa));
        b.Step(t, at(row, xb));
        a.Put(at(row, xa), at(cs, xa));
        b.Put(at(row, xb), at(cs, xb));
    }
    for (int x = m - kWarmUp + n; x < to; ++x) {
        b.Step(t, at(row, x));
        b.Put(at(row, x), at(cs, x));
    }
    // Channel by channel, the true chain over the second half until it
    // meets the guessed one.
    const uint32_t truth[3] = {a.B, a.G, a.R}, guessedAt[3] = {guessed.B, guessed.G, guessed.R};
    for (int k = 0; k < 3; ++k) {
        uint32_t c = truth[k];
        if (c == guessedAt[k]) continue;
        for (int x = m; x < to; ++x) {
            uint8_t& centre = at(cs, x)[k];
            c = t[5u * at(row, x)[k] + c];
            if (c == centre) break;
            centre = static_cast<uint8_t>(c);
        }
    }
}

// Columns a row is walked in at a time, when two threads share the rows.
constexpr int kColumnBlock = 256;

// One row's walk over a block of columns [x0, x1) of centres
// (1 <= x0 < x1 <= w), in two parts: the centres with the pulls of the row
// below (what the next row's walk reads), and the rest (the row's own
// final values and the pulls of the row above). Each pixel is pulled by
// one centre at a time and the parts touch different rows, so they may run
// apart as long as each pixel sees its pulls in the walk's order.
class TRowWalk {
public:
    TRowWalk(Bitmap& bitmap, int y, uint32_t* centres)
        : row_(bitmap.Row(y)), centres_(reinterpret_cast<uint8_t*>(centres)), w_(bitmap.Width()),
          h_(bitmap.Height()), up_(bitmap.Row(y == 0 ? h_ - 1 : y - 1)),
          down_(bitmap.Row(y == h_ - 1 ? 0 : y + 1)) {}

    // The centres of the block (each is the next pixel as the one before
    // pulled it), reading the row's columns x0 .. x1-1.
    void CentresOf(int x0, int x1) {
        int from = x0;
        if (x0 == 1) {
            std::memcpy(centres_ + 4, row_ + 4, 4);
            from = 2;
        }
        Centres(row_, centres_, from, x1);
    }

    // The row below pulled by the block's centres (none when the image is
    // one row high, whose centre is its own neighbour).
    void PullDown(int x0, int x1) const {
        if (h_ > 1)
            PullRun(down_ + 4 * Count(x0), down_ + 4 * Count(x0), centres_ + 4 * Count(x0), Count(x1 - x0));
    }

    // Columns max(1, x0-1) .. x1-2 take their final values (a centre pulled
    // by the next one), and the row above is pulled by the block's centres
    // (it is the row below, pulled twice, when the image is two rows high).
    void FinalsAndPullUp(int x0, int x1) const {
        const std::size_t f = std::max<std::size_t>(1, Count(x0) - 1), end = Count(x1) - 1;
        if (end > f) PullRun(row_ + 4 * f, centres_ + 4 * f, centres_ + 4 * f + 4, end - f);
        if (h_ > 1)
            PullRun(up_ + 4 * Count(x0), up_ + 4 * Count(x0), centres_ + 4 * Count(x0), Count(x1 - x0));
    }

    // After the last block: the last column keeps its centre value;
    // column 0 is pulled by centre 1 (its left neighbour), then by the last
    // centre (its right neighbour, around the edge).
    void Finish() {
        const TTowardsTable& towards = TowardsTable();
        auto centre = [this](int x) {
            uint32_t v;
            std::memcpy(&v, centres_ + 4 * Count(x), 4);
            return v;
        };
        std::memcpy(row_ + 4 * Count(w_ - 1), centres_ + 4 * Count(w_ - 1), 4);
        uint32_t first;
        std::memcpy(&first, row_, 4);
        first = Pulled(Pulled(first, centre(1), towards), centre(w_ - 1), towards);
        std::memcpy(row_, &first, 4);
    }

private:
    static std::size_t Count(int pixels) { return static_cast<std::size_t>(pixels); }

    uint8_t* row_;
    uint8_t* centres_;
    int w_, h_;
    uint8_t* up_;
    uint8_t* down_;
};

void WalkRows(Bitmap& bitmap, uint32_t* centres) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        TRowWalk walk(bitmap, y, centres);
        walk.CentresOf(1, bitmap.Width());
        walk.PullDown(1, bitmap.Width());
        walk.FinalsAndPullUp(1, bitmap.Width());
        walk.Finish();
    }
}

// Rows of centres the first thread may be ahead of the second: some
// megabytes' worth, so that the first need not wait while the second is
// kept from its core for a while.
int CentreRows(int w, int h) {
    return std::clamp(static_cast<int>((std::size_t{4} << 20) / (4 * static_cast<std::size_t>(w))), 16, h);
}

// Two threads: the first works out each row's centres and pulls the row
// below (all that the next row's centres wait for), the second follows it
// with the rows' final values and the pulls of the rows above. Each tells
// its progress as a count that only grows: y * (w + 2) + x1 once it has
// done the block [x0, x1) of row y, and (the second) y * (w + 2) + w + 1
// once it has finished row y. The second waits for the centres it reads;
// the first waits only for a free row of centres (CentreRows in turn) and
// at the wrap-around rows, where the two meet on one row: the pulls of the
// last row (from the first row's walk, on the second thread) come before
// the second-last row's pull of it, and the last row pulls the first row
// below it only after the second row's walk has pulled it from above.
void WalkRowsOnTwoThreads(Bitmap& bitmap, std::vector<uint32_t>& centres) {
    const int w = bitmap.Width(), h = bitmap.Height();
    const long long stride = w + 2;
    const int ring = static_cast<int>(centres.size() / static_cast<std::size_t>(w));
    std::atomic<long long> found{0}, finished{0};
    auto waitFor = [](const std::atomic<long long>& count, long long target) {
        for (int spins = 0; count.load(std::memory_order_acquire) < target; ++spins) {
            if (spins < 256)
                _mm_pause();
            else
                std::this_thread::yield();
        }
    };
    auto rowOfCentres = [&](int y) {
        return centres.data() + static_cast<std::size_t>(y % ring) * static_cast<std::size_t>(w);
    };
    auto follow = [&] {
        for (int y = 0; y < h; ++y) {
            TRowWalk walk(bitmap, y, rowOfCentres(y));
            for (int x0 = 1; x0 < w; x0 += kColumnBlock) {
                const int x1 = std::min(w, x0 + kColumnBlock);
                waitFor(found, y * stride + x1);
                walk.FinalsAndPullUp(x0, x1);
                finished.store(y * stride + x1, std::memory_order_release);
            }
            walk.Finish();
            finished.store(y * stride + w + 1, std::memory_order_release);
        }
    };
    std::jthread follower;
    try {
        follower = std::jthread(follow);
    } catch (const std::system_error&) {
        WalkRows(bitmap, centres.data());
        return;
    }
    for (int y = 0; y < h; ++y) {
        if (y >= ring) waitFor(finished, (y - ring) * stride + w + 1);
        TRowWalk walk(bitmap, y, rowOfCentres(y));
        for (int x0 = 1; x0 < w; x0 += kColumnBlock) {
            const int x1 = std::min(w, x0 + kColumnBlock);
            walk.CentresOf(x0, x1);
            found.store(y * stride + x1, std::memory_order_release);
            if (y == h - 2) waitFor(finished, x1);          // the first row's pulls of the last
            if (y == h - 1) waitFor(finished, stride + x1); // the second row's pulls of the first
            walk.PullDown(x0, x1);
        }
    }
}

} // namespace

void AntialiasEveryPixel(Bitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w < 2) return; // column 0 is never a centre
    // Rows of centres: pixel x of a row as it is when it becomes the centre.
    // The two threads wait on each other every few hundred pixels, which
    // only pays where neither has to share its core: with two hardware
    // threads, one of them busy elsewhere or both on one core, the walk
    // came out slower than on one thread.
    const bool twoThreads = h >= 2 && RowBandsFor(h, bitmap.ByteSize(), 4) >= 2;
    std::vector<uint32_t> centres(static_cast<std::size_t>(w) *
                                  static_cast<std::size_t>(twoThreads ? CentreRows(w, h) : 1));
    if (twoThreads)
        WalkRowsOnTwoThreads(bitmap, centres);
    else
        WalkRows(bitmap, centres.data());
}

} // namespace pixora::quick
