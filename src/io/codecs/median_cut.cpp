// Median-cut colour reduction with an exact path for images that already
// fit in the palette.

#include "io/codecs/median_cut.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace pixora {

namespace {

inline uint32_t PixelColour(const uint8_t* p) {
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

// Small open-addressing set of colours that gives up once it would exceed
// its capacity; used to find images with few colours.
class TColourSet {
public:
    explicit TColourSet(int limit) : limit_(limit), keys_(1024, kEmpty), values_(1024, 0) {}

    // Index of the colour, adding it when new; -1 once the limit is passed.
    int Find(uint32_t colour) {
        std::size_t h = (colour * 2654435761u) >> 22;
        while (true) {
            if (keys_[h] == colour) return values_[h];
            if (keys_[h] == kEmpty) {
                if (static_cast<int>(order_.size()) >= limit_) return -1;
                keys_[h] = colour;
                values_[h] = static_cast<uint8_t>(order_.size());
                order_.push_back(colour);
                return values_[h];
            }
            h = (h + 1) & 1023;
        }
    }
    const std::vector<uint32_t>& Colours() const { return order_; }

private:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    int limit_;
    std::vector<uint32_t> keys_;
    std::vector<uint8_t> values_;
    std::vector<uint32_t> order_;
};

struct TCell {
    uint64_t Count = 0;
    uint64_t Sum[3] = {0, 0, 0}; // red, green, blue
};

inline int CellOf(uint32_t c) { return static_cast<int>((c >> 9 & 0x7C00) | (c >> 6 & 0x3E0) | (c >> 3 & 0x1F)); }
inline int CellChannel(int cell, int ch) { return (cell >> (10 - 5 * ch)) & 31; }

struct TBox {
    std::vector<int> Cells;
    uint64_t Count = 0;
    int Lo[3] = {31, 31, 31}, Hi[3] = {0, 0, 0};
    void Measure(const std::vector<TCell>& cells) {
        Count = 0;
        for (int ch = 0; ch < 3; ++ch) Lo[ch] = 31, Hi[ch] = 0;
        for (int c : Cells) {
            Count += cells[static_cast<std::size_t>(c)].Count;
            for (int ch = 0; ch < 3; ++ch) {
                Lo[ch] = std::min(Lo[ch], CellChannel(c, ch));
                Hi[ch] = std::max(Hi[ch], CellChannel(c, ch));
            }
        }
    }
    int LongestAxis() const {
        int best = 0;
        for (int ch = 1; ch < 3; ++ch)
            if (Hi[ch] - Lo[ch] > Hi[best] - Lo[best]) best = ch;
        return best;
    }
    int Extent() const { return Hi[LongestAxis()] - Lo[LongestAxis()]; }
};

std::vector<uint32_t> MedianCut(const std::vector<TCell>& cells, int maxColours, std::vector<uint8_t>& cellIndex) {
    std::vector<TBox> boxes(1);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c)
        if (cells[static_cast<std::size_t>(c)].Count) boxes[0].Cells.push_back(c);
    boxes[0].Measure(cells);
    while (static_cast<int>(boxes.size()) < maxColours) {
        // Split the box with the widest spread, weighing in its population so
        // that busy regions of colour space get more entries.
        int pick = -1;
        double bestScore = 0;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            const TBox& b = boxes[static_cast<std::size_t>(i)];
            if (b.Cells.size() < 2) continue;
            const double score = static_cast<double>(b.Extent() + 1) * static_cast<double>(b.Count);
            if (score > bestScore) bestScore = score, pick = i;
        }
        if (pick < 0) break;
        TBox& box = boxes[static_cast<std::size_t>(pick)];
        const int axis = box.LongestAxis();
        std::sort(box.Cells.begin(), box.Cells.end(),
                  [axis](int a, int b) { return CellChannel(a, axis) < CellChannel(b, axis); });
        // Cut where half the pixels lie on each side, keeping both halves non-empty.
        uint64_t half = box.Count / 2, run = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.Cells.size(); ++i) {
            run += cells[static_cast<std::size_t>(box.Cells[i])].Count;
            cut = i + 1;
            if (run >= half) break;
        }
        TBox upper;
        upper.Cells.assign(box.Cells.begin() + static_cast<std::ptrdiff_t>(cut), box.Cells.end());
        box.Cells.resize(cut);
        box.Measure(cells);
        upper.Measure(cells);
        boxes.push_back(std::move(upper));
    }
    std::vector<uint32_t> palette;
    for (const TBox& b : boxes) {
        uint64_t sum[3] = {0, 0, 0};
        for (int c : b.Cells)
            for (int ch = 0; ch < 3; ++ch) sum[ch] += cells[static_cast<std::size_t>(c)].Sum[ch];
        uint32_t colour = 0;
        for (int ch = 0; ch < 3; ++ch)
            colour = colour << 8 | static_cast<uint32_t>((sum[ch] + b.Count / 2) / b.Count);
        palette.push_back(colour);
    }
    // Each used cell maps to the palette entry nearest its mean colour.
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        const TCell& cell = cells[static_cast<std::size_t>(c)];
        if (!cell.Count) continue;
        int mean[3];
        for (int ch = 0; ch < 3; ++ch) mean[ch] = static_cast<int>(cell.Sum[ch] / cell.Count);
        int best = 0;
        long bestDist = -1;
        for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
            const uint32_t p = palette[static_cast<std::size_t>(i)];
            const long dr = mean[0] - static_cast<int>(p >> 16 & 255), dg = mean[1] - static_cast<int>(p >> 8 & 255),
                       db = mean[2] - static_cast<int>(p & 255);
            const long d = dr * dr + dg * dg + db * db;
            if (bestDist < 0 || d < bestDist) bestDist = d, best = i;
        }
        cellIndex[static_cast<std::size_t>(c)] = static_cast<uint8_t>(best);
    }
    return palette;
}

} // namespace

TIndexedImage ReduceColours(const Bitmap& image, int maxColours, int64_t excluded) {
    const int limit = excluded >= 0 ? 255 : 256;
    if (maxColours < 1 || maxColours > limit) throw std::invalid_argument("ReduceColours: bad colour count");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    const bool hasExcluded = excluded >= 0;
    const uint32_t ex = static_cast<uint32_t>(excluded);
    TIndexedImage out;
    out.Width = w;
    out.Height = h;
    out.Indices.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    constexpr uint8_t kExcludedMark = 255; // patched to the real index at the end

    // Exact path: index straight from the colour set while it holds.
    TColourSet set(maxColours);
    bool exact = true;
    for (int y = 0; y < h && exact; ++y) {
        const uint8_t* p = image.Row(y);
        uint8_t* d = out.Indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        uint32_t last = 0xFFFFFFFFu;
        int lastIndex = 0;
        for (int x = 0; x < w; ++x, p += bpp) {
            const uint32_t c = PixelColour(p);
            if (hasExcluded && c == ex) {
                d[x] = kExcludedMark;
                continue;
            }
            if (c != last) {
                lastIndex = set.Find(c);
                if (lastIndex < 0) {
                    exact = false;
                    break;
                }
                last = c;
            }
            d[x] = static_cast<uint8_t>(lastIndex);
        }
    }
    if (exact) {
        out.Palette = set.Colours();
    } else {
        std::vector<TCell> cells(32768);
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = image.Row(y);
            for (int x = 0; x < w; ++x, p += bpp) {
                const uint32_t c = PixelColour(p);
                if (hasExcluded && c == ex) continue;
                TCell& cell = cells[static_cast<std::size_t>(CellOf(c))];
                ++cell.Count;
                cell.Sum[0] += p[2];
                cell.Sum[1] += p[1];
                cell.Sum[2] += p[0];
            }
        }
        std::vector<uint8_t> cellIndex(32768, 0);
        out.Palette = MedianCut(cells, maxColours, cellIndex);
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = image.Row(y);
            uint8_t* d = out.Indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
            for (int x = 0; x < w; ++x, p += bpp) {
                const uint32_t c = PixelColour(p);
                d[x] = hasExcluded && c == ex ? kExcludedMark : cellIndex[static_cast<std::size_t>(CellOf(c))];
            }
        }
    }
    if (hasExcluded) {
        const uint8_t exIndex = static_cast<uint8_t>(out.Palette.size());
        out.Palette.push_back(ex);
        // Ordinary indices are below 255, so the mark is unambiguous.
        if (exIndex != kExcludedMark)
            for (uint8_t& i : out.Indices)
                if (i == kExcludedMark) i = exIndex;
    }
    return out;
}

} // namespace pixora
