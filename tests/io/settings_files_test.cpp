// The program's own settings files when they are not what it wrote: the
// preference file and the recent-file list read as defaults, never hang or
// crash the start, and the next write replaces them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "io/ini_file.h"
#include "io/recent_files.h"
#include "io/tips.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

// Bytes no text editor wrote: NULs, stray CRs, invalid UTF-8 and control
// characters, with something that looks like a section in the middle.
std::vector<uint8_t> Garbage(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    uint32_t x = 12345;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 24);
    }
    const std::string fake("\n[general]\n\0showtips=TRUE\n", 26);
    std::copy(fake.begin(), fake.end(), bytes.begin() + static_cast<std::ptrdiff_t>(size / 2));
    return bytes;
}

struct SettingsFilesTest : ::testing::Test {
    ScratchDir dir;
    Workspace ws;
    void SetUp() override {
        TProgramPaths paths;
        paths.Settings = dir.File("save") + "/";
        fs::create_directories(paths.Settings);
        ws.UsePaths(paths);
    }
    std::string Pref() const { return ws.Paths().PreferencesFile(); }
    std::string Recent() const { return ws.Paths().RecentFilesFile(); }
    // Puts something that is not a plain file where `file` belongs.
    static void Put(const std::string& file, const std::string& what) {
        std::error_code ec;
        fs::remove_all(file, ec);
        if (what == "folder") {
            fs::create_directories(file + "/inside");
        } else if (what == "pipe") {
            ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
        } else if (what == "garbage") {
            WriteBytes(file, Garbage(3000));
        } else if (what == "huge") {
            // A real preference file lost in a megabyte of noise.
            std::vector<uint8_t> bytes = Garbage(1 << 20);
            const std::string real = "[general]\r\nshowtips=TRUE\r\ntipid=5\r\n";
            std::copy(real.begin(), real.end(), bytes.begin());
            WriteBytes(file, bytes);
        }
    }
};

} // namespace

TEST_F(SettingsFilesTest, ABadPreferenceFileReadsAsEmptyAndTheTipsWriteAFreshOne) {
    for (const char* what : {"garbage", "huge", "pipe", "folder"}) {
        SCOPED_TRACE(what);
        Put(Pref(), what);
        // A pipe would hold the start up for good if it were opened to be read.
        EXPECT_FALSE(ShowTipsAtStartup(ws));
        TTipsState s = OpenTips(ws);
        EXPECT_EQ(s.TipNumber, 1);
        EXPECT_FALSE(s.ShowAtStartup);

        s.ShowAtStartup = true;
        if (std::string(what) == "folder") {
            // Nothing can be written in its place; the failure is told, the
            // folder stays.
            EXPECT_FALSE(CloseTips(ws, s));
            EXPECT_TRUE(fs::is_directory(Pref()));
            EXPECT_FALSE(fs::exists(Pref() + ".part"));
            continue;
        }
        ASSERT_TRUE(CloseTips(ws, s));
        ASSERT_TRUE(fs::is_regular_file(Pref()));
        EXPECT_TRUE(ShowTipsAtStartup(ws));
        EXPECT_EQ(OpenTips(ws).TipNumber, 2);
        if (std::string(what) != "garbage") {
            EXPECT_LT(fs::file_size(Pref()), 100u) << "the noise was kept";
        }
    }
}

TEST_F(SettingsFilesTest, ABadRecentListKeepsOnlyItsUsablePathsAndIsReplacedByTheNextOpen) {
    // Lines that cannot be menu captions are passed over, the others kept
    // in order: a NUL, a control character, broken UTF-8, an overlong path.
    std::string text = "/pictures/one.png\r\n";
    text += std::string("/bad\0name.png", 13) + "\r\n";
    text += "/bad\x07name.png\r\n";
    text += "/bad\xC3(name.png\r\n";
    text += "/" + std::string(5000, 'x') + ".png\r\n";
    text += "/pictures/caf\xC3\xA9.png\r\n\r\n";
    text += "/pictures/two.png";
    WriteBytes(Recent(), std::vector<uint8_t>(text.begin(), text.end()));
    ASSERT_EQ(LoadRecentFiles(ws), 3);
    EXPECT_EQ(ws.ToolVars.RecentFiles[0], "/pictures/one.png");
    EXPECT_EQ(ws.ToolVars.RecentFiles[1], "/pictures/caf\xC3\xA9.png");
    EXPECT_EQ(ws.ToolVars.RecentFiles[2], "/pictures/two.png");

    for (const char* what : {"garbage", "huge", "pipe", "folder"}) {
        SCOPED_TRACE(what);
        Put(Recent(), what);
        const int count = LoadRecentFiles(ws);
        EXPECT_LE(count, 10);
        if (std::string(what) != "garbage") {
            EXPECT_EQ(count, 0);
        }
        for (const std::string& e : ws.ToolVars.RecentFiles)
            EXPECT_EQ(e.find('\0'), std::string::npos);

        // Remembering a file replaces what stood there (a pipe is never
        // written into, which would wait for a reader).
        const bool written = AddRecentFile(ws, "/pictures/new.png");
        if (std::string(what) == "folder") {
            EXPECT_FALSE(written);
            EXPECT_EQ(LoadRecentFiles(ws), 0);
            continue;
        }
        EXPECT_TRUE(written);
        ASSERT_TRUE(fs::is_regular_file(Recent()));
        EXPECT_EQ(LoadRecentFiles(ws), std::min(count + 1, 10));
        EXPECT_EQ(ws.ToolVars.RecentFiles[0], "/pictures/new.png");
    }
}
