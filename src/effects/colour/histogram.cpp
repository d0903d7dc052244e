#include "effects/colour/histogram.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "doc/row_ranges.h"

#include "effects/colour/colour_errors.h"
#include "effects/colour/colour_spaces.h"
#include "effects/colour/plane_reader.h"
#include "effects/colour/planes.h"

namespace pixora {

int32_t THistogram::Largest() const {
    return *std::max_element(Counts.begin(), Counts.end());
}

std::string HistogramIndexMessage(int value, int column, int row) {
    return "Histogram index = " + std::to_string(value) + " (i,j) = (" + std::to_string(column) + ", " +
           std::to_string(row) + ")";
}

namespace {

// Where a pass also writes the plane's picture (PlaneImage's pixels).
struct TPictureOut {
    Bitmap* Picture = nullptr;
    bool Colour = false;
    int Flip = 0;
};

// The counts of rows [first, end), rows from the last to the first, pixels
// from the last to the first; a value outside 0..255 goes to `outside`.
template <bool kPicture, class Outside>
void CountRows(const Bitmap& bitmap, const TPlaneReader& reader, int first, int end, THistogram& histogram,
               const TPictureOut& out, Outside outside) {
    for (int y = end - 1; y >= first; --y) {
        const uint8_t* row = bitmap.Row(y);
        uint8_t* picture = kPicture ? out.Picture->Row(y) : nullptr;
        for (int x = bitmap.Width() - 1; x >= 0; --x) {
            const uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
            int v;
            if constexpr (kPicture) {
                const TPlaneRGB c = reader.Read(out.Colour, p[2], p[1], p[0], v);
                uint8_t* q = picture + 3 * static_cast<std::ptrdiff_t>(x);
                q[0] = static_cast<uint8_t>(c.B ^ out.Flip);
                q[1] = static_cast<uint8_t>(c.G ^ out.Flip);
                q[2] = static_cast<uint8_t>(c.R ^ out.Flip);
            } else {
                v = reader.Value(p[2], p[1], p[0]);
            }
            if (v < 0 || v > 255) {
                outside(v, x, y);
                v = 0;
            }
            ++histogram.Counts[static_cast<std::size_t>(v)];
        }
    }
}

// GetHistogram, and the picture of the plane too when `out` names one.
template <bool kPicture>
void Count(const Bitmap& bitmap, int plane, THistogram& histogram, const TPictureOut& out,
           const std::function<void(const std::string&)>& report) {
    histogram.Clear();
    const int rows = bitmap.Height();
    const TPlaneReader reader(plane);
    if (plane < 0 || plane >= kPlaneCount) {
        // Every pixel is outside: reported one by one as they come.
        CountRows<false>(bitmap, reader, 0, rows, histogram, out, [&](int v, int x, int y) {
            if (report) report(HistogramIndexMessage(v, x, y));
        });
        return;
    }
    // The rows in bands on the cores; a band's messages wait until every band
    // has ended, and go out in the order of the rows, the last band first.
    if (rows <= 0) return;
    const int parts = std::min(RowBandsFor(rows, bitmap.ByteSize()), rows);
    std::vector<THistogram> counts(static_cast<std::size_t>(parts));
    std::vector<std::vector<std::string>> messages(static_cast<std::size_t>(parts));
    ForRowBands(rows, parts, [&](int first, int end) {
        // The band that begins at `first` (band i begins at rows x i / parts).
        std::size_t band = 0;
        while (band + 1 < counts.size() &&
               static_cast<long long>(rows) * static_cast<long long>(band + 1) / parts <= first)
            ++band;
        CountRows<kPicture>(bitmap, reader, first, end, counts[band], out, [&](int v, int x, int y) {
            if (report) messages[band].push_back(HistogramIndexMessage(v, x, y));
        });
    });
    for (std::size_t band = counts.size(); band-- > 0;) {
        for (std::size_t i = 0; i < 256; ++i)
            histogram.Counts[i] += counts[band].Counts[i];
        for (const std::string& m : messages[band])
            report(m);
    }
}

} // namespace

void GetHistogram(const Bitmap& bitmap, int plane, THistogram& histogram,
                  const std::function<void(const std::string&)>& report) {
    if (bitmap.BitsPerPixel() != 24) throw EHistogramError("GetHistogram:  Bitmap must be 24-bit.");
    Count<false>(bitmap, plane, histogram, {}, report);
}

Bitmap HistogramAndPlaneImage(const Bitmap& bitmap, int plane, bool colour, bool invert,
                              THistogram& histogram) {
    if (plane < 0 || plane >= kPlaneCount) {
        GetHistogram(bitmap, plane, histogram);
        return PlaneImage(plane, colour, invert, bitmap);
    }
    if (bitmap.BitsPerPixel() != 24) throw EHistogramError("GetHistogram:  Bitmap must be 24-bit.");
    Bitmap picture(bitmap.Width(), bitmap.Height(), 24);
    Count<true>(bitmap, plane, histogram, {&picture, colour, invert ? 255 : 0}, {});
    return picture;
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
