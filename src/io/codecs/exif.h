#pragma once
// The orientation tag of EXIF data, which JPEG and Photoshop files carry.

#include <cstddef>
#include <cstdint>

namespace pixora {

// Orientation (tag 0x0112 of the first IFD, 1..8) of EXIF data that starts
// with its TIFF header ("II*\0" or "MM\0*"); 1 when absent or unreadable.
int ExifOrientationOf(const uint8_t* tiff, std::size_t size);

} // namespace pixora
