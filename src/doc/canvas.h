#pragma once
// 2-D drawing on a Bitmap: lines with width, solid and dotted pens, pen
// modes copy and not-xor, rectangles, ellipses, round rectangles, polygons,
// bezier curves and text, with an optional clipping rectangle.
//
// Pixel rules: on a 32-bit bitmap every pixel that a copy-mode drawing
// touches gets its colour bytes and a fourth byte of 0 (opaque); untouched
// pixels keep all four bytes. Not-xor inverts the colour bytes against the
// pen colour and never changes the fourth byte. Figures follow the usual
// raster conventions: a line leaves out its end point, a rectangle from
// (l, t) to (r, b) covers columns l..r-1 and rows t..b-1.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "doc/bitmap.h"
#include "doc/changed_area.h"
#include "doc/records.h"

class QPainter;

namespace pixora {

enum class PenMode { Copy, NotXor };
enum class PenStyle { Solid, Dot };

struct TFontStyle {
    std::string Face = "DejaVu Sans";
    int Height = 13;       // character height in pixels
    int Weight = 400;      // 400 normal, 700 bold
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Escapement = 0;    // rotation in tenths of a degree, counter-clockwise
    int32_t Colour = 0;    // text colour
};

struct TSize {
    int Width = 0;
    int Height = 0;
};

class Canvas {
public:
    explicit Canvas(Bitmap& target) : target_(target) {}

    // Pen, brush and font, read at every call.
    int32_t PenColour = 0;
    int PenWidth = 1;
    PenStyle Style = PenStyle::Solid;
    PenMode Mode = PenMode::Copy;
    int32_t BrushColour = 0xFFFFFF;
    bool BrushClear = false;
    TFontStyle Font;

    void SetClipRect(const TRect& r) { clip_ = r; }
    void ClearClip() { clip_.reset(); }

    void MoveTo(int x, int y) { penX_ = x; penY_ = y; }
    TPoint PenPos() const { return {penX_, penY_}; }
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    // 3n + 1 points: start, then control, control, end for each segment.
    void PolyBezier(const std::vector<TPoint>& points);
    // Outline with the pen, interior with the brush (unless BrushClear).
    void Rectangle(int l, int t, int r, int b);
    void Ellipse(int l, int t, int r, int b);
    void RoundRect(int l, int t, int r, int b, int cornerW, int cornerH);
    void Polygon(const std::vector<TPoint>& points);
    // Brush only.
    void FillRect(const TRect& r);
    // One-pixel border in the brush colour.
    void FrameRect(const TRect& r);
    // Text with its top-left corner at (x, y); the background of the text
    // is filled with the brush unless BrushClear.
    void TextOut(int x, int y, const std::string& text);
    TSize TextExtent(const std::string& text) const;

    void SetPixel(int x, int y, int32_t colour);
    int32_t GetPixel(int x, int y) const;

    // The bounding box of every pixel the drawing calls so far may have
    // changed, inside the bitmap (empty when none).
    const TChangedArea& Touched() const { return touched_; }

private:
    template <class Paint> void Draw(int l, int t, int r, int b, bool usesBrush, Paint&& paint);
    void Plot(int x, int y);
    // Writes one pixel in the current pen mode.
    void PaintPixel(uint8_t* p, int32_t colour) const;
    void BresenhamLine(int x0, int y0, int x1, int y1);
    void SetupPainter(QPainter& p, bool usesBrush) const;
    bool InClip(int x, int y) const;

    Bitmap& target_;
    std::optional<TRect> clip_;
    int penX_ = 0, penY_ = 0;
    int dotPhase_ = 0;
    TChangedArea touched_;
};

} // namespace pixora
