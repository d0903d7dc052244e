#include "effects/colour/planes.h"

#include <algorithm>
#include <stdexcept>

#include "doc/row_ranges.h"
#include "effects/colour/colour_errors.h"
#include "effects/colour/colour_spaces.h"
#include "effects/colour/plane_reader.h"

namespace pixora {

namespace {

constexpr const char* kPlaneNames[kPlaneCount] = {"RGB Composite",
                                                  "Red",
                                                  "Green",
                                                  "Blue",
                                                  "Hue (HSV)",
                                                  "Saturation (HSV)",
                                                  "Value (HSV)",
                                                  "Hue (HLS)",
                                                  "Lightness",
                                                  "Saturation (HLS)",
                                                  "Cyan",
                                                  "Magenta",
                                                  "Yellow",
                                                  "Black (K)",
                                                  "Intensity",
                                                  ""};

int Intensity(int r, int g, int b) {
    return (r + g + b) / 3;
}

} // namespace

std::string PlaneName(int plane) {
    return plane >= 0 && plane < kPlaneCount ? kPlaneNames[plane] : "";
}

int PlaneValue(int plane, int r, int g, int b) {
    switch (plane) {
    case 0:
    case 14:
        return Intensity(r, g, b);
    case 1:
        return r;
    case 2:
        return g;
    case 3:
        return b;
    case 4:
    case 5:
    case 6: {
        int h, s, v;
        RGBToHSV(PackRGB(r, g, b), h, s, v);
        return plane == 4 ? MulDivRound(h, 255, 359) : (plane == 5 ? s : v);
    }
    case 7:
    case 9: {
        int h, l, s;
        RGBToHLSBytes(PackRGB(r, g, b), h, l, s);
        return plane == 7 ? MulDivRound(h, 255, 360) : s;
    }
    case 8:
        return (std::min({r, g, b}) + std::max({r, g, b})) / 2;
    case 10:
    case 11:
    case 12:
    case 13: {
        int cmyk[4];
        RGBToCMYK(PackRGB(r, g, b), cmyk[0], cmyk[1], cmyk[2], cmyk[3]);
        return cmyk[plane - 10];
    }
    case 15:
        return (77 * r + 150 * g + 29 * b) >> 8;
    default:
        return -1;
    }
}

Bitmap PlaneImage(int plane, bool colour, bool invert, const Bitmap& source) {
    if (source.BitsPerPixel() != 24) throw EColorError("GetImageSpace:  Bitmap must be 24-bit color.");
    if (plane < 0 || plane >= kPlaneCount) throw std::invalid_argument("colour planes are numbered 0 to 15");
    Bitmap out(source.Width(), source.Height(), 24);
    const int flip = invert ? 255 : 0;
    const TPlaneReader reader(plane);
    ForRowRanges(source.Height(), source.ByteSize(), [&](int first, int end) {
        for (int y = end - 1; y >= first; --y) {
            const uint8_t* s = source.Row(y);
            uint8_t* d = out.Row(y);
            for (int x = source.Width() - 1; x >= 0; --x) {
                const uint8_t* p = s + 3 * static_cast<std::ptrdiff_t>(x);
                const TPlaneRGB c = reader.Pixel(colour, p[2], p[1], p[0]);
                uint8_t* q = d + 3 * static_cast<std::ptrdiff_t>(x);
                q[0] = static_cast<uint8_t>(c.B ^ flip);
                q[1] = static_cast<uint8_t>(c.G ^ flip);
                q[2] = static_cast<uint8_t>(c.R ^ flip);
            }
        }
    });
    return out;
}

} // namespace pixora
