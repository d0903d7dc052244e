#pragma once
// Files put together byte by byte, so that a test can make them lie in
// exactly one place: a size, a palette, an offset, a length.

#include <jpeglib.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace pixora::testing {

using Bytes = std::vector<uint8_t>;

inline void PutLe16(Bytes& v, unsigned x) {
    v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8)});
}
inline void PutLe32(Bytes& v, uint32_t x) {
    PutLe16(v, x), PutLe16(v, x >> 16);
}
inline void PutBe32(Bytes& v, uint32_t x) {
    v.insert(v.end(), {uint8_t(x >> 24), uint8_t(x >> 16), uint8_t(x >> 8), uint8_t(x)});
}

// A BMP file with an info header of the given size (12 = OS/2 core).
inline Bytes MakeBmp(uint32_t headerSize, int32_t w, int32_t h, int bits, uint32_t compression,
                     const std::vector<uint32_t>& palette, const std::vector<uint32_t>& masks,
                     const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> hd;
    if (headerSize == 12) {
        PutLe32(hd, 12);
        PutLe16(hd, static_cast<uint32_t>(w));
        PutLe16(hd, static_cast<uint32_t>(h));
        PutLe16(hd, 1);
        PutLe16(hd, static_cast<uint32_t>(bits));
        for (uint32_t c : palette)
            hd.insert(hd.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    } else {
        PutLe32(hd, headerSize);
        PutLe32(hd, static_cast<uint32_t>(w));
        PutLe32(hd, static_cast<uint32_t>(h));
        PutLe16(hd, 1);
        PutLe16(hd, static_cast<uint32_t>(bits));
        PutLe32(hd, compression);
        PutLe32(hd, static_cast<uint32_t>(pixels.size()));
        PutLe32(hd, 0);
        PutLe32(hd, 0);
        PutLe32(hd, static_cast<uint32_t>(palette.size()));
        PutLe32(hd, 0);
        for (uint32_t m : masks)
            PutLe32(hd, m); // in the header (V4/V5) or after it
        while (hd.size() < headerSize)
            hd.push_back(0);
        for (uint32_t c : palette)
            PutLe32(hd, c);
    }
    std::vector<uint8_t> f = {'B', 'M'};
    PutLe32(f, static_cast<uint32_t>(14 + hd.size() + pixels.size()));
    PutLe32(f, 0);
    PutLe32(f, static_cast<uint32_t>(14 + hd.size()));
    f.insert(f.end(), hd.begin(), hd.end());
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

inline void PngChunk(Bytes& f, const char* type, const Bytes& data) {
    PutBe32(f, static_cast<uint32_t>(data.size()));
    const std::size_t start = f.size();
    f.insert(f.end(), type, type + 4);
    f.insert(f.end(), data.begin(), data.end());
    PutBe32(f, static_cast<uint32_t>(crc32(0, f.data() + start, static_cast<uInt>(f.size() - start))));
}

// A PNG of the given header whose image data is `raw` (filter bytes
// included) deflated; `plte` is added as the palette when not empty.
inline Bytes CraftPng(uint32_t w, uint32_t h, int depth, int colourType, const Bytes& raw,
                      const Bytes& plte = {}) {
    Bytes f = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    PutBe32(ihdr, w);
    PutBe32(ihdr, h);
    ihdr.insert(ihdr.end(), {uint8_t(depth), uint8_t(colourType), 0, 0, 0});
    PngChunk(f, "IHDR", ihdr);
    if (!plte.empty()) PngChunk(f, "PLTE", plte);
    uLongf n = compressBound(static_cast<uLong>(raw.size()));
    Bytes z(n);
    compress(z.data(), &n, raw.data(), static_cast<uLong>(raw.size()));
    z.resize(n);
    PngChunk(f, "IDAT", z);
    PngChunk(f, "IEND", {});
    return f;
}

// A GIF whose frame sits at (left, top) on the screen, with a global table
// of `colours` entries (a power of two, grey levels) and pixels coded at
// `codeSize` bits: every pixel a code of its own, the table cleared before
// it grows, so any index the code size allows can be written.
struct TGifSpec {
    int ScreenW = 4, ScreenH = 2;
    int Left = 0, Top = 0, FrameW = 4, FrameH = 2;
    int Colours = 4;
    int CodeSize = 2;
    bool Interlaced = false;
    std::vector<uint8_t> Pixels; // FrameW * FrameH indices, in the order they are stored
};

inline Bytes CraftGif(const TGifSpec& s) {
    Bytes f = {'G', 'I', 'F', '8', '9', 'a'};
    PutLe16(f, static_cast<unsigned>(s.ScreenW));
    PutLe16(f, static_cast<unsigned>(s.ScreenH));
    int sizeBits = 0;
    while ((2 << sizeBits) < s.Colours)
        ++sizeBits;
    f.insert(f.end(), {uint8_t(0x80 | 0x70 | sizeBits), 0, 0});
    for (int i = 0; i < (2 << sizeBits); ++i) {
        const auto g = static_cast<uint8_t>(i * 255 / ((2 << sizeBits) - 1));
        f.insert(f.end(), {g, g, g});
    }
    f.push_back(0x2C);
    PutLe16(f, static_cast<unsigned>(s.Left));
    PutLe16(f, static_cast<unsigned>(s.Top));
    PutLe16(f, static_cast<unsigned>(s.FrameW));
    PutLe16(f, static_cast<unsigned>(s.FrameH));
    f.push_back(s.Interlaced ? 0x40 : 0);
    const int min = std::max(2, s.CodeSize);
    f.push_back(static_cast<uint8_t>(min));
    // Codes of min + 1 bits, least significant bit first.
    Bytes codes;
    uint32_t acc = 0;
    int have = 0;
    auto put = [&](unsigned code) {
        acc |= code << have;
        have += min + 1;
        while (have >= 8) {
            codes.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            have -= 8;
        }
    };
    const unsigned clear = 1u << min;
    // The table grows by one entry per code after the first: clearing it
    // well before it reaches the next code size keeps every code min + 1 bits.
    const std::size_t run = (1u << min) - 2;
    for (std::size_t i = 0; i < s.Pixels.size(); ++i) {
        if (i % run == 0) put(clear);
        put(s.Pixels[i]);
    }
    put(clear + 1);
    if (have) codes.push_back(static_cast<uint8_t>(acc));
    for (std::size_t i = 0; i < codes.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - i);
        f.push_back(static_cast<uint8_t>(n));
        f.insert(f.end(), codes.begin() + static_cast<std::ptrdiff_t>(i),
                 codes.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    f.push_back(0);
    f.push_back(0x3B);
    return f;
}

// A little-endian TIFF of one strip: the tags given (tag, type, value) in
// ascending order, StripOffsets pointing at `data` placed after them
// unless the caller gives its own.
struct TTiffTag {
    uint16_t Tag, Type;
    uint32_t Value;
};

inline Bytes CraftTiff(std::vector<TTiffTag> tags, const Bytes& data) {
    Bytes f = {'I', 'I', 42, 0};
    PutLe32(f, 8);
    const uint32_t dataAt = 8 + 2 + 12 * static_cast<uint32_t>(tags.size()) + 4;
    PutLe16(f, static_cast<unsigned>(tags.size()));
    for (TTiffTag& t : tags) {
        if (t.Tag == 273 && t.Value == 0) t.Value = dataAt; // StripOffsets
        PutLe16(f, t.Tag);
        PutLe16(f, t.Type);
        PutLe32(f, 1);
        PutLe32(f, t.Value);
    }
    PutLe32(f, 0);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

// An 8-bit grey TIFF of w x h with its data in one strip; `changes` give
// other values to some of its tags (bits per sample 258, compression 259,
// photometric 262, ...).
inline Bytes GreyTiff(uint32_t w, uint32_t h, const Bytes& data, uint32_t byteCount,
                      const std::vector<std::pair<uint16_t, uint32_t>>& changes = {}) {
    std::vector<TTiffTag> tags = {{256, 4, w}, {257, 4, h}, {258, 3, 8}, {259, 3, 1},        {262, 3, 1},
                                  {273, 4, 0}, {277, 3, 1}, {278, 4, h}, {279, 4, byteCount}};
    for (const auto& [tag, value] : changes)
        for (TTiffTag& t : tags)
            if (t.Tag == tag) t.Value = value;
    return CraftTiff(tags, data);
}

// A JPEG of a w x h grey ramp written by libjpeg: baseline, or progressive
// in its standard scan script; colour at full chroma resolution; Huffman
// or arithmetic coded.
inline Bytes CraftJpeg(int w, int h, bool progressive, bool colour = false, bool arithmetic = false) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = colour ? 3 : 1;
    c.in_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    if (colour)
        for (int i = 0; i < c.num_components; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (progressive) jpeg_simple_progression(&c);
    c.arith_code = arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<std::size_t>(w) * (colour ? 3 : 1));
    while (c.next_scanline < c.image_height) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<uint8_t>((i * 7 + c.next_scanline * 3) & 255);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes f(out, out + size);
    std::free(out);
    return f;
}

// Where the first segment of a marker starts in a JPEG (its 0xFF), or 0.
inline std::size_t JpegMarkerAt(const Bytes& f, uint8_t marker) {
    for (std::size_t i = 2; i + 1 < f.size(); ++i)
        if (f[i] == 0xFF && f[i + 1] == marker) return i;
    return 0;
}

} // namespace pixora::testing
