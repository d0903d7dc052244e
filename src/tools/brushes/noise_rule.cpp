#include "tools/brushes/noise_rule.h"

namespace pixora {

void NoiseStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, TStampRandom& random,
                const SelectionEditTest& test) {
    ForEachDiscPixel(image, disc, test, [&](uint8_t* p, int, int, int) {
        const int red = random.Random(3) - 1;
        const int green = random.Random(3) - 1;
        const int blue = random.Random(3) - 1;
        p[2] = ClampByte(p[2] + red);
        p[1] = ClampByte(p[1] + green);
        p[0] = ClampByte(p[0] + blue);
        if (changeAlpha) p[3] = ClampByte(p[3] + random.Random(3) - 1);
    });
}

} // namespace pixora
