#pragma once
// Conversions between RGB and the HSV, HLS and CMYK colour spaces.
//
// A packed RGB value holds red in bits 16..23, green in 8..15 and blue in
// 0..7, as read from a 24-bit pixel (bytes blue, green, red).

#include <algorithm>
#include <cstdint>

namespace pixora {

constexpr int32_t PackRGB(int r, int g, int b) {
    return ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
constexpr int PackedRed(int32_t rgb) {
    return (rgb >> 16) & 0xFF;
}
constexpr int PackedGreen(int32_t rgb) {
    return (rgb >> 8) & 0xFF;
}
constexpr int PackedBlue(int32_t rgb) {
    return rgb & 0xFF;
}

// a * b / c as a 64-bit product rounded to the nearest integer, halves away
// from zero. c must not be 0.
inline int MulDivRound(int64_t a, int64_t b, int64_t c) {
    int64_t n = a * b;
    const bool negative = (n < 0) != (c < 0);
    n = n < 0 ? -n : n;
    const int64_t d = c < 0 ? -c : c;
    const int64_t q = (2 * n + d) / (2 * d);
    return static_cast<int>(negative ? -q : q);
}

// Integer HSV: hue 0..359 degrees (0 when the saturation is 0), saturation
// and value 0..255.
// (Inline: the colour planes convert every pixel of a picture.)
inline void RGBToHSV(int32_t rgb, int& H, int& S, int& V) {
    const int r = PackedRed(rgb), g = PackedGreen(rgb), b = PackedBlue(rgb);
    V = std::max({r, g, b});
    const int d = V - std::min({r, g, b});
    S = V == 0 ? 0 : MulDivRound(d, 255, V);
    if (S == 0) {
        H = 0;
        return;
    }
    if (r == V)
        H = MulDivRound(60, g - b, d);
    else if (g == V)
        H = 120 + MulDivRound(60, b - r, d);
    else
        H = 240 + MulDivRound(60, r - g, d);
    if (H < 0) H += 360;
}
// Any hue is taken modulo 360 (360 is 0); gives packed RGB.
int32_t HSVToRGB(int H, int S, int V);

// Real HLS: hue 0..360 degrees or undefined (IEEE754::NaN()), lightness and
// saturation 0..1; red, green and blue 0..1.
void RGBToHLS(double R, double G, double B, double& H, double& L, double& S);
// Throws EColorError "HLStoRGB:  S = 0 and H has a value" for a defined hue
// with no saturation.
void HLSToRGB(double H, double L, double S, double& R, double& G, double& B);

// The real conversions with the components as bytes (hue in degrees),
// each scaled by 255 and rounded to nearest, halves to even. An undefined
// hue comes out as 0; a saturation of 0 is grey whatever the hue says.
void RGBToHLSBytes(int32_t rgb, int& H, int& L, int& S);
int32_t HLSToRGBBytes(int H, int L, int S);

// C = 255 - R, M = 255 - G, Y = 255 - B, K = min(C, M, Y), then K taken
// from C, M and Y.
void RGBToCMYK(int32_t rgb, int& C, int& M, int& Y, int& K);

} // namespace pixora
