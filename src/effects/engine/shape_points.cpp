#include "effects/engine/shape_points.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "doc/canvas.h"

namespace pixora {

void TShapePoints::SetRect(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (2 * margin_ < width_) {
        left_ -= margin_;
        width_ -= margin_;
    }
    if (2 * margin_ < height_) {
        top_ -= margin_;
        height_ -= margin_;
    }
}

std::vector<TPoint> TShapePoints::Points(int shape) const {
    const int x = left_, y = top_, w = width_, h = height_;
    switch (shape) {
    case 0:
        return {{x + w / 2, y}, {x + w, y + h}, {x, y + h}};
    case 1:
        return {{x, y}, {x + w, y + h / 2}, {x, y + h}};
    case 2:
        return {{x, y}, {x + w / 2, y + h}, {x + w, y}};
    case 3:
        return {{x + w, y}, {x + w, y + h}, {x, y + h / 2}};
    case 4:
        return {{x, y + h / 2}, {x + w / 2, y + h}, {x + w, y + h / 2}, {x + w / 2, y}};
    case 5: {
        const int a = w / 3, b = h / 3;
        return {{x + a, y},         {x + w - a, y},         {x + w - a, y + b}, {x + w, y + b},
                {x + w, y + h - b}, {x + w - a, y + h - b}, {x + w - a, y + h}, {x + a, y + h},
                {x + a, y + h - b}, {x, y + h - b},         {x, y + b},         {x + a, y + b}};
    }
    default:
        return {};
    }
}

namespace rangecanvas {

namespace {

// Writes pixels [x0, x1) of row y, clipped.
void Span(Bitmap& bmp, int y, int x0, int x1, const TPixelBytes& c) {
    if (y < 0 || y >= bmp.Height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, bmp.Width());
    const int bpp = bmp.BytesPerPixel();
    uint8_t* p = bmp.Row(y) + static_cast<std::size_t>(x0) * bpp;
    for (int x = x0; x < x1; ++x, p += bpp) {
        p[0] = c.B;
        p[1] = c.G;
        p[2] = c.R;
        if (bpp == 4) p[3] = c.T;
    }
}

} // namespace

void FillRect(Bitmap& bmp, int left, int top, int right, int bottom, const TPixelBytes& c) {
    for (int y = std::max(top, 0); y < std::min(bottom, bmp.Height()); ++y)
        Span(bmp, y, left, right, c);
}

void FrameRect(Bitmap& bmp, int left, int top, int right, int bottom, const TPixelBytes& c) {
    if (right <= left || bottom <= top) return;
    Span(bmp, top, left, right, c);
    Span(bmp, bottom - 1, left, right, c);
    for (int y = top + 1; y < bottom - 1; ++y) {
        Span(bmp, y, left, left + 1, c);
        Span(bmp, y, right - 1, right, c);
    }
}

void FillEllipse(Bitmap& bmp, int left, int top, int right, int bottom, const TPixelBytes& c) {
    if (right <= left || bottom <= top) return;
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    for (int y = std::max(top, 0); y < std::min(bottom, bmp.Height()); ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double q = 1.0 - dy * dy;
        if (q < 0) continue;
        const double half = rx * std::sqrt(q);
        // Pixels whose centre lies within [cx - half, cx + half].
        const int x0 = static_cast<int>(std::ceil(cx - half - 0.5));
        const int x1 = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
        Span(bmp, y, std::max(x0, left), std::min(x1, right), c);
    }
}

void FillPolygon(Bitmap& bmp, const std::vector<TPoint>& points, const TPixelBytes& c) {
    const std::size_t n = points.size();
    if (n == 0) return;
    int minY = points[0].Y, maxY = points[0].Y;
    for (const TPoint& p : points) {
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    // Interior: even-odd rule sampled at pixel centres.
    std::vector<double> xs;
    for (int y = std::max(minY, 0); y < std::min(maxY, bmp.Height()); ++y) {
        const double sy = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const TPoint a = points[i], b = points[(i + 1) % n];
            if ((a.Y <= sy) == (b.Y <= sy)) continue;
            xs.push_back(a.X + (sy - a.Y) * (b.X - a.X) / static_cast<double>(b.Y - a.Y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int x0 = static_cast<int>(std::ceil(xs[i] - 0.5));
            const int x1 = static_cast<int>(std::ceil(xs[i + 1] - 0.5));
            Span(bmp, y, x0, x1, c);
        }
    }
    // Outline with a one-pixel pen; closed, so every vertex is drawn.
    Canvas pen(bmp);
    pen.PenColour = RGBColour(c.R, c.G, c.B);
    pen.MoveTo(points[n - 1].X, points[n - 1].Y);
    for (const TPoint& p : points)
        pen.LineTo(p.X, p.Y);
}

} // namespace rangecanvas

void DrawRangeShape(Bitmap& bmp, TRangeType type, TShapePoints& shapes, int x, int y, int w, int h,
                    const TPixelBytes& c) {
    using namespace rangecanvas;
    switch (type) {
    case rtRect:
        FillRect(bmp, x, y, x + w, y + h, c);
        break;
    case rtEllipse:
        FillEllipse(bmp, x, y, x + w, y + h, c);
        break;
    case rtFrame:
        FrameRect(bmp, x, y, x + w, y + h, c);
        break;
    case rtStar5:
        FillPolygon(
            bmp, {{x + w / 2, y}, {x + w - w / 8, y + h}, {x + w / 2, y + h - h / 4}, {x + w / 8, y + h}}, c);
        FillPolygon(bmp, {{x, y + h / 3}, {x + w, y + h / 3}, {x + w / 2, y + h - h / 4}}, c);
        break;
    case rtStar6:
        FillPolygon(bmp, {{x + w / 2, y}, {x + w, y + h - h / 4}, {x, y + h - h / 4}}, c);
        FillPolygon(bmp, {{x, y + h / 4}, {x + w, y + h / 4}, {x + w / 2, y + h}}, c);
        break;
    default:
        shapes.SetRect(x, y, w, h);
        FillPolygon(bmp, shapes.Points(static_cast<int>(type) - 5), c);
        break;
    }
}

bool TRangeStamp::Make(TRangeType type, TShapePoints& shapes, int w, int h) {
    spans_.clear();
    constexpr int kLargest = 512;
    if (w > kLargest || h > kLargest || std::abs(shapes.Margin()) > kLargest) return false;
    // Outlines reach one pixel past the cell and margins move the shapes:
    // room enough on every side, checked below.
    const int pad = 2 * std::abs(shapes.Margin()) + 4;
    Bitmap scratch(w + 2 * pad, h + 2 * pad, 24);
    scratch.Fill(255, 255, 255);
    const TPixelBytes ink{0, 0, 0, 0};
    const TShapePoints saved = shapes;
    DrawRangeShape(scratch, type, shapes, pad, pad, w, h, ink);
    // The shapes keep the rectangle of the last cell drawn into the image.
    shapes = saved;
    left_ = top_ = std::numeric_limits<int>::max();
    right_ = bottom_ = std::numeric_limits<int>::min();
    for (int y = 0; y < scratch.Height(); ++y) {
        const uint8_t* row = scratch.Row(y);
        int x = 0;
        while (x < scratch.Width()) {
            while (x < scratch.Width() && row[3 * x] == 255)
                ++x;
            const int start = x;
            while (x < scratch.Width() && row[3 * x] != 255)
                ++x;
            if (x == start) continue;
            spans_.push_back({y - pad, start - pad, x - pad});
            left_ = std::min(left_, start - pad);
            right_ = std::max(right_, x - 1 - pad);
            top_ = std::min(top_, y - pad);
            bottom_ = std::max(bottom_, y - pad);
        }
    }
    // A shape touching the scratch border might have been cut: no stamp.
    if (spans_.empty() || left_ <= -pad || top_ <= -pad || right_ >= w + pad - 1 || bottom_ >= h + pad - 1) {
        spans_.clear();
        left_ = top_ = 0;
        right_ = bottom_ = -1;
        return false;
    }
    return true;
}

void TRangeStamp::Draw(Bitmap& bmp, int x, int y, const TPixelBytes& c) const {
    for (const TSpan& s : spans_) {
        uint8_t* p = bmp.Row(y + s.Dy) + 3 * static_cast<std::ptrdiff_t>(x + s.X0);
        for (int i = s.X0; i < s.X1; ++i, p += 3) {
            p[0] = c.B;
            p[1] = c.G;
            p[2] = c.R;
        }
    }
}

void TRangeStamp::DrawClipped(Bitmap& bmp, int x, int y, const TPixelBytes& c, int y0, int y1) const {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, bmp.Height());
    for (const TSpan& s : spans_) {
        const int row = y + s.Dy;
        if (row < y0 || row >= y1) continue;
        const int x0 = std::max(x + s.X0, 0), x1 = std::min(x + s.X1, bmp.Width());
        uint8_t* p = bmp.Row(row) + 3 * static_cast<std::ptrdiff_t>(x0);
        for (int i = x0; i < x1; ++i, p += 3) {
            p[0] = c.B;
            p[1] = c.G;
            p[2] = c.R;
        }
    }
}

} // namespace pixora
