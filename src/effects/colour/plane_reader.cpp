#include "effects/colour/plane_reader.h"

#include <algorithm>
#include <cstdint>

#include "effects/colour/colour_spaces.h"

namespace pixora {

namespace {

bool UsesHls(int plane) {
    return plane == 7 || plane == 9;
}
} // namespace

TPlaneReader::TPlaneReader(int plane) : plane_(plane) {
    if (UsesHls(plane)) {
        lightness_.resize(256 * 256);
        saturation_.resize(256 * 256);
        for (int mx = 0; mx < 256; ++mx)
            for (int mn = 0; mn <= mx; ++mn) {
                int h, l, s;
                RGBToHLSBytes(PackRGB(mx, mn, mn), h, l, s);
                lightness_[static_cast<std::size_t>(mx * 256 + mn)] = static_cast<uint8_t>(l);
                saturation_[static_cast<std::size_t>(mx * 256 + mn)] = static_cast<uint8_t>(s);
            }
    }
    if (plane == 4) {
        sixtieths_.resize(511 * 256);
        for (int n = -255; n <= 255; ++n)
            for (int d = 1; d < 256; ++d)
                sixtieths_[static_cast<std::size_t>((n + 255) * 256 + d)] =
                    static_cast<int8_t>(MulDivRound(60, n, d));
    }
    for (int h = 0; h <= 360; ++h) {
        if (plane == 4) {
            hueColour_[static_cast<std::size_t>(h)] = HSVToRGB(h, 255, 255);
            hueByte_[static_cast<std::size_t>(h)] = static_cast<uint8_t>(MulDivRound(h, 255, 359));
        } else if (plane == 7) {
            hueColour_[static_cast<std::size_t>(h)] = HLSToRGBBytes(h, 128, 255);
            hueByte_[static_cast<std::size_t>(h)] = static_cast<uint8_t>(MulDivRound(h, 255, 360));
        }
    }
}

} // namespace pixora
