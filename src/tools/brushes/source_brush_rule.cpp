#include "tools/brushes/source_brush_rule.h"

#include <cstring>

namespace pixora {

namespace {

template <class Rule>
void FromSource(Bitmap& image, const Bitmap& source, const TDisc& disc, const SelectionEditTest& test,
                Rule&& rule) {
    if (source.BitsPerPixel() != 32) return;
    ForEachDiscPixel(image, disc, test, [&](uint8_t* p, int x, int y, int) {
        if (x >= source.Width() || y >= source.Height()) return;
        rule(p, source.Row(y) + static_cast<std::size_t>(x) * 4);
    });
}

} // namespace

void HistoryBrushStamp(Bitmap& image, const Bitmap& source, const TDisc& disc, int occupancy,
                       const SelectionEditTest& test) {
    const int occ = occupancy, v = 100 - occupancy;
    FromSource(image, source, disc, test, [&](uint8_t* p, const uint8_t* s) {
        for (int i = 0; i < 3; ++i)
            p[i] = ClampByte(s[i] * occ / 100 + p[i] * v / 100);
    });
}

void EffectBrushStamp(Bitmap& image, const Bitmap& source, const TDisc& disc, const SelectionEditTest& test) {
    FromSource(image, source, disc, test, [](uint8_t* p, const uint8_t* s) { std::memcpy(p, s, 3); });
}

} // namespace pixora
