// TIFF writer over libtiff: 8-bit RGB, or RGB with unassociated alpha when
// any pixel is transparent, in strips compressed with LZW and horizontal
// differencing. libtiff writes into memory; the finished file goes out
// through the file layer in large writes.

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/format_codecs.h"

namespace pixora::tiff {

namespace {

// A growing file in memory that libtiff reads, writes and seeks in.
struct TMemoryFile {
    std::vector<uint8_t> Data;
    uint64_t Pos = 0;
};

TMemoryFile& Of(thandle_t h) {
    return *static_cast<TMemoryFile*>(h);
}

tmsize_t MemRead(thandle_t h, void* into, tmsize_t size) {
    TMemoryFile& f = Of(h);
    if (size <= 0 || f.Pos >= f.Data.size()) return 0;
    const auto n = static_cast<std::size_t>(std::min<uint64_t>(static_cast<uint64_t>(size), f.Data.size() - f.Pos));
    std::memcpy(into, f.Data.data() + f.Pos, n);
    f.Pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t MemWrite(thandle_t h, void* from, tmsize_t size) {
    TMemoryFile& f = Of(h);
    if (size <= 0) return 0;
    const auto n = static_cast<std::size_t>(size);
    try {
        if (f.Pos + n > f.Data.size()) f.Data.resize(static_cast<std::size_t>(f.Pos) + n);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    std::memcpy(f.Data.data() + f.Pos, from, n);
    f.Pos += n;
    return size;
}

toff_t MemSeek(thandle_t h, toff_t offset, int whence) {
    TMemoryFile& f = Of(h);
    const uint64_t base = whence == SEEK_CUR ? f.Pos : whence == SEEK_END ? f.Data.size() : 0;
    f.Pos = base + offset;
    return f.Pos;
}

int MemClose(thandle_t) {
    return 0;
}

toff_t MemSize(thandle_t h) {
    return Of(h).Data.size();
}

int NoMap(thandle_t, void**, toff_t*) {
    return 0;
}

void NoUnmap(thandle_t, void*, toff_t) {}

int KeepError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    auto& first = *static_cast<std::string*>(user);
    if (!first.empty()) return 1;
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    first = module && *module ? std::string(module) + ": " + buf : std::string(buf);
    return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

} // namespace

void Write(const std::string& path, const Bitmap& image, const SaveOptions&) {
    if (image.Empty()) throw ECodecError("TIFF: the image is empty");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    const bool alpha = AnyTransparent(image);
    const int samples = alpha ? 4 : 3;

    std::string error;
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opts, KeepError, &error);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, IgnoreWarning, nullptr);
    TMemoryFile mem;
    TIFF* t = TIFFClientOpenExt("image", "w", &mem, MemRead, MemWrite, MemSeek, MemClose, MemSize, NoMap, NoUnmap,
                                opts);
    TIFFOpenOptionsFree(opts);
    if (!t) throw ECodecError("TIFF: " + (error.empty() ? std::string("cannot start the file") : error));
    bool ok = TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(w)) &&
              TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(h)) &&
              TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples) &&
              TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
              TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) &&
              TIFFSetField(t, TIFFTAG_SOFTWARE, "Pixora");
    if (ok && alpha) {
        const uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        ok = TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &kind);
    }
    // Strips of about 256 KiB before compression.
    const uint32_t rowsPerStrip =
        std::max<uint32_t>(1, static_cast<uint32_t>((256u << 10) / (static_cast<uint32_t>(w) * samples)));
    ok = ok && TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, std::min<uint32_t>(rowsPerStrip, static_cast<uint32_t>(h)));
    std::vector<uint8_t> row(static_cast<std::size_t>(w) * samples);
    for (int y = 0; ok && y < h; ++y) {
        const uint8_t* s = image.Row(y);
        uint8_t* d = row.data();
        for (int x = 0; x < w; ++x, s += bpp, d += samples) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            if (alpha) d[3] = static_cast<uint8_t>(255 - s[3]);
        }
        ok = TIFFWriteScanline(t, row.data(), static_cast<uint32_t>(y), 0) == 1;
    }
    ok = ok && TIFFWriteDirectory(t);
    TIFFClose(t);
    if (!ok) throw ECodecError("TIFF: " + (error.empty() ? std::string("the image could not be encoded") : error));
    TRawWriter out(path);
    out.Write(mem.Data.data(), mem.Data.size());
    out.Close();
}

} // namespace pixora::tiff
