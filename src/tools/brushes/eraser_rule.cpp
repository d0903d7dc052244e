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
    const TRect box = EraserBox(x, y, o);
    if (o.Type == EraserSquare)
        c.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
    else if (o.Type == EraserEllipse)
        c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
}

TRect EraserBox(int x, int y, const TEraserOptions& o) {
    return {x, y, x + o.Size, y + o.Size};
}

TRect EraserReach(const Bitmap& image, int x, int y, const TEraserOptions& o, bool press) {
    if (o.Type == EraserFloodfill) return press ? TRect{0, 0, image.Width(), image.Height()} : TRect{};
    const TRect b = EraserBox(x, y, o);
    return {std::min(b.Left, b.Right) - 1, std::min(b.Top, b.Bottom) - 1, std::max(b.Left, b.Right) + 1,
            std::max(b.Top, b.Bottom) + 1};
}

} // namespace pixora
