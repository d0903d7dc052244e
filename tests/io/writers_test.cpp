// Every file the program writes holds the format its name says, and reads
// back as it was written; a name of a format it does not write gets nothing.

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "history/history_store.h"
#include "io/codecs/format_codecs.h"
#include "io_test_support.h"
#include "support/folders.h"
#include "support/pixels.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

// 24 x 12 pixels of 72 colours (so that palette formats keep them all),
// with fully, partly and not transparent pixels.
Bitmap TestPicture() {
    Bitmap b(24, 12, 32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x)
            SetPixel(b, x, y, static_cast<uint8_t>(x * 10), static_cast<uint8_t>(y / 4 * 100),
                     static_cast<uint8_t>(x < 12 ? 40 : 200), static_cast<uint8_t>(y < 4 ? 0 : y < 8 ? 128 : 255));
    return b;
}

// How a written extension comes back: the largest colour error, whether the
// transparency comes back (else every pixel is opaque), and whether the
// colours come back as grey or black and white.
struct TExpected {
    int Tolerance = 0;
    bool Transparency = true;
    enum { Colour, Grey, BlackWhite } Kind = Colour;
    bool HiddenColours = true; // colours of fully transparent pixels come back
};

const std::map<std::string, TExpected>& Expectations() {
    static const std::map<std::string, TExpected> table = {
        {".bmp", {}},
        {".jpg", {12, false}}, {".jpeg", {12, false}}, {".jpe", {12, false}}, {".jfif", {12, false}},
        {".png", {}},
        {".tif", {}}, {".tiff", {}},
        {".webp", {}},
        {".tga", {}}, {".vst", {}}, {".icb", {}}, {".vda", {}}, {".win", {}},
        {".sgi", {}}, {".rgb", {}}, {".rgba", {}}, {".bw", {1, false, TExpected::Grey}},
        {".pcx", {0, false}}, {".pcc", {0, false}},
        {".ppm", {0, false}}, {".pgm", {1, false, TExpected::Grey}}, {".pbm", {0, false, TExpected::BlackWhite}},
        {".ico", {}},
        {".psd", {2, true, TExpected::Colour, false}}, {".pdd", {2, true, TExpected::Colour, false}},
        {".cel", {4, false}}, {".pic", {4, false}},
    };
    return table;
}

SaveOptions LosslessOptions() {
    SaveOptions o;
    o.BmpBits = 32;
    o.WebpLossless = true;
    o.JpegQuality = 100;
    return o;
}

void ExpectReadBack(const std::string& ext, const Bitmap& written, const Bitmap& back, const TExpected& e) {
    ASSERT_EQ(back.Width(), written.Width()) << ext;
    ASSERT_EQ(back.Height(), written.Height()) << ext;
    int worst = 0, wrongT = 0;
    for (int y = 0; y < written.Height(); ++y)
        for (int x = 0; x < written.Width(); ++x) {
            const uint8_t* w = written.Row(y) + 4 * x;
            const uint8_t* b = back.Row(y) + 4 * x;
            const uint8_t t = e.Transparency ? w[3] : 0;
            if (b[3] != t) ++wrongT;
            if (w[3] == 255 && !e.HiddenColours) continue;
            for (int c = 0; c < 3; ++c) {
                int want = w[c];
                if (e.Kind != TExpected::Colour) {
                    const int grey = (299 * w[2] + 587 * w[1] + 114 * w[0] + 500) / 1000;
                    want = e.Kind == TExpected::Grey ? grey : grey < 128 ? 0 : 255;
                }
                worst = std::max(worst, std::abs(b[c] - want));
            }
        }
    EXPECT_LE(worst, e.Tolerance) << ext;
    EXPECT_EQ(wrongT, 0) << ext << ": pixels whose transparency did not come back";
}

} // namespace

TEST(Writers, EveryWrittenExtensionHoldsItsFormatAndReadsBack) {
    ScratchDir dir;
    const Bitmap picture = TestPicture();
    int written = 0;
    for (const TFormatRow& row : Formats().Rows()) {
        if (Formats().WriterOf(row.Code) != &row || row.Code == fcGif) continue; // GIF keys: its own tests
        for (const std::string& ext : ListItems(row.Extensions)) {
            SCOPED_TRACE(ext);
            const auto expected = Expectations().find(ext);
            ASSERT_NE(expected, Expectations().end()) << "no round trip stated for " << ext;
            const std::string path = dir.File("picture" + ext);
            WriteImageFile(path, picture, FormatFromExtension(path), LosslessOptions());
            // The content is the row's format: its reader's look at the head
            // takes it (not merely the name).
            const auto bytes = ReadBytes(path);
            const TFileHead head{bytes.data(), std::min(bytes.size(), kHeadBytes), bytes.size()};
            EXPECT_NE(row.Codec->Sniff(head), TSniff::No) << ext;
            std::filesystem::rename(path, dir.File("renamed.bin"));
            ExpectReadBack(ext, picture, LoadImageFile(dir.File("renamed.bin"), fcOther), expected->second);
            ++written;
        }
    }
    EXPECT_GE(written, 27);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"renamed.bin"});
}

// The portable any-map writers put a large picture out block by block:
// every row comes back, the last partial block too.
TEST(Writers, LargePortableMapsReadBackWhole) {
    ScratchDir dir;
    Bitmap picture = RandomImage(3001, 97, 5);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) Px(picture, x, y)[3] = 0;
    for (const char* ext : {".ppm", ".pgm", ".pbm"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.File(std::string("large") + ext);
        WriteImageFile(path, picture, FormatFromExtension(path), LosslessOptions());
        ExpectReadBack(ext, picture, LoadImageFile(path, fcOther), Expectations().at(ext));
    }
}

TEST(Writers, NamesOfFormatsNotWrittenGetNothingAndAnOldFileStays) {
    ScratchDir dir;
    const Bitmap picture = TestPicture();
    int refused = 0;
    for (const TFormatRow& row : Formats().Rows()) {
        if (Formats().WriterOf(row.Code) == &row) continue;
        for (const std::string& ext : ListItems(row.Extensions)) {
            SCOPED_TRACE(ext);
            const std::string path = dir.File("original" + ext);
            WriteBytes(path, {'o', 'l', 'd'});
            try {
                WriteImageFile(path, picture, FormatFromExtension(path), SaveOptions{});
                ADD_FAILURE() << "written";
            } catch (const ECodecError& e) {
                EXPECT_EQ(std::string(e.what()), "Pixora cannot write " + std::string(row.Name) + " files (" + ext + ")");
            }
            EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
            ++refused;
        }
    }
    EXPECT_EQ(refused, 12); // fax, Word screens, Photo-CD, Dr. Halo (2), RLA (2), Paintshop Pro,
                            // AVIF, HEIF (2), JPEG XL
    EXPECT_THROW(WriteImageFile(dir.File("x.xyz"), picture, fcOther, SaveOptions{}), ECodecError);
    EXPECT_THROW(WriteImageFile(dir.File("noname"), picture, fcOther, SaveOptions{}), ECodecError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.xyz")));
    EXPECT_EQ(FolderNames(dir.Path()).size(), 12u);
}

TEST(Writers, ThirtyTwoBitBmpDeclaresAlphaWhileSnapshotsAndOldFilesKeepTheirFourthByte) {
    ScratchDir dir;
    const Bitmap picture = TestPicture();
    const std::string path = dir.File("alpha.bmp");
    WriteImageFile(path, picture, fcBmp, LosslessOptions());
    const auto bytes = ReadBytes(path);
    auto le32 = [&](std::size_t at) {
        return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
    };
    ASSERT_GT(bytes.size(), 14u + 124u);
    EXPECT_EQ(le32(14), 124u);                     // BITMAPV5HEADER
    EXPECT_EQ(le32(14 + 16), 3u);                  // bit fields
    EXPECT_EQ(le32(14 + 52), 0xFF000000u);         // alpha mask
    const std::size_t first = le32(10) + 4 * 24 * 11; // bottom-up: the top row last
    EXPECT_EQ(bytes[first + 3], 255);              // opaque top row: alpha 255
    EXPECT_EQ(bytes[le32(10) + 3], 0);             // transparent bottom row: alpha 0
    EXPECT_TRUE(SameImage(LoadImageFile(path, fcBmp), picture));

    // A plain 32-bit file as written before, and a history snapshot: the
    // fourth byte is the transparency as stored.
    const std::vector<uint8_t> head = bmp::FileHead(24, 12, 32);
    std::vector<uint8_t> plain = head;
    for (int y = 11; y >= 0; --y) plain.insert(plain.end(), picture.Row(y), picture.Row(y) + 4 * 24);
    WriteBytes(dir.File("plain.bmp"), plain);
    EXPECT_TRUE(SameImage(LoadImageFile(dir.File("plain.bmp"), fcBmp), picture));
    const std::string snap = dir.File("snap.bmp");
    WriteSnapshot(snap, picture);
    const auto snapBytes = ReadBytes(snap);
    EXPECT_EQ(std::vector<uint8_t>(snapBytes.begin(), snapBytes.begin() + 54), head);
    Bitmap back;
    ReadSnapshot(snap, back);
    EXPECT_TRUE(SameImage(back, picture));
}

TEST(Writers, TiffIsRgbOrRgbaWithUnassociatedAlphaInLzw) {
    ScratchDir dir;
    Bitmap opaque = TestPicture();
    for (int y = 0; y < opaque.Height(); ++y)
        for (int x = 0; x < opaque.Width(); ++x) opaque.Row(y)[4 * x + 3] = 0;
    for (const bool alpha : {false, true}) {
        const std::string path = dir.File(alpha ? "a.tif" : "o.tif");
        WriteImageFile(path, alpha ? TestPicture() : opaque, fcTiff, SaveOptions{});
        TIFF* t = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(t, nullptr);
        uint16_t samples = 0, bits = 0, compression = 0, photometric = 0, extras = 0;
        uint16_t* kinds = nullptr;
        TIFFGetField(t, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(t, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric);
        EXPECT_EQ(samples, alpha ? 4 : 3);
        EXPECT_EQ(bits, 8);
        EXPECT_EQ(compression, COMPRESSION_LZW);
        EXPECT_EQ(photometric, PHOTOMETRIC_RGB);
        if (alpha) {
            ASSERT_EQ(TIFFGetField(t, TIFFTAG_EXTRASAMPLES, &extras, &kinds), 1);
            ASSERT_EQ(extras, 1);
            EXPECT_EQ(kinds[0], EXTRASAMPLE_UNASSALPHA);
        }
        TIFFClose(t);
    }
}

TEST(Writers, WebpLossyFollowsItsQualityAndKeepsAlpha) {
    ScratchDir dir;
    const Bitmap picture = GradientImage(64, 48);
    SaveOptions low, high;
    low.WebpQuality = 5;
    high.WebpQuality = 95;
    WriteImageFile(dir.File("low.webp"), picture, fcWebp, low);
    WriteImageFile(dir.File("high.webp"), picture, fcWebp, high);
    EXPECT_LT(ReadBytes(dir.File("low.webp")).size(), ReadBytes(dir.File("high.webp")).size());
    const Bitmap back = LoadImageFile(dir.File("high.webp"), fcWebp);
    int worstT = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) worstT = std::max(worstT, std::abs(back.Row(y)[4 * x + 3] - picture.Row(y)[4 * x + 3]));
    EXPECT_LE(worstT, 8); // alpha is kept (lossy files may round it a little)
    EXPECT_LE(MaxColourDiff(back, picture), 64);
}
