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

// Columns a row is walked in at a time, when two threads share the rows.
constexpr int kColumnBlock = 256;

// One row's walk, a block of columns at a time. A block [x0, x1) of
// centres (1 <= x0 < x1 <= w) does everything the walk does with those
// centres except what waits for a later centre: it works out the centres
// (each is the next pixel as the one before pulled it), writes the final
// values of columns x0-1 .. x1-2 (a centre pulled by the next one; column 0
// waits for the end of the row) and pulls the rows above and below. So
// after block [x0, x1) the row's own columns 1 .. x1-2 are final, and the
// row below is as its own walk will find it in columns 1 .. x1-1.
class TRowWalk {
public:
    TRowWalk(Bitmap& bitmap, int y, uint32_t* centres)
        : row_(bitmap.Row(y)), centres_(reinterpret_cast<uint8_t*>(centres)), w_(bitmap.Width()),
          h_(bitmap.Height()), up_(bitmap.Row(y == 0 ? h_ - 1 : y - 1)),
          down_(bitmap.Row(y == h_ - 1 ? 0 : y + 1)) {}

    void Block(int x0, int x1) {
        const std::size_t at = 4 * static_cast<std::size_t>(x0), end = 4 * static_cast<std::size_t>(x1);
        uint8_t* cs = centres_;
        const uint8_t* row = row_;
        std::size_t i = at;
        if (x0 == 1) {
            std::memcpy(cs + 4, row + 4, 4);
            i = 8;
        }
        // Three chains, one per colour byte, each waiting on one lookup a
        // pixel: the lookup's address is the table moved by five times the
        // pixel's byte, worked out beside the chain.
        uint32_t b = cs[i - 4], g = cs[i - 3], r = cs[i - 2];
        const uint8_t* t = TowardsTable().data();
        for (; i < end; i += 4) {
            const uint8_t* tb = t + 5u * row[i];
            const uint8_t* tg = t + 5u * row[i + 1];
            const uint8_t* tr = t + 5u * row[i + 2];
            b = tb[b];
            g = tg[g];
            r = tr[r];
            cs[i] = static_cast<uint8_t>(b);
            cs[i + 1] = static_cast<uint8_t>(g);
            cs[i + 2] = static_cast<uint8_t>(r);
            cs[i + 3] = row[i + 3];
        }
        // Columns max(1, x0-1) .. x1-2: each centre pulled by the next.
        const std::size_t f = std::max<std::size_t>(4, at - 4);
        if (end - 4 > f) PullRun(row_ + f, cs + f, cs + f + 4, (end - 4 - f) / 4);
        // The rows above and below (one row when there are two; none when
        // the image is one row high, whose centre is its own neighbour).
        if (h_ == 1) return;
        PullRun(up_ + at, up_ + at, cs + at, (end - at) / 4);
        PullRun(down_ + at, down_ + at, cs + at, (end - at) / 4);
    }

    // After the last block: the last column keeps its centre value;
    // column 0 is pulled by centre 1 (its left neighbour), then by the last
    // centre (its right neighbour, around the edge).
    void Finish() {
        const TTowardsTable& towards = TowardsTable();
        auto centre = [this](int x) {
            uint32_t v;
            std::memcpy(&v, centres_ + 4 * static_cast<std::size_t>(x), 4);
            return v;
        };
        std::memcpy(row_ + 4 * static_cast<std::size_t>(w_ - 1),
                    centres_ + 4 * static_cast<std::size_t>(w_ - 1), 4);
        uint32_t first;
        std::memcpy(&first, row_, 4);
        first = Pulled(Pulled(first, centre(1), towards), centre(w_ - 1), towards);
        std::memcpy(row_, &first, 4);
    }

private:
    uint8_t* row_;
    uint8_t* centres_;
    int w_, h_;
    uint8_t* up_;
    uint8_t* down_;
};

void WalkRows(Bitmap& bitmap, std::vector<uint32_t>& centres) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        TRowWalk walk(bitmap, y, centres.data());
        walk.Block(1, bitmap.Width());
        walk.Finish();
    }
}

// Two threads, one taking the even rows and the other the odd ones, each
// row's walk behind the row before it: row y's block [x0, x1) starts once
// row y-1 has done its blocks up to column x1 at least (then the pixels its
// centres read were pulled by the row above, and the pixels of the row
// above that it pulls are final), and the whole row once the row before
// has finished. Each thread tells its progress as a count that only grows,
// y * (w + 2) + x1 after a block [x0, x1) of row y and y * (w + 2) + w + 1
// after the row's end. By these waits every pixel sees the pulls in the
// order of the one-thread walk; the wrap-around rows too, since the last
// row's walk comes after every other row's, and the first row's before.
void WalkRowsOnTwoThreads(Bitmap& bitmap, std::vector<uint32_t>& evenCentres,
                          std::vector<uint32_t>& oddCentres) {
    const int w = bitmap.Width(), h = bitmap.Height();
    const long long stride = w + 2;
    std::atomic<long long> progress[2] = {0, 0};
    auto waitFor = [](const std::atomic<long long>& count, long long target) {
        for (int spins = 0; count.load(std::memory_order_acquire) < target; ++spins) {
            if (spins < 256)
                _mm_pause();
            else
                std::this_thread::yield();
        }
    };
    auto rows = [&](int parity) {
        uint32_t* centres = (parity == 0 ? evenCentres : oddCentres).data();
        std::atomic<long long>& mine = progress[parity];
        const std::atomic<long long>& before = progress[1 - parity];
        for (int y = parity; y < h; y += 2) {
            TRowWalk walk(bitmap, y, centres);
            for (int x0 = 1; x0 < w; x0 += kColumnBlock) {
                const int x1 = std::min(w, x0 + kColumnBlock);
                if (y > 0) waitFor(before, (y - 1) * stride + x1 + 1);
                walk.Block(x0, x1);
                mine.store(y * stride + x1, std::memory_order_release);
            }
            walk.Finish();
            mine.store(y * stride + w + 1, std::memory_order_release);
        }
    };
    std::jthread odd;
    try {
        odd = std::jthread(rows, 1);
    } catch (const std::system_error&) {
        WalkRows(bitmap, evenCentres);
        return;
    }
    rows(0);
}

} // namespace

void AntialiasEveryPixel(Bitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w < 2) return; // column 0 is never a centre
    // centres[x]: pixel x of the row as it is when it becomes the centre.
    std::vector<uint32_t> centres(static_cast<std::size_t>(w));
    if (h < 2 || RowBandsFor(h, bitmap.ByteSize()) < 2) {
        WalkRows(bitmap, centres);
        return;
    }
    std::vector<uint32_t> oddCentres(static_cast<std::size_t>(w));
    WalkRowsOnTwoThreads(bitmap, centres, oddCentres);
}

} // namespace pixora::quick
