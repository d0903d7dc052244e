// Round trips through every writer, and readers fed by hand-made files.

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>
#include <set>
#include <tiffio.h>

#include "crafted_files.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/median_cut.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

void Le16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

uint32_t Rgb(const Bitmap& b, int x, int y) { // 0x00RRGGBB
    const uint8_t* p = b.Row(y) + 4 * x;
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

} // namespace

TEST(BmpReader, PaletteRleBitfieldAndHeaderVariants) {
    // 1 bit, 3 x 2, bottom-up: bottom row 1 0 1, top row 0 1 1.
    {
        auto f = MakeBmp(40, 3, 2, 1, 0, {0x000000, 0xFF8040}, {}, {0xA0, 0, 0, 0, 0x60, 0, 0, 0});
        const Bitmap b = bmp::ReadMemory(f.data(), f.size());
        EXPECT_EQ(Rgb(b, 0, 1), 0xFF8040u);
        EXPECT_EQ(Rgb(b, 1, 1), 0u);
        EXPECT_EQ(Rgb(b, 0, 0), 0u);
        EXPECT_EQ(Rgb(b, 2, 0), 0xFF8040u);
    }
    // RLE8 with a run, an absolute run, a delta and an early end: 4 x 2.
    {
        std::vector<uint8_t> rle = {3, 1, 0, 0,          // bottom row: 1 1 1, end of line
                                    0, 2, 1, 0,          // delta one right, stay on the top row
                                    0, 3, 2, 1, 2, 0,    // absolute 2 1 2 (padded)
                                    0, 1};
        auto f = MakeBmp(40, 4, 2, 8, 1, {0x000000, 0x0000FF, 0x00FF00}, {}, rle);
        const Bitmap b = bmp::ReadMemory(f.data(), f.size());
        EXPECT_EQ(Rgb(b, 0, 1), 0x0000FFu);
        EXPECT_EQ(Rgb(b, 3, 1), 0u); // never written: palette entry 0
        EXPECT_EQ(Rgb(b, 0, 0), 0u);
        EXPECT_EQ(Rgb(b, 1, 0), 0x00FF00u);
        EXPECT_EQ(Rgb(b, 2, 0), 0x0000FFu);
        EXPECT_EQ(Rgb(b, 3, 0), 0x00FF00u);
    }
    // RLE4: a run alternating two indices.
    {
        std::vector<uint8_t> rle = {5, 0x12, 0, 1};
        auto f = MakeBmp(40, 5, 1, 4, 2, {0, 0x111111, 0x222222}, {}, rle);
        const Bitmap b = bmp::ReadMemory(f.data(), f.size());
        EXPECT_EQ(Rgb(b, 0, 0), 0x111111u);
        EXPECT_EQ(Rgb(b, 1, 0), 0x222222u);
        EXPECT_EQ(Rgb(b, 4, 0), 0x111111u);
    }
    // 16 bits, 5-6-5 bit fields, top-down (negative height).
    {
        std::vector<uint8_t> px;
        Le16(px, 0xF800); // red
        Le16(px, 0x07E0); // green
        Le16(px, 0x001F); // blue
        Le16(px, 0);      // padding
        Le16(px, 0x8410); // mid gray: 16/31, 32/63, 16/31
        Le16(px, 0xFFFF);
        Le16(px, 0);
        Le16(px, 0);
        auto f = MakeBmp(40, 3, -2, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, px);
        const Bitmap b = bmp::ReadMemory(f.data(), f.size());
        EXPECT_EQ(Rgb(b, 0, 0), 0xFF0000u);
        EXPECT_EQ(Rgb(b, 1, 0), 0x00FF00u);
        EXPECT_EQ(Rgb(b, 2, 0), 0x0000FFu);
        EXPECT_EQ(Rgb(b, 0, 1), (132u << 16) | (130u << 8) | 132u);
        EXPECT_EQ(Rgb(b, 1, 1), 0xFFFFFFu);
    }
    // OS/2 core header, 8 bits with 3-byte palette entries.
    {
        auto f = MakeBmp(12, 2, 1, 8, 0, {0x010203, 0xA0B0C0}, {}, {1, 0, 0, 0});
        // Core palettes have 1 << bits entries: pad the file's palette.
        f.insert(f.begin() + 14 + 12 + 6, 254 * 3, 0);
        f[10] = static_cast<uint8_t>(14 + 12 + 256 * 3);
        f[11] = static_cast<uint8_t>((14 + 12 + 256 * 3) >> 8);
        const Bitmap b = bmp::ReadMemory(f.data(), f.size());
        EXPECT_EQ(Rgb(b, 0, 0), 0xA0B0C0u);
        EXPECT_EQ(Rgb(b, 1, 0), 0x010203u);
    }
    // 32 bits whose header declares alpha (V5 with the usual masks; bit
    // fields of another layout with an alpha mask): T = 255 - alpha.
    {
        auto f = MakeBmp(124, 1, 1, 32, 3, {}, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {1, 2, 3, 77});
        const Bitmap b = bmp::ReadMemory(f.data(), f.size());
        EXPECT_EQ(Rgb(b, 0, 0), 0x030201u);
        EXPECT_EQ(b.Row(0)[3], 255 - 77);
        auto g = MakeBmp(40, 1, 1, 32, 6, {}, {0xFF00, 0xFF0000, 0xFF000000, 0xFF}, {77, 1, 2, 3});
        const Bitmap c = bmp::ReadMemory(g.data(), g.size());
        EXPECT_EQ(Rgb(c, 0, 0), 0x010203u);
        EXPECT_EQ(c.Row(0)[3], 255 - 77);
    }
}

TEST(BmpReader, RefusesBrokenHeadersAndShortData) {
    auto good = MakeBmp(40, 4, 4, 24, 0, {}, {}, std::vector<uint8_t>(48, 7));
    EXPECT_NO_THROW(bmp::ReadMemory(good.data(), good.size()));
    auto bad = good;
    bad[28] = 7; // bit count 7
    EXPECT_THROW(bmp::ReadMemory(bad.data(), bad.size()), ECodecError);
    bad = good;
    bad[26] = 2; // two planes
    EXPECT_THROW(bmp::ReadMemory(bad.data(), bad.size()), ECodecError);
    // Claims 60000 x 60000 pixels with 48 bytes of data.
    bad = good;
    bad[18] = bad[22] = 0x60;
    bad[19] = bad[23] = 0xEA;
    EXPECT_THROW(bmp::ReadMemory(bad.data(), bad.size()), ECodecError);
    // Width so large that the row size would overflow 32 bits.
    bad = good;
    bad[18] = bad[19] = bad[20] = 0xFF;
    bad[21] = 0x7F;
    EXPECT_THROW(bmp::ReadMemory(bad.data(), bad.size()), ECodecError);
    // RLE stored top-down is not a valid file.
    auto rle = MakeBmp(40, 2, -1, 8, 1, {0}, {}, {2, 0, 0, 1});
    EXPECT_THROW(bmp::ReadMemory(rle.data(), rle.size()), ECodecError);
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_THROW(bmp::ReadMemory(good.data(), n), ECodecError) << n;
}

TEST(BmpWriter, EveryDepthRoundTrips) {
    ScratchDir dir;
    const Bitmap img = GradientImage(13, 7); // odd width: padded rows
    const std::string path = dir.File("x.bmp");

    bmp::Write(path, img, 32);
    Bitmap b = bmp::Read(path);
    ASSERT_EQ(b.Width(), 13);
    for (int y = 0; y < 7; ++y) ASSERT_EQ(std::memcmp(b.Row(y), img.Row(y), 13 * 4), 0) << "row " << y;

    bmp::Write(path, img, 16);
    b = bmp::Read(path);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = img.Row(y)[4 * x + c] >> 3;
                ASSERT_EQ(b.Row(y)[4 * x + c], (v * 255 + 15) / 31);
            }

    // Few colours: the palette holds them exactly.
    Bitmap few(9, 5, 32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) SetPixel(few, x, y, static_cast<uint8_t>(x * 20), static_cast<uint8_t>(y * 50), 7, 99);
    bmp::Write(path, few, 8);
    b = bmp::Read(path);
    EXPECT_EQ(MaxColourDiff(few, b), 0);
    EXPECT_EQ(b.Row(2)[3], 0);

    // Many colours: at most 256 remain, close to the original.
    const Bitmap many = GradientImage(64, 64);
    bmp::Write(path, many, 8);
    b = bmp::Read(path);
    std::set<uint32_t> colours;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) colours.insert(Rgb(b, x, y));
    EXPECT_LE(colours.size(), 256u);
    EXPECT_LE(MaxColourDiff(many, b), 24);
}

TEST(BmpWriter, LargeImagesSplitBetweenThreadsMatchRowByRow) {
    // Large enough for the two-thread paths; odd width for padded rows, odd
    // height for an uneven split.
    ScratchDir dir;
    const int w = 701, h = 503;
    Bitmap img(w, h, 32);
    uint32_t seed = 99;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            std::memcpy(img.Row(y) + 4 * x, &seed, 4);
        }
    const std::string path = dir.File("big.bmp");
    for (int bits : {32, 24, 16}) {
        bmp::Write(path, img, bits);
        const auto bytes = ReadBytes(path);
        const std::size_t stride = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
        // 32 bits: a V5 header declaring alpha (255 - T) in the fourth byte.
        const std::size_t head = bits == 32 ? 138 : 54;
        ASSERT_EQ(bytes.size(), head + stride * h) << bits;
        const Bitmap back = bmp::Read(path);
        for (int y = 0; y < h; ++y) {
            const uint8_t* file = bytes.data() + head + stride * static_cast<std::size_t>(h - 1 - y);
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = img.Row(y) + 4 * x;
                const uint8_t* q = back.Row(y) + 4 * x;
                if (bits == 32) {
                    ASSERT_EQ(std::memcmp(file + 4 * x, p, 3), 0) << x << "," << y;
                    ASSERT_EQ(file[4 * x + 3], 255 - p[3]) << x << "," << y;
                    ASSERT_EQ(std::memcmp(q, p, 4), 0) << x << "," << y;
                } else if (bits == 24) {
                    ASSERT_EQ(std::memcmp(file + 3 * x, p, 3), 0) << x << "," << y;
                    ASSERT_EQ(std::memcmp(q, p, 3), 0) << x << "," << y;
                    ASSERT_EQ(q[3], 0);
                } else {
                    const uint32_t v = file[2 * x] | file[2 * x + 1] << 8;
                    ASSERT_EQ(v, static_cast<uint32_t>(p[2] >> 3 << 10 | p[1] >> 3 << 5 | p[0] >> 3)) << x << "," << y;
                    ASSERT_EQ(q[0], ((p[0] >> 3) * 255 + 15) / 31);
                }
            }
            for (std::size_t k = static_cast<std::size_t>(w) * bits / 8; k < stride; ++k) ASSERT_EQ(file[k], 0);
        }
        if (bits == 16) continue;
        // The same rows stored top-down read the same; a file one byte short fails.
        const auto at = static_cast<std::ptrdiff_t>(head);
        std::vector<uint8_t> flipped(bytes.begin(), bytes.begin() + at);
        const int32_t negative = -h;
        std::memcpy(flipped.data() + 22, &negative, 4);
        for (int r = h - 1; r >= 0; --r)
            flipped.insert(flipped.end(), bytes.begin() + at + static_cast<std::ptrdiff_t>(stride) * r,
                           bytes.begin() + at + static_cast<std::ptrdiff_t>(stride) * (r + 1));
        WriteBytes(path, flipped);
        const Bitmap down = bmp::Read(path);
        for (int y = 0; y < h; ++y) ASSERT_EQ(std::memcmp(down.Row(y), back.Row(y), static_cast<std::size_t>(w) * 4), 0) << y;
        flipped.pop_back();
        WriteBytes(path, flipped);
        EXPECT_THROW(bmp::Read(path), ECodecError);
    }
}

TEST(MedianCut, ClustersKeepTheirOwnColoursAndTheExcludedColourComesLast) {
    // 3 tight clusters, 100 colours each: reduced to 3, each pixel takes the
    // mean of its cluster.
    Bitmap img(300, 1, 32);
    const int centres[3][3] = {{40, 200, 90}, {220, 30, 30}, {10, 10, 240}};
    for (int x = 0; x < 300; ++x) {
        const int* c = centres[x / 100];
        const int j = x % 100;
        SetPixel(img, x, 0, static_cast<uint8_t>(c[0] + j % 5), static_cast<uint8_t>(c[1] + (j / 5) % 5),
                 static_cast<uint8_t>(c[2] + j / 25));
    }
    const TIndexedImage r = ReduceColours(img, 3);
    ASSERT_EQ(r.Palette.size(), 3u);
    // Worked by hand. In 5-bit cells the first and third clusters fill one
    // cell each, the second (red 220..224 and so on) eight. The first cut
    // runs along red (extent 27, as blue's, red comes first) after the two
    // lower clusters (200 of 300 pixels reach half); the second along green
    // of those two (extent 24). Each box is then one cluster, and its entry
    // is the mean of its pixels rounded to the nearest, halves up: red and
    // green are the centre + 2 (0..4, twenty times each), blue the centre +
    // 1.5 (0..3, 25 times each), so + 2.
    const uint32_t means[3] = {42u << 16 | 202u << 8 | 92u, 222u << 16 | 32u << 8 | 32u,
                               12u << 16 | 12u << 8 | 242u};
    for (int x = 0; x < 300; ++x)
        ASSERT_EQ(r.Palette[r.Indices[static_cast<std::size_t>(x)]], means[x / 100]) << x;
    // With the first cluster's first colour excluded it gets the last entry alone.
    const uint32_t ex = static_cast<uint32_t>(40 << 16 | 200 << 8 | 90);
    const TIndexedImage e = ReduceColours(img, 2, ex);
    ASSERT_EQ(e.Palette.size(), 3u);
    EXPECT_EQ(e.Palette.back(), ex);
    EXPECT_EQ(e.Indices[0], 2);
    for (std::size_t i = 1; i < e.Indices.size(); ++i) ASSERT_LT(e.Indices[i], 2) << i;
}

TEST(PngCodec, RoundTripAndSixteenBitPalettedInput) {
    ScratchDir dir;
    const Bitmap img = GradientImage(31, 17);
    const std::string path = dir.File("x.png");
    png::Write(path, img);
    const Bitmap b = png::Read(path);
    for (int y = 0; y < 17; ++y) ASSERT_EQ(std::memcmp(b.Row(y), img.Row(y), 31 * 4), 0) << y;

    // 16-bit gray + alpha (linear), written by libpng's simplified API.
    const uint16_t ga[] = {0, 65535, 65535, 0};
    const std::string g16 = dir.File("g16.png");
    ASSERT_TRUE(WritePngWithLibpng(g16, 2, 1, PNG_FORMAT_LINEAR_Y_ALPHA, ga));
    const Bitmap gb = png::Read(g16);
    EXPECT_EQ(gb.Row(0)[3], 0);     // alpha 65535 -> T 0
    EXPECT_EQ(gb.Row(0)[7], 255);   // alpha 0 -> T 255
    EXPECT_EQ(gb.Row(0)[2], 0);
    EXPECT_EQ(gb.Row(0)[0], gb.Row(0)[1]);

    // Palette with tRNS.
    const uint8_t cmap[] = {255, 0, 0, 255, 0, 0, 255, 64};
    const uint8_t idx[] = {0, 1, 1};
    const std::string pal = dir.File("pal.png");
    ASSERT_TRUE(WritePngWithLibpng(pal, 3, 1, PNG_FORMAT_RGBA_COLORMAP, idx, cmap, 2));
    const Bitmap pb = png::Read(pal);
    EXPECT_EQ(Rgb(pb, 0, 0), 0xFF0000u);
    EXPECT_EQ(pb.Row(0)[3], 0);
    EXPECT_EQ(pb.Row(0)[4 + 3], 255 - 64);
}

namespace {

// Inserts an EXIF APP1 segment carrying the orientation right after SOI.
void AddExifOrientation(std::vector<uint8_t>& jpg, int orientation, bool bigEndian) {
    std::vector<uint8_t> t = bigEndian ? std::vector<uint8_t>{'M', 'M', 0, 42, 0, 0, 0, 8} : std::vector<uint8_t>{'I', 'I', 42, 0, 8, 0, 0, 0};
    auto u16 = [&](uint32_t v) {
        if (bigEndian) t.insert(t.end(), {uint8_t(v >> 8), uint8_t(v)});
        else t.insert(t.end(), {uint8_t(v), uint8_t(v >> 8)});
    };
    u16(1);         // one entry
    u16(0x0112);    // orientation
    u16(3);         // SHORT
    u16(1), u16(0); // count 1
    u16(static_cast<uint32_t>(orientation)), u16(0);
    u16(0), u16(0); // no next IFD
    std::vector<uint8_t> seg = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    seg.insert(seg.end(), t.begin(), t.end());
    const std::size_t len = seg.size() - 2;
    seg[2] = static_cast<uint8_t>(len >> 8);
    seg[3] = static_cast<uint8_t>(len);
    jpg.insert(jpg.begin() + 2, seg.begin(), seg.end());
}

} // namespace

TEST(PngCodec, NoisyPhotosAreCompressedByRunsDrawingsByTheFullSearch) {
    ScratchDir dir;
    const int w = 2400, h = 300;
    // A smooth picture with fine noise, like a photograph.
    Bitmap photo(w, h, 32);
    uint32_t seed = 5;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int n[3];
            for (int& v : n) {
                seed = seed * 1664525u + 1013904223u;
                v = static_cast<int>(seed >> 27) - 16;  // each channel its own noise
            }
            SetPixel(photo, x, y, static_cast<uint8_t>(std::clamp(x / 5 + n[0], 0, 255)),
                     static_cast<uint8_t>(std::clamp(y / 2 + n[1], 0, 255)),
                     static_cast<uint8_t>(std::clamp(128 + n[2], 0, 255)));
        }
    // A drawing: flat areas and a repeating pattern.
    Bitmap drawing(w, h, 32);
    drawing.Fill(255, 255, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x / 40 + y / 40) % 3 == 0) SetPixel(drawing, x, y, 200, 30, static_cast<uint8_t>(x % 7 * 30));
    EXPECT_EQ(png::ChooseSettings(photo, false).Strategy, Z_RLE);
    EXPECT_EQ(png::ChooseSettings(drawing, false).Strategy, Z_FILTERED);
    EXPECT_EQ(png::ChooseSettings(GradientImage(40, 30), true).Strategy, Z_FILTERED);  // small: the default
    EXPECT_EQ(png::ChooseSettings(GradientImage(40, 30), true).Filters, PNG_ALL_FILTERS);
    // Both come back exactly.
    for (const Bitmap* img : {&photo, &drawing}) {
        const std::string path = dir.File("c.png");
        png::Write(path, *img);
        const Bitmap back = png::Read(path);
        for (int y = 0; y < h; ++y) ASSERT_EQ(std::memcmp(back.Row(y), img->Row(y), static_cast<std::size_t>(w) * 4), 0);
    }
}

TEST(JpegCodec, ColourGrayQualityAndOrientation) {
    ScratchDir dir;
    const Bitmap img = GradientImage(40, 24);
    const std::string path = dir.File("x.jpg");
    jpeg::Write(path, img, 95, false);
    Bitmap b = jpeg::Read(path);
    ASSERT_EQ(b.Width(), 40);
    ASSERT_EQ(b.Height(), 24);
    EXPECT_LE(MaxColourDiff(img, b), 48); // ringing at the hard edge in blue; channel mix-ups are far worse
    EXPECT_EQ(b.Row(5)[4 * 7 + 3], 0);

    jpeg::Write(path, img, 95, true);
    b = jpeg::Read(path);
    const uint8_t* p = b.Row(10) + 4 * 30;
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    const double luma = 0.299 * img.Row(10)[4 * 30 + 2] + 0.587 * img.Row(10)[4 * 30 + 1] + 0.114 * img.Row(10)[4 * 30];
    EXPECT_NEAR(p[0], luma, 6);

    const std::string q0 = dir.File("q0.jpg"), q100 = dir.File("q100.jpg");
    jpeg::Write(q0, img, 0, false);
    jpeg::Write(q100, img, 100, false);
    EXPECT_LT(ReadBytes(q0).size(), ReadBytes(q100).size());
    EXPECT_NO_THROW(jpeg::Read(q0));

    // Orientation 6 (turn clockwise) and 3 (half turn), both byte orders.
    Bitmap marked(16, 8, 32);
    marked.Fill(0, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) SetPixel(marked, x, y, 255, 255, 255); // top-left corner white
    const std::string src = dir.File("m.jpg");
    jpeg::Write(src, marked, 100, false);
    const auto plain = ReadBytes(src);
    for (bool be : {false, true}) {
        auto bytes = plain;
        AddExifOrientation(bytes, 6, be);
        const std::string rot = dir.File("rot.jpg");
        WriteBytes(rot, bytes);
        const Bitmap r = LoadImageFile(rot, fcJpeg);
        ASSERT_EQ(r.Width(), 8);
        ASSERT_EQ(r.Height(), 16);
        EXPECT_GT(r.Row(1)[4 * 6 + 2], 200); // white now top right
        EXPECT_LT(r.Row(1)[4 * 1 + 2], 50);
        bytes = plain;
        AddExifOrientation(bytes, 3, be);
        WriteBytes(rot, bytes);
        const Bitmap h = LoadImageFile(rot, fcJpeg);
        ASSERT_EQ(h.Width(), 16);
        EXPECT_GT(h.Row(6)[4 * 14 + 2], 200); // bottom right
        EXPECT_LT(h.Row(1)[4 * 1 + 2], 50);
    }
}

TEST(JpegCodec, AdobeCmykIsReadInverted) {
    ScratchDir dir;
    const std::string path = dir.File("cmyk.jpg");
    // Adobe's inverted CMYK: stored = 255 - ink. Pure red is C 0, M 255,
    // Y 255, K 0 ink, i.e. stored 255, 0, 0, 255.
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct ci{};
    jpeg_error_mgr em{};
    ci.err = jpeg_std_error(&em);
    jpeg_create_compress(&ci);
    jpeg_stdio_dest(&ci, f);
    ci.image_width = 8;
    ci.image_height = 8;
    ci.input_components = 4;
    ci.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&ci);
    jpeg_set_quality(&ci, 100, TRUE);
    jpeg_start_compress(&ci, TRUE);
    std::vector<uint8_t> row(8 * 4);
    for (int x = 0; x < 8; ++x) row[4 * x] = 255, row[4 * x + 1] = 0, row[4 * x + 2] = 0, row[4 * x + 3] = 255;
    while (ci.next_scanline < 8) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&ci, &r, 1);
    }
    jpeg_finish_compress(&ci);
    jpeg_destroy_compress(&ci);
    std::fclose(f);
    const Bitmap b = LoadImageFile(path, fcJpeg);
    EXPECT_GT(b.Row(3)[4 * 3 + 2], 245);
    EXPECT_LT(b.Row(3)[4 * 3 + 1], 10);
    EXPECT_LT(b.Row(3)[4 * 3 + 0], 10);
}

TEST(GifCodec, ManyColoursAreReducedInsteadOfFailing) {
    ScratchDir dir;
    Bitmap img = GradientImage(50, 50); // about 2500 colours
    img.SetBitsPerPixel(24);
    img.SetBitsPerPixel(32); // opaque, so nothing is keyed
    const std::string path = dir.File("many.gif");
    WriteImageFile(path, img, fcGif, SaveOptions{});
    const Bitmap b = LoadImageFile(path, fcGif);
    ASSERT_EQ(b.Width(), 50);
    std::set<uint32_t> colours;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            colours.insert(Rgb(b, x, y));
            ASSERT_EQ(b.Row(y)[4 * x + 3], 0);
        }
    EXPECT_LE(colours.size(), 255u);
    EXPECT_GT(colours.size(), 100u);
    EXPECT_LE(MaxColourDiff(img, b), 24);
}

TEST(TiffCodec, ReadsStripsWrittenByLibtiff) {
    ScratchDir dir;
    const std::string path = dir.File("x.tif");
    TIFF* t = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(t, nullptr);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 5);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, 3);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1);
    for (uint32_t y = 0; y < 3; ++y) {
        uint8_t row[15];
        for (int x = 0; x < 5; ++x) row[3 * x] = static_cast<uint8_t>(x * 50), row[3 * x + 1] = static_cast<uint8_t>(y * 100), row[3 * x + 2] = 33;
        ASSERT_EQ(TIFFWriteScanline(t, row, y, 0), 1);
    }
    TIFFClose(t);
    const Bitmap b = LoadImageFile(path, fcTiff);
    ASSERT_EQ(b.Width(), 5);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(Rgb(b, 4, 2), (200u << 16) | (200u << 8) | 33u);
    EXPECT_EQ(Rgb(b, 1, 0), (50u << 16) | 33u);
    EXPECT_EQ(b.Row(1)[3], 0);
}
