// The texts of the image information window.

#include <gtest/gtest.h>

#include <filesystem>

#include "io/image_information.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

TEST(ImageInformation, SizeOnDiskCutsTheMegabytesToSixCharacters) {
    EXPECT_EQ(SizeOnDiskText(1500000), "1.4305 MB (1500000 bytes)");
    EXPECT_EQ(SizeOnDiskText(0), "0 MB (0 bytes)");
    EXPECT_EQ(SizeOnDiskText(1048576), "1 MB (1048576 bytes)");
    EXPECT_EQ(SizeOnDiskText(123456789012ull), "117737 MB (123456789012 bytes)");
    // A small file reads as a small number, never as an exponent's digits.
    EXPECT_EQ(SizeOnDiskText(100), "0.0000 MB (100 bytes)");
    EXPECT_EQ(SizeOnDiskText(5000), "0.0047 MB (5000 bytes)");
}

TEST(ImageInformation, ANewImageHasNoLocationAndNoSize) {
    TImages s;
    s.FileName = "Untitled.bmp";
    s.FileFormat = 1;
    s.HasFile = 0;
    s.Bitmap = Bitmap(400, 300, 32);
    s.OrigWidth = 400;
    s.OrigHeight = 300;
    s.LayerCount = 1;
    const TImageInformation info = ImageInformation(s);
    EXPECT_EQ(info.Name, "Untitled.bmp");
    EXPECT_EQ(info.Location, "[None]");
    EXPECT_EQ(info.SizeOnDisk, "[None]");
    EXPECT_EQ(info.FileType, "BMP - Windows Bitmap");
    EXPECT_EQ(info.CurrentDimensions, "400 x 300 Pixels");
    EXPECT_EQ(info.NumberOfPixels, "120000 Pixels");
    EXPECT_EQ(info.NumberOfLayers, "1");
}

TEST(ImageInformation, AFileShowsItsFolderSizeAndType) {
    ScratchDir dir;
    const std::string path = dir.File("shot.png");
    WriteBytes(path, std::vector<uint8_t>(1500000, 7));
    TImages s;
    s.FileName = path;
    s.FileFormat = 3;
    s.HasFile = 1;
    s.OrigWidth = 640;
    s.OrigHeight = 480;
    s.Bitmap = Bitmap(320, 240, 32);
    s.LayerCount = 3;
    TImageInformation info = ImageInformation(s);
    EXPECT_EQ(info.Name, "shot.png");
    EXPECT_EQ(info.Location, dir.Path().string());
    EXPECT_EQ(info.FullPath, path);
    EXPECT_EQ(info.OriginalDimensions, "640 x 480 Pixels");
    EXPECT_EQ(info.CurrentDimensions, "320 x 240 Pixels");
    EXPECT_EQ(info.FileType, "PNG - PNG Format");
    EXPECT_EQ(info.SizeOnDisk, "1.4305 MB (1500000 bytes)");
    EXPECT_EQ(info.NumberOfLayers, "3");

    // A file gone since counts as empty; an unknown format code names nothing.
    std::filesystem::remove(path);
    s.FileFormat = 99;
    info = ImageInformation(s);
    EXPECT_EQ(info.SizeOnDisk, "0 MB (0 bytes)");
    EXPECT_FALSE(info.FileType.has_value());
    EXPECT_EQ(FileTypeText(0), "Other Format");
    EXPECT_EQ(FileTypeText(5), "TIF - TIFF Format");
    EXPECT_EQ(FolderPart("/a.png"), "/");
}
