// Conversions from the colour models of image files to sRGB.

#include "io/codecs/colour_models.h"

#include <cmath>
#include <cstring>

namespace pixora {

uint16_t EncodeSrgb16(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 1.0) return 65535;
    const double e = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return UnitTo16(e);
}

namespace {

void XyzToSrgb16(double x, double y, double z, uint16_t rgb[3]) {
    rgb[0] = EncodeSrgb16(3.2404542 * x - 1.5371385 * y - 0.4985314 * z);
    rgb[1] = EncodeSrgb16(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z);
    rgb[2] = EncodeSrgb16(0.0556434 * x - 0.2040259 * y + 1.0572252 * z);
}

} // namespace

void LabToSrgb16(double L, double a, double b, uint16_t rgb[3]) {
    constexpr double kEpsilon = 216.0 / 24389.0, kKappa = 24389.0 / 27.0;
    const double fy = (L + 16.0) / 116.0, fx = fy + a / 500.0, fz = fy - b / 200.0;
    const double x = fx * fx * fx > kEpsilon ? fx * fx * fx : (116.0 * fx - 16.0) / kKappa;
    const double y = L > kKappa * kEpsilon ? fy * fy * fy : L / kKappa;
    const double z = fz * fz * fz > kEpsilon ? fz * fz * fz : (116.0 * fz - 16.0) / kKappa;
    // D65 white.
    XyzToSrgb16(0.950456 * x, y, 1.088754 * z, rgb);
}

float HalfToFloat(uint16_t h) {
    const uint32_t sign = static_cast<uint32_t>(h & 0x8000) << 16;
    const uint32_t exp = (h >> 10) & 0x1F, man = h & 0x3FF;
    if (exp == 0) { // zero or subnormal
        const float v = std::ldexp(static_cast<float>(man), -24);
        return sign ? -v : v;
    }
    const uint32_t bits =
        exp == 31 ? (sign | 0x7F800000u | man << 13) : (sign | (exp + 112) << 23 | man << 13);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

float Float24ToFloat(uint32_t v) {
    const bool negative = (v >> 23) & 1;
    const int exp = static_cast<int>((v >> 16) & 0x7F);
    const uint32_t man = v & 0xFFFF;
    float f;
    if (exp == 0x7F) {
        f = man ? NAN : INFINITY;
    } else if (exp == 0) {
        f = std::ldexp(static_cast<float>(man), -16 - 62);
    } else {
        f = std::ldexp(1.0f + static_cast<float>(man) / 65536.0f, exp - 63);
    }
    return negative ? -f : f;
}

} // namespace pixora
