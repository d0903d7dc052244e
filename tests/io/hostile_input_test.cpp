// Hostile files through the Open command: sizes beyond the largest image
// accepted, small files posing as huge pictures, pixels naming colours the
// palette lacks and streams cut short. Each ends in the open-error message
// (kind 2) with a detail saying what is wrong, and no slot stays claimed.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "crafted_files.h"
#include "io/codecs/format_codecs.h"
#include "io/new_close_commands.h"
#include "io/open_commands.h"
#include "io_test_support.h"
#include "support/no_questions.h"
#include "support/slot_fixture.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

class HostileInput : public ProgramFolderFixture {
protected:
    // Opens the bytes as a file of that name and expects a refusal: the
    // open-error message alone, no slot claimed. Returns its detail.
    std::string Refusal(const std::string& name, const Bytes& bytes) {
        if (Open(name, bytes)) {
            ADD_FAILURE() << name << " opened";
            return "opened";
        }
        EXPECT_EQ(ws.SysData.OpenCount, -1) << name;
        for (const TImages& s : ws.Images)
            EXPECT_EQ(s.InUse, 0) << name;
        EXPECT_EQ(port.Errors.size(), 1u) << name;
        if (port.Errors.empty()) return {};
        EXPECT_EQ(port.Errors[0].first, 2) << name;
        return port.Errors[0].second;
    }
    // Whether the bytes open as a file of that name (closed again at once).
    bool Opens(const std::string& name, const Bytes& bytes) {
        const bool opened = Open(name, bytes);
        EXPECT_TRUE(port.Errors.empty())
            << name << ": " << (port.Errors.empty() ? "" : port.Errors[0].second);
        return opened;
    }

private:
    bool Open(const std::string& name, const Bytes& bytes) {
        const std::string path = File(name);
        WriteBytes(path, bytes);
        port.Errors.clear();
        const int slot = LoadIntoNewSlot(ws, path);
        if (slot < 0) return false;
        TNoQuestions none;
        EXPECT_TRUE(CloseImage(ws, slot, none)) << name;
        return true;
    }
};

void ExpectSays(const std::string& detail, const std::string& words, int line) {
    EXPECT_NE(detail.find(words), std::string::npos) << "line " << line << ": " << detail;
}
#define EXPECT_SAYS(detail, words) ExpectSays((detail), (words), __LINE__)

} // namespace

TEST_F(HostileInput, SizesBeyondTheLargestAcceptedImage) {
    // The limit itself: 2^28 pixels, each side at most 2^20.
    static_assert(MaxImagePixels == 16384 * 16384 && MaxImageSide == 1 << 20);
    static_assert(MaxImageBytes == int64_t(1) << 30);
    // One row more than the limit is refused for its size; exactly at the
    // limit the size passes and the missing data is what is wrong.
    EXPECT_SAYS(Refusal("over.bmp", MakeBmp(40, 16384, 16385, 24, 0, {}, {}, Bytes(64))), "image too large");
    EXPECT_SAYS(Refusal("at.bmp", MakeBmp(40, 16384, 16384, 24, 0, {}, {}, Bytes(64))), "truncated");
    EXPECT_SAYS(Refusal("side.bmp", MakeBmp(40, (1 << 20) + 1, 1, 24, 0, {}, {}, Bytes(64))),
                "image too large");

    // A whole row of 2^20 + 1 grey pixels: only its width is wrong.
    EXPECT_SAYS(Refusal("wide.png", CraftPng((1 << 20) + 1, 1, 8, 0, Bytes((1 << 20) + 2, 0))),
                "Invalid IHDR data");
    EXPECT_SAYS(Refusal("big.png", CraftPng(20000, 20000, 8, 0, {0, 0})), "image too large");

    // A JPEG frame header claiming 65000 x 65000.
    Bytes jpeg = CraftJpeg(8, 8, false);
    const std::size_t sof = JpegMarkerAt(jpeg, 0xC0);
    ASSERT_GT(sof, 0u);
    jpeg[sof + 5] = jpeg[sof + 7] = 0xFD;
    jpeg[sof + 6] = jpeg[sof + 8] = 0xE8;
    EXPECT_SAYS(Refusal("big.jpg", jpeg), "image too large");

    TGifSpec gif;
    gif.ScreenW = gif.ScreenH = 65535;
    gif.Pixels.assign(8, 1);
    EXPECT_SAYS(Refusal("big.gif", CraftGif(gif)), "image too large");

    EXPECT_SAYS(Refusal("big.tif", GreyTiff(100000, 100000, Bytes(16), 16)), "image too large");
}

TEST_F(HostileInput, SmallFilesPosingAsHugePictures) {
    // RLE that ends the bitmap at once: a few bytes for 2^28 pixels.
    EXPECT_SAYS(Refusal("rle.bmp", MakeBmp(40, 16384, 16384, 8, 1, {0, 0xFFFFFF}, {}, {0, 1})),
                "the RLE data ends in row 1 of 16384");
    // A Paintbrush header of no colour planes: no data for 2^28 pixels.
    Bytes pcx(128 + 7, 0);
    pcx[0] = 10, pcx[1] = 5, pcx[2] = 1, pcx[3] = 1;
    pcx[8] = pcx[9] = 0xFF, pcx[11] = 0x0F; // 65536 x 4096
    pcx[66] = pcx[67] = 0xFF;
    EXPECT_SAYS(Refusal("planes.pcx", pcx), "no colour planes");
    // A deflate stream far too short for the rows the header gives.
    EXPECT_SAYS(Refusal("idat.png", CraftPng(16000, 16000, 8, 2, Bytes(100))), "truncated");
    // But a flat RGB picture packs three bytes a pixel about a thousand to
    // one, and is whole.
    EXPECT_TRUE(Opens("flat.png", CraftPng(3000, 2000, 8, 2, Bytes((3000 * 3 + 1) * 2000))));
    // After the header, a text chunk claiming 2 GiB of which three bytes are
    // there: refused before libpng takes (and clears) a buffer of that size.
    Bytes text = CraftPng(1, 1, 8, 0, {0, 0});
    text.resize(8 + 25);
    text.insert(text.end(), {0x7F, 0xFF, 0xFF, 0xFF, 't', 'E', 'X', 't', 'C', 'o', 'm'});
    EXPECT_SAYS(Refusal("text.png", text), "a chunk runs past the end of the file");
    // A GIF frame of 16000 x 16000 with eight pixels of data.
    TGifSpec gif;
    gif.ScreenW = gif.ScreenH = gif.FrameW = gif.FrameH = 16000;
    gif.Pixels.assign(8, 1);
    EXPECT_NE(Refusal("frame.gif", CraftGif(gif)), "opened");
    // A progressive JPEG within the size limit whose whole-image buffers
    // (16384 x 16384 x 3 components of coefficients) would take 1.5 GiB.
    Bytes jpeg = CraftJpeg(8, 8, true, true);
    const std::size_t sof = JpegMarkerAt(jpeg, 0xC2);
    ASSERT_GT(sof, 0u);
    jpeg[sof + 5] = jpeg[sof + 7] = 0x40;
    jpeg[sof + 6] = jpeg[sof + 8] = 0x00;
    EXPECT_SAYS(Refusal("coefficients.jpg", jpeg), "would take more than 1024 MiB");
    // Thousands of scans over the picture: its first scan repeated 600 times.
    Bytes scans = CraftJpeg(64, 64, true);
    const std::size_t first = JpegMarkerAt(scans, 0xDA);
    std::size_t next = first + 2;
    while (next + 1 < scans.size() &&
           !(scans[next] == 0xFF && scans[next + 1] != 0 && scans[next + 1] < 0xD0))
        ++next;
    const Bytes scan(scans.begin() + static_cast<std::ptrdiff_t>(first),
                     scans.begin() + static_cast<std::ptrdiff_t>(next));
    for (int i = 0; i < 600; ++i)
        scans.insert(scans.begin() + static_cast<std::ptrdiff_t>(next), scan.begin(), scan.end());
    EXPECT_SAYS(Refusal("scans.jpg", scans), "more than 500 scans");
}

TEST_F(HostileInput, PixelsNamingColoursThePaletteLacks) {
    // Each palette has n colours; a pixel of index n (the first missing one)
    // is refused, a file whose pixels all lie below n opens.
    // 8-bit BMP with two colours, plain and in RLE8; a 4-bit one with three.
    EXPECT_SAYS(Refusal("index.bmp", MakeBmp(40, 4, 1, 8, 0, {0, 0xFFFFFF}, {}, {0, 1, 2, 1})),
                "a pixel uses colour 2 of a palette of 2");
    EXPECT_SAYS(Refusal("index-rle.bmp", MakeBmp(40, 4, 1, 8, 1, {0, 0xFFFFFF}, {}, {3, 1, 1, 2, 0, 1})),
                "a pixel uses colour 2 of a palette of 2");
    EXPECT_SAYS(Refusal("index4.bmp", MakeBmp(40, 2, 1, 4, 0, {0, 1, 2}, {}, {0x23, 0, 0, 0})),
                "a pixel uses colour 3 of a palette of 3");
    EXPECT_TRUE(Opens("fine.bmp", MakeBmp(40, 4, 1, 8, 0, {0, 0xFFFFFF}, {}, {0, 1, 1, 0})));

    // A GIF with a table of 2 whose pixels are coded at 8 bits.
    TGifSpec gif;
    gif.Colours = 2;
    gif.CodeSize = 8;
    gif.Pixels = {0, 1, 1, 0, 2, 1, 0, 1};
    EXPECT_SAYS(Refusal("index.gif", CraftGif(gif)), "a pixel uses colour 2 of a table of 2");
    gif.Pixels[4] = 1;
    EXPECT_TRUE(Opens("fine.gif", CraftGif(gif)));

    // A PNG with a palette of 2.
    EXPECT_SAYS(Refusal("index.png", CraftPng(3, 1, 8, 3, {0, 1, 2, 0}, {0, 0, 0, 255, 255, 255})),
                "a pixel uses colour 2 of a palette of 2");
    EXPECT_TRUE(Opens("fine.png", CraftPng(2, 1, 8, 3, {0, 1, 1}, {0, 0, 0, 255, 255, 255})));
}

TEST_F(HostileInput, StreamsCutShort) {
    // Uncompressed pixel data short by one byte.
    EXPECT_SAYS(Refusal("cut.bmp", MakeBmp(40, 4, 2, 24, 0, {}, {}, Bytes(23))), "truncated");
    // The deflate stream cut: the rows run out.
    Bytes png = CraftPng(64, 64, 8, 0, Bytes(64 * 65, 9));
    png.resize(png.size() - 20);
    EXPECT_SAYS(Refusal("cut.png", png), "runs past the end of the file");
    // A baseline JPEG cut in its entropy-coded data, and a progressive one
    // after its first scans.
    Bytes jpeg = CraftJpeg(64, 64, false);
    jpeg.resize(jpeg.size() * 2 / 3);
    EXPECT_SAYS(Refusal("cut.jpg", jpeg), "cut short");
    // Arithmetic-coded data gives no warning when it runs out: it meets the
    // end marker long before the last rows.
    Bytes arith = CraftJpeg(64, 64, false, false, true);
    EXPECT_TRUE(Opens("arith.jpg", arith));
    arith.erase(arith.begin() + static_cast<std::ptrdiff_t>(arith.size() / 2), arith.end() - 2);
    EXPECT_SAYS(Refusal("cut-arith.jpg", arith), "cut short");
    Bytes prog = CraftJpeg(64, 64, true);
    const std::size_t third = JpegMarkerAt(
        Bytes(prog.begin() + static_cast<std::ptrdiff_t>(JpegMarkerAt(prog, 0xDA) + 2), prog.end()), 0xDA);
    ASSERT_GT(third, 0u);
    prog.resize(JpegMarkerAt(prog, 0xDA) + 2 + third);
    EXPECT_SAYS(Refusal("cut-progressive.jpg", prog), "cut short");
    // A GIF whose LZW data stops half way through the frame.
    TGifSpec gif;
    gif.ScreenW = gif.FrameW = 64;
    gif.ScreenH = gif.FrameH = 64;
    gif.Pixels.assign(64 * 64, 2);
    Bytes g = CraftGif(gif);
    g.resize(g.size() / 2);
    EXPECT_SAYS(Refusal("cut.gif", g), "Failed to read");
    // A TIFF strip whose byte count runs past the end of the file.
    EXPECT_SAYS(Refusal("cut.tif", GreyTiff(16, 16, Bytes(100, 5), 256)), "got 100 bytes, expected 256");
}
