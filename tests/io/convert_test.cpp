// Converting files without a document, and the command-line converter.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "io/codecs/image_codecs.h"
#include "io/convert_file.h"
#include "io_test_support.h"
#include "support/command_line.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

TEST(ConvertFile, ReadsAndWritesByTheExtensionsAndNamesTheFailure) {
    ScratchDir dir;
    const std::string in = dir.File("in.png");
    Bitmap img = GradientImage(9, 5);
    WriteImageFile(in, img, fcPng, SaveOptions{});
    std::string error;
    SaveOptions opts;
    opts.BmpBits = 32;
    ASSERT_TRUE(ConvertImageFile(in, dir.File("out.bmp"), opts, error)) << error;
    EXPECT_TRUE(error.empty());
    const Bitmap back = LoadImageFile(dir.File("out.bmp"), fcBmp);
    EXPECT_EQ(MaxColourDiff(img, back), 0);
    EXPECT_EQ(back.Row(4)[4 * 8 + 3], img.Row(4)[4 * 8 + 3]); // T kept through PNG and 32-bit BMP
    EXPECT_EQ(ReadBytes(dir.File("out.bmp"))[28], 32);

    WriteBytes(dir.File("bad.png"), {0x89, 'P', 'N', 'G'});
    EXPECT_FALSE(ConvertImageFile(dir.File("bad.png"), dir.File("x.bmp"), opts, error));
    EXPECT_EQ(
        error.rfind("Could Not Open File due to an Error while Opening.\n" + dir.File("bad.png") + ": ", 0),
        0u)
        << error;
    EXPECT_FALSE(fs::exists(dir.File("x.bmp")));
    EXPECT_FALSE(ConvertImageFile(in, dir.File("no/folder/x.bmp"), opts, error));
    EXPECT_EQ(error.rfind("An Error Occured while trying to Save.\n", 0), 0u) << error;

    EXPECT_EQ(ConvertedName("/o", "/i/a.b.png", ".jpg"), "/o/a.b.jpg");
    EXPECT_EQ(ConvertedName("/o", "/i/a.png"), "/o/a.png");
    EXPECT_EQ(ConvertedName("/o/", "/i/scan.TIFF"), "/o/scan.TIFF");
    EXPECT_EQ(ConvertedName("/o/", "/i/scan.pcd"), "/o/scan.bmp");
    EXPECT_EQ(ConvertedName("/o", "README"), "/o/README.bmp");
}

#ifdef PIXORA_CONVERT
TEST(ConvertCommand, WritesEveryGoodFileAndFailsForTheBadOnes) {
    ScratchDir dir;
    const Bitmap img = GradientImage(40, 30);
    WriteImageFile(dir.File("a.png"), img, fcPng, SaveOptions{});
    WriteImageFile(dir.File("b.bmp"), img, fcBmp, SaveOptions{});
    WriteBytes(dir.File("c.gif"), {'G', 'I', 'F', '8', '9', 'a'});

    // One file to one name: the format follows the name, options apply.
    TRun r = RunConvert(dir, "--jpeg-quality 0 --jpeg-gray '" + dir.File("a.png") + "' -o '" +
                              dir.File("a.jpg") + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(r.Err.empty());
    const Bitmap gray = LoadImageFile(dir.File("a.jpg"), fcJpeg);
    EXPECT_EQ(gray.Row(10)[4 * 30], gray.Row(10)[4 * 30 + 2]); // gray: blue = red
    r = RunConvert(dir, "--bmp-bits 16 '" + dir.File("a.png") + "' -o '" + dir.File("a16.bmp") + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadBytes(dir.File("a16.bmp"))[28], 16);

    // Several files into a folder: the broken one is reported, the others written.
    r = RunConvert(dir, "--to png '" + dir.File("a.png") + "' '" + dir.File("c.gif") + "' '" +
                         dir.File("b.bmp") + "' -o '" + dir.File("out") + "'");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Could Not Open File due to an Error while Opening."), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("c.gif"), std::string::npos) << r.Err;
    EXPECT_EQ(MaxColourDiff(LoadImageFile(dir.File("out/a.png"), fcPng), img), 0);
    EXPECT_EQ(MaxColourDiff(LoadImageFile(dir.File("out/b.png"), fcPng), img), 0);
    EXPECT_FALSE(fs::exists(dir.File("out/c.png")));

    // A write that fails is reported with the save message.
    r = RunConvert(dir, std::string("'") + dir.File("a.png") + "' -o '" + dir.File("missing/x.png") + "'");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("An Error Occured while trying to Save."), std::string::npos) << r.Err;

    // Usage errors.
    EXPECT_EQ(RunConvert(dir, "--bmp-bits 12 '" + dir.File("a.png") + "' -o x.bmp").Status, 2);
    EXPECT_EQ(RunConvert(dir, std::string("'") + dir.File("a.png") + "'").Status, 2);
    EXPECT_EQ(RunConvert(dir, "--jpeg-quality 101 a -o b").Status, 2);
}
#endif
