// TIFF reader over libtiff's RGBA interface: every layout that interface
// understands (strips, tiles, palette, gray, YCbCr, CMYK, JPEG-in-TIFF ...).
// libtiff's warnings are silenced and its errors become the exception text.

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "io/codecs/format_codecs.h"

namespace pixora::tiff {

namespace {

struct TTiffMessages {
    std::string First; // the first error is the cause; later ones follow from it
};

int OnError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    auto* m = static_cast<TTiffMessages*>(user);
    if (m && m->First.empty()) {
        char buf[512];
        std::vsnprintf(buf, sizeof buf, fmt, ap);
        m->First = module && *module ? std::string(module) + ": " + buf : std::string(buf);
    }
    return 1; // handled: nothing reaches stderr
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TOptions {
    TIFFOpenOptions* Opts = TIFFOpenOptionsAlloc();
    ~TOptions() { TIFFOpenOptionsFree(Opts); }
};

struct TTiffFile {
    TIFF* File = nullptr;
    ~TTiffFile() {
        if (File) TIFFClose(File);
    }
};

[[noreturn]] void Fail(const TTiffMessages& m, const char* fallback) {
    throw ECodecError("TIFF: " + (m.First.empty() ? std::string(fallback) : m.First));
}

} // namespace

Bitmap Read(const std::string& path) {
    TTiffMessages messages;
    TOptions options;
    if (!options.Opts) throw ECodecError("TIFF: cannot create the reader");
    TIFFOpenOptionsSetErrorHandlerExtR(options.Opts, OnError, &messages);
    TIFFOpenOptionsSetWarningHandlerExtR(options.Opts, OnWarning, nullptr);
    // No single buffer bigger than the largest image we accept.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.Opts, static_cast<tmsize_t>(MaxImagePixels * 4));
    TTiffFile t;
    t.File = TIFFOpenExt(path.c_str(), "r", options.Opts);
    if (!t.File) Fail(messages, "cannot open the file");

    char why[1024] = "";
    if (!TIFFRGBAImageOK(t.File, why)) throw ECodecError(std::string("TIFF: ") + why);
    uint32_t w = 0, h = 0;
    TIFFGetField(t.File, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(t.File, TIFFTAG_IMAGELENGTH, &h);
    CheckImageSize(w, h, "TIFF");
    Bitmap out = NewImage(static_cast<int>(w), static_cast<int>(h));
    // The raster is packed R, G, B, A per pixel in memory order, rows of
    // exactly w * 4 bytes, which is the bitmap's own layout.
    auto* raster = reinterpret_cast<uint32_t*>(out.Data());
    if (!TIFFReadRGBAImageOriented(t.File, w, h, raster, ORIENTATION_TOPLEFT, 1)) Fail(messages, "cannot read the image");
    // R, G, B, A -> B, G, R, T = 0. The colours come premultiplied, which is
    // the picture drawn over black.
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* p = out.Row(static_cast<int>(y));
        for (uint32_t x = 0; x < w; ++x, p += 4) {
            const uint8_t r = p[0];
            p[0] = p[2];
            p[2] = r;
            p[3] = 0;
        }
    }
    return out;
}

} // namespace pixora::tiff
