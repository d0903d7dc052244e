#include "doc/view_rulers.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "doc/checkerboard.h"
#include "doc/view_draw.h"

namespace pixora {

namespace {

constexpr int kMajorTickTop = 6;   // a major tick covers rows (columns) 6..16
constexpr int kMinorTickTop = 12;  // a minor tick covers rows (columns) 12..16
constexpr int kTicksPerMajor = 10;
constexpr int kTopFontPixels = 13;
constexpr int kLeftFontPixels = 10;

// A tick across the ruler at `pos`, `thickness` pixels along it, from `from`
// to the ruler's outer edge.
void DrawTick(Bitmap& ruler, RulerSide side, int pos, int thickness, int from) {
    if (side == RulerSide::Top)
        FillGreyBlock(ruler, pos, from, pos + thickness, kRulerSize, 0);
    else
        FillGreyBlock(ruler, from, pos, kRulerSize, pos + thickness, 0);
}

QFont RulerFont(RulerSide side) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(side == RulerSide::Top ? kTopFontPixels : kLeftFontPixels);
    font.setWeight(QFont::Normal);
    // Plain black glyphs, as the rest of the ruler.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void DrawLabels(Bitmap& ruler, RulerSide side, const std::vector<TRulerTick>& ticks) {
    if (ruler.Empty()) return;
    // Qt draws into the bitmap's own memory; it sets the fourth byte of what
    // it touches, which is put back to T = 0 below.
    QImage canvas(ruler.Data(), ruler.Width(), ruler.Height(), static_cast<qsizetype>(ruler.Stride()),
                  QImage::Format_RGB32);
    {
        QPainter painter(&canvas);
        const QFont font = RulerFont(side);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.setBackgroundMode(Qt::TransparentMode);
        // Measured as drawn on this picture, whose resolution may not be the screen's.
        const QFontMetrics metrics = painter.fontMetrics();
        const int ascent = metrics.ascent();
        const auto length = [&metrics](int label) { return metrics.horizontalAdvance(QString::number(label)); };
        for (std::size_t i : LabelsShown(side, ticks, length)) {
            const TRulerTick& t = ticks[i];
            const QString text = QString::number(t.Label);
            if (side == RulerSide::Top) {
                // (LabelX, LabelY) is the top-left of the text cell.
                painter.drawText(t.LabelX, t.LabelY + ascent, text);
            } else {
                // Turned a quarter anticlockwise about the cell's top-left:
                // the text runs upwards from LabelY, its top facing left.
                painter.save();
                painter.translate(t.LabelX, t.LabelY);
                painter.rotate(-90);
                painter.drawText(0, ascent, text);
                painter.restore();
            }
        }
    }
    for (int y = 0; y < ruler.Height(); ++y) {
        uint8_t* p = ruler.Row(y);
        for (int x = 0; x < ruler.Width(); ++x) p[4 * x + 3] = 0;
    }
}

} // namespace

std::vector<std::size_t> LabelsShown(RulerSide side, const std::vector<TRulerTick>& ticks,
                                     const std::function<int(int label)>& textLength) {
    constexpr int kGap = 4;
    std::vector<std::size_t> shown;
    bool any = false;
    int free = 0; // the first position a further label may take
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const TRulerTick& t = ticks[i];
        if (!t.Major) continue;
        const int length = textLength(t.Label);
        // The top ruler's text runs right from LabelX, the left one's up from LabelY.
        const int start = side == RulerSide::Top ? t.LabelX : t.LabelY - length;
        if (any && start < free) continue;
        shown.push_back(i);
        any = true;
        free = (side == RulerSide::Top ? t.LabelX + length : t.LabelY) + kGap;
    }
    return shown;
}

int RulerTickStep(TZoom z) { return static_cast<int>(RoundDivHalfEven(int64_t{z.Num} * 10, z.Den)); }

std::vector<TRulerTick> RulerTicks(RulerSide side, int length, TZoom z) {
    std::vector<TRulerTick> ticks;
    if (length <= 0) return ticks;
    ticks.push_back({});  // position 0, minor
    // Below a twentieth the ticks would run together: position 0 only.
    if (RulerTickStep(z) <= 0) return ticks;
    // Tick k stands for 10 x k image pixels and sits where that column is
    // shown, rounded. Stepping by the rounded step instead would let the
    // ticks drift from their labels at zooms such as 1/3 or 1/6, and stop
    // the labels far short of the image's end.
    for (int k = 1;; ++k) {
        const int pos = static_cast<int>(RoundDivHalfEven(int64_t{z.Num} * 10 * k, z.Den));
        if (pos >= length) break;
        TRulerTick t;
        t.Pos = pos;
        if (k % kTicksPerMajor == 0) {
            t.Major = true;
            t.Label = k * 10;
            if (side == RulerSide::Top) {
                t.LabelX = pos + 3;
                t.LabelY = 1;
            } else {
                t.LabelX = 1;
                t.LabelY = pos - 3;
            }
        }
        ticks.push_back(t);
    }
    return ticks;
}

void DrawRuler(Bitmap& ruler, RulerSide side, int length, TZoom z) {
    if (ruler.BitsPerPixel() != 32) {
        ruler.Clear();
        ruler.SetBitsPerPixel(32);
    }
    length = std::max(length, 0);
    if (side == RulerSide::Top)
        ruler.SetSize(length, kRulerSize);
    else
        ruler.SetSize(kRulerSize, length);
    ruler.Fill(255, 255, 255, 0);
    const std::vector<TRulerTick> ticks = RulerTicks(side, length, z);
    for (const TRulerTick& t : ticks) {
        if (t.Major)
            DrawTick(ruler, side, t.Pos, 2, kMajorTickTop);
        else
            DrawTick(ruler, side, t.Pos, 1, kMinorTickTop);
    }
    DrawLabels(ruler, side, ticks);
}

void DrawRulers(Bitmap& top, Bitmap& left, int imageWidth, int imageHeight, TZoom z) {
    DrawRuler(top, RulerSide::Top, imageWidth, z);
    DrawRuler(left, RulerSide::Left, imageHeight, z);
}

void MarkRulers(const Bitmap& top, const Bitmap& left, int X, int Y, Bitmap& topShown, Bitmap& leftShown) {
    CopyBitmapInto(top, topShown);
    CopyBitmapInto(left, leftShown);
    FrameRectangle(leftShown, 13, Y, 17, Y + 2);
    FrameRectangle(topShown, X, 13, X + 2, 17);
}

} // namespace pixora
