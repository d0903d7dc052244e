#include "tools/brushes/transparency_rule.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "doc/canvas.h"
#include "doc/changed_area.h"
#include "tools/brushes/disc_stamp_rule.h"
#include "tools/brushes/pen_commit_rule.h"

namespace pixora {

namespace {

bool SameSize(const Bitmap& a, const Bitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitsPerPixel() == 32 &&
           b.BitsPerPixel() == 32;
}

void DrawTransparencyShape(Canvas& c, int mode, TPoint from, TPoint to) {
    if (mode == TransparencyLine) {
        c.MoveTo(from.X, from.Y);
        c.LineTo(to.X, to.Y);
    } else if (mode == TransparencyRectangle) {
        c.Rectangle(from.X, from.Y, to.X, to.Y);
    } else if (mode == TransparencyEllipse) {
        c.Ellipse(from.X, from.Y, to.X, to.Y);
    }
}

int PreviewWidth(const TTransparencyOptions& o) {
    return o.Mode == TransparencyRectangle || o.Mode == TransparencyEllipse ? 1 : o.Size;
}

} // namespace

void BeginTransparencyStroke(const Bitmap& image, Bitmap& overlay, const TTransparencyOptions& o) {
    overlay.Fill(255, 255, 255, 0);
    if (o.Mode != TransparencySpray || !SameSize(image, overlay)) return;
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* s = image.Row(y);
        uint8_t* d = overlay.Row(y);
        for (int x = 0; x < image.Width(); ++x)
            d[x * 4 + 3] = s[x * 4 + 3];
    }
}

void TransparencyPenSegment(Bitmap& image, Bitmap& overlay, TPoint from, TPoint to,
                            const TTransparencyOptions& o) {
    Canvas preview(image);
    preview.Mode = PenMode::NotXor;
    preview.PenWidth = o.Size;
    preview.MoveTo(from.X, from.Y);
    preview.LineTo(to.X, to.Y);
    DrawPenSegment(overlay, from, to, o.Size, 0);
}

void TransparencyShapePreview(Bitmap& image, const Bitmap& base, TPoint from, TPoint to,
                              const TTransparencyOptions& o, TRect& shown) {
    if (!SameSize(image, base)) {
        RestoreFromBase(image, base);
    } else {
        const int l = std::max(shown.Left, 0), r = std::min(shown.Right, image.Width());
        for (int y = std::max(shown.Top, 0); y < std::min(shown.Bottom, image.Height()) && l < r; ++y)
            std::memcpy(image.Row(y) + l * 4, base.Row(y) + l * 4, static_cast<std::size_t>(r - l) * 4);
    }
    Canvas c(image);
    c.Mode = PenMode::NotXor;
    c.PenWidth = PreviewWidth(o);
    DrawTransparencyShape(c, o.Mode, from, to);
    // The canvas touches at most the pen's reach around the two points.
    shown = AroundSegment(from, to, std::max(c.PenWidth, 1) + 2);
}

void TransparencySprayStamp(Bitmap& image, Bitmap& overlay, TPoint centre, const TTransparencyOptions& o,
                            const SelectionEditTest& test) {
    if (!SameSize(image, overlay)) return;
    const TDisc disc{centre.X, centre.Y, o.SprayDiameter};
    const int r = disc.Radius();
    const int difference = std::abs(o.Difference);
    ForEachDiscPixel(image, disc, test, [&](uint8_t* p, int x, int y, int d) {
        const int g = d - r + 128;
        for (int i = 0; i < 3; ++i)
            p[i] = ClampByte(p[i] * g / 128);
        const int value =
            o.ForceValue ? ClampByte(difference) : ClampByte((p[3] * g + difference * (r - d)) / 128);
        // Every stamp of a stroke pulls the same way, more towards its centre:
        // a pixel keeps the strongest pull it had, or a stroke would keep only
        // the weak rims its last stamps left behind.
        uint8_t& kept = overlay.Row(y)[x * 4 + 3];
        if (std::abs(value - p[3]) > std::abs(kept - p[3])) kept = static_cast<uint8_t>(value);
    });
}

void EndTransparencyStroke(Bitmap& image, const Bitmap& base, Bitmap& overlay, TPoint from, TPoint to,
                           const TTransparencyOptions& o) {
    if (o.Mode == TransparencyLine || o.Mode == TransparencyRectangle || o.Mode == TransparencyEllipse) {
        Canvas c(overlay);
        c.PenWidth = o.Size;
        c.PenColour = 0;
        c.BrushColour = 0;
        DrawTransparencyShape(c, o.Mode, from, to);
    }
    RestoreFromBase(image, base);
    if (!SameSize(image, overlay)) return;
    const bool spray = o.Mode == TransparencySpray;
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* m = overlay.Row(y);
        uint8_t* p = image.Row(y);
        for (int x = 0; x < image.Width(); ++x, m += 4, p += 4) {
            if (spray)
                p[3] = m[3];
            else if (m[2] == 0)
                p[3] = o.ForceValue ? ClampByte(std::abs(o.Difference)) : ClampByte(p[3] + o.Difference);
        }
    }
}

} // namespace pixora
