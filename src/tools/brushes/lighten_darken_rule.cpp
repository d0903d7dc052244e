#include "tools/brushes/lighten_darken_rule.h"

namespace pixora {

namespace {

void StepStamp(Bitmap& image, const TDisc& disc, int step, bool changeAlpha, const SelectionEditTest& test) {
    const int channels = changeAlpha ? 4 : 3;
    ForEachDiscPixel(image, disc, test, [&](uint8_t* p, int, int, int) {
        for (int i = 0; i < channels; ++i)
            p[i] = ClampByte(p[i] + step);
    });
}

} // namespace

void LightenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test) {
    StepStamp(image, disc, 1, changeAlpha, test);
}

void DarkenStamp(Bitmap& image, const TDisc& disc, bool changeAlpha, const SelectionEditTest& test) {
    if ((static_cast<int64_t>(disc.X) + disc.Y) % 2 != 0) return;
    StepStamp(image, disc, -1, changeAlpha, test);
}

} // namespace pixora
