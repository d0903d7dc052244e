// Reading the orientation out of EXIF data.

#include "io/codecs/exif.h"

namespace pixora {

int ExifOrientationOf(const uint8_t* t, std::size_t n) {
    if (n < 8) return 1;
    const bool le = t[0] == 'I' && t[1] == 'I';
    if (!le && !(t[0] == 'M' && t[1] == 'M')) return 1;
    auto u16 = [&](std::size_t o) -> uint32_t {
        return le ? (t[o] | t[o + 1] << 8) : (t[o] << 8 | t[o + 1]);
    };
    auto u32 = [&](std::size_t o) -> uint32_t {
        return le ? (u16(o) | u16(o + 2) << 16) : (u16(o) << 16 | u16(o + 2));
    };
    const std::size_t ifd = u32(4);
    if (ifd > n || n - ifd < 2) return 1;
    const std::size_t entries = u16(ifd);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t e = ifd + 2 + 12 * i;
        if (e + 12 > n) break;
        if (u16(e) == 0x0112 && u16(e + 2) == 3) {
            const int v = static_cast<int>(u16(e + 8));
            return v >= 1 && v <= 8 ? v : 1;
        }
    }
    return 1;
}

} // namespace pixora
