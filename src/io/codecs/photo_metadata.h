#pragma once
// A photo's EXIF and XMP: read when it opens, written back when it is saved
// as JPEG, PNG, TIFF or WebP.
//
// What a save writes is the metadata as read, except that
//   - the orientation is 1 (the pixels are already upright),
//   - the embedded thumbnail and the original colour profile are left out
//     (the file carries an sRGB profile instead: its pixels are sRGB),
//   - the pixel width and height are the saved image's,
//   - with RemoveLocation, every GPS entry and every serial number of the
//     camera, its lens or its maker's notes is left out.
// Metadata that cannot be parsed is left out, never the image.

#include <cstddef>
#include <cstdint>
#include <string>

#include "doc/photo_metadata.h"
#include "io/codecs/image_codecs.h"

namespace pixora {

// The file's EXIF and XMP (FromFile set); empty parts where it has none or
// they cannot be read. Never throws.
TPhotoMetadata ReadPhotoMetadata(const std::string& path);
TPhotoMetadata ReadPhotoMetadataMemory(const uint8_t* data, std::size_t size);

// What a save adds to its file, made ready from the image's metadata.
struct TSavedMetadata {
    std::string Exif; // binary EXIF from its TIFF header on; empty: none
    std::string Xmp;  // XMP packet; empty: none
    std::string Icc;  // the sRGB profile
};
TSavedMetadata PrepareSavedMetadata(const TPhotoMetadata& meta, int width, int height, bool removeLocation);
// The same for a save of `image` with `opts` (its RemoveLocation and
// StripMetadata choices).
TSavedMetadata SavedMetadataFor(const Bitmap& image, const SaveOptions& opts);

// Whether a save adds anything: the image came from a file.
bool KeepsPhotoMetadata(const SaveOptions& opts);

// The format rows' KeepMetadata: add opts.Metadata to a file just written.
// They do nothing when opts.Metadata is null or not from a file, and throw
// ECodecError when the file cannot be rewritten.
void KeepMetadataInPng(const std::string& path, const Bitmap& image, const SaveOptions& opts);
void KeepMetadataInWebp(const std::string& path, const Bitmap& image, const SaveOptions& opts);
// JPEG (APP1 and APP2 segments) and TIFF (its own tags).
void KeepMetadataThroughExiv2(const std::string& path, const Bitmap& image, const SaveOptions& opts);

// PNG bytes with eXIf, iTXt (XMP) and iCCP chunks put after the header.
// Throws ECodecError when `png` does not start with a PNG header.
std::string AddPngMetadataChunks(const std::string& png, const TSavedMetadata& meta);

} // namespace pixora
