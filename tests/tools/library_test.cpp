#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/crafted_files.h"
#include "support/pixels.h"
#include "tools/library.h"
#include "tools/pattern_fill.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::Pattern;
using pixora::testing::Px;
using pixora::testing::Uniform;
using pixora::testing::WorkspaceTest;

namespace fs = std::filesystem;

namespace {

struct LibraryTest : WorkspaceTest {
    std::string folder;
    void SetUp() override {
        WorkspaceTest::SetUp();
        port.Ws = &ws;
        folder = root + "/lib/";
    }
    TLibrary Lib() const { return TLibrary(folder); }
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        fs::create_directories(folder);
        std::ofstream(folder + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
};

// Near enough after JPEG at quality 100.
bool Near(int a, int b) {
    return std::abs(a - b) <= 3;
}

} // namespace

TEST_F(LibraryTest, AddNumbersOnAndDeleteRenumbersWithoutGaps) {
    const TLibrary lib = Lib();
    EXPECT_EQ(lib.Count(), 0);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(lib.Add(Uniform(8, 8, static_cast<uint8_t>(i * 50))), i);
    EXPECT_EQ(lib.Count(), 4);
    ASSERT_TRUE(lib.Remove(2));
    EXPECT_EQ(lib.Count(), 3);
    EXPECT_FALSE(fs::exists(lib.PathOf(4)));
    const int expected[] = {50, 150, 200};
    for (int k = 1; k <= 3; ++k)
        EXPECT_TRUE(Near(Px(lib.Load(k), 4, 4)[1], expected[k - 1])) << k;
    EXPECT_FALSE(lib.Remove(0));
    EXPECT_FALSE(lib.Remove(4));
    EXPECT_EQ(lib.Count(), 3);
}

TEST_F(LibraryTest, OnlyJpegFilesCountAndAddNeverWritesOverAFile) {
    const TLibrary lib = Lib();
    lib.Add(Uniform(4, 4, 10));
    fs::create_directories(folder + "9.jpg"); // a folder is not an entry
    WriteFile("notes.txt", {'x'});
    WriteFile("2.JPG", {'z'}); // not a name the library gives
    WriteFile("3.jpg", {'y'}); // a gap: 2 is missing
    EXPECT_EQ(lib.Count(), 2);
    // n + 1 = 3 is taken by the stray file, so the picture goes to 4.
    EXPECT_EQ(lib.Add(Uniform(4, 4, 20)), 4);
    EXPECT_EQ(fs::file_size(folder + "3.jpg"), 1u);
}

TEST_F(LibraryTest, StoredEntriesAreOpaqueJpegsThatKeepTheirSize) {
    const TLibrary lib = Lib();
    const int k = lib.Add(Uniform(30, 20, 90, 255));
    const Bitmap back = lib.Load(k);
    std::ifstream file(lib.PathOf(k), std::ios::binary);
    EXPECT_EQ(file.get(), 0xFF);
    EXPECT_EQ(file.get(), 0xD8); // a JPEG
    EXPECT_EQ(back.Width(), 30);
    EXPECT_EQ(back.Height(), 20);
    EXPECT_EQ(Px(back, 10, 10)[3], 0);
}

TEST(LibraryThumbs, FitInto100NeverEnlarging) {
    EXPECT_EQ(LibraryThumbSize(80, 60).Width, 80);
    EXPECT_EQ(LibraryThumbSize(200, 50).Width, 100);
    EXPECT_EQ(LibraryThumbSize(200, 50).Height, 25);
    EXPECT_EQ(LibraryThumbSize(50, 200).Width, 25);
    EXPECT_EQ(LibraryThumbSize(50, 200).Height, 100);
    EXPECT_EQ(LibraryThumbSize(1000, 1).Height, 1); // never a line of no height
}

TEST_F(LibraryTest, ThumbnailsTwoToARowWithCellsAndFrames) {
    const TLibrary lib = Lib();
    lib.Add(Uniform(200, 100, 0));
    lib.Add(Uniform(50, 50, 0));
    lib.Add(Uniform(10, 10, 0));
    std::vector<std::string> failures;
    TLibraryPicture p = DrawLibrary(lib, 240, failures);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(p.Picture.Width(), 240);
    EXPECT_EQ(p.Picture.Height(), 240);
    ASSERT_EQ(p.Cells.size(), 3u);
    EXPECT_EQ(p.Cells[1].Left, 130);
    EXPECT_EQ(p.Cells[2].Top, 130);
    // Entry 1 is 100 x 50 after fitting, drawn from its cell's corner.
    EXPECT_EQ(Px(p.Picture, 20, 20)[0], 0);
    EXPECT_EQ(Px(p.Picture, 20, 70)[0], 255);
    EXPECT_EQ(EntryAt(p, 135, 15), 2);
    EXPECT_EQ(EntryAt(p, 120, 15), 0);  // between the columns
    EXPECT_EQ(EntryAt(p, 150, 150), 0); // no fourth entry
    ChooseEntry(p, 2);
    EXPECT_EQ(p.Selected, 2);
    EXPECT_EQ(Px(p.Picture, 127, 50)[0], 0); // frame of entry 2
    EXPECT_EQ(Px(p.Picture, 7, 50)[0], 255); // none round entry 1
    ChooseEntry(p, 1);
    EXPECT_EQ(Px(p.Picture, 127, 50)[0], 255); // the old frame is painted out
    EXPECT_EQ(Px(p.Picture, 7, 50)[0], 0);
    ChooseEntry(p, 7);
    EXPECT_EQ(p.Selected, 1);
}

TEST_F(LibraryTest, BadFilesAreReportedAndTheOthersStillDrawn) {
    const TLibrary lib = Lib();
    lib.Add(Uniform(20, 20, 0));
    WriteFile("2.jpg", {});
    WriteFile("3.jpg", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    WriteFile("4.jpg", pixora::testing::CraftPng(60000, 60000, 8, 2, {0, 1, 2, 3}));
    lib.Add(Uniform(20, 20, 0)); // 5
    std::vector<std::string> failures;
    const TLibraryPicture p = DrawLibrary(lib, 240, failures);
    EXPECT_EQ(failures.size(), 3u);
    EXPECT_EQ(Px(p.Picture, 15, 15)[0], 0);
    EXPECT_EQ(Px(p.Picture, 15, 255)[0], 0);

    Activate(Open(Uniform(30, 30, 200)));
    for (int bad : {2, 3, 4})
        EXPECT_FALSE(FillWithPattern(ws, lib, bad, 100));
    EXPECT_EQ(port.Errors.size(), 3u);
    EXPECT_EQ(ws.Active().HistoryCount, 0);
}

// ---- pattern fill --------------------------------------------------------

TEST(PatternTiles, LaidFromTheCornerAndClippedAtTheEdges) {
    Bitmap image = Uniform(100, 70, 0, 77);
    const Bitmap pattern = Pattern(64, 64, 5);
    TilePattern(image, pattern, 100, SelectionEditTest::PassAll());
    for (auto [x, y] : {std::pair{0, 0}, {63, 63}, {64, 0}, {99, 69}, {70, 10}, {5, 66}})
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Px(image, x, y)[i], Px(pattern, x % 64, y % 64)[i]) << x << "," << y;
    EXPECT_EQ(Px(image, 99, 69)[3], 77); // the fourth byte stays
}

TEST(PatternTiles, OccupancyBlendsAndTheSelectionConfines) {
    Bitmap image = Uniform(10, 10, 100);
    const Bitmap pattern = Uniform(3, 3, 201);
    const Bitmap mask = pixora::testing::RectMask(4, 4, 0, 0, 2, 2);
    TilePattern(image, pattern, 50, SelectionEditTest(mask, 2, 2, true));
    EXPECT_EQ(Px(image, 2, 2)[0], 201 * 50 / 100 + 100 * 50 / 100);
    EXPECT_EQ(Px(image, 3, 3)[2], 150);
    EXPECT_EQ(Px(image, 4, 4)[0], 100);
    EXPECT_EQ(Px(image, 0, 0)[0], 100);
}

TEST_F(LibraryTest, PatternFillIsAStepAndTheCustomBrushTakesItsEntry) {
    const TLibrary lib = Lib();
    lib.Add(Uniform(64, 64, 30));
    const int slot = Open(Uniform(100, 70, 250));
    Activate(slot);
    TImages& s = Slot(slot);
    s.Saved = 1;
    ASSERT_TRUE(FillWithPattern(ws, lib, 1, 100));
    EXPECT_EQ(HistoryName(s, s.HistoryPos + 1), "Pattern Fill");
    EXPECT_EQ(s.Saved, 0);
    EXPECT_TRUE(Near(Px(s.Bitmap, 99, 69)[0], 30));
    EXPECT_FALSE(FillWithPattern(ws, lib, 2, 100)); // no such entry
    EXPECT_FALSE(FillWithPattern(ws, lib, 0, 100));

    EXPECT_FALSE(UseLibraryBrush(ws, lib, 1)); // not the custom brush
    s.Tool = ToolCustomBrush;
    EXPECT_FALSE(UseLibraryBrush(ws, lib, 3));
    ASSERT_TRUE(UseLibraryBrush(ws, lib, 1));
    EXPECT_EQ(ws.CustomBrushBitmap.Bitmap.Width(), 64);
}

TEST_F(LibraryTest, ArchivingStoresTheFloatingPixels) {
    const TLibrary patterns(folder + "p/"), brushes(folder + "b/");
    const int slot = Open(Uniform(60, 40, 40));
    Activate(slot);
    ASSERT_TRUE(SelectToolCore(ws, ToolSelection));
    EXPECT_EQ(ArchiveAsPattern(ws, patterns), 0); // no selection yet
    port.Options[{kSelectBox, "RadioGroup2"}] = 1;
    port.Options[{kSelectBox, "RadioGroup1"}] = SelEllipse;
    PointerDown(ws, 5, 5, 0);
    PointerMove(ws, 35, 25);
    PointerUp(ws, 35, 25);
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(ArchiveAsPattern(ws, patterns), 0); // patterns come from rectangles
    ASSERT_EQ(ArchiveAsBrush(ws, brushes), 1);
    const Bitmap brush = brushes.Load(1);
    EXPECT_EQ(brush.Width(), ws.ToolVars.FloatBitmap.Width());
    EXPECT_GE(Px(brush, 0, 0)[0], 250); // outside the ellipse: white, left out by the brush
    EXPECT_TRUE(Near(Px(brush, brush.Width() / 2, brush.Height() / 2)[0], 40));
    port.Options[{kSelectBox, "RadioGroup1"}] = SelRectangle;
    EXPECT_EQ(ArchiveAsPattern(ws, patterns), 1);
    EXPECT_EQ(patterns.Count(), 1);
}

TEST(StarterLibraries, EveryShippedEntryReads) {
    for (const char* folder : {"/data/bin/ptrns/", "/data/bin/brshs/"}) {
        const TLibrary lib(std::string(PIXORA_SOURCE_DIR) + folder);
        EXPECT_GE(lib.Count(), 4) << folder;
        std::vector<std::string> failures;
        DrawLibrary(lib, 240, failures);
        EXPECT_TRUE(failures.empty()) << folder;
    }
}
