#pragma once
// Helpers of the codec tests: generated pictures and file bytes (the scratch
// folder is support/folders.h).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <png.h>

#include "doc/bitmap.h"
#include "support/folders.h"

namespace pixora::testing {

inline void SetPixel(Bitmap& b, int x, int y, uint8_t r, uint8_t g, uint8_t bl, uint8_t t = 0) {
    uint8_t* p = b.Row(y) + x * b.BytesPerPixel();
    p[0] = bl;
    p[1] = g;
    p[2] = r;
    if (b.BytesPerPixel() == 4) p[3] = t;
}

// A picture with smooth gradients, a few hard edges and a varying fourth byte.
inline Bitmap GradientImage(int w, int h) {
    Bitmap b(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(b, x, y, static_cast<uint8_t>(x * 255 / (w > 1 ? w - 1 : 1)),
                     static_cast<uint8_t>(y * 255 / (h > 1 ? h - 1 : 1)), static_cast<uint8_t>((x < w / 2) ? 40 : 200),
                     static_cast<uint8_t>((x + y) * 7));
    return b;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Writes a PNG with libpng's own simplified writer (independent of ours).
// colourMap and entries are for the colour-mapped formats.
inline bool WritePngWithLibpng(const std::string& path, int w, int h, uint32_t format, const void* pixels,
                               const void* colourMap = nullptr, uint32_t entries = 0) {
    png_image pi{};
    pi.version = PNG_IMAGE_VERSION;
    pi.width = static_cast<png_uint_32>(w);
    pi.height = static_cast<png_uint_32>(h);
    pi.format = format;
    pi.colormap_entries = entries;
    return png_image_write_to_file(&pi, path.c_str(), 0, pixels, 0, colourMap) != 0;
}

// Largest difference of any colour byte between two images of equal size.
inline int MaxColourDiff(const Bitmap& a, const Bitmap& b) {
    int worst = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(a.Row(y)[x * a.BytesPerPixel() + c] - b.Row(y)[x * b.BytesPerPixel() + c]);
                if (d > worst) worst = d;
            }
    return worst;
}

} // namespace pixora::testing
