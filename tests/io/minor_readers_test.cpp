// The minor-format readers on files made byte by byte here: the layouts
// each format allows, recognition by content whatever the name, and files
// cut short anywhere ending in a message.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/codecs/image_codecs.h"
#include "io_test_support.h"
#include "support/corpus.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

using Bytes = std::vector<uint8_t>;

void Le16(Bytes& v, unsigned x) {
    v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8)});
}
void Le32(Bytes& v, uint32_t x) {
    Le16(v, x), Le16(v, x >> 16);
}
void Be16(Bytes& v, unsigned x) {
    v.insert(v.end(), {uint8_t(x >> 8), uint8_t(x)});
}
void Be32(Bytes& v, uint32_t x) {
    Be16(v, x >> 16), Be16(v, x);
}
void Add(Bytes& v, const Bytes& more) {
    v.insert(v.end(), more.begin(), more.end());
}
void Add(Bytes& v, const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
}

class MinorReaders : public ::testing::Test {
protected:
    Bitmap Open(const std::string& name, const Bytes& bytes) {
        const std::string path = dir_.File(name);
        WriteBytes(path, bytes);
        return LoadImageFile(path, FormatFromExtension(path));
    }
    // Every shorter prefix of the file ends in a message, never a crash.
    void EveryCutFails(const std::string& name, const Bytes& bytes, std::size_t from = 0,
                       std::size_t to = SIZE_MAX) {
        const std::string path = dir_.File("cut_" + name);
        for (std::size_t n = from; n < std::min(to, bytes.size()); ++n) {
            WriteBytes(path, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)));
            EXPECT_THROW(LoadImageFile(path, FormatFromExtension(path)), ECodecError)
                << name << " cut at " << n;
        }
    }
    ScratchDir dir_;
};

Bytes TgaHeader(int type, int w, int h, int bits, int descriptor, int mapFirst = 0, int mapLength = 0,
                int mapBits = 0) {
    Bytes f = {0, uint8_t(mapLength ? 1 : 0), uint8_t(type)};
    Le16(f, mapFirst), Le16(f, mapLength), f.push_back(uint8_t(mapBits));
    Le16(f, 0), Le16(f, 0), Le16(f, w), Le16(f, h);
    f.insert(f.end(), {uint8_t(bits), uint8_t(descriptor)});
    return f;
}

} // namespace

TEST_F(MinorReaders, PortableMapsPlainRawAndArbitrary) {
    // Plain bitmap, bits run together, a comment in the header: 1 is black.
    Bitmap b = Open("a.pbm", Bytes{'P', '1', '\n', '#', ' ', 'x', '\n', '3', ' ', '1', '\n', '1', '0', '1'});
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{255, 255, 255, 0}));
    // Plain grey with maxval 1000.
    b = Open("a.pgm", Bytes{'P', '2', ' ', '2', ' ', '1', ' ', '1', '0', '0',
                            '0', ' ', '5', '0', '0', ' ', '1', '0', '0', '0'});
    EXPECT_EQ(PixelBytes(b, 0, 0)[0], 128);
    EXPECT_EQ(PixelBytes(b, 1, 0)[0], 255);
    // Raw 16-bit colour, big-endian; a sample above maxval counts as maxval.
    Bytes p6;
    Add(p6, std::string("P6\n2 1\n65535\n"));
    p6.insert(p6.end(), {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01});
    b = Open("a.ppm", p6);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{0, 128, 255, 0}));
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{1, 0, 0, 0}));
    EveryCutFails("a.ppm", p6);
    // PAM grey + alpha.
    Bytes pam;
    Add(pam, std::string("P7\nWIDTH 1\nHEIGHT 1\nDEPTH 2\nMAXVAL 255\nTUPLTYPE GRAYSCALE_ALPHA\nENDHDR\n"));
    pam.insert(pam.end(), {200, 55});
    b = Open("a.pam", pam);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{200, 200, 200, 200}));
    EXPECT_THROW(Open("z.ppm", Bytes{'P', '6', ' ', '0', ' ', '1', ' ', '2', '5', '5', ' '}), ECodecError);
}

TEST_F(MinorReaders, TruevisionRunsOriginsMapsAndAttributeBits) {
    // 3 x 2 RLE true colour, bottom-left origin: one run crosses the rows.
    Bytes f = TgaHeader(10, 3, 2, 24, 0);
    f.insert(f.end(), {0x83, 10, 20, 30, 0x01, 1, 2, 3, 4, 5, 6});
    Bitmap b = Open("a.tga", f);
    // The file's first row is the bottom one.
    EXPECT_EQ(PixelBytes(b, 0, 1), (std::vector<int>{10, 20, 30, 0}));
    EXPECT_EQ(PixelBytes(b, 2, 1), (std::vector<int>{10, 20, 30, 0}));
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{10, 20, 30, 0}));
    EXPECT_EQ(PixelBytes(b, 2, 0), (std::vector<int>{4, 5, 6, 0}));
    EveryCutFails("a.tga", f, 18);
    // Top-right origin, colour map starting at entry 5, 16-bit entries.
    f = TgaHeader(1, 2, 1, 8, 0x30, 5, 2, 16);
    Le16(f, 0x7C00), Le16(f, 0x001F); // red, blue
    f.insert(f.end(), {5, 6});
    b = Open("b.tga", f);
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{0, 0, 255, 0})); // entry 5, drawn from the right
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{255, 0, 0, 0}));
    f.back() = 9; // outside the map
    EXPECT_THROW(Open("c.tga", f), ECodecError);
    // 16 bits with one attribute bit: clear bit = transparent.
    f = TgaHeader(2, 2, 1, 16, 0x21);
    Le16(f, 0x8000 | 0x03E0), Le16(f, 0x03E0);
    b = Open("d.tga", f);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{0, 255, 0, 0}));
    EXPECT_EQ(PixelBytes(b, 1, 0)[3], 255);
    // The same with a version 2 extension area calling the bits undefined.
    const uint32_t ext = static_cast<uint32_t>(f.size());
    f.resize(f.size() + 495, 0);
    f[ext] = 239, f[ext + 1] = 1; // extension size 495
    f[ext + 494] = 2;
    Le32(f, ext), Le32(f, 0);
    Add(f, std::string("TRUEVISION-XFILE."));
    f.push_back(0);
    b = Open("e.tga", f);
    EXPECT_EQ(PixelBytes(b, 1, 0)[3], 0);
}

TEST_F(MinorReaders, PaintbrushPalettesPlanesAndRuns) {
    auto header = [](int bits, int planes, int w, int h, int bytesPerLine) {
        Bytes f(128, 0);
        f[0] = 10, f[1] = 5, f[2] = 1, f[3] = uint8_t(bits);
        f[8] = uint8_t(w - 1), f[10] = uint8_t(h - 1);
        f[65] = uint8_t(planes), f[66] = uint8_t(bytesPerLine);
        return f;
    };
    // 8 bits: a run over both rows, then the palette after a 12.
    Bytes f = header(8, 1, 2, 2, 2);
    f.insert(f.end(), {0xC3, 1, 2});
    f.push_back(12);
    for (int i = 0; i < 256; ++i)
        f.insert(f.end(), {uint8_t(i), uint8_t(255 - i), 7});
    Bitmap b = Open("a.pcx", f);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{7, 254, 1, 0}));
    EXPECT_EQ(PixelBytes(b, 1, 1), (std::vector<int>{7, 253, 2, 0}));
    EveryCutFails("a.pcx", Bytes(f.begin(), f.begin() + 131));
    // 24 bits as three planes, no runs.
    f = header(8, 3, 2, 1, 2);
    f[2] = 0;
    f.insert(f.end(), {10, 11, 20, 21, 30, 31});
    b = Open("b.pcx", f);
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{31, 21, 11, 0}));
    // 16 colours as four planes of one bit, from the header palette.
    f = header(1, 4, 8, 1, 1);
    f[2] = 0;
    for (int i = 0; i < 16; ++i)
        f[16 + 3 * i] = uint8_t(i * 16);
    f.insert(f.end(), {0x80, 0x80, 0x00, 0x80}); // pixel 0: planes 0, 1 and 3 -> index 11
    b = Open("c.pcx", f);
    EXPECT_EQ(PixelBytes(b, 0, 0)[2], 11 * 16);
    EXPECT_EQ(PixelBytes(b, 1, 0)[2], 0);
}

TEST_F(MinorReaders, SgiRunsAndVerbatimRowsBottomUp) {
    auto header = [](int storage, int bpc, int w, int h, int z) {
        Bytes f;
        Be16(f, 474), f.push_back(uint8_t(storage)), f.push_back(uint8_t(bpc));
        Be16(f, 3), Be16(f, w), Be16(f, h), Be16(f, z);
        f.resize(512, 0);
        return f;
    };
    // RLE, 2 x 2 grey + alpha: rows bottom-up, channels one after another.
    Bytes f = header(1, 1, 2, 2, 2);
    const std::vector<Bytes> rows = {{0x82, 9, 8, 0}, {0x02, 50, 0}, {0x02, 255, 0}, {0x82, 0, 128, 0}};
    uint32_t at = 512 + 4 * 4 * 2;
    for (const auto& r : rows)
        Be32(f, at), at += static_cast<uint32_t>(r.size());
    for (const auto& r : rows)
        Be32(f, static_cast<uint32_t>(r.size()));
    for (const auto& r : rows)
        Add(f, r);
    Bitmap b = Open("a.sgi", f);
    EXPECT_EQ(PixelBytes(b, 0, 1), (std::vector<int>{9, 9, 9, 0}));      // bottom row, alpha 255
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{50, 50, 50, 127})); // top row, alpha 128
    EveryCutFails("a.sgi", f);
    // Verbatim 16-bit RGB, one pixel.
    f = header(0, 2, 1, 1, 3);
    Be16(f, 65535), Be16(f, 32768), Be16(f, 0);
    b = Open("b.rgb", f);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{0, 128, 255, 0}));
}

TEST_F(MinorReaders, IconsTakeTheLargestEntryAndTheirMask) {
    // Entry 1: 1 x 1 32-bit; entry 2: 2 x 2 24-bit with an AND mask.
    auto dib = [](int w, int h, int bits) {
        Bytes d;
        Le32(d, 40), Le32(d, static_cast<uint32_t>(w)), Le32(d, static_cast<uint32_t>(2 * h));
        Le16(d, 1), Le16(d, static_cast<unsigned>(bits));
        d.resize(40, 0);
        return d;
    };
    Bytes small = dib(1, 1, 32);
    small.insert(small.end(), {1, 2, 3, 255, 0, 0, 0, 0});
    Bytes large = dib(2, 2, 24);
    // Bottom row then top row, each padded to 8 bytes.
    large.insert(large.end(), {10, 20, 30, 40, 50, 60, 0, 0, 70, 80, 90, 100, 110, 120, 0, 0});
    large.insert(large.end(), {0x40, 0, 0, 0, 0x80, 0, 0, 0}); // bottom right and top left masked
    Bytes f;
    Le16(f, 0), Le16(f, 1), Le16(f, 2);
    const uint32_t first = 6 + 32;
    for (const auto& [w, bits, data, offset] :
         {std::tuple{1, 32, &small, first}, std::tuple{2, 24, &large, first + uint32_t(small.size())}}) {
        f.insert(f.end(), {uint8_t(w), uint8_t(w), 0, 0});
        Le16(f, 1), Le16(f, static_cast<unsigned>(bits));
        Le32(f, static_cast<uint32_t>(data->size())), Le32(f, offset);
    }
    Add(f, small), Add(f, large);
    Bitmap b = Open("a.ico", f);
    ASSERT_EQ(b.Width(), 2);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{70, 80, 90, 255}));
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{100, 110, 120, 0}));
    EXPECT_EQ(PixelBytes(b, 0, 1), (std::vector<int>{10, 20, 30, 0}));
    EXPECT_EQ(PixelBytes(b, 1, 1)[3], 255);
    // Cut anywhere before the mask: an error. A cut mask (some writers
    // leave it short) leaves the picture opaque.
    EveryCutFails("a.ico", f, 0, f.size() - 8);
    b = Open("b.ico", Bytes(f.begin(), f.end() - 4));
    EXPECT_EQ(PixelBytes(b, 0, 0)[3], 0);
}

TEST_F(MinorReaders, PhotoshopCompositeRunsAlphaAndInks) {
    // 2 x 1 RGB + transparency (a negative layer count says the fourth
    // channel belongs to the composite), PackBits rows.
    auto psd = [](int channels, int mode, int layerCount, int compression, const Bytes& data) {
        Bytes f;
        Add(f, std::string("8BPS"));
        Be16(f, 1), f.resize(f.size() + 6, 0), Be16(f, static_cast<unsigned>(channels));
        Be32(f, 1), Be32(f, 2), Be16(f, 8), Be16(f, static_cast<unsigned>(mode));
        Be32(f, 0), Be32(f, 0); // colour mode data, resources
        Be32(f, 6), Be32(f, 2), Be16(f, static_cast<unsigned>(layerCount & 0xFFFF));
        Be16(f, static_cast<unsigned>(compression));
        Add(f, data);
        return f;
    };
    Bytes rle;
    for (int count : {3, 3, 2, 3})
        Be16(rle, static_cast<unsigned>(count));
    rle.insert(rle.end(), {0x01, 200, 255, 0x01, 100, 255, 0xFF, 0, 0x01, 255, 51});
    Bytes f = psd(4, 3, -1, 1, rle);
    Bitmap b = Open("a.psd", f);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{0, 100, 200, 0}));
    // 20% over white: 255 * 0.8 + c * 0.2 = 255 -> c = 255; 0 -> 0 after undoing the matte.
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{0, 255, 255, 204}));
    EveryCutFails("a.psd", f);
    // CMYK stored as what is left of the paper (255 = no ink), raw.
    f = psd(4, 4, 0, 0, Bytes{0, 255, 255, 255, 255, 255, 255, 0});
    b = Open("b.psd", f);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{255, 255, 0, 0})); // cyan
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{0, 0, 0, 0}));     // black
}

TEST_F(MinorReaders, PhotoshopWithoutACompositeIsPutTogetherFromItsLayers) {
    // 2 x 1 RGB. Layer 1: opaque red over both pixels; layer 2: blue at 50%
    // opacity over the right one; a hidden layer 3 would paint both green.
    struct TLayerSpec {
        int Left, Width, Opacity, Flags;
        uint8_t R, G, B;
    };
    const TLayerSpec specs[] = {
        {0, 2, 255, 0, 255, 0, 0}, {1, 1, 128, 0, 0, 0, 255}, {0, 2, 255, 2, 0, 255, 0}};
    Bytes records, data;
    for (const TLayerSpec& l : specs) {
        Be32(records, 0), Be32(records, static_cast<uint32_t>(l.Left)), Be32(records, 1);
        Be32(records, static_cast<uint32_t>(l.Left + l.Width));
        Be16(records, 3);
        for (int id = 0; id < 3; ++id)
            Be16(records, static_cast<unsigned>(id)), Be32(records, static_cast<uint32_t>(2 + l.Width));
        Add(records, std::string("8BIMnorm"));
        records.insert(records.end(), {uint8_t(l.Opacity), 0, uint8_t(l.Flags), 0});
        Be32(records, 0);
        for (uint8_t v : {l.R, l.G, l.B}) {
            Be16(data, 0); // raw
            data.insert(data.end(), static_cast<std::size_t>(l.Width), v);
        }
    }
    Bytes layerInfo;
    Be16(layerInfo, 3);
    Add(layerInfo, records), Add(layerInfo, data);
    Bytes f;
    Add(f, std::string("8BPS"));
    Be16(f, 1), f.resize(f.size() + 6, 0), Be16(f, 3), Be32(f, 1), Be32(f, 2), Be16(f, 8), Be16(f, 3);
    Be32(f, 0);
    // Version information: no real merged data.
    Bytes res;
    Add(res, std::string("8BIM"));
    Be16(res, 0x0421), Be16(res, 0), Be32(res, 5);
    res.insert(res.end(), {0, 0, 0, 1, 0, 0});
    Be32(f, static_cast<uint32_t>(res.size())), Add(f, res);
    Be32(f, static_cast<uint32_t>(layerInfo.size() + 4)), Be32(f, static_cast<uint32_t>(layerInfo.size()));
    Add(f, layerInfo);
    Be16(f, 0), f.insert(f.end(), 6, 255); // a blank composite, as such files have
    const Bitmap b = Open("layers.psd", f);
    EXPECT_EQ(PixelBytes(b, 0, 0), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(PixelBytes(b, 1, 0), (std::vector<int>{128, 0, 127, 0}));
}

TEST_F(MinorReaders, ContentDecidesWhateverTheName) {
    Bytes ppm;
    Add(ppm, std::string("P6 1 1 255 "));
    ppm.insert(ppm.end(), {1, 2, 3});
    // A portable pixmap named as a TGA, and one without an extension.
    EXPECT_EQ(PixelBytes(Open("wrong.tga", ppm), 0, 0), (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(PixelBytes(Open("noextension", ppm), 0, 0), (std::vector<int>{3, 2, 1, 0}));
    // A TGA (no magic number) under a wrong name still reads as one.
    Bytes tga = TgaHeader(2, 1, 1, 24, 0);
    tga.insert(tga.end(), {7, 8, 9});
    EXPECT_EQ(PixelBytes(Open("picture.dat", tga), 0, 0), (std::vector<int>{7, 8, 9, 0}));
    // A PNG named .bmp opens as the PNG it is.
    Bitmap img(2, 1, 32);
    img.Fill(5, 6, 7);
    const std::string png = dir_.File("real.png");
    WriteImageFile(png, img, fcPng, SaveOptions{});
    EXPECT_EQ(PixelBytes(Open("fake.bmp", ReadBytes(png)), 1, 0), (std::vector<int>{5, 6, 7, 0}));
}

// The real minor-format samples with bytes changed at random: each read
// ends in a picture or a message, never a crash or another exception (the
// sanitizer build watches every access).
TEST(MinorReadersScrambled, CorpusSamplesWithDamagedBytes) {
    const std::filesystem::path root = CorpusRoot() / "minor";
    PIXORA_NEED_FOLDER(root);
    ScratchDir dir;
    uint32_t seed = 2024;
    int reads = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        if (!e.is_regular_file() || e.file_size() > 200000) continue;
        const Bytes original = ReadBytes(e.path().string());
        if (original.size() < 16) continue;
        // Same extension, so the same reader is asked first.
        const std::string path = dir.File("s" + e.path().extension().string());
        for (int round = 0; round < 8; ++round) {
            Bytes bad = original;
            for (int k = 0; k < 4; ++k) {
                seed = seed * 1103515245u + 12345u;
                // Mostly in the headers, where the lengths and sizes are.
                const std::size_t span = k < 2 ? std::min<std::size_t>(bad.size(), 1024) : bad.size();
                bad[(seed >> 8) % span] ^= static_cast<uint8_t>(seed >> 24 | 1);
            }
            WriteBytes(path, bad);
            try {
                LoadImageFile(path, FormatFromExtension(path));
            } catch (const ECodecError&) {
            }
            ++reads;
        }
    }
    EXPECT_GT(reads, 500);
}
