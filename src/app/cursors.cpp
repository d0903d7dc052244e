#include "app/cursors.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace pixora {

namespace {

uint16_t U16(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(d.constData()) + at);
}
uint32_t U32(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(d.constData()) + at);
}

// A device-independent bitmap as stored in icon files: height doubled, the
// colour image bottom-up followed by a 1-bit AND mask.
std::optional<QImage> DecodeDib(const QByteArray& d, qsizetype at, qsizetype size) {
    if (size < 40 || at + size > d.size()) return std::nullopt;
    const int w = static_cast<int32_t>(U32(d, at + 4));
    const int h2 = static_cast<int32_t>(U32(d, at + 8));
    const int bpp = U16(d, at + 14);
    const uint32_t headerSize = U32(d, at);
    const int h = h2 / 2;
    if (w <= 0 || w > 256 || h <= 0 || h > 256 || headerSize < 40 || headerSize > static_cast<uint32_t>(size))
        return std::nullopt;
    if (bpp != 32 && bpp != 1) return std::nullopt;
    qsizetype pos = at + headerSize;
    QImage img(w, h, QImage::Format_ARGB32);
    std::array<QRgb, 2> palette{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (bpp == 1) {
        if (pos + 8 > at + size) return std::nullopt;
        for (int i = 0; i < 2; ++i) {
            const uchar* p = reinterpret_cast<const uchar*>(d.constData()) + pos + i * 4;
            palette[static_cast<std::size_t>(i)] = qRgb(p[2], p[1], p[0]);
        }
        pos += 8;
    }
    const qsizetype xorStride = ((static_cast<qsizetype>(w) * bpp + 31) / 32) * 4;
    const qsizetype andStride = ((static_cast<qsizetype>(w) + 31) / 32) * 4;
    const qsizetype andAt = pos + xorStride * h;
    if (andAt + andStride * h > at + size) return std::nullopt;
    const uchar* base = reinterpret_cast<const uchar*>(d.constData());
    for (int y = 0; y < h; ++y) {
        const uchar* row = base + pos + xorStride * (h - 1 - y);
        const uchar* mask = base + andAt + andStride * (h - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
            if (bpp == 32) {
                const uchar* p = row + x * 4;
                out[x] = qRgba(p[2], p[1], p[0], transparent && p[3] == 0 ? 0 : (p[3] ? p[3] : 255));
            } else {
                const bool bit = (row[x / 8] >> (7 - x % 8)) & 1;
                out[x] = transparent ? qRgba(0, 0, 0, 0) : palette[bit ? 1 : 0];
            }
        }
    }
    return img;
}

} // namespace

QCursor ScaleCursor(const QImage& picture, QPoint hotSpot, qreal ratio, bool hotSpotInDevicePixels) {
    const int factor = std::clamp(static_cast<int>(std::lround(ratio)), 1, 8);
    if (factor == 1) return QCursor(QPixmap::fromImage(picture), hotSpot.x(), hotSpot.y());
    QPixmap big = QPixmap::fromImage(
        picture.scaled(picture.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    big.setDevicePixelRatio(factor);
    // The middle of the enlarged hotspot pixel.
    const QPoint spot = hotSpotInDevicePixels ? hotSpot * factor + QPoint(factor / 2, factor / 2) : hotSpot;
    return QCursor(big, spot.x(), spot.y());
}

std::optional<QCursor> DecodeCursorFile(const QByteArray& d, qreal ratio) {
    if (d.size() < 22) return std::nullopt;
    if (U16(d, 0) != 0 || U16(d, 2) != 2 || U16(d, 4) < 1) return std::nullopt;
    const int hotX = U16(d, 10), hotY = U16(d, 12);
    const qsizetype size = U32(d, 14), offset = U32(d, 18);
    if (offset >= d.size() || size <= 0 || offset + size > d.size()) return std::nullopt;
    QImage img;
    if (d.mid(offset, 8).startsWith("\x89PNG")) {
        if (!img.loadFromData(d.mid(offset, size), "PNG")) return std::nullopt;
    } else {
        auto dib = DecodeDib(d, offset, size);
        if (!dib) return std::nullopt;
        img = *dib;
    }
    if (hotX >= img.width() || hotY >= img.height()) return std::nullopt;
    return ScaleCursor(img, QPoint(hotX, hotY), ratio, QGuiApplication::platformName() == "xcb");
}

void CursorSet::Load(const std::string& folder, qreal ratio) {
    if (ratio <= 0) ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1;
    for (int i = 0; i < 16; ++i) {
        cursors_[static_cast<std::size_t>(i)] = QCursor(Qt::ArrowCursor);
        loaded_[static_cast<std::size_t>(i)] = false;
        QFile f(QString::fromStdString(folder) + QString::number(i + 1) + ".cur");
        if (!f.open(QIODevice::ReadOnly)) continue;
        if (auto c = DecodeCursorFile(f.readAll(), ratio)) {
            cursors_[static_cast<std::size_t>(i)] = *c;
            loaded_[static_cast<std::size_t>(i)] = true;
        }
    }
}

QCursor CursorSet::Get(int number) const {
    if (number < 1 || number > 16) return QCursor(Qt::ArrowCursor);
    return cursors_[static_cast<std::size_t>(number - 1)];
}

} // namespace pixora
