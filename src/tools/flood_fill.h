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
#include <memory>

#include "doc/bitmap.h"

namespace pixora {

inline constexpr int kRegionQueueSize = 80001;
inline constexpr int kRegionQueueCompactAt = 75001;
// When the pending pixels alone outgrow the arrays (a frontier wider than
// 75,000 pixels), the arrays keep this many and the rest wait in a spill list.
inline constexpr int kRegionQueueKeep = 40000;

// The visited grid: one byte per pixel, (image width + 5) x (image height + 5),
// indexed (x, y). Bit kVisited marks a pixel taken into the region; bit
// kBlocked, set before a growth, marks an image pixel that fails the
// tolerance rule.
class TRegionGrid {
public:
    static constexpr uint8_t kVisited = 1;
    static constexpr uint8_t kBlocked = 2;

    TRegionGrid() = default;
    TRegionGrid(int imageWidth, int imageHeight) { Reset(imageWidth, imageHeight); }

    // Resizes for an image of the given size and clears every entry.
    void Reset(int imageWidth, int imageHeight);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Marked(int x, int y) const { return (cells_[Index(x, y)] & kVisited) != 0; }
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

// Grows the region from (seedX, seedY) over the top-left width x height
// cells of a grid whose cells are clear or kBlocked: every clear neighbour
// reached is marked visited and queued. Neighbours are examined right, left,
// down, up. The seed is only expanded: it joins the region only when a
// neighbour in the region reaches it back.
void GrowRegion(TRegionGrid& grid, int width, int height, int seedX, int seedY);

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

// Makes grid fresh for the bitmap (24 or 32 bits per pixel) and grows the
// region of pixels that fit around (x, y). The tolerance is tested on every
// pixel in one pass over the rows first, so the growth itself, which runs
// across all rows at once, only touches the grid. A seed outside the bitmap
// leaves the grid clear.
void MarkRegion(const Bitmap& bitmap, int x, int y, TRegionGrid& grid, const TTolerance& fits);

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
    void Apply(uint8_t* p) {
        if (tabulated_) {
            p[0] = table_[0][p[0]];
            p[1] = table_[1][p[1]];
            p[2] = table_[2][p[2]];
        } else {
            ApplyMixed(p);
        }
    }

private:
    void ApplyMixed(uint8_t* p);
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
