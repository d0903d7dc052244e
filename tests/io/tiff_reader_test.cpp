// The TIFF reader on files written here with libtiff: every sample width,
// signed and floating samples, inks, L*a*b*, alpha, planar and tiled
// layouts, orientations and pages.

#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstring>
#include <functional>

#include "io/codecs/image_codecs.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct TTiffSpec {
    TTiffSpec(uint32_t w = 4, uint32_t h = 1, uint16_t spp = 1, uint16_t bits = 8,
              uint16_t format = SAMPLEFORMAT_UINT, uint16_t photometric = PHOTOMETRIC_MINISBLACK,
              bool planar = false, uint32_t tile = 0, std::function<void(TIFF*)> extra = {})
        : W(w), H(h), Spp(spp), Bits(bits), Format(format), Photometric(photometric), Planar(planar),
          Tile(tile), Extra(std::move(extra)) {}
    uint32_t W, H;
    uint16_t Spp, Bits, Format, Photometric;
    bool Planar;
    uint32_t Tile; // tile side, 0 for strips
    std::function<void(TIFF*)> Extra;
};

// Packs samples (one per value, in pixel order) of any width MSB first,
// rows padded to whole bytes; 16/32/64-bit values in the machine's order
// as libtiff expects them.
std::vector<uint8_t> Pack(const std::vector<uint64_t>& v, std::size_t perRow, int bits) {
    std::vector<uint8_t> out;
    for (std::size_t r = 0; r * perRow < v.size(); ++r) {
        if (bits % 8 == 0 && bits >= 16) {
            for (std::size_t i = 0; i < perRow; ++i) {
                const uint64_t x = v[r * perRow + i];
                const auto* p = reinterpret_cast<const uint8_t*>(&x);
                out.insert(out.end(), p, p + bits / 8);
            }
            continue;
        }
        uint64_t acc = 0;
        int have = 0;
        for (std::size_t i = 0; i < perRow; ++i) {
            acc = acc << bits | (v[r * perRow + i] & ((uint64_t(1) << bits) - 1));
            have += bits;
            while (have >= 8)
                out.push_back(static_cast<uint8_t>(acc >> (have -= 8)));
        }
        if (have) out.push_back(static_cast<uint8_t>(acc << (8 - have)));
    }
    return out;
}

// Writes a one-strip (or one-tile) file of the given samples.
void WriteTiff(const std::string& path, const TTiffSpec& s, const std::vector<uint64_t>& samples) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(t, nullptr);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, s.W);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, s.H);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, s.Spp);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, s.Bits);
    TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, s.Format);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, s.Photometric);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, s.Planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    if (s.Tile) {
        TIFFSetField(t, TIFFTAG_TILEWIDTH, s.Tile);
        TIFFSetField(t, TIFFTAG_TILELENGTH, s.Tile);
    } else {
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, s.H);
    }
    if (s.Extra) s.Extra(t);
    const int planes = s.Planar ? s.Spp : 1;
    const uint32_t bw = s.Tile ? s.Tile : s.W, bh = s.Tile ? s.Tile : s.H;
    for (int p = 0; p < planes; ++p)
        for (uint32_t ty = 0; ty < s.H; ty += bh)
            for (uint32_t tx = 0; tx < s.W; tx += bw) {
                // The block's samples, padded with zeros past the image.
                const std::size_t perPixel = s.Planar ? 1 : s.Spp;
                std::vector<uint64_t> block;
                for (uint32_t y = ty; y < ty + bh; ++y)
                    for (uint32_t x = tx; x < tx + bw; ++x)
                        for (std::size_t c = 0; c < perPixel; ++c) {
                            const std::size_t k = s.Planar ? p : c;
                            block.push_back(x < s.W && y < s.H ? samples[(y * s.W + x) * s.Spp + k] : 0);
                        }
                auto bytes = Pack(block, bw * perPixel, s.Bits);
                if (s.Tile)
                    TIFFWriteEncodedTile(t, TIFFComputeTile(t, tx, ty, 0, static_cast<uint16_t>(p)),
                                         bytes.data(), static_cast<tmsize_t>(bytes.size()));
                else
                    TIFFWriteEncodedStrip(t, static_cast<uint32_t>(p), bytes.data(),
                                          static_cast<tmsize_t>(bytes.size()));
            }
    TIFFClose(t);
}

Bitmap WriteAndRead(const TTiffSpec& s, const std::vector<uint64_t>& samples) {
    ScratchDir dir;
    const std::string path = dir.File("t.tif");
    WriteTiff(path, s, samples);
    return LoadImageFile(path, fcTiff);
}

uint64_t FloatBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

uint64_t DoubleBits(double d) {
    uint64_t u;
    std::memcpy(&u, &d, 8);
    return u;
}

} // namespace

TEST(TiffReader, GreyOfEveryWidthIsScaledByItsDepth) {
    for (int bits : {1, 2, 4, 6, 10, 12, 14, 16, 24, 32}) {
        const uint64_t max = (uint64_t(1) << bits) - 1;
        const Bitmap b = WriteAndRead({4, 1, 1, static_cast<uint16_t>(bits)}, {0, max / 3, max / 2 + 1, max});
        ASSERT_EQ(b.Width(), 4) << bits;
        for (int x = 0; x < 4; ++x) {
            const uint64_t v = std::vector<uint64_t>{0, max / 3, max / 2 + 1, max}[x];
            const int want = static_cast<int>((v * 255 + max / 2) / max);
            EXPECT_NEAR(PixelBytes(b, x)[0], want, bits > 8 ? 1 : 0) << bits << " bits, x " << x;
            EXPECT_EQ(PixelBytes(b, x)[3], 0);
        }
    }
    // Min-is-white: 0 is white, at 2 and 4 bits too.
    for (int bits : {1, 2, 4, 8}) {
        TTiffSpec s{2, 1, 1, static_cast<uint16_t>(bits)};
        s.Photometric = PHOTOMETRIC_MINISWHITE;
        const Bitmap b = WriteAndRead(s, {0, (uint64_t(1) << bits) - 1});
        EXPECT_EQ(PixelBytes(b, 0), (std::vector<int>{255, 255, 255, 0})) << bits;
        EXPECT_EQ(PixelBytes(b, 1), (std::vector<int>{0, 0, 0, 0})) << bits;
    }
}

TEST(TiffReader, SignedAndFloatingSamples) {
    TTiffSpec s{3, 1, 1, 16, SAMPLEFORMAT_INT};
    // Signed: the lowest value is black, zero mid grey, the highest white.
    const Bitmap i16 = WriteAndRead(s, {0x8000, 0, 0x7FFF});
    EXPECT_EQ(PixelBytes(i16, 0)[0], 0);
    EXPECT_EQ(PixelBytes(i16, 1)[0], 128);
    EXPECT_EQ(PixelBytes(i16, 2)[0], 255);
    // Floats over 0..1, clamped outside it.
    const float vals[4] = {0.0f, 0.5f, 1.5f, -1.0f};
    s = {4, 1, 1, 32, SAMPLEFORMAT_IEEEFP};
    const Bitmap f32 =
        WriteAndRead(s, {FloatBits(vals[0]), FloatBits(vals[1]), FloatBits(vals[2]), FloatBits(vals[3])});
    s.Bits = 64;
    const Bitmap f64 = WriteAndRead(s, {DoubleBits(0), DoubleBits(0.5), DoubleBits(1.5), DoubleBits(-1)});
    s.Bits = 16; // half floats: 0, 0.5, 1.5, -1
    const Bitmap f16 = WriteAndRead(s, {0x0000, 0x3800, 0x3E00, 0xBC00});
    for (const Bitmap* b : {&f32, &f64, &f16}) {
        EXPECT_EQ(PixelBytes(*b, 0)[0], 0);
        EXPECT_EQ(PixelBytes(*b, 1)[0], 128);
        EXPECT_EQ(PixelBytes(*b, 2)[0], 255);
        EXPECT_EQ(PixelBytes(*b, 3)[0], 0);
    }
}

TEST(TiffReader, InksAndLabBecomeScreenColours) {
    // 16-bit CMYK: paper, full black, full cyan, half magenta.
    TTiffSpec s{4, 1, 4, 16, SAMPLEFORMAT_UINT, PHOTOMETRIC_SEPARATED};
    const Bitmap cmyk = WriteAndRead(s, {0, 0, 0, 0, 0, 0, 0, 65535, 65535, 0, 0, 0, 0, 32768, 0, 0});
    EXPECT_EQ(PixelBytes(cmyk, 0), (std::vector<int>{255, 255, 255, 0}));
    EXPECT_EQ(PixelBytes(cmyk, 1), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(PixelBytes(cmyk, 2), (std::vector<int>{255, 255, 0, 0}));
    EXPECT_EQ(PixelBytes(cmyk, 3), (std::vector<int>{255, 127, 255, 0}));
    // 8-bit CIELab, a* and b* signed: white, black, a strong red.
    s = {3, 1, 3, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_CIELAB};
    const Bitmap lab = WriteAndRead(s, {255, 0, 0, 0, 0, 0, 136, 80, 67});
    EXPECT_EQ(PixelBytes(lab, 0), (std::vector<int>{255, 255, 255, 0}));
    EXPECT_EQ(PixelBytes(lab, 1), (std::vector<int>{0, 0, 0, 0}));
    const auto red = PixelBytes(lab, 2); // L* 53, a* 80, b* 67: sRGB red
    EXPECT_GE(red[2], 250);
    EXPECT_LE(red[1], 10);
    EXPECT_LE(red[0], 10);
}

TEST(TiffReader, AlphaPlanarAndTiledLayouts) {
    auto extra = [](uint16_t kind) {
        return [kind](TIFF* t) { TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &kind); };
    };
    // 5 x 3 RGBA, planar and tiled in 16 x 16 tiles: both cut the image.
    std::vector<uint64_t> rgba;
    for (int i = 0; i < 15; ++i)
        rgba.insert(rgba.end(), {uint64_t(i * 10), uint64_t(200 - i), 7, uint64_t(i * 17)});
    for (bool planar : {false, true})
        for (uint32_t tile : {0u, 16u}) {
            TTiffSpec s{
                5, 3, 4, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_RGB, planar, tile, extra(EXTRASAMPLE_UNASSALPHA)};
            const Bitmap b = WriteAndRead(s, rgba);
            for (int i = 0; i < 15; ++i)
                ASSERT_EQ(PixelBytes(b, i % 5, i / 5), (std::vector<int>{7, 200 - i, i * 10, 255 - i * 17}))
                    << "planar " << planar << " tile " << tile << " pixel " << i;
        }
    // Associated alpha: colours are divided out again.
    TTiffSpec s{2, 1, 4, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_RGB, false, 0, extra(EXTRASAMPLE_ASSOCALPHA)};
    const Bitmap a = WriteAndRead(s, {100, 50, 0, 128, 0, 0, 0, 0});
    EXPECT_EQ(PixelBytes(a, 0), (std::vector<int>{0, 100, 199, 127}));
    EXPECT_EQ(PixelBytes(a, 1)[3], 255);
    // Grey + alpha.
    s = {1, 1, 2, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_MINISBLACK, false, 0, extra(EXTRASAMPLE_UNASSALPHA)};
    EXPECT_EQ(PixelBytes(WriteAndRead(s, {90, 255}), 0), (std::vector<int>{90, 90, 90, 0}));
}

TEST(TiffReader, PalettesOfSixteenAndEightBitEntries) {
    for (bool eightBit : {false, true}) {
        std::vector<uint16_t> r(16), g(16), b(16);
        for (int i = 0; i < 16; ++i) {
            const int v = i * 17;
            r[i] = static_cast<uint16_t>(eightBit ? v : v * 257);
            g[i] = static_cast<uint16_t>(eightBit ? 255 - v : (255 - v) * 257);
            b[i] = eightBit ? 9 : 9 * 257;
        }
        TTiffSpec s{3, 1, 1, 4, SAMPLEFORMAT_UINT, PHOTOMETRIC_PALETTE};
        s.Extra = [&](TIFF* t) { TIFFSetField(t, TIFFTAG_COLORMAP, r.data(), g.data(), b.data()); };
        const Bitmap img = WriteAndRead(s, {0, 5, 15});
        EXPECT_EQ(PixelBytes(img, 0), (std::vector<int>{9, 255, 0, 0})) << eightBit;
        EXPECT_EQ(PixelBytes(img, 1), (std::vector<int>{9, 170, 85, 0})) << eightBit;
        EXPECT_EQ(PixelBytes(img, 2), (std::vector<int>{9, 0, 255, 0})) << eightBit;
    }
}

TEST(TiffReader, EveryOrientationAndTheFirstPage) {
    // 3 x 2 stored rows "a b c" / "d e f" (grey values 1..6).
    const std::vector<uint64_t> stored = {1, 2, 3, 4, 5, 6};
    // The picture as shown, row by row.
    const std::vector<std::vector<int>> shown = {
        {},
        {1, 2, 3, 4, 5, 6}, // 1: as stored
        {3, 2, 1, 6, 5, 4}, // 2: mirrored
        {6, 5, 4, 3, 2, 1}, // 3: turned half round
        {4, 5, 6, 1, 2, 3}, // 4: flipped
        {1, 4, 2, 5, 3, 6}, // 5: transposed (2 wide, 3 high)
        {4, 1, 5, 2, 6, 3}, // 6: turned a quarter clockwise
        {6, 3, 5, 2, 4, 1}, // 7: transversed
        {3, 6, 2, 5, 1, 4}, // 8: turned a quarter anticlockwise
    };
    for (uint16_t o = 1; o <= 8; ++o) {
        TTiffSpec s{3, 2};
        s.Extra = [o](TIFF* t) { TIFFSetField(t, TIFFTAG_ORIENTATION, o); };
        const Bitmap b = WriteAndRead(s, stored);
        const int w = o >= 5 ? 2 : 3;
        ASSERT_EQ(b.Width(), w) << o;
        ASSERT_EQ(b.Height(), o >= 5 ? 3 : 2) << o;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(PixelBytes(b, i % w, i / w)[0], shown[o][i]) << "orientation " << o << " at " << i;
    }
    // Two pages: the first is read.
    ScratchDir dir;
    const std::string path = dir.File("pages.tif");
    TIFF* t = TIFFOpen(path.c_str(), "w");
    for (uint8_t page : {11, 22}) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 1);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, 1);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFWriteEncodedStrip(t, 0, &page, 1);
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
    EXPECT_EQ(PixelBytes(LoadImageFile(path, fcTiff), 0)[0], 11);
}

TEST(TiffReader, DamagedLayoutsFailWithAMessage) {
    ScratchDir dir;
    const std::string path = dir.File("bad.tif");
    TTiffSpec s{64, 64, 3, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_RGB};
    WriteTiff(path, s, std::vector<uint64_t>(64 * 64 * 3, 5));
    auto bytes = ReadBytes(path);
    // Cut into the pixel data: the strip is short.
    bytes.resize(bytes.size() / 2);
    WriteBytes(path, bytes);
    try {
        LoadImageFile(path, fcTiff);
        FAIL() << "a cut-short TIFF opened";
    } catch (const ECodecError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("TIFF: ", 0), 0u) << e.what();
    }
    // Complex samples: a clear refusal, not a picture.
    s = {2, 1, 1, 32, SAMPLEFORMAT_COMPLEXINT};
    WriteTiff(path, s, {1, 2});
    EXPECT_THROW(LoadImageFile(path, fcTiff), ECodecError);
}
