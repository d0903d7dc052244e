#pragma once
// The EXIF and XMP a photo was opened with, kept beside its pixels so that a
// save can write them back. Images made in the program carry none.

#include <string>

namespace pixora {

struct TPhotoMetadata {
    // Set when the image came from a file: its saves then say that their
    // pixels are sRGB, as the program shows them.
    bool FromFile = false;
    std::string Exif; // binary EXIF from its TIFF header on; empty: none
    std::string Xmp;  // the XMP packet as read; empty: none
};

} // namespace pixora
