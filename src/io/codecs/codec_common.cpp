// Helpers shared by the codecs: size guards, file access, orientation.

#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include <sys/stat.h>

#include "io/codecs/format_codecs.h"

namespace pixora {

void CheckImageSize(int64_t width, int64_t height, const char* what) {
    if (width <= 0 || height <= 0)
        throw ECodecError(std::string(what) + ": invalid image size " + std::to_string(width) + " x " +
                          std::to_string(height));
    if (width > MaxImageSide || height > MaxImageSide || width * height > MaxImagePixels)
        throw ECodecError(std::string(what) + ": image too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + ")");
}

Bitmap NewImage(int width, int height) {
    try {
        return Bitmap(width, height, 32);
    } catch (const std::bad_alloc&) {
        throw ECodecError("Not enough memory for an image of " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels");
    }
}

FilePtr OpenFile(const std::string& path, const char* mode) {
    FilePtr f(std::fopen(path.c_str(), mode));
    if (!f) throw ECodecError("Cannot open " + path + ": " + std::strerror(errno));
    return f;
}

std::size_t FileSizeOf(std::FILE* f) {
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) throw ECodecError("Not a readable file");
    return static_cast<std::size_t>(st.st_size);
}

TFileData ReadWholeFile(const std::string& path) {
    FilePtr f = OpenFile(path, "rb");
    TFileData data;
    data.Size = FileSizeOf(f.get());
    data.Bytes.reset(new (std::nothrow) uint8_t[data.Size + 1]);
    if (!data.Bytes) throw ECodecError("Not enough memory to read " + path);
    if (data.Size > 0 && std::fread(data.Bytes.get(), 1, data.Size, f.get()) != data.Size)
        throw ECodecError("Cannot read " + path + ": " + std::strerror(errno));
    return data;
}

Bitmap ApplyExifOrientation(const Bitmap& src, int orientation) {
    if (orientation < 2 || orientation > 8 || src.Empty()) return src;
    const int w = src.Width(), h = src.Height();
    // Orientations 5..8 swap the axes.
    const bool swap = orientation >= 5;
    Bitmap dst = NewImage(swap ? h : w, swap ? w : h);
    const int dw = dst.Width(), dh = dst.Height();
    // Destination of source pixel (x, y): (ax*x + bx*y + cx, ay*x + by*y + cy).
    int ax = 0, bx = 0, cx = 0, ay = 0, by = 0, cy = 0;
    switch (orientation) {
    case 2: ax = -1; cx = w - 1; by = 1; break;                    // mirrored
    case 3: ax = -1; cx = w - 1; by = -1; cy = h - 1; break;       // turned 180
    case 4: ax = 1; by = -1; cy = h - 1; break;                    // flipped
    case 5: bx = 1; ay = 1; break;                                 // transposed
    case 6: bx = -1; cx = dw - 1; ay = 1; break;                   // turn 90 clockwise
    case 7: bx = -1; cx = dw - 1; ay = -1; cy = dh - 1; break;     // transversed
    case 8: bx = 1; ay = -1; cy = dh - 1; break;                   // turn 90 anticlockwise
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = src.Row(y);
        for (int x = 0; x < w; ++x, s += 4) {
            const int dx = ax * x + bx * y + cx, dy = ay * x + by * y + cy;
            std::memcpy(dst.Row(dy) + static_cast<std::size_t>(dx) * 4, s, 4);
        }
    }
    return dst;
}

} // namespace pixora
