#include "tools/brushes/eraser_rule.h"

#include <algorithm>

#include "doc/canvas.h"
#include "tools/flood_fill.h"

namespace pixora {

void EraserStamp(Bitmap& image, int x, int y, const TEraserOptions& o, int32_t canvasColour, bool press) {
    if (o.Type == EraserFloodfill) {
        if (press) EraserFloodFill(image, x, y, canvasColour);
        return;
    }
    Canvas c(image);
    c.PenColour = canvasColour;
    c.BrushColour = canvasColour;
    if (o.Type == EraserSquare)
        c.Rectangle(x, y, x + o.Size, y + o.Size);
    else if (o.Type == EraserEllipse)
        c.Ellipse(x, y, x + o.Size, y + o.Size);
}

TRect EraserReach(const Bitmap& image, int x, int y, const TEraserOptions& o, bool press) {
    if (o.Type == EraserFloodfill) return press ? TRect{0, 0, image.Width(), image.Height()} : TRect{};
    const int x1 = x + o.Size, y1 = y + o.Size;
    return {std::min(x, x1) - 1, std::min(y, y1) - 1, std::max(x, x1) + 1, std::max(y, y1) + 1};
}

} // namespace pixora
