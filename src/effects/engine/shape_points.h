#pragma once
// Range shapes: the polygon builder for the triangle, rhomb and cross cells
// and a small rasteriser that draws the shapes into the 24-bit range bitmap.

#include <algorithm>
#include <vector>

#include "doc/bitmap.h"
#include "effects/engine/effect_types.h"

namespace pixora {

// Builds the vertex lists of the triangle, rhomb and cross shapes for one
// cell. The cell is shrunk by the margin when it is wide (or high) enough.
class TShapePoints {
public:
    int Margin() const { return margin_; }
    void SetMargin(int margin) { margin_ = margin; }

    // Stores the cell; applies the margin rule.
    void SetRect(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Shape number 0..3: triangles pointing up, right, down, left; 4: rhomb;
    // 5: cross. Other numbers give no points.
    std::vector<TPoint> Points(int shape) const;

private:
    int margin_ = 2;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// Drawing into a 24-bit bitmap with one solid colour (bytes B, G, R). Every
// routine clips to the bitmap; pixels are covered when their centre lies in
// the shape, and polygons also get a one-pixel outline through their vertices
// (the pen), so thin shapes never vanish.
namespace rangecanvas {
void FillRect(Bitmap& bmp, int left, int top, int right, int bottom, const TPixelBytes& c);
void FrameRect(Bitmap& bmp, int left, int top, int right, int bottom, const TPixelBytes& c);
void FillEllipse(Bitmap& bmp, int left, int top, int right, int bottom, const TPixelBytes& c);
void FillPolygon(Bitmap& bmp, const std::vector<TPoint>& points, const TPixelBytes& c);
} // namespace rangecanvas

// Draws the shape of one cell (left, top, width w, height h) with colour c.
void DrawRangeShape(Bitmap& bmp, TRangeType type, TShapePoints& shapes, int x, int y, int w, int h,
                    const TPixelBytes& c);

// The pixels DrawRangeShape covers for one cell, as spans of rows relative
// to the cell's corner. The drawing works in whole pixels from the cell's
// corner (sampling at pixel centres, integer lines), so a cell whose shape
// lies wholly inside the bitmap covers exactly these pixels moved there;
// cells at the border are drawn the long way, which clips them.
class TRangeStamp {
public:
    // False when the cell or the margin is too large to be worth a stamp.
    bool Make(TRangeType type, TShapePoints& shapes, int w, int h);
    bool FitsAt(const Bitmap& bmp, int x, int y) const {
        return x + left_ >= 0 && y + top_ >= 0 && x + right_ < bmp.Width() && y + bottom_ < bmp.Height();
    }
    // The stamp at cell corner (x, y) of a 24-bit bitmap; FitsAt must hold.
    void Draw(Bitmap& bmp, int x, int y, const TPixelBytes& c) const;
    // The same clipped to the bitmap's columns and to rows y0..y1-1: what
    // drawing the cell's shape gives there, since the drawing clips pixel
    // by pixel.
    void DrawClipped(Bitmap& bmp, int x, int y, const TPixelBytes& c, int y0, int y1) const;
    // The covered pixels' first and last row, relative to the cell's corner.
    int Top() const { return top_; }
    int Bottom() const { return bottom_; }
    // fn(x0, x1) for the runs of covered pixels x0..x1-1 of row dy (relative
    // to the cell's corner), left to right.
    template <class Fn> void ForEachSpanOfRow(int dy, Fn&& fn) const {
        auto s = std::lower_bound(spans_.begin(), spans_.end(), dy,
                                  [](const TSpan& a, int d) { return a.Dy < d; });
        for (; s != spans_.end() && s->Dy == dy; ++s)
            fn(s->X0, s->X1);
    }

private:
    struct TSpan {
        int Dy, X0, X1; // row, first and one past the last pixel
    };
    std::vector<TSpan> spans_;
    int left_ = 0, top_ = 0, right_ = -1, bottom_ = -1; // covered pixels' bounds, inclusive
};

} // namespace pixora
