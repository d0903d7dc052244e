// JPEG, TIFF and GIF files that lie in one place each: what the readers
// make of a missing table, a bad size, an offset past the end, a frame off
// the screen. Each ends in a picture that is right or in a refusal that
// names the format, never a crash.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "crafted_files.h"
#include "io/codecs/image_codecs.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

class BadInput : public ::testing::Test {
protected:
    // Reads the bytes as a file of that name: the refusal's message, or
    // "opened" with the picture in `out`.
    std::string Read(const std::string& name, const Bytes& bytes, Bitmap* out = nullptr) {
        const std::string path = dir_.File(name);
        WriteBytes(path, bytes);
        try {
            Bitmap b = LoadImageFile(path, FormatFromExtension(path));
            if (out) *out = std::move(b);
            return "opened";
        } catch (const ECodecError& e) {
            EXPECT_GT(std::string(e.what()).size(), 6u) << name;
            return e.what();
        }
    }
    ScratchDir dir_;
};

bool Starts(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// Removes the marker segment that starts at `at` (its 0xFF).
Bytes WithoutSegment(Bytes f, std::size_t at) {
    const std::size_t length = static_cast<std::size_t>(f[at + 2] << 8 | f[at + 3]);
    f.erase(f.begin() + static_cast<std::ptrdiff_t>(at),
            f.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
    return f;
}

uint8_t Grey(const Bitmap& b, int x, int y) {
    return b.Row(y)[4 * x];
}

} // namespace

TEST_F(BadInput, JpegTablesSizesAndSegments) {
    const Bytes good = CraftJpeg(16, 16, false);
    Bitmap whole;
    ASSERT_EQ(Read("good.jpg", good, &whole), "opened");
    // Without its quantisation table the data cannot be decoded.
    const std::size_t dqt = JpegMarkerAt(good, 0xDB);
    ASSERT_GT(dqt, 0u);
    EXPECT_TRUE(Starts(Read("no-dqt.jpg", WithoutSegment(good, dqt)), "JPEG: ")) << "quantisation table";
    // A frame of zero width, and one of 12-bit samples.
    const std::size_t sof = JpegMarkerAt(good, 0xC0);
    Bytes bad = good;
    bad[sof + 7] = bad[sof + 8] = 0;
    EXPECT_TRUE(Starts(Read("zero.jpg", bad), "JPEG: "));
    bad = good;
    bad[sof + 4] = 12;
    EXPECT_TRUE(Starts(Read("twelve.jpg", bad), "JPEG: "));
    // A segment whose length runs past the end of the file.
    bad = good;
    bad.insert(bad.begin() + 2, {0xFF, 0xE1, 0xFF, 0xF0, 'E', 'x', 'i', 'f', 0, 0});
    bad.resize(bad.size() / 2);
    EXPECT_TRUE(Starts(Read("long-segment.jpg", bad), "JPEG: "));
    // Nothing after the start-of-image marker.
    EXPECT_TRUE(Starts(Read("soi.jpg", {0xFF, 0xD8, 0xFF}), "JPEG: "));
    // An EXIF block pointing past its end: the picture opens as it is stored.
    bad = good;
    bad.insert(bad.begin() + 2, {0xFF, 0xE1, 0x00, 0x16, 'E',  'x',  'i', 'f', 0,    0,    'I', 'I',
                                 42,   0,    0xF0, 0xFF, 0xFF, 0x7F, 1,   0,   0x12, 0x01, 3,   0});
    Bitmap b;
    ASSERT_EQ(Read("exif.jpg", bad, &b), "opened");
    EXPECT_EQ(b.Width(), 16);
    // Only the end marker missing: the same picture as the whole file.
    Bitmap cut;
    ASSERT_EQ(Read("no-eoi.jpg", Bytes(good.begin(), good.end() - 2), &cut), "opened");
    ASSERT_EQ(cut.ByteSize(), whole.ByteSize());
    EXPECT_EQ(std::memcmp(cut.Data(), whole.Data(), whole.ByteSize()), 0);
    // Progressive: only the end marker missing is a cut file all the same,
    // since scans may be missing too; the whole file opens.
    const Bytes prog = CraftJpeg(16, 16, true);
    EXPECT_EQ(Read("prog.jpg", prog), "opened");
    EXPECT_EQ(Read("prog-no-eoi.jpg", Bytes(prog.begin(), prog.end() - 2)), "JPEG: the file is cut short");
}

TEST_F(BadInput, TiffOffsetsCountsAndTags) {
    Bitmap b;
    ASSERT_EQ(Read("good.tif", GreyTiff(4, 2, {1, 2, 3, 4, 5, 6, 7, 8}, 8), &b), "opened");
    EXPECT_EQ(Grey(b, 3, 1), 8);
    // The strip lies past the end of the file, or is shorter than its rows.
    Bytes f = GreyTiff(4, 2, {1, 2, 3, 4, 5, 6, 7, 8}, 8);
    f[8 + 2 + 12 * 5 + 8] = 0xF0; // StripOffsets
    EXPECT_TRUE(Starts(Read("offset.tif", f), "TIFF: "));
    EXPECT_TRUE(Starts(Read("short.tif", GreyTiff(4, 2, {1, 2, 3, 4, 5}, 5)), "TIFF: "));
    // No width, a bit depth of 0, an unknown compression.
    EXPECT_TRUE(Starts(Read("width.tif", GreyTiff(0, 2, Bytes(8), 8)), "TIFF: "));
    EXPECT_TRUE(Starts(Read("bits.tif", GreyTiff(4, 2, Bytes(8), 8, {{258, 0}})), "TIFF: "));
    EXPECT_TRUE(Starts(Read("scheme.tif", GreyTiff(4, 2, Bytes(8), 8, {{259, 12345}})), "TIFF: "));
    // A palette image without its colour map: refused below 8 bits; at 8
    // bits libtiff takes the samples as grey levels.
    EXPECT_TRUE(Starts(Read("palette.tif", GreyTiff(4, 2, Bytes(4), 4, {{258, 4}, {262, 3}})), "TIFF: "));
    ASSERT_EQ(Read("palette8.tif", GreyTiff(4, 2, {9, 8, 7, 6, 5, 4, 3, 2}, 8, {{262, 3}}), &b), "opened");
    EXPECT_EQ(Grey(b, 1, 1), 4);
    // The directory lies past the end, or claims more entries than the file holds.
    f = GreyTiff(4, 2, Bytes(8), 8);
    f[4] = 0xF0;
    EXPECT_TRUE(Starts(Read("ifd.tif", f), "TIFF: "));
    f = GreyTiff(4, 2, Bytes(8), 8);
    f[8] = f[9] = 0xFF;
    EXPECT_TRUE(Starts(Read("entries.tif", f), "TIFF: "));
    // Only the header.
    EXPECT_TRUE(Starts(Read("header.tif", {'I', 'I', 42, 0}), "TIFF: "));
}

TEST_F(BadInput, GifScreensFramesAndCodes) {
    // A frame partly off the screen: the part on it shows, the rest of the
    // screen has the background (colour 0 here).
    TGifSpec s;
    s.ScreenW = 3, s.ScreenH = 2;
    s.Left = 1, s.Top = 1, s.FrameW = 4, s.FrameH = 2;
    s.Pixels = {1, 2, 3, 3, 2, 2, 2, 2};
    Bitmap b;
    ASSERT_EQ(Read("off.gif", CraftGif(s), &b), "opened");
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(Grey(b, 0, 0), 0);
    EXPECT_EQ(Grey(b, 0, 1), 0);
    EXPECT_EQ(Grey(b, 1, 1), 85); // colour 1 of 4 grey levels
    EXPECT_EQ(Grey(b, 2, 1), 170);
    // A frame wholly off the screen leaves the background alone.
    s.Left = 10;
    ASSERT_EQ(Read("away.gif", CraftGif(s), &b), "opened");
    EXPECT_EQ(Grey(b, 1, 1), 0);
    // No screen size: the frame's is taken.
    s = TGifSpec{};
    s.ScreenW = s.ScreenH = 0;
    s.Pixels = {0, 1, 2, 3, 3, 2, 1, 0};
    ASSERT_EQ(Read("screen.gif", CraftGif(s), &b), "opened");
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(Grey(b, 3, 1), 0);
    // Interlaced rows come in four passes (0, 4 | 2, 6 | 1, 3, 5, 7 of eight).
    s = TGifSpec{};
    s.ScreenW = s.FrameW = 1;
    s.ScreenH = s.FrameH = 8;
    s.Colours = 8, s.CodeSize = 3;
    s.Interlaced = true;
    s.Pixels = {0, 4, 2, 6, 1, 3, 5, 7};
    ASSERT_EQ(Read("interlaced.gif", CraftGif(s), &b), "opened");
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(Grey(b, 0, y), y * 255 / 7) << "row " << y;
    // An empty frame, a file without a frame, a code the table does not
    // hold yet (300 right after a clear), a bare header.
    s = TGifSpec{};
    s.FrameW = 0;
    EXPECT_EQ(Read("empty.gif", CraftGif(s)), "GIF: the frame is empty");
    Bytes f = CraftGif(TGifSpec{});
    const Bytes noFrame(f.begin(), f.begin() + 13 + 12);
    EXPECT_TRUE(Starts(Read("none.gif", noFrame), "GIF: "));
    s = TGifSpec{};
    s.Colours = 256, s.CodeSize = 8;
    s.Pixels.assign(8, 1);
    f = CraftGif(s);
    const std::size_t data = 13 + 768 + 10 + 1; // length of the first data block
    f[data + 2] = 0x59, f[data + 3] = 0x02;     // codes: clear, then 300
    EXPECT_TRUE(Starts(Read("code.gif", f), "GIF: "));
    EXPECT_TRUE(Starts(Read("bare.gif", {'G', 'I', 'F', '8', '9', 'a'}), "GIF: "));
}
