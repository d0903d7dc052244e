// A file read on a thread while the program starts, then taken by the open.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <thread>

#include "file_commands_fixture.h"
#include "io/codecs/image_codecs.h"
#include "io/open_commands.h"
#include "io/read_ahead.h"
#include "support/pixels.h"

using namespace pixora;
using pixora::testing::FileCommandsTest;
using pixora::testing::SamePixels;

TEST_F(FileCommandsTest, AFileReadAheadOpensAsTheOpenCommandReadsIt) {
    const std::string path = MakeFile("ahead.jpg", 64, 40);
    const std::string other = MakeFile("other.png", 5, 3);
    ReadAhead ahead;
    ahead.Start(path);
    EXPECT_TRUE(ahead.Holds(path));
    EXPECT_FALSE(ahead.Holds(other));
    // Another file is read as ever, the one read ahead still held.
    const int first = LoadIntoNewSlot(ws, other, &ahead);
    ASSERT_GE(first, 0);
    EXPECT_EQ(ws.Images[static_cast<std::size_t>(first)].Bitmap.Width(), 5);
    ASSERT_TRUE(ahead.Holds(path));
    const int slot = LoadIntoNewSlot(ws, path, &ahead);
    ASSERT_GE(slot, 0);
    EXPECT_FALSE(ahead.Holds(path)) << "taken once";
    Bitmap direct = LoadImageFile(path, FormatFromExtension(path));
    direct.SetBitsPerPixel(32);
    EXPECT_TRUE(SamePixels(ws.Images[static_cast<std::size_t>(slot)].Bitmap, direct));
    EXPECT_EQ(ws.Images[static_cast<std::size_t>(slot)].FileName, path);
}

TEST_F(FileCommandsTest, AReadAheadThatFailsIsReportedAsAFailedOpenAndWaitedForWithTicks) {
    const std::string path = File("slow.png");
    ReadAhead ahead;
    ahead.Start(path, [](const std::string&, int) -> Bitmap {
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        throw std::runtime_error("the disk went away");
    });
    int ticks = 0;
    std::chrono::milliseconds last{0};
    ahead.Wait(
        [&](std::chrono::milliseconds elapsed) {
            ++ticks;
            EXPECT_GE(elapsed, last);
            last = elapsed;
        },
        std::chrono::milliseconds(10));
    EXPECT_GE(ticks, 3);
    EXPECT_GE(last.count(), 60);
    EXPECT_LT(LoadIntoNewSlot(ws, path, &ahead), 0);
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_EQ(port.Errors[0].first, 2);
    EXPECT_NE(port.Errors[0].second.find("the disk went away"), std::string::npos);
    EXPECT_EQ(ws.SysData.OpenCount, -1) << "the claim is given back";
}

// What the read ahead learnt of the file (its colour profile) reaches the image.
TEST_F(FileCommandsTest, AFileReadAheadKeepsItsColourProfile) {
    const std::string photo = PIXORA_SHARED_DIR "/photos/icc/sharp/p3.png";
    if (!std::filesystem::exists(photo)) GTEST_SKIP() << "the photo samples";
    ReadAhead ahead;
    ahead.Start(photo);
    const int slot = LoadIntoNewSlot(ws, photo, &ahead);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(ws.Images[static_cast<std::size_t>(slot)].ColourProfile, "Display P3");
}

// A big JPEG's first look is the decoder's own reduced picture, made beside
// the whole read; the whole read is the Open command's, byte for byte.
TEST_F(FileCommandsTest, AFirstLookIsTheReducedDecodeAndTheWholeReadStaysExact) {
    const std::string path = MakeFile("look.jpg", 203, 121);
    ReadAhead ahead;
    ahead.Start(path);
    ahead.StartFirstLook(8);
    std::optional<ReadAhead::TFirstLook> look;
    for (int i = 0; i < 500 && !look; ++i) {
        look = ahead.TakeFirstLook();
        if (!look) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(look.has_value());
    EXPECT_FALSE(ahead.TakeFirstLook().has_value()) << "taken once";
    EXPECT_EQ(look->Reduce, 8);
    ASSERT_EQ(look->Pixels.Width(), 26);  // sizes rounded up
    ASSERT_EQ(look->Pixels.Height(), 16);
    Bitmap direct = LoadImageFile(path, FormatFromExtension(path));
    direct.SetBitsPerPixel(32);
    // Each pixel of the look stands for an 8 x 8 block of the picture.
    for (auto [x, y] : {std::pair{1, 1}, std::pair{8, 7}, std::pair{18, 14}})
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(look->Pixels.Row(y)[4 * x + k], direct.Row(8 * y + 4)[4 * (8 * x + 4) + k], 12)
                << x << "," << y << "," << k;

    const int slot = LoadIntoNewSlot(ws, path, &ahead);
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(SamePixels(ws.Images[static_cast<std::size_t>(slot)].Bitmap, direct));

    // Other formats have none.
    const std::string png = MakeFile("nolook.png", 30, 20);
    ahead.Start(png);
    ahead.StartFirstLook(8);
    EXPECT_FALSE(ahead.TakeFirstLook().has_value());
}
