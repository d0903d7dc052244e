#include "doc/view_readout.h"

namespace pixora {

std::string FormatPixelReadout(int x, int y, int r, int g, int b, int a) {
    using std::to_string;
    return "x, y = [" + to_string(x) + "," + to_string(y) + "]    r, g, b = [" + to_string(r) + "," +
           to_string(g) + "," + to_string(b) + "]    alpha = [" + to_string(a) + "]";
}

std::optional<std::string> PixelReadout(const Bitmap& bitmap, int x, int y) {
    if (bitmap.BitsPerPixel() != 32 || x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height())
        return std::nullopt;
    const uint8_t* p = bitmap.Row(y) + 4 * x;
    return FormatPixelReadout(x, y, p[2], p[1], p[0], p[3]);
}

} // namespace pixora
