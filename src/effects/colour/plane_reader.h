#pragma once
// The values of one colour plane for every pixel of a picture, fast: the
// same numbers as PlaneValue and the plane picture give, one pixel at a
// time, with what depends on a few bytes only (lightness and saturation on
// the largest and smallest byte, the hue's colour and byte on the hue) in
// tables made when the reader is, and the HLS hue in integers, the real
// arithmetic kept for the hues exactly half-way between two degrees.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "effects/colour/colour_spaces.h"
#include "effects/colour/planes.h"

namespace pixora {

struct TPlaneRGB {
    int R, G, B;
};

class TPlaneReader {
public:
    // A plane outside 0..15 reads -1 for every pixel.
    explicit TPlaneReader(int plane);

    // PlaneValue(plane, r, g, b).
    int Value(int r, int g, int b) const;
    // The pixel of the plane's picture (PlaneImage) before any inversion.
    TPlaneRGB Pixel(bool colour, int r, int g, int b) const {
        int value;
        return Read(colour, r, g, b, value);
    }
    // Both at once: the pixel, and the value into `value`.
    TPlaneRGB Read(bool colour, int r, int g, int b, int& value) const;

private:
    // RGBToHLSBytes's hue, lightness and saturation.
    void Hls(int r, int g, int b, int& h, int& l, int& s) const;
    int HsvHue(int r, int g, int b) const;

    int plane_;
    std::vector<uint8_t> lightness_, saturation_; // by largest x 256 + smallest byte
    std::array<int32_t, 361> hueColour_{};        // packed RGB of a pure hue, HSV or HLS
    std::array<uint8_t, 361> hueByte_{};          // a hue as a plane byte
    // MulDivRound(60, n, d) by (n + 255) x 256 + d: RGBToHSV's hue steps.
    std::vector<int8_t> sixtieths_;
};

// Inline, so that the loops over a picture's pixels keep them in.

// The hue in degrees RGBToHLSBytes rounds from its real arithmetic, here in
// integers: the exact hue a / d is rounded, halves to even. -1 when the
// exact hue lies half-way: the rounding of the real numbers decides then.
inline int ExactHlsHue(int r, int g, int b) {
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const int64_t d = mx - mn;
    if (d == 0) return 0; // no hue
    int64_t a;
    if (r == mx)
        a = 60 * static_cast<int64_t>(g - b) + (g < b ? 360 * d : 0);
    else if (g == mx)
        a = 120 * d + 60 * static_cast<int64_t>(b - r);
    else
        a = 240 * d + 60 * static_cast<int64_t>(r - g);
    const int64_t q = a / d, twice = 2 * (a % d);
    if (twice == d) return -1;
    return static_cast<int>(twice > d ? q + 1 : q);
}

inline void TPlaneReader::Hls(int r, int g, int b, int& h, int& l, int& s) const {
    const std::size_t key = static_cast<std::size_t>(std::max({r, g, b}) * 256 + std::min({r, g, b}));
    l = lightness_[key];
    s = saturation_[key];
    h = ExactHlsHue(r, g, b);
    if (h < 0) {
        int l2, s2;
        RGBToHLSBytes(PackRGB(r, g, b), h, l2, s2);
    }
}

// RGBToHSV's hue: its saturation is 0 exactly when the bytes are equal.
inline int TPlaneReader::HsvHue(int r, int g, int b) const {
    const int mx = std::max({r, g, b}), d = mx - std::min({r, g, b});
    if (d == 0) return 0;
    auto step = [&](int n) { return sixtieths_[static_cast<std::size_t>((n + 255) * 256 + d)]; };
    const int h = r == mx ? step(g - b) : (g == mx ? 120 + step(b - r) : 240 + step(r - g));
    return h < 0 ? h + 360 : h;
}

inline int TPlaneReader::Value(int r, int g, int b) const {
    switch (plane_) {
    case 4:
        return hueByte_[static_cast<std::size_t>(HsvHue(r, g, b))];
    case 7:
    case 9: {
        int h, l, s;
        Hls(r, g, b, h, l, s);
        return plane_ == 7 ? hueByte_[static_cast<std::size_t>(h)] : s;
    }
    default:
        return PlaneValue(plane_, r, g, b);
    }
}

inline TPlaneRGB TPlaneReader::Read(bool colour, int r, int g, int b, int& value) const {
    auto grey = [](int v) { return TPlaneRGB{v, v, v}; };
    switch (plane_) {
    case 0:
        value = (r + g + b) / 3;
        return colour ? TPlaneRGB{r, g, b} : grey(value);
    case 1:
        value = r;
        return colour ? TPlaneRGB{r, 0, 0} : grey(r);
    case 2:
        value = g;
        return colour ? TPlaneRGB{0, g, 0} : grey(g);
    case 3:
        value = b;
        return colour ? TPlaneRGB{0, 0, b} : grey(b);
    case 4:
    case 7: {
        int h = 0;
        if (plane_ == 4) {
            h = HsvHue(r, g, b);
        } else {
            int l, s;
            Hls(r, g, b, h, l, s);
        }
        value = hueByte_[static_cast<std::size_t>(h)];
        const int32_t c = hueColour_[static_cast<std::size_t>(h)];
        const int cr = PackedRed(c), cg = PackedGreen(c), cb = PackedBlue(c);
        return colour ? TPlaneRGB{cr, cg, cb} : grey((cr + cg + cb) / 3);
    }
    default:
        value = Value(r, g, b);
        return grey(std::clamp(value, 0, 255));
    }
}

} // namespace pixora
