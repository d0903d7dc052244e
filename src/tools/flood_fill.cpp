#include "tools/flood_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "effects/engine/round_mode.h"
#include "tools/colour_hsl.h"

namespace pixora {

void TRegionGrid::Reset(int imageWidth, int imageHeight) {
    width_ = std::max(imageWidth, 0) + 5;
    height_ = std::max(imageHeight, 0) + 5;
    const std::size_t n = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    cells_.reset();
    uint8_t* cells = nullptr;
#ifdef __linux__
    // A growth wanders over all rows at once; on large pages the whole grid
    // stays within reach of the address cache.
    constexpr std::size_t kLargePage = std::size_t(2) << 20;
    if (n >= kLargePage) {
        const std::size_t rounded = (n + kLargePage - 1) / kLargePage * kLargePage;
        cells = static_cast<uint8_t*>(std::aligned_alloc(kLargePage, rounded));
        if (cells) {
            madvise(cells, rounded, MADV_HUGEPAGE);
            std::memset(cells, 0, n);
        }
    }
#endif
    if (!cells) cells = static_cast<uint8_t*>(std::calloc(n, 1));
    if (!cells) throw std::bad_alloc();
    cells_.reset(cells);
}

std::size_t TRegionGrid::CountMarked() const {
    const std::size_t n = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    return static_cast<std::size_t>(
        std::count_if(cells_.get(), cells_.get() + n, [](uint8_t c) { return (c & kVisited) != 0; }));
}

void GrowRegion(TRegionGrid& grid, int width, int height, int seedX, int seedY) {
    auto queue = std::make_unique_for_overwrite<TRegionQueue>();
    int32_t* const qx = queue->X.data();
    int32_t* const qy = queue->Y.data();
    std::vector<std::pair<int32_t, int32_t>> spill;
    uint8_t* const cells = grid.Cells();
    const std::size_t gridWidth = static_cast<std::size_t>(grid.Width());

    int count = 1;
    qx[0] = seedX;
    qy[0] = seedY;

    auto consider = [&](uint8_t& cell, int nx, int ny) {
        if (cell) return;
        cell = TRegionGrid::kVisited;
        qx[count] = nx;
        qy[count] = ny;
        ++count;
    };

    int i = 0;
    for (;;) {
        while (i < count) {
            const int px = qx[i];
            const int py = qy[i];
            uint8_t* const c = cells + static_cast<std::size_t>(py) * gridWidth + static_cast<std::size_t>(px);
            if (px + 1 < width) consider(c[1], px + 1, py);
            if (px > 0) consider(c[-1], px - 1, py);
            if (py + 1 < height) consider(c[gridWidth], px, py + 1);
            if (py > 0) consider(*(c - gridWidth), px, py - 1);
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
            // park the surplus. The order pixels are taken in does not change
            // the region.
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

namespace {

template <int Bpp>
void BlockMisfits(const Bitmap& bitmap, TRegionGrid& grid, const TTolerance& fits) {
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* p = bitmap.Row(y);
        uint8_t* c = grid.Cells() + grid.Index(0, y);
        for (int x = 0; x < w; ++x, p += Bpp) c[x] = fits(p) ? 0 : TRegionGrid::kBlocked;
    }
}

} // namespace

void MarkRegion(const Bitmap& bitmap, int x, int y, TRegionGrid& grid, const TTolerance& fits) {
    const int w = bitmap.Width(), h = bitmap.Height();
    grid.Reset(w, h);
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    if (bitmap.BytesPerPixel() == 4)
        BlockMisfits<4>(bitmap, grid, fits);
    else
        BlockMisfits<3>(bitmap, grid, fits);
    GrowRegion(grid, w, h, x, y);
    // Only visited marks are left behind.
    for (int row = 0; row < h; ++row) {
        uint8_t* c = grid.Cells() + grid.Index(0, row);
        for (int col = 0; col < w; ++col) c[col] &= TRegionGrid::kVisited;
    }
}

int ToleranceLimit(double t) { return static_cast<int>(std::floor(t * 150)); }

namespace {

uint8_t ByteOf(double v) { return static_cast<uint8_t>(std::clamp(RoundHalfEven(v), 0.0, 255.0)); }

// Modes 2..7 on one fraction v = byte / 255 (m: mean of the pixel's three
// fractions, used by 4 and 5), clamped to 0..1.
double StepFraction(int mode, double k, uint8_t byte, double m) {
    double v = byte / 255.0;
    switch (mode) {
    case 2: v = v + k * v; break;
    case 3: v = v - k * (1 - v); break;
    case 4: v = v + k * (v - m); break;
    case 5: v = v - k * (v - m); break;
    case 6: v = RoundHalfEven(k * 255 + byte * (1 - k)) / 255; break;
    case 7: v = RoundHalfEven(byte * (1 - k) + k) / 255; break;
    default: break;
    }
    return std::clamp(v, 0.0, 1.0);
}

} // namespace

TRecolour::TRecolour(int mode, double c, double k, int32_t fillColour) : mode_(mode), k_(k) {
    const uint8_t fill[3] = {BlueOf(fillColour), GreenOf(fillColour), RedOf(fillColour)};
    TRoundToNearest nearest;
    switch (mode) {
    case 0:
        for (int ch = 0; ch < 3; ++ch)
            for (int b = 0; b < 256; ++b) table_[ch][b] = ByteOf(c * b + (1 - c) * fill[ch]);
        tabulated_ = true;
        break;
    case 1: fillHue_ = RGBToHSL(fill[2] / 255.0, fill[1] / 255.0, fill[0] / 255.0).H; break;
    case 2:
    case 3:
    case 6:
    case 7:
        for (int b = 0; b < 256; ++b) {
            const uint8_t out = ByteOf(StepFraction(mode, k, static_cast<uint8_t>(b), 0) * 255);
            for (int ch = 0; ch < 3; ++ch) table_[ch][b] = out;
        }
        tabulated_ = true;
        break;
    default: break;
    }
}

void TRecolour::Mix(uint8_t* p) const {
    if (mode_ == 1) {
        const THSL hsl = RGBToHSL(p[2] / 255.0, p[1] / 255.0, p[0] / 255.0);
        const TRGBFractions rgb = HSLToRGB(fillHue_, hsl.S, hsl.L);
        p[0] = ByteOf(rgb.B * 255);
        p[1] = ByteOf(rgb.G * 255);
        p[2] = ByteOf(rgb.R * 255);
    } else if (mode_ == 4 || mode_ == 5) {
        const double m = (p[2] / 255.0 + p[1] / 255.0 + p[0] / 255.0) / 3;
        for (int ch = 0; ch < 3; ++ch) p[ch] = ByteOf(StepFraction(mode_, k_, p[ch], m) * 255);
    }
}

void TRecolour::ApplyMixed(uint8_t* p) {
    if (mode_ != 1 && mode_ != 4 && mode_ != 5) return;
    if (cached_ && p[0] == lastIn_[0] && p[1] == lastIn_[1] && p[2] == lastIn_[2]) {
        std::memcpy(p, lastOut_, 3);
        return;
    }
    std::memcpy(lastIn_, p, 3);
    Mix(p);
    std::memcpy(lastOut_, p, 3);
    cached_ = true;
}

void ColourRegionFill(Bitmap& bitmap, int x, int y, double c, double k, int mode, double t,
                      int32_t referenceColour, int32_t fillColour) {
    TRegionGrid grid;
    MarkRegion(bitmap, x, y, grid, TTolerance(t, referenceColour));
    // A pixel's new colour depends only on its own old colour, and the growth
    // never looks at a pixel again once it is taken in, so recolouring the
    // marked pixels afterwards gives the image that recolouring on the way
    // would.
    TRoundToNearest nearest;
    TRecolour recolour(mode, c, k, fillColour);
    const std::size_t bpp = static_cast<std::size_t>(bitmap.BytesPerPixel());
    for (int row = 0; row < bitmap.Height(); ++row) {
        const uint8_t* cell = grid.Cells() + grid.Index(0, row);
        uint8_t* p = bitmap.Row(row);
        for (int col = 0; col < bitmap.Width(); ++col, p += bpp)
            if (cell[col]) recolour.Apply(p);
    }
}

void FillThroughWorkCopy(Bitmap& image, int x, int y, int mode, double t, int32_t fillColour) {
    const int w = image.Width(), h = image.Height();
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const int srcBpp = image.BytesPerPixel();
    Bitmap copy(0, 0, 24);
    copy.SetSizeUncleared(w, h);
    for (int row = 0; row < h; ++row) {
        const uint8_t* s = image.Row(row);
        uint8_t* d = copy.Row(row);
        for (int col = 0; col < w; ++col, s += srcBpp, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    const uint8_t* seed = copy.Row(y) + 3 * x;
    const int32_t reference = RGBColour(seed[2], seed[1], seed[0]);
    ColourRegionFill(copy, x, y, 0.5, 0.1, mode, t, reference, fillColour);
    for (int row = 0; row < h; ++row) {
        const uint8_t* s = copy.Row(row);
        uint8_t* d = image.Row(row);
        for (int col = 0; col < w; ++col, s += 3, d += srcBpp) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

void FloodFillPress(Bitmap& image, int x, int y, uint8_t button, int modeIndex, int tolerancePercent,
                    int32_t fgColour, int32_t bgColour) {
    FillThroughWorkCopy(image, x, y, modeIndex, tolerancePercent / 100.0, button == 0 ? fgColour : bgColour);
}

void EraserFloodFill(Bitmap& image, int x, int y, int32_t canvasColour) {
    FillThroughWorkCopy(image, x, y, 0, 0.0, canvasColour);
}

} // namespace pixora
