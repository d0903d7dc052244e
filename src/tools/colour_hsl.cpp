#include "tools/colour_hsl.h"

#include <algorithm>

namespace pixora {

THSL RGBToHSL(double r, double g, double b) {
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});
    THSL out;
    out.L = (mx + mn) / 2;
    if (mx == mn) return out;
    const double d = mx - mn;
    out.S = out.L > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    // When two channels share the maximum the later test decides.
    if (r == mx) out.H = (g - b) / d;
    if (g == mx) out.H = (b - r) / d + 2;
    if (b == mx) out.H = (r - g) / d + 4;
    out.H *= 60;
    if (out.H < 0) out.H += 360;
    return out;
}

namespace {

double HueToChannel(double p, double q, double h) {
    if (h < 0) h += 360;
    if (h > 360) h -= 360;
    if (h < 60) return p + (q - p) * h / 60;
    if (h < 180) return q;
    if (h < 240) return p + (q - p) * (240 - h) / 60;
    return p;
}

} // namespace

TRGBFractions HSLToRGB(double h, double s, double l) {
    if (s == 0 && h == 0) return {l, l, l};
    const double q = l > 0.5 ? l + s * (1 - l) : l * (1 + s);
    const double p = 2 * l - q;
    return {HueToChannel(p, q, h + 120), HueToChannel(p, q, h), HueToChannel(p, q, h - 120)};
}

} // namespace pixora
