// The format table and the load / save rules of opening and saving.

#include <gtest/gtest.h>
#include <gif_lib.h>
#include <png.h>

#include <filesystem>

#include "io/codecs/image_codecs.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

TEST(FormatTable, ExtensionsMapToCodesWithoutRegardToCase) {
    EXPECT_EQ(FormatFromExtension("/a/b/photo.JPEG"), fcJpeg);
    EXPECT_EQ(FormatFromExtension("/a/b/photo.jpeg"), fcJpeg);
    EXPECT_EQ(FormatFromExtension("x.Jpg"), fcJpeg);
    EXPECT_EQ(FormatFromExtension("x.jpe"), fcJpeg);
    EXPECT_EQ(FormatFromExtension("x.JFIF"), fcJpeg);
    EXPECT_EQ(FormatFromExtension("archive.tar.gif"), fcGif);
    EXPECT_EQ(FormatFromExtension("x.BMP"), fcBmp);
    EXPECT_EQ(FormatFromExtension("x.png"), fcPng);
    EXPECT_EQ(FormatFromExtension("x.tif"), fcTiff);
    EXPECT_EQ(FormatFromExtension("x.TIFF"), fcTiff);
    EXPECT_EQ(FormatFromExtension("README"), fcOther);
    EXPECT_EQ(FormatFromExtension("pic.tga"), fcTga);
    EXPECT_EQ(FormatFromExtension("pic.PGM"), fcPnm);
    EXPECT_EQ(FormatFromExtension("pic.pcd"), fcOther); // read, never written
    EXPECT_EQ(FormatFromExtension("pic.bmpx"), fcOther);
    // A dot in a folder name is not an extension.
    EXPECT_EQ(FormatFromExtension("/home/me/pics.png/picture"), fcOther);
    EXPECT_EQ(FormatFromExtension("x."), fcOther);
}

TEST(LoadRules, TwentyFourBitBmpOpensOpaque) {
    ScratchDir dir;
    Bitmap img = GradientImage(17, 9); // varying T
    const std::string path = dir.File("a.bmp");
    SaveOptions opts;
    opts.BmpBits = 24;
    WriteImageFile(path, img, fcBmp, opts);
    const Bitmap back = LoadImageFile(path, fcBmp);
    ASSERT_EQ(back.Width(), 17);
    ASSERT_EQ(back.Height(), 9);
    ASSERT_EQ(back.BitsPerPixel(), 32);
    EXPECT_EQ(MaxColourDiff(img, back), 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x) ASSERT_EQ(back.Row(y)[4 * x + 3], 0) << x << "," << y;
}

TEST(LoadRules, PngAlphaBecomesTransparencyAndBack) {
    ScratchDir dir;
    // A PNG made by libpng itself: alpha 0, 255 and 100.
    const uint8_t rgba[] = {10, 20, 30, 0, 40, 50, 60, 255, 70, 80, 90, 100};
    const std::string path = dir.File("in.png");
    ASSERT_TRUE(WritePngWithLibpng(path, 3, 1, PNG_FORMAT_RGBA, rgba));

    const Bitmap img = LoadImageFile(path, fcPng);
    ASSERT_EQ(img.Width(), 3);
    const uint8_t* p = img.Row(0);
    EXPECT_EQ(p[3], 255);
    EXPECT_EQ(p[7], 0);
    EXPECT_EQ(p[11], 155);
    EXPECT_EQ(p[4 + 0], 60); // B
    EXPECT_EQ(p[4 + 2], 40); // R

    // Written back, libpng sees alpha = 255 - T again.
    const std::string out = dir.File("out.png");
    WriteImageFile(out, img, fcPng, SaveOptions{});
    png_image ro{};
    ro.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&ro, out.c_str()));
    ro.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> got(PNG_IMAGE_SIZE(ro));
    ASSERT_TRUE(png_image_finish_read(&ro, nullptr, got.data(), 0, nullptr));
    EXPECT_EQ(got[3], 0);
    EXPECT_EQ(got[7], 255);
    EXPECT_EQ(got[11], 100);
    EXPECT_EQ(got[8], 70);
}

TEST(LoadRules, PngWithoutAlphaOpensOpaqueAndAllTransparentSurvives) {
    ScratchDir dir;
    const uint8_t rgb[] = {1, 2, 3, 4, 5, 6};
    const std::string path = dir.File("rgb.png");
    ASSERT_TRUE(WritePngWithLibpng(path, 2, 1, PNG_FORMAT_RGB, rgb));
    const Bitmap img = LoadImageFile(path, fcPng);
    EXPECT_EQ(img.Row(0)[3], 0);
    EXPECT_EQ(img.Row(0)[7], 0);
    EXPECT_EQ(img.Row(0)[6], 4);

    // T = 255 everywhere: PNG alpha 0 everywhere, and it opens as T = 255.
    Bitmap clear(4, 3, 32);
    clear.Fill(9, 8, 7, 255);
    const std::string out = dir.File("clear.png");
    WriteImageFile(out, clear, fcPng, SaveOptions{});
    const Bitmap back = LoadImageFile(out, fcPng);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(back.Row(y)[4 * x + 3], 255);
}

namespace {

// A 4 x 1 GIF with colours red, green, blue, white at indices 0..3 and the
// pixels 0, 1, 2, 3; transparentIndex < 0 writes no control extension.
void MakeGif(const std::string& path, int transparentIndex) {
    int err = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &err);
    ASSERT_NE(gif, nullptr);
    GifColorType colours[4] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    ASSERT_EQ(EGifPutScreenDesc(gif, 4, 1, 2, 0, map), GIF_OK);
    if (transparentIndex >= 0) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        ASSERT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext), GIF_OK);
    }
    ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 4, 1, false, nullptr), GIF_OK);
    GifPixelType line[4] = {0, 1, 2, 3};
    ASSERT_EQ(EGifPutLine(gif, line, 4), GIF_OK);
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
}

} // namespace

TEST(LoadRules, GifKeysTheTransparentIndexNotPaletteEntryZero) {
    ScratchDir dir;
    const std::string keyed = dir.File("keyed.gif");
    MakeGif(keyed, 2);
    const Bitmap img = LoadImageFile(keyed, fcGif);
    ASSERT_EQ(img.Width(), 4);
    const uint8_t* p = img.Row(0);
    // Entry 0 (red 200) stays an opaque pixel.
    EXPECT_EQ(p[2], 200);
    EXPECT_EQ(p[3], 0);
    // Index 2 is the key: pure red, fully transparent.
    EXPECT_EQ(p[8], 0);
    EXPECT_EQ(p[9], 0);
    EXPECT_EQ(p[10], 255);
    EXPECT_EQ(p[11], 255);
    EXPECT_EQ(p[15], 0);

    const std::string opaque = dir.File("opaque.gif");
    MakeGif(opaque, -1);
    const Bitmap o = LoadImageFile(opaque, fcGif);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(o.Row(0)[4 * x + 3], 0);
    EXPECT_EQ(o.Row(0)[8], 200); // blue pixel kept
}

TEST(SaveRules, GifKeyFollowsSensitivityAndNeverHitsTheKeyColour) {
    Bitmap img(4, 1, 32);
    SetPixel(img, 0, 0, 16, 16, 16, 0);  // the key colour itself, opaque
    SetPixel(img, 1, 0, 50, 60, 70, 255); // fully transparent
    SetPixel(img, 2, 0, 1, 2, 3, 160);    // half
    SetPixel(img, 3, 0, 9, 9, 9, 0);

    const Bitmap k0 = ApplyGifKey(img, 0);
    const uint8_t* p = k0.Row(0);
    EXPECT_EQ(p[0], 15); // (16, 16, 16) nudged to blue 15
    EXPECT_EQ(p[1], 16);
    EXPECT_EQ(p[2], 16);
    EXPECT_EQ(p[4], 16); // transparent -> key
    EXPECT_EQ(p[5], 16);
    EXPECT_EQ(p[6], 16);
    EXPECT_EQ(p[8], 3); // T 160 kept at sensitivity 0
    const Bitmap k100 = ApplyGifKey(img, 100);
    EXPECT_EQ(k100.Row(0)[8], 16); // 100 >= 255 - 160
    EXPECT_EQ(k100.Row(0)[12], 9);

    ScratchDir dir;
    const std::string path = dir.File("k.gif");
    SaveOptions opts;
    WriteImageFile(path, img, fcGif, opts);
    const Bitmap back = LoadImageFile(path, fcGif);
    const uint8_t* b = back.Row(0);
    EXPECT_EQ(b[0], 15);
    EXPECT_EQ(b[3], 0);
    EXPECT_EQ(b[6], 255); // keyed: red, T 255
    EXPECT_EQ(b[7], 255);
    EXPECT_EQ(b[10], 1);
    EXPECT_EQ(b[11], 0);
}

TEST(LoadRules, GenericReaderGoesByContentAndNamesUnsupportedFormats) {
    ScratchDir dir;
    const Bitmap img = GradientImage(5, 4);
    // BMP data under a .tga name (as older versions saved it) opens again.
    const std::string tga = dir.File("pic.tga");
    SaveOptions bits32;
    bits32.BmpBits = 32;
    WriteImageFile(dir.File("pic.bmp"), img, fcBmp, bits32);
    std::filesystem::rename(dir.File("pic.bmp"), tga);
    const auto bytes = ReadBytes(tga);
    ASSERT_GE(bytes.size(), 30u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 32); // 32 bits per pixel
    const Bitmap back = LoadImageFile(tga, fcOther);
    EXPECT_EQ(MaxColourDiff(img, back), 0);
    EXPECT_EQ(back.Row(3)[4 * 4 + 3], img.Row(3)[4 * 4 + 3]);

    // The message of a file that must not open.
    auto refusal = [](const std::string& path) -> std::string {
        try {
            LoadImageFile(path, FormatFromExtension(path));
        } catch (const ECodecError& e) {
            return e.what();
        }
        return "(it opened)";
    };
    // A PCX header cut short is read by the PCX reader, which says so.
    const std::string pcx = dir.File("pic.pcx");
    WriteBytes(pcx, {10, 5, 1, 8, 0, 0, 0, 0});
    EXPECT_NE(refusal(pcx).find("PCX"), std::string::npos) << refusal(pcx);
    // Content no reader knows, under a name none goes by.
    const std::string xyz = dir.File("pic.xyz");
    WriteBytes(xyz, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_NE(refusal(xyz).find("The .xyz image format is not supported"), std::string::npos) << refusal(xyz);
    EXPECT_THROW(LoadImageFile(dir.File("missing.bmp"), fcBmp), ECodecError);
    EXPECT_THROW(LoadImageFile(dir.Path().string(), fcPng), ECodecError); // a folder
}

TEST(SaveRules, FailedWriteKeepsTheOldFileAndLeavesNoTemporaries) {
    ScratchDir dir;
    const std::string path = dir.File("keep.png");
    WriteImageFile(path, GradientImage(6, 6), fcPng, SaveOptions{});
    const auto before = ReadBytes(path);
    EXPECT_THROW(WriteImageFile(path, Bitmap(), fcPng, SaveOptions{}), ECodecError);
    SaveOptions bad;
    bad.BmpBits = 12;
    EXPECT_THROW(WriteImageFile(path, GradientImage(2, 2), fcBmp, bad), ECodecError);
    EXPECT_EQ(ReadBytes(path), before);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++files;
    EXPECT_EQ(files, 1);
    EXPECT_THROW(WriteImageFile(dir.File("no/such/folder/x.bmp"), GradientImage(2, 2), fcBmp, SaveOptions{}), ECodecError);
}

TEST(SaveRules, ReplacingKeepsLinksAndAcceptsTheLongestNames) {
    ScratchDir dir;
    // Saving through a symbolic link writes the file it points to.
    const std::string real = dir.File("real.png");
    WriteImageFile(real, GradientImage(3, 3), fcPng, SaveOptions{});
    const std::string link = dir.File("link.png");
    std::filesystem::create_symlink(real, link);
    Bitmap red(4, 2, 32);
    red.Fill(0, 0, 255);
    WriteImageFile(link, red, fcPng, SaveOptions{});
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(LoadImageFile(real, fcPng).Width(), 4);

    // A file name of the system's full length still gets its temporary file.
    const std::string longName = dir.File(std::string(251, 'n') + ".bmp");
    WriteImageFile(longName, red, fcBmp, SaveOptions{});
    WriteImageFile(longName, GradientImage(5, 5), fcBmp, SaveOptions{});
    EXPECT_EQ(LoadImageFile(longName, fcBmp).Width(), 5);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++files;
    EXPECT_EQ(files, 3);
}

TEST(SaveRules, SlotFieldsChooseBmpBitsAndJpegColour) {
    ScratchDir dir;
    const Bitmap img = GradientImage(8, 8);
    const int expected[4] = {8, 16, 24, 32};
    for (int i = 0; i < 4; ++i) {
        std::string name = "p";
        name += std::to_string(i);
        name += ".bmp";
        const std::string path = dir.File(name);
        WriteImageFile(path, img, fcBmp, SaveOptions::FromSlot(i, 100));
        EXPECT_EQ(ReadBytes(path)[28], expected[i]);
    }
    EXPECT_TRUE(SaveOptions::FromSlot(0, 50).JpegGray);
    EXPECT_FALSE(SaveOptions::FromSlot(1, 50).JpegGray);
}
