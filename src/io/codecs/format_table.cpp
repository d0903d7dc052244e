// The format table: extension to format code, and the per-format load and
// save rules used by opening, saving and batch conversion.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "io/codecs/format_codecs.h"
#include "io/codecs/reader_table.h"

namespace pixora {

namespace {

[[noreturn]] void OutOfMemory(const char* action) {
    throw ECodecError(std::string("Not enough memory to ") + action + " the image");
}

} // namespace

int FormatFromExtension(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == ".bmp") return fcBmp;
    if (ext == ".jpg" || ext == ".jpe" || ext == ".jpeg" || ext == ".jfif") return fcJpeg;
    if (ext == ".png") return fcPng;
    if (ext == ".gif") return fcGif;
    if (ext == ".tif" || ext == ".tiff") return fcTiff;
    return fcOther;
}

Bitmap LoadImageFile(const std::string& path, int formatCode) {
    try {
        // Every code reads by content: the reader table recognises BMP, PNG
        // and GIF by their magic numbers as well as the generic formats.
        (void)formatCode;
        return ReadByContent(path);
    } catch (const ECodecError&) {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory("open");
    } catch (const std::exception& e) {
        throw ECodecError(e.what());
    }
}

SaveOptions SaveOptions::FromSlot(int savePixelFormat, int jpegQuality, int gifSensitivity) {
    SaveOptions o;
    static const int kBits[4] = {8, 16, 24, 32};
    o.BmpBits = savePixelFormat >= 0 && savePixelFormat < 4 ? kBits[savePixelFormat] : 24;
    o.JpegGray = savePixelFormat == 0;
    o.JpegQuality = jpegQuality;
    o.GifSensitivity = gifSensitivity;
    return o;
}

Bitmap ApplyGifKey(const Bitmap& src, int sensitivity) {
    Bitmap out = NewImage(src.Width(), src.Height());
    const int bpp = src.BytesPerPixel();
    for (int y = 0; y < src.Height(); ++y) {
        const uint8_t* s = src.Row(y);
        uint8_t* d = out.Row(y);
        for (int x = 0; x < src.Width(); ++x, s += bpp, d += 4) {
            const int t = bpp == 4 ? s[3] : 0;
            if (sensitivity >= 255 - t) {
                d[0] = GifKeyBlue;
                d[1] = GifKeyGreen;
                d[2] = GifKeyRed;
            } else {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if (d[0] == GifKeyBlue && d[1] == GifKeyGreen && d[2] == GifKeyRed) d[0] = GifKeyBlue - 1;
            }
        }
    }
    return out;
}

namespace {

void WriteByFormat(const std::string& path, const Bitmap& image, int formatCode, const SaveOptions& opts) {
    switch (formatCode) {
    case fcBmp: bmp::Write(path, image, opts.BmpBits); break;
    case fcJpeg: jpeg::Write(path, image, opts.JpegQuality, opts.JpegGray); break;
    case fcPng: png::Write(path, image); break;
    case fcGif: gif::Write(path, ApplyGifKey(image, opts.GifSensitivity)); break;
    default: bmp::Write(path, image, 32); break; // TIFF and all others: BMP data
    }
}

} // namespace

void WriteImageFile(const std::string& path, const Bitmap& image, int formatCode, const SaveOptions& opts) {
    try {
        WriteThroughTemporary(path, [&](const std::string& temp) { WriteByFormat(temp, image, formatCode, opts); });
    } catch (const ECodecError&) {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory("save");
    } catch (const std::exception& e) {
        throw ECodecError(e.what());
    }
}

} // namespace pixora
