#pragma once
// Region growing shared by the colour-region fill and the magic wand, and
// the fill itself with its eight recolouring modes.
//
// Growth starts at a seed and visits 4-connected neighbours whose red, green
// and blue each lie within t x 150 of a reference colour. Pending pixels sit
// in a queue of two fixed 80,001-entry coordinate arrays that is compacted
// whenever it holds 75,001 entries or more; visited pixels are marked in a
// grid of (width + 5) x (height + 5) entries.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "doc/bitmap.h"

namespace pixora {

inline constexpr int kRegionQueueSize = 80001;
inline constexpr int kRegionQueueCompactAt = 75001;
// When the pending pixels alone outgrow the arrays (a frontier wider than
// 75,000 pixels), the arrays keep this many and the rest wait in a spill list.
inline constexpr int kRegionQueueKeep = 40000;

// The visited grid: one byte per pixel, (image width + 5) x (image height + 5),
// all clear when made. Indexed (x, y).
class TRegionGrid {
public:
    TRegionGrid() = default;
    TRegionGrid(int imageWidth, int imageHeight) { Reset(imageWidth, imageHeight); }

    // Resizes for an image of the given size and clears every entry.
    void Reset(int imageWidth, int imageHeight);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Marked(int x, int y) const { return cells_[Index(x, y)] != 0; }
    void Mark(int x, int y) { cells_[Index(x, y)] = 1; }
    // Number of marked entries.
    std::size_t CountMarked() const;

    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    uint8_t* Cells() { return cells_.get(); }
    const uint8_t* Cells() const { return cells_.get(); }

private:
    struct TFree {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<uint8_t[], TFree> cells_;
};

// The pending pixels of a growth.
struct TRegionQueue {
    std::array<int32_t, kRegionQueueSize> X;
    std::array<int32_t, kRegionQueueSize> Y;
};

// Grows the region from (seedX, seedY) over a width x height image.
// qualifies(x, y) tells whether an unvisited in-image neighbour belongs to
// the region; visit(x, y) is called once for each pixel taken in, before it
// is marked in the grid and queued. Neighbours are examined right, left,
// down, up. The seed is only expanded: it joins the region only when a
// qualifying neighbour reaches it back.
template <class Qualifies, class Visit>
void GrowRegion(int width, int height, int seedX, int seedY, TRegionGrid& grid, Qualifies&& qualifies,
                Visit&& visit) {
    auto queue = std::make_unique_for_overwrite<TRegionQueue>();
    int32_t* const qx = queue->X.data();
    int32_t* const qy = queue->Y.data();
    std::vector<std::pair<int32_t, int32_t>> spill;
    uint8_t* const cells = grid.Cells();
    const std::size_t gridWidth = static_cast<std::size_t>(grid.Width());

    int count = 1;
    qx[0] = seedX;
    qy[0] = seedY;

    auto consider = [&](int nx, int ny) {
        uint8_t& cell = cells[static_cast<std::size_t>(ny) * gridWidth + static_cast<std::size_t>(nx)];
        if (cell || !qualifies(nx, ny)) return;
        visit(nx, ny);
        cell = 1;
        qx[count] = nx;
        qy[count] = ny;
        ++count;
    };

    int i = 0;
    for (;;) {
        while (i < count) {
            const int px = qx[i];
            const int py = qy[i];
            if (px + 1 < width) consider(px + 1, py);
            if (px > 0) consider(px - 1, py);
            if (py + 1 < height) consider(px, py + 1);
            if (py > 0) consider(px, py - 1);
            if (count < kRegionQueueCompactAt) {
                ++i;
                continue;
            }
            // Move the unprocessed entries to the front and go on from entry 0.
            const int rest = count - (i + 1);
            std::memmove(qx, qx + i + 1, static_cast<std::size_t>(rest) * sizeof(int32_t));
            std::memmove(qy, qy + i + 1, static_cast<std::size_t>(rest) * sizeof(int32_t));
            count = rest;
            i = 0;
            // Still too many: the next steps could run past the arrays, so
            // park the surplus. Which order pixels are taken in does not
            // change the region.
            if (count >= kRegionQueueCompactAt) {
                for (int k = kRegionQueueKeep; k < count; ++k) spill.emplace_back(qx[k], qy[k]);
                count = kRegionQueueKeep;
            }
        }
        if (spill.empty()) break;
        const int take = static_cast<int>(std::min<std::size_t>(spill.size(), kRegionQueueKeep));
        for (int k = 0; k < take; ++k) {
            qx[k] = spill.back().first;
            qy[k] = spill.back().second;
            spill.pop_back();
        }
        count = take;
        i = 0;
    }
}

// Tolerance rule of both routines: a pixel qualifies when each of its red,
// green and blue bytes differs from the reference by at most t x 150.
// Differences are whole numbers, so the limit is the whole part of t x 150.
int ToleranceLimit(double t);

struct TTolerance {
    TTolerance(double t, int32_t referenceColour)
        : Limit(ToleranceLimit(t)), B(BlueOf(referenceColour)), G(GreenOf(referenceColour)),
          R(RedOf(referenceColour)) {}
    // p points at B, G, R.
    bool operator()(const uint8_t* p) const {
        return std::abs(p[0] - B) <= Limit && std::abs(p[1] - G) <= Limit && std::abs(p[2] - R) <= Limit;
    }
    int Limit, B, G, R;
};

// Fill modes 0..7, the Floodfill option box's item indexes: 0 blends with
// the fill colour, 1 takes the fill colour's hue, 2..7 step each channel
// (see TRecolour).
inline constexpr int kFillModeCount = 8;

// The new colour bytes of one pixel under a fill mode. Per-channel modes
// are tabulated; the modes that mix the channels keep the last colour they
// worked out, so a uniform area costs one computation.
class TRecolour {
public:
    // c: blend factor of mode 0; k: step factor of modes 2 to 7.
    TRecolour(int mode, double c, double k, int32_t fillColour);
    // p points at B, G, R.
    void Apply(uint8_t* p);

private:
    void Mix(uint8_t* p) const;

    int mode_;
    double k_;
    double fillHue_ = 0;
    bool tabulated_ = false;
    std::array<std::array<uint8_t, 256>, 3> table_{}; // B, G, R
    bool cached_ = false;
    uint8_t lastIn_[3] = {0, 0, 0};
    uint8_t lastOut_[3] = {0, 0, 0};
};

// Recolours in place the region grown from (x, y) on a 24-bit (or 32-bit)
// bitmap. t is the tolerance 0..1. A seed outside the bitmap changes nothing.
// Modes outside 0..7 grow the region but leave its pixels alone.
void ColourRegionFill(Bitmap& bitmap, int x, int y, double c, double k, int mode, double t,
                      int32_t referenceColour, int32_t fillColour);

// Fills a 32-bit image from (x, y) through a 24-bit work copy: the reference
// colour is the pixel at (x, y), c = 0.5, k = 0.1; the colour bytes of the
// result are copied back and the transparency bytes stay. The selection is
// not consulted. Nothing happens when (x, y) lies outside the image.
void FillThroughWorkCopy(Bitmap& image, int x, int y, int mode, double t, int32_t fillColour);

// The Floodfill tool's press: modeIndex and tolerancePercent are the option
// box's combo index and track bar position; the left button (0) fills with
// the foreground colour, any other with the background colour. The caller
// pushes and names the history step and refreshes the view.
void FloodFillPress(Bitmap& image, int x, int y, uint8_t button, int modeIndex, int tolerancePercent,
                    int32_t fgColour, int32_t bgColour);

// The eraser's "Floodfill" press: the region of exactly the clicked colour is
// blended half-way toward the canvas colour.
void EraserFloodFill(Bitmap& image, int x, int y, int32_t canvasColour);

} // namespace pixora
