#include "effects/colour/colour_spaces.h"

#include <algorithm>
#include <cmath>

#include "doc/round_mode.h"
#include "effects/colour/colour_errors.h"
#include "effects/colour/ieee754.h"

namespace pixora {

int32_t HSVToRGB(int H, int S, int V) {
    if (S == 0) return PackRGB(V, V, V);
    H %= 360;
    if (H < 0) H += 360;
    const int h = H % 60;
    const int p = V - S * V / 255;
    const int q = V - S * V * h / 15300;
    const int t = V - S * V * (60 - h) / 15300;
    switch (H / 60) {
    case 0:
        return PackRGB(V, t, p);
    case 1:
        return PackRGB(q, V, p);
    case 2:
        return PackRGB(p, V, t);
    case 3:
        return PackRGB(p, q, V);
    case 4:
        return PackRGB(t, p, V);
    default:
        return PackRGB(V, p, q);
    }
}

void RGBToHLS(double R, double G, double B, double& H, double& L, double& S) {
    const double mx = std::max({R, G, B}), mn = std::min({R, G, B});
    L = (mx + mn) / 2;
    if (mx == mn) {
        S = 0;
        H = IEEE754::NaN();
        return;
    }
    const double d = mx - mn;
    S = L <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (R == mx)
        H = 60 * (G - B) / d;
    else if (G == mx)
        H = 120 + 60 * (B - R) / d;
    else
        H = 240 + 60 * (R - G) / d;
    if (H < 0) H += 360;
}

namespace {

double HueValue(double m1, double m2, double h) {
    if (h < 0)
        h += 360;
    else if (h > 360)
        h -= 360;
    if (h < 60) return m1 + (m2 - m1) * h / 60;
    if (h < 180) return m2;
    if (h < 240) return m1 + (m2 - m1) * (240 - h) / 60;
    return m1;
}

int ByteOf(double v) {
    return std::clamp(static_cast<int>(RoundHalfEvenInAnyMode(v * 255)), 0, 255);
}

} // namespace

void HLSToRGB(double H, double L, double S, double& R, double& G, double& B) {
    if (S == 0) {
        if (!IEEE754::IsNaN(H)) throw EColorError("HLStoRGB:  S = 0 and H has a value");
        R = G = B = L;
        return;
    }
    const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    const double m1 = 2 * L - m2;
    R = HueValue(m1, m2, H + 120);
    G = HueValue(m1, m2, H);
    B = HueValue(m1, m2, H - 120);
}

void RGBToHLSBytes(int32_t rgb, int& H, int& L, int& S) {
    double h, l, s;
    RGBToHLS(PackedRed(rgb) / 255.0, PackedGreen(rgb) / 255.0, PackedBlue(rgb) / 255.0, h, l, s);
    H = IEEE754::IsNaN(h) ? 0 : static_cast<int>(RoundHalfEvenInAnyMode(h));
    L = ByteOf(l);
    S = ByteOf(s);
}

int32_t HLSToRGBBytes(int H, int L, int S) {
    double r, g, b;
    HLSToRGB(S == 0 ? IEEE754::NaN() : H, L / 255.0, S / 255.0, r, g, b);
    return PackRGB(ByteOf(r), ByteOf(g), ByteOf(b));
}

void RGBToCMYK(int32_t rgb, int& C, int& M, int& Y, int& K) {
    C = 255 - PackedRed(rgb);
    M = 255 - PackedGreen(rgb);
    Y = 255 - PackedBlue(rgb);
    K = std::min({C, M, Y});
    C -= K;
    M -= K;
    Y -= K;
}

} // namespace pixora
