#include "tools/flood_fill.h"

#include <algorithm>
#include <cmath>

#include "effects/engine/round_mode.h"
#include "tools/colour_hsl.h"

namespace pixora {

void TRegionGrid::Reset(int imageWidth, int imageHeight) {
    width_ = std::max(imageWidth, 0) + 5;
    height_ = std::max(imageHeight, 0) + 5;
    const std::size_t n = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    cells_.reset(static_cast<uint8_t*>(std::calloc(n, 1)));
    if (!cells_) throw std::bad_alloc();
}

std::size_t TRegionGrid::CountMarked() const {
    const std::size_t n = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    return static_cast<std::size_t>(std::count_if(cells_.get(), cells_.get() + n, [](uint8_t c) { return c != 0; }));
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

void TRecolour::Apply(uint8_t* p) {
    if (tabulated_) {
        p[0] = table_[0][p[0]];
        p[1] = table_[1][p[1]];
        p[2] = table_[2][p[2]];
        return;
    }
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
    const int w = bitmap.Width(), h = bitmap.Height();
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    TRoundToNearest nearest;
    TRecolour recolour(mode, c, k, fillColour);
    const TTolerance fits(t, referenceColour);
    uint8_t* const data = bitmap.Data();
    const std::size_t stride = bitmap.Stride();
    const std::size_t bpp = static_cast<std::size_t>(bitmap.BytesPerPixel());
    auto at = [&](int px, int py) {
        return data + static_cast<std::size_t>(py) * stride + static_cast<std::size_t>(px) * bpp;
    };
    TRegionGrid grid(w, h);
    GrowRegion(
        w, h, x, y, grid,
        [&](int px, int py) {
            return fits(at(px, py));
        },
        [&](int px, int py) { recolour.Apply(at(px, py)); });
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
