#pragma once
// Colour models that image files store and the screen does not: printing
// inks, CIE L*a*b* and XYZ, half floats. The readers turn them into 8-bit
// sRGB the way image viewers show them.

#include <cstdint>

namespace pixora {

// 16-bit sample (0..65535) to 8 bits, rounded to nearest.
inline uint8_t To8(uint32_t v16) {
    return static_cast<uint8_t>((v16 * 255u + 32767u) / 65535u);
}

// Subtractive inks, 0 = no ink: each colour is what is left of the paper
// after its ink and the black. 16-bit in, 16-bit out.
inline uint32_t InkToColour16(uint32_t ink, uint32_t black) {
    return ((65535u - ink) * (65535u - black) + 32767u) / 65535u;
}

// Linear light 0..1 to the sRGB curve, clamped and scaled to 0..65535.
uint16_t EncodeSrgb16(double linear);

// L* 0..100, a* and b* about -128..127 (D65 white) to 16-bit sRGB.
void LabToSrgb16(double L, double a, double b, uint16_t rgb[3]);

// IEEE half and 24-bit floats (1 sign, 7 exponent, 16 mantissa bits).
float HalfToFloat(uint16_t h);
float Float24ToFloat(uint32_t f);

// A real value 0..1 clamped and scaled to 0..65535; NaN becomes 0.
inline uint16_t UnitTo16(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 1.0) return 65535;
    return static_cast<uint16_t>(v * 65535.0 + 0.5);
}

} // namespace pixora
