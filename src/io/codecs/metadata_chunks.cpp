// A photo's metadata as chunks of the file the writer made. PNG: EXIF in an
// eXIf chunk, XMP in an iTXt chunk under its registered keyword and the sRGB
// profile in iCCP, all right after the header so that they come before the
// image data. WebP: EXIF, XMP and ICCP chunks of the extended format, put in
// place by libwebpmux.

#include <cstring>
#include <functional>
#include <memory>
#include <utility>

#include <webp/mux.h>
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

namespace {

// Rewrites a file the writer has just made with what `change` makes of its
// bytes.
void RewriteFile(const std::string& path, const std::function<std::string(const std::string&)>& change) {
    std::string bytes;
    {
        const TMappedFile written(path);
        bytes.assign(reinterpret_cast<const char*>(written.Data()), written.Size());
    }
    const std::string out = change(bytes);
    FilePtr f = OpenFile(path, "wb");
    if (std::fwrite(out.data(), 1, out.size(), f.get()) != out.size()) {
        ThrowIfWriteFailed(f.get(), path);
        throw ECodecError("Cannot write " + path);
    }
    CloseWrittenFile(f, path);
}

struct TMuxDeleter {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};

std::string AddWebpMetadataChunks(const std::string& webp, const TSavedMetadata& meta) {
    const WebPData in = {reinterpret_cast<const uint8_t*>(webp.data()), webp.size()};
    const std::unique_ptr<WebPMux, TMuxDeleter> mux(WebPMuxCreate(&in, 1));
    if (!mux) throw ECodecError("Not a WebP file written by the program");
    const std::pair<const char*, const std::string*> chunks[] = {
        {"ICCP", &meta.Icc}, {"EXIF", &meta.Exif}, {"XMP ", &meta.Xmp}};
    for (const auto& [fourcc, bytes] : chunks) {
        if (bytes->empty()) continue;
        const WebPData chunk = {reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()};
        if (WebPMuxSetChunk(mux.get(), fourcc, &chunk, 1) != WEBP_MUX_OK)
            throw ECodecError(std::string("Cannot add the ") + fourcc + " chunk");
    }
    WebPData out;
    WebPDataInit(&out);
    if (WebPMuxAssemble(mux.get(), &out) != WEBP_MUX_OK) {
        WebPDataClear(&out);
        throw ECodecError("Cannot put the WebP file together again");
    }
    std::string result(reinterpret_cast<const char*>(out.bytes), out.size);
    WebPDataClear(&out);
    return result;
}

} // namespace

void KeepMetadataInPng(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    if (!KeepsPhotoMetadata(opts)) return;
    const TSavedMetadata meta = SavedMetadataFor(image, opts);
    RewriteFile(path, [&](const std::string& png) { return AddPngMetadataChunks(png, meta); });
}

void KeepMetadataInWebp(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    if (!KeepsPhotoMetadata(opts)) return;
    const TSavedMetadata meta = SavedMetadataFor(image, opts);
    RewriteFile(path, [&](const std::string& webp) { return AddWebpMetadataChunks(webp, meta); });
}

} // namespace pixora
