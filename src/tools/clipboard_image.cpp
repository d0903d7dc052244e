#include "tools/clipboard_image.h"

#include <QImage>
#include <QMimeData>
#include <cstring>

#include "io/codecs/format_codecs.h"

namespace pixora {

namespace {

constexpr const char* kPng = "image/png";

// A picture the toolkit read from another format, as a document bitmap.
Bitmap FromImage(const QImage& image) {
    CheckImageSize(image.width(), image.height(), "clipboard picture");
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Bitmap b = NewImage(argb.width(), argb.height(), false);
    for (int y = 0; y < argb.height(); ++y) {
        // ARGB32 lies in memory as B, G, R, A on this platform.
        const uchar* src = argb.constScanLine(y);
        uint8_t* dst = b.Row(y);
        std::memcpy(dst, src, static_cast<std::size_t>(argb.width()) * 4);
        for (int x = 3; x < argb.width() * 4; x += 4)
            dst[x] = static_cast<uint8_t>(255 - dst[x]);
    }
    return b;
}

} // namespace

QMimeData* PictureMimeData(const Bitmap& picture) {
    auto* data = new QMimeData;
    if (picture.Empty()) return data;
    const std::vector<uint8_t> png = png::WriteMemory(picture);
    data->setData(kPng,
                  QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size())));
    return data;
}

bool OffersPicture(const QMimeData* data) {
    return data && (data->hasFormat(kPng) || data->hasImage());
}

TClipboardPicture ReadPicture(const QMimeData* data) {
    TClipboardPicture result;
    if (!OffersPicture(data)) return result;
    try {
        if (data->hasFormat(kPng)) {
            const QByteArray bytes = data->data(kPng);
            result.Pixels = png::ReadMemory(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                            static_cast<std::size_t>(bytes.size()));
        } else {
            const QImage image = qvariant_cast<QImage>(data->imageData());
            if (image.isNull()) throw ECodecError("the picture is not in a format that can be read");
            result.Pixels = FromImage(image);
        }
        result.Pixels.SetBitsPerPixel(32);
    } catch (const std::exception& e) {
        result.Pixels = Bitmap();
        result.Problem = e.what();
    }
    return result;
}

} // namespace pixora
