#include "tools/brushes/eraser_rule.h"

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

} // namespace pixora
