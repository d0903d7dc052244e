#include "tools/shapes/gradient_previews.h"

#include <cstring>

#include "doc/canvas.h"

namespace pixora {

namespace {

constexpr int kPerRow = 2;
constexpr int kPreviewSize = 100;
constexpr int kPitch = 120; // from one preview's corner to the next one's
constexpr int kMargin = 10;

void Frame(Canvas& c, const TRect& r, int32_t colour) {
    c.PenColour = colour;
    c.PenWidth = 5;
    c.BrushClear = true;
    c.Rectangle(r.Left - 4, r.Top - 4, r.Right + 4, r.Bottom + 4);
}

} // namespace

TRect GradientPreviewRect(int kind) {
    const int l = kMargin + (kind % kPerRow) * kPitch, t = kMargin + (kind / kPerRow) * kPitch;
    return {l, t, l + kPreviewSize, t + kPreviewSize};
}

int GradientPictureHeight() {
    const int rows = (kGradientKindCount + kPerRow - 1) / kPerRow;
    return kMargin + rows * kPitch;
}

int GradientPreviewAt(int x, int y) {
    for (int kind = 0; kind < kGradientKindCount; ++kind) {
        const TRect r = GradientPreviewRect(kind);
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return kind;
    }
    return -1;
}

void DrawGradientPreviews(Bitmap& picture, const TGradientSettings& g, int32_t foreground,
                          int32_t background) {
    if (picture.BitsPerPixel() != 32) return;
    for (int kind = 0; kind < kGradientKindCount; ++kind) {
        const Bitmap preview = GradientPreview(g, kind, foreground, background);
        const TRect r = GradientPreviewRect(kind);
        for (int y = 0; y < kPreviewSize && r.Top + y < picture.Height(); ++y)
            std::memcpy(picture.Row(r.Top + y) + static_cast<std::size_t>(r.Left) * 4, preview.Row(y),
                        static_cast<std::size_t>(kPreviewSize) * 4);
    }
}

void DrawGradientFrames(Bitmap& picture, int chosen) {
    Canvas c(picture);
    for (int kind = 0; kind < kGradientKindCount; ++kind)
        Frame(c, GradientPreviewRect(kind), RGBColour(255, 255, 255));
    c.BrushColour = 0;
    for (int kind = 0; kind < kGradientKindCount; ++kind) {
        const TRect r = GradientPreviewRect(kind);
        c.FrameRect({r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1});
    }
    if (chosen >= 0 && chosen < kGradientKindCount) Frame(c, GradientPreviewRect(chosen), 0);
}

} // namespace pixora
