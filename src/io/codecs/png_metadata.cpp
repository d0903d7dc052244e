// A photo's metadata in a PNG file: EXIF in an eXIf chunk, XMP in an iTXt
// chunk under its registered keyword, and the sRGB profile in iCCP, all put
// right after the header so that they come before the image data.

#include <cstring>

#include <zlib.h>

#include "io/codecs/format_codecs.h"
#include "io/codecs/photo_metadata.h"

namespace pixora {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr std::size_t kSignatureSize = 8;
constexpr std::size_t kHeaderChunkSize = 8 + 13 + 4; // length, type, IHDR data, CRC

void PutBig32(std::string& out, uint32_t v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

std::string Chunk(const char* type, const std::string& data) {
    std::string out;
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    PutBig32(out, static_cast<uint32_t>(crc));
    return out;
}

std::string Deflated(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw ECodecError("Cannot compress the colour profile");
    out.resize(size);
    return out;
}

} // namespace

std::string AddPngMetadataChunks(const std::string& png, const TSavedMetadata& meta) {
    if (png.size() < kSignatureSize + kHeaderChunkSize || png.compare(0, kSignatureSize, kSignature) != 0 ||
        png.compare(kSignatureSize + 4, 4, "IHDR") != 0)
        throw ECodecError("Not a PNG file written by the program");
    std::string added;
    if (!meta.Icc.empty()) {
        // Profile name, its terminator, compression method 0 (deflate).
        added += Chunk("iCCP", std::string("sRGB", 4) + std::string(2, '\0') + Deflated(meta.Icc));
    }
    if (!meta.Exif.empty()) added += Chunk("eXIf", meta.Exif);
    if (!meta.Xmp.empty()) {
        // Keyword, terminator, not compressed, method 0, no language, no
        // translated keyword, then the packet as UTF-8.
        const std::string head = std::string("XML:com.adobe.xmp") + std::string(5, '\0');
        added += Chunk("iTXt", head + meta.Xmp);
    }
    const std::size_t at = kSignatureSize + kHeaderChunkSize;
    return png.substr(0, at) + added + png.substr(at);
}

void KeepMetadataInPng(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    if (!KeepsPhotoMetadata(opts)) return;
    const TSavedMetadata meta = SavedMetadataFor(image, opts);
    std::string png;
    {
        const TMappedFile written(path);
        png.assign(reinterpret_cast<const char*>(written.Data()), written.Size());
    }
    const std::string out = AddPngMetadataChunks(png, meta);
    FilePtr f = OpenFile(path, "wb");
    if (std::fwrite(out.data(), 1, out.size(), f.get()) != out.size()) {
        ThrowIfWriteFailed(f.get(), path);
        throw ECodecError("Cannot write " + path);
    }
    CloseWrittenFile(f, path);
}

} // namespace pixora
