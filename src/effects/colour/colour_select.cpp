#include "effects/colour/colour_select.h"

#include <algorithm>
#include <cstring>

#include "effects/colour/colour_spaces.h"

namespace pixora {

namespace {

int32_t ColourOfPacked(int32_t rgb) {
    return RGBColour(PackedRed(rgb), PackedGreen(rgb), PackedBlue(rgb));
}

// One 24-bit row, then copied into every other row.
template <class ColumnColour> Bitmap RowRepeated(int width, int height, ColumnColour colourAt) {
    Bitmap b(std::max(width, 0), std::max(height, 0), 24);
    if (b.Empty()) return b;
    uint8_t* first = b.Row(0);
    for (int i = 0; i < width; ++i) {
        const int32_t rgb = colourAt(i);
        first[3 * i] = static_cast<uint8_t>(PackedBlue(rgb));
        first[3 * i + 1] = static_cast<uint8_t>(PackedGreen(rgb));
        first[3 * i + 2] = static_cast<uint8_t>(PackedRed(rgb));
    }
    for (int y = 1; y < height; ++y)
        std::memcpy(b.Row(y), first, static_cast<std::size_t>(width) * 3);
    return b;
}

} // namespace

void OpenColourControls(TColourControls& c, int32_t colour) {
    c.Active = TColourControl::None;
    ColourControlsFromColour(c, colour);
    c.OldColour = c.NewColour;
}

void ColourControlsFromColour(TColourControls& c, int32_t colour) {
    ColourControlsFromRGB(c, RedOf(colour), GreenOf(colour), BlueOf(colour));
}

void ColourControlsFromRGB(TColourControls& c, int r, int g, int b) {
    c.Red = std::clamp(r, 0, 255);
    c.Green = std::clamp(g, 0, 255);
    c.Blue = std::clamp(b, 0, 255);
    c.NewColour = RGBColour(c.Red, c.Green, c.Blue);
    int h, s, v;
    RGBToHSV(PackRGB(c.Red, c.Green, c.Blue), h, s, v);
    c.Hue = std::clamp(h, 0, kHueMax);
    c.Saturation = std::clamp(s, kSaturationTrackMin, 255);
    c.Value = v;
}

void ColourControlsFromHSV(TColourControls& c, int h, int s, int v) {
    c.Hue = std::clamp(h, 0, kHueMax);
    c.Saturation = std::clamp(s, kSaturationTrackMin, 255);
    c.Value = std::clamp(v, 0, 255);
    const int32_t rgb = HSVToRGB(c.Hue, c.Saturation, c.Value);
    c.Red = PackedRed(rgb);
    c.Green = PackedGreen(rgb);
    c.Blue = PackedBlue(rgb);
    c.NewColour = ColourOfPacked(rgb);
}

Bitmap ColourRampImage(TColourRamp ramp, int width, int height, const TColourControls& c) {
    const auto upTo255 = [](int i) { return std::min(i, 255); };
    switch (ramp) {
    case TColourRamp::Red:
        return RowRepeated(width, height, [](int i) { return PackRGB(i & 0xFF, 0, 0); });
    case TColourRamp::Green:
        return RowRepeated(width, height, [](int i) { return PackRGB(0, i & 0xFF, 0); });
    case TColourRamp::Blue:
        return RowRepeated(width, height, [](int i) { return PackRGB(0, 0, i & 0xFF); });
    case TColourRamp::Hue:
        return RowRepeated(width, height,
                           [&](int i) { return HSVToRGB(MulDivRound(i, 360, 255), c.Saturation, c.Value); });
    case TColourRamp::Saturation:
        return RowRepeated(width, height, [&](int i) { return HSVToRGB(c.Hue, upTo255(i), c.Value); });
    case TColourRamp::Value:
        return RowRepeated(width, height, [&](int i) { return HSVToRGB(c.Hue, c.Saturation, upTo255(i)); });
    }
    return Bitmap();
}

Bitmap ColourPicture(int width, int height) {
    Bitmap b(std::max(width, 0), std::max(height, 0), 24);
    if (b.Empty()) return b;
    const int half = std::max(height / 2, 1);
    for (int y = 0; y < height; ++y) {
        // White to the full colours in the upper half, on to black below.
        const int s = y < half ? y * 255 / half : 255;
        const int v = y < half ? 255 : 255 - (y - half) * 255 / std::max(height - 1 - half, 1);
        uint8_t* row = b.Row(y);
        for (int x = 0; x < width; ++x) {
            const int32_t rgb = HSVToRGB(x * 360 / width, s, std::max(v, 0));
            row[3 * x] = static_cast<uint8_t>(PackedBlue(rgb));
            row[3 * x + 1] = static_cast<uint8_t>(PackedGreen(rgb));
            row[3 * x + 2] = static_cast<uint8_t>(PackedRed(rgb));
        }
    }
    return b;
}

bool PickFromPicture(const Bitmap& picture, int x, int y, int32_t& colour) {
    if (x <= 0 || y <= 0 || x >= picture.Width() || y >= picture.Height()) return false;
    const int bpp = picture.BytesPerPixel();
    const uint8_t* p = picture.Row(y) + static_cast<std::ptrdiff_t>(x) * bpp;
    colour = RGBColour(p[2], p[1], p[0]);
    return true;
}

} // namespace pixora
