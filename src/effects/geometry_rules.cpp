#include "effects/geometry_rules.h"

#include <cstring>

#include "history/geometry_commands.h"
#include "io/codecs/format_codecs.h"

namespace pixora::geometry_rules {

namespace {

bool Turn(const Bitmap& image, TRotateAction action, double degrees, int32_t background, Bitmap& out) {
    TRotateParams params;
    params.Action = action;
    params.Degrees = degrees;
    params.Background = background;
    return RotateBitmap(image, params, out);
}

} // namespace

bool RotateByAngle(const Bitmap& image, const TEffectValues& values, Bitmap& out) {
    return Turn(image, TRotateAction::Angle, values[0], values[1], out);
}
bool FlipVertical(const Bitmap& image, const TEffectValues&, Bitmap& out) {
    return Turn(image, TRotateAction::FlipVertical, 0, 0, out);
}
bool MirrorHorizontal(const Bitmap& image, const TEffectValues&, Bitmap& out) {
    return Turn(image, TRotateAction::MirrorHorizontal, 0, 0, out);
}
bool RotateLeft(const Bitmap& image, const TEffectValues&, Bitmap& out) {
    return Turn(image, TRotateAction::RotateLeft, 0, 0, out);
}
bool RotateRight(const Bitmap& image, const TEffectValues&, Bitmap& out) {
    return Turn(image, TRotateAction::RotateRight, 0, 0, out);
}
bool RotateHalf(const Bitmap& image, const TEffectValues&, Bitmap& out) {
    return Turn(image, TRotateAction::RotateHalf, 0, 0, out);
}

bool Resize(const Bitmap& image, const TEffectValues& values, Bitmap& out) {
    if (!CheckResize(values).empty()) return false;
    return ResizeBitmap(image, {values[0], values[1], values[2] == 0}, out);
}

bool Crop(const Bitmap& image, const TEffectValues& values, Bitmap& out) {
    const int64_t x = values[0], y = values[1], w = values[2], h = values[3];
    if (x + w > image.Width() || y + h > image.Height()) return false;
    Bitmap cut(static_cast<int>(w), static_cast<int>(h), 32);
    for (int64_t r = 0; r < h; ++r)
        std::memcpy(cut.Row(static_cast<int>(r)), image.Row(static_cast<int>(y + r)) + x * 4,
                    static_cast<std::size_t>(w) * 4);
    out = std::move(cut);
    return true;
}

std::string CheckResize(const TEffectValues& values) {
    if (static_cast<int64_t>(values[0]) * values[1] <= MaxImagePixels) return {};
    return "W x H is " + std::to_string(static_cast<int64_t>(values[0]) * values[1]) +
           " pixels, more than the largest image (" + std::to_string(MaxImagePixels) + " pixels)";
}

} // namespace pixora::geometry_rules
