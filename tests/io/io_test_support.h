#pragma once
// Helpers of the codec tests: file bytes, PNG files written by libpng itself
// and colour differences (pictures to start from are support/pixels.h).

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
#include "support/pixels.h"

namespace pixora::testing {

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
