#pragma once
// Pictures on the system clipboard. They travel as PNG ("image/png"),
// which desktop programs of every toolkit read and write and which keeps
// transparency: alpha = 255 - T. A picture offered only in another image
// format is taken through the toolkit's own reading of it.

#include <string>

#include "doc/bitmap.h"

class QMimeData;

namespace pixora {

// The clipboard data for a picture (the caller owns it and hands it to the
// clipboard). An empty picture gives data without an image.
QMimeData* PictureMimeData(const Bitmap& picture);

// Whether the data offers a picture at all.
bool OffersPicture(const QMimeData* data);

struct TClipboardPicture {
    Bitmap Pixels;       // 32 bits; empty when there is no usable picture
    std::string Problem; // why an offered picture could not be read, else ""
};
// Reads the offered picture. Pictures beyond the readers' size limit, and
// data that is not a picture, give a problem instead of pixels.
TClipboardPicture ReadPicture(const QMimeData* data);

} // namespace pixora
