#include "effects/colour/histogram.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "effects/colour/colour_errors.h"
#include "effects/colour/colour_spaces.h"
#include "effects/colour/planes.h"

namespace pixora {

int32_t THistogram::Largest() const {
    return *std::max_element(Counts.begin(), Counts.end());
}

std::string HistogramIndexMessage(int value, int column, int row) {
    return "Histogram index = " + std::to_string(value) + " (i,j) = (" + std::to_string(column) + ", " +
           std::to_string(row) + ")";
}

void GetHistogram(const Bitmap& bitmap, int plane, THistogram& histogram,
                  const std::function<void(const std::string&)>& report) {
    if (bitmap.BitsPerPixel() != 24) throw EHistogramError("GetHistogram:  Bitmap must be 24-bit.");
    histogram.Clear();
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        const uint8_t* row = bitmap.Row(y);
        for (int x = bitmap.Width() - 1; x >= 0; --x) {
            const uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
            int v = PlaneValue(plane, p[2], p[1], p[0]);
            if (v < 0 || v > 255) {
                if (report) report(HistogramIndexMessage(v, x, y));
                v = 0;
            }
            ++histogram.Counts[static_cast<std::size_t>(v)];
        }
    }
}

namespace {

QColor FromPacked(int32_t rgb) {
    return QColor(PackedRed(rgb), PackedGreen(rgb), PackedBlue(rgb));
}

QColor BarColour(int plane, int i) {
    switch (plane) {
    case 1:
        return QColor(i, 0, 0);
    case 2:
        return QColor(0, i, 0);
    case 3:
        return QColor(0, 0, i);
    case 4:
        return FromPacked(HSVToRGB(MulDivRound(i, 359, 255), 255, 255));
    case 7:
        return FromPacked(HLSToRGBBytes(MulDivRound(i, 359, 255), 128, 255));
    case 5:
    case 9:
        return QColor(0, 0, 0);
    case 13:
        return QColor(255 - i, 255 - i, 255 - i);
    default:
        return QColor(i, i, i);
    }
}

// round(a * b / c) with halves to even, for non-negative integers.
int64_t RoundedQuotient(int64_t a, int64_t b, int64_t c) {
    const int64_t n = a * b, q = n / c, r2 = 2 * (n % c);
    return q + ((r2 > c || (r2 == c && (q & 1))) ? 1 : 0);
}

} // namespace

void DrawHistogram(int plane, const THistogram& histogram, QImage& canvas) {
    const int32_t largest = histogram.Largest();
    if (canvas.width() != 256 || largest <= 0) return;
    const int h = canvas.height();
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A bar of n pixels covers the bottom rows h - 1 up to h - n.
    for (int i = 0; i < 256; ++i) {
        const int n =
            static_cast<int>(RoundedQuotient(h, histogram.Counts[static_cast<std::size_t>(i)], largest));
        if (n <= 0) continue;
        p.setPen(BarColour(plane, i));
        p.drawLine(i, h - 1, i, h - n);
    }
    p.setPen(QColor(128, 128, 128));
    for (int x = 0; x <= 250; x += 10) {
        const int n = x % 50 == 0 ? 8 : 4;
        p.drawLine(x, h - 1, x, h - n);
    }
    for (int k = 0; k < 5; ++k) {
        const int y = h * k / 5;
        p.drawLine(0, y, 255, y);
    }
    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(QColor(0, 0, 0));
    const QFontMetrics fm(p.font());
    const int labelTop = h - fm.height() - 8;
    p.drawText(2, 2 + fm.ascent(), QString("Max = %1").arg(largest));
    p.drawText(0, labelTop + fm.ascent(), QStringLiteral("0"));
    p.drawText(256 - fm.horizontalAdvance(QStringLiteral("250 ")), labelTop + fm.ascent(),
               QStringLiteral("250"));
}

} // namespace pixora
