#include "doc/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "doc/line_walk.h"

namespace pixora {

namespace {

QColor ToQColor(int32_t c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QFont ToQFont(const TFontStyle& f) {
    QFont font(QString::fromStdString(f.Face));
    font.setPixelSize(std::max(1, std::abs(f.Height)));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(f.Weight, 1, 1000)));
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    font.setStrikeOut(f.StrikeOut);
    // Exact colours matter to the tools that read drawn text back.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage Wrap(Bitmap& b) {
    return QImage(b.Data(), b.Width(), b.Height(), static_cast<qsizetype>(b.Stride()),
                  b.BitsPerPixel() == 32 ? QImage::Format_RGB32 : QImage::Format_BGR888);
}

// Bounding box of a point list, widened by a margin.
TRect Bounds(const std::vector<TPoint>& points, int margin) {
    TRect r{points[0].X, points[0].Y, points[0].X, points[0].Y};
    for (const TPoint& pt : points) {
        r.Left = std::min(r.Left, pt.X);
        r.Top = std::min(r.Top, pt.Y);
        r.Right = std::max(r.Right, pt.X);
        r.Bottom = std::max(r.Bottom, pt.Y);
    }
    return {r.Left - margin, r.Top - margin, r.Right + margin, r.Bottom + margin};
}

QPolygon ToQPolygon(const std::vector<TPoint>& points) {
    QPolygon poly;
    for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
    return poly;
}

} // namespace

bool Canvas::InClip(int x, int y) const {
    if (x < 0 || y < 0 || x >= target_.Width() || y >= target_.Height()) return false;
    if (clip_ && (x < clip_->Left || y < clip_->Top || x >= clip_->Right || y >= clip_->Bottom)) return false;
    return true;
}

void Canvas::SetupPainter(QPainter& p, bool usesBrush) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    if (Mode == PenMode::NotXor) p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    QPen pen(ToQColor(PenColour));
    pen.setWidth(std::max(1, PenWidth));
    pen.setCapStyle(PenWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(PenWidth > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    if (Style == PenStyle::Dot) pen.setDashPattern({1.0, 1.0});
    p.setPen(pen);
    if (usesBrush && !BrushClear)
        p.setBrush(ToQColor(BrushColour));
    else
        p.setBrush(Qt::NoBrush);
    if (clip_) p.setClipRect(QRect(clip_->Left, clip_->Top, clip_->Right - clip_->Left, clip_->Bottom - clip_->Top));
}

// Runs a QPainter drawing over the bitmap and then applies the pixel rules
// to the area (l, t)..(r, b) that can have been touched: copy mode leaves
// touched pixels opaque, not-xor keeps every fourth byte.
template <class Paint> void Canvas::Draw(int l, int t, int r, int b, bool usesBrush, Paint&& paint) {
    if (target_.Empty()) return;
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, target_.Width());
    b = std::min(b, target_.Height());
    if (clip_) {
        l = std::max(l, clip_->Left);
        t = std::max(t, clip_->Top);
        r = std::min(r, clip_->Right);
        b = std::min(b, clip_->Bottom);
    }
    if (l >= r || t >= b) return;
    touched_.Add({l, t, r, b});
    const bool has4 = target_.BitsPerPixel() == 32;
    std::vector<uint8_t> saved;
    if (has4) {
        saved.resize(static_cast<std::size_t>(r - l) * static_cast<std::size_t>(b - t));
        std::size_t i = 0;
        for (int y = t; y < b; ++y) {
            uint8_t* p = target_.Row(y) + l * 4 + 3;
            for (int x = l; x < r; ++x, p += 4) {
                saved[i++] = *p;
                *p = 0;
            }
        }
    }
    {
        QImage img = Wrap(target_);
        QPainter p(&img);
        SetupPainter(p, usesBrush);
        paint(p);
    }
    if (has4) {
        std::size_t i = 0;
        const bool copy = Mode == PenMode::Copy;
        for (int y = t; y < b; ++y) {
            uint8_t* p = target_.Row(y) + l * 4 + 3;
            for (int x = l; x < r; ++x, p += 4, ++i) *p = (copy && *p == 0xFF) ? 0 : saved[i];
        }
    }
}

void Canvas::Plot(int x, int y) {
    if (Style == PenStyle::Dot) {
        const bool on = (dotPhase_++ & 1) == 0;
        if (!on) return;
    }
    if (!InClip(x, y)) return;
    touched_.Add({x, y, x + 1, y + 1});
    PaintPixel(target_.Row(y) + x * target_.BytesPerPixel(), PenColour);
}

void Canvas::PaintPixel(uint8_t* p, int32_t colour) const {
    if (Mode == PenMode::NotXor) {
        // ~(colour ^ dest) on the colour bytes only.
        p[0] = static_cast<uint8_t>(~(BlueOf(colour) ^ p[0]));
        p[1] = static_cast<uint8_t>(~(GreenOf(colour) ^ p[1]));
        p[2] = static_cast<uint8_t>(~(RedOf(colour) ^ p[2]));
    } else {
        p[0] = BlueOf(colour);
        p[1] = GreenOf(colour);
        p[2] = RedOf(colour);
        if (target_.BitsPerPixel() == 32) p[3] = 0;
    }
}

// One-pixel line from (x0, y0) towards (x1, y1), leaving out the end point.
void Canvas::BresenhamLine(int x0, int y0, int x1, int y1) {
    WalkLine(x0, y0, x1, y1, [this](int x, int y) { Plot(x, y); });
}

void Canvas::LineTo(int x, int y) {
    if (PenWidth <= 1) {
        BresenhamLine(penX_, penY_, x, y);
    } else {
        const int x0 = penX_, y0 = penY_;
        const int m = PenWidth + 2;
        Draw(std::min(x0, x) - m, std::min(y0, y) - m, std::max(x0, x) + m, std::max(y0, y) + m, false,
             [&](QPainter& p) { p.drawLine(x0, y0, x, y); });
    }
    penX_ = x;
    penY_ = y;
}

void Canvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    if (PenWidth <= 1) {
        for (std::size_t i = 1; i < points.size(); ++i)
            BresenhamLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
        return;
    }
    const QPolygon poly = ToQPolygon(points);
    const TRect r = Bounds(points, PenWidth + 2);
    Draw(r.Left, r.Top, r.Right, r.Bottom, false, [&](QPainter& p) { p.drawPolyline(poly); });
}

void Canvas::PolyBezier(const std::vector<TPoint>& points) {
    if (points.size() < 4) return;
    QPainterPath path(QPointF(points[0].X, points[0].Y));
    for (std::size_t i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i].X, points[i].Y, points[i + 1].X, points[i + 1].Y, points[i + 2].X, points[i + 2].Y);
    const TRect r = Bounds(points, PenWidth + 2);
    Draw(r.Left, r.Top, r.Right, r.Bottom, false, [&](QPainter& p) { p.drawPath(path); });
}

void Canvas::Rectangle(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    const int m = PenWidth + 2;
    Draw(l - m, t - m, r + m, b + m, true, [&](QPainter& p) { p.drawRect(QRect(l, t, r - l - 1, b - t - 1)); });
}

void Canvas::Ellipse(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    const int m = PenWidth + 2;
    Draw(l - m, t - m, r + m, b + m, true, [&](QPainter& p) { p.drawEllipse(QRect(l, t, r - l - 1, b - t - 1)); });
}

void Canvas::RoundRect(int l, int t, int r, int b, int cornerW, int cornerH) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    const int m = PenWidth + 2;
    Draw(l - m, t - m, r + m, b + m, true, [&](QPainter& p) {
        p.drawRoundedRect(QRect(l, t, r - l - 1, b - t - 1), cornerW / 2.0, cornerH / 2.0);
    });
}

void Canvas::Polygon(const std::vector<TPoint>& points) {
    if (points.size() < 2) return;
    const QPolygon poly = ToQPolygon(points);
    const TRect r = Bounds(points, PenWidth + 2);
    Draw(r.Left, r.Top, r.Right, r.Bottom, true, [&](QPainter& p) { p.drawPolygon(poly, Qt::OddEvenFill); });
}

void Canvas::FillRect(const TRect& rc) {
    const TRect r{std::max(rc.Left, 0), std::max(rc.Top, 0), std::min(rc.Right, target_.Width()),
                  std::min(rc.Bottom, target_.Height())};
    touched_.Add(r);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            if (InClip(x, y)) PaintPixel(target_.Row(y) + x * target_.BytesPerPixel(), BrushColour);
        }
}

void Canvas::FrameRect(const TRect& r) {
    if (r.Right - r.Left < 1 || r.Bottom - r.Top < 1) return;
    FillRect({r.Left, r.Top, r.Right, r.Top + 1});
    FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
    FillRect({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1});
    FillRect({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1});
}

TSize Canvas::TextExtent(const std::string& text) const {
    const QFontMetrics fm(ToQFont(Font));
    return {fm.horizontalAdvance(QString::fromStdString(text)), fm.height()};
}

void Canvas::TextOut(int x, int y, const std::string& text) {
    const QString s = QString::fromStdString(text);
    const QFont font = ToQFont(Font);
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(s), h = fm.height();
    const double angle = Font.Escapement / 10.0;
    // Reach of the rotated text box around its anchor.
    const int reach = static_cast<int>(std::ceil(std::hypot(w, h))) + 2;
    Draw(x - reach, y - reach, x + reach + 1, y + reach + 1, true, [&](QPainter& p) {
        p.setFont(font);
        p.translate(x, y);
        p.rotate(-angle);
        if (!BrushClear) p.fillRect(QRect(0, 0, w, h), ToQColor(BrushColour));
        p.setPen(ToQColor(Font.Colour));
        p.drawText(QPoint(0, fm.ascent()), s);
    });
}

void Canvas::SetPixel(int x, int y, int32_t colour) {
    if (!InClip(x, y)) return;
    touched_.Add({x, y, x + 1, y + 1});
    uint8_t* p = target_.Row(y) + x * target_.BytesPerPixel();
    p[0] = BlueOf(colour);
    p[1] = GreenOf(colour);
    p[2] = RedOf(colour);
    if (target_.BitsPerPixel() == 32) p[3] = 0;
}

int32_t Canvas::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= target_.Width() || y >= target_.Height()) return -1;
    const uint8_t* p = target_.Row(y) + x * target_.BytesPerPixel();
    return RGBColour(p[2], p[1], p[0]);
}

} // namespace pixora
