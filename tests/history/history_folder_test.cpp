// The history folder: each running copy keeps its snapshots in a folder of
// its own, start-up clears only what no running copy owns, exit clears this
// copy's folder; and the snapshot file itself.

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "history/history_store.h"
#include "history_fixture.h"
#include "io/codecs/format_codecs.h"
#include "support/folders.h"

namespace pixora::testing {

namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& p) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
}

struct HistoryFolderTest : WorkspaceTest {
    fs::path Root() { return HistoryRoot(ws); }
};

TEST_F(HistoryFolderTest, StartUpClearsOnlyWhatNoRunningCopyOwns) {
    const long gone = EndedProcess();
    ASSERT_FALSE(ProcessAlive(gone));
    const long running = static_cast<long>(getppid());
    ASSERT_TRUE(ProcessAlive(running));
    const fs::path own = fs::path(HistoryDir(ws));
    Touch(Root() / "0_1.bmp");                        // loose, from an older layout
    Touch(Root() / std::to_string(gone) / "0_1.bmp"); // a copy that has ended
    Touch(Root() / std::to_string(gone) / "sub" / "0_2.bmp");
    Touch(Root() / std::to_string(running) / "3_4.bmp"); // a copy still running
    Touch(own / "1_1.bmp");                              // left by an earlier copy with our id
    Touch(Root() / "notes" / "a.txt");                   // not a copy's folder

    std::vector<std::string> errors;
    ClearHistoryFolderAtStartup(ws, [&](const std::string& m) { errors.push_back(m); });
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(fs::exists(Root() / "0_1.bmp"));
    EXPECT_FALSE(fs::exists(Root() / std::to_string(gone)));
    EXPECT_TRUE(fs::exists(Root() / std::to_string(running) / "3_4.bmp")) << "another copy's history stays";
    EXPECT_FALSE(fs::exists(own / "1_1.bmp"));
    EXPECT_TRUE(fs::exists(Root() / "notes" / "a.txt"));

    // Exit: this copy's folder goes, the other copy's stays.
    Touch(own / "0_1.bmp");
    ClearHistoryFolder(ws, [&](const std::string& m) { errors.push_back(m); });
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(fs::exists(own));
    EXPECT_TRUE(fs::exists(Root() / std::to_string(running) / "3_4.bmp"));
}

TEST_F(HistoryFolderTest, StartUpMakesAMissingFolder) {
    fs::remove_all(Root());
    ClearHistoryFolderAtStartup(ws);
    EXPECT_TRUE(fs::is_directory(Root()));
    // Exit with nothing stored is no error either.
    int errors = 0;
    ClearHistoryFolder(ws, [&](const std::string&) { ++errors; });
    EXPECT_EQ(errors, 0);
}

TEST_F(HistoryFolderTest, SnapshotIsAPlainBottomUpBmpKeepingTheFourthByte) {
    const Bitmap image = Pattern(7, 5, 3); // 28-byte rows, every fourth byte set
    const std::string mine = HistoryDir(ws) + "a.bmp";
    WriteSnapshot(mine, image);
    std::ifstream a(mine, std::ios::binary);
    const std::string bytesA((std::istreambuf_iterator<char>(a)), {});
    // The plain 54-byte head (no alpha mask declared), then the rows as they
    // are in memory, the last first.
    std::vector<uint8_t> expected = bmp::FileHead(7, 5, 32);
    ASSERT_EQ(expected.size(), 54u);
    for (int y = 4; y >= 0; --y) expected.insert(expected.end(), image.Row(y), image.Row(y) + 7 * 4);
    EXPECT_TRUE(bytesA == std::string(expected.begin(), expected.end())) << "byte for byte";
    Bitmap back;
    ReadSnapshot(mine, back);
    EXPECT_TRUE(SamePixels(back, image));
    // The general reader agrees, fourth bytes included.
    EXPECT_TRUE(SamePixels(bmp::Read(mine), image));
}

TEST_F(HistoryFolderTest, LargeSnapshotsGoOutAndComeBackInBatches) {
    // More rows than one system call takes, and a size that does not fill
    // the last batch.
    const Bitmap image = Pattern(3, 1300, 5);
    const std::string path = HistoryDir(ws) + "tall.bmp";
    WriteSnapshot(path, image);
    EXPECT_EQ(fs::file_size(path), 54u + 3 * 4 * 1300);
    Bitmap back(3, 1300, 32); // the right size already: read in place
    const uint8_t* storage = back.Data();
    ReadSnapshot(path, back);
    EXPECT_EQ(back.Data(), storage);
    EXPECT_TRUE(SamePixels(back, image));
}

} // namespace
} // namespace pixora::testing
