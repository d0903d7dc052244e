#pragma once
// RGB <-> hue/saturation/lightness for the fill's hue mode. Red, green and
// blue are fractions 0..1; hue is in degrees 0..360, saturation and
// lightness 0..1.

namespace pixora {

struct THSL {
    double H = 0;
    double S = 0;
    double L = 0;
};

struct TRGBFractions {
    double R = 0;
    double G = 0;
    double B = 0;
};

THSL RGBToHSL(double r, double g, double b);
TRGBFractions HSLToRGB(double h, double s, double l);

} // namespace pixora
