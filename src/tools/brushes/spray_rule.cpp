#include "tools/brushes/spray_rule.h"

namespace pixora {

void SprayStamp(Bitmap& image, const TDisc& disc, const TSprayOptions& o, int32_t colour,
                const SelectionEditTest& test) {
    // The box keeps the thickness at 1 or more; a divisor of 0 would be undefined.
    const int thick = std::max(o.Thickness, 1);
    const int r = disc.Radius();
    const int c[3] = {BlueOf(colour), GreenOf(colour), RedOf(colour)};
    ForEachDiscPixel(image, disc, test, [&](uint8_t* p, int, int, int d) {
        const int w = r - d;
        for (int i = 0; i < 3; ++i)
            p[i] = ClampByte((p[i] * (thick - w) + c[i] * w) / thick);
        if (o.ChangeTransparency) p[3] = ClampByte(p[3] * (thick - w) / thick);
    });
}

} // namespace pixora
