// What the file commands keep when the disk fails them: every earlier file
// byte for byte, the open image, its flags and history, and a report that
// names what failed.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <string>
#include <vector>

#include "doc/slots.h"
#include "history/history_store.h"
#include "io/batch_conversion.h"
#include "io/codecs/format_rows.h"
#include "io/codecs/image_codecs.h"
#include "io/ini_file.h"
#include "io/new_close_commands.h"
#include "io/open_commands.h"
#include "io/recent_files.h"
#include "io/save_commands.h"
#include "io/tips.h"
#include "io_test_support.h"
#include "support/fake_port.h"
#include "support/file_faults.h"
#include "support/folders.h"
#include "support/no_questions.h"
#include "support/pixels.h"
#include "support/slot_fixture.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

struct TNamedFault {
    const char* Name;
    TFault Fault;
};

// The ways a write can go wrong, each at a different stage of writing
// through a temporary file.
std::vector<TNamedFault> WriteFaults(const std::string& pathPart, std::size_t partWay = 100) {
    return {
        {"permission denied at create", {TFaultAt::Create, EACCES, pathPart}},
        {"disk full before the first byte", {TFaultAt::Write, ENOSPC, pathPart, 0}},
        {"disk full part-way", {TFaultAt::Write, ENOSPC, pathPart, partWay}},
        {"last writes lost at close", {TFaultAt::Close, EIO, pathPart}},
        {"permissions not copied", {TFaultAt::Chmod, EPERM, pathPart}},
        {"rename refused", {TFaultAt::Rename, EXDEV, pathPart}},
        {"a name the file system refuses", {TFaultAt::Create, EINVAL, pathPart}},
        {"held by another program", {TFaultAt::Rename, EBUSY, pathPart}},
    };
}

// A faulty file layer over a workspace whose history is written behind on a
// thread of its own: the steps handed over before it came are written first,
// and those handed over while it lives are written before it goes, so the
// writer never reaches a layer that is gone.
struct TWorkspaceFaults : TFaultyFiles {
    TWorkspaceFaults(Workspace& ws, TFault fault) : TFaultyFiles((WaitForStoredSteps(ws), std::move(fault))), ws_(ws) {}
    ~TWorkspaceFaults() { WaitForStoredSteps(ws_); }
    Workspace& ws_;
};

struct FileFaultsTest : ProgramFolderFixture {
    TNoQuestions q;
    std::string pictures;

    FileFaultsTest() {
        port.Ws = &ws;
        pictures = dir.File("pictures") + "/";
        fs::create_directories(pictures);
        ws.CreateWorkBitmaps();
    }

    std::string Picture(const std::string& name, int seed) {
        const std::string path = pictures + name;
        Bitmap b = GradientImage(24 + seed, 10);
        WriteImageFile(path, b, FormatFromExtension(path), SaveOptions{});
        return path;
    }
    int OpenPicture(const std::string& path) {
        const int slot = LoadIntoNewSlot(ws, path);
        port.Errors.clear();
        port.Problems.clear();
        return slot;
    }
    // An edit that changes every pixel, through the history.
    void Edit(int slot) {
        ASSERT_TRUE(PushHistory(ws, slot));
        NameHistoryStep(ws, "Edit");
        TImages& s = ws.Images[static_cast<std::size_t>(slot)];
        for (int y = 0; y < s.Bitmap.Height(); ++y) {
            uint8_t* p = s.Bitmap.Row(y);
            for (int x = 0; x < s.Bitmap.Width() * 4; ++x)
                p[x] = static_cast<uint8_t>(p[x] ^ 0x5A);
        }
    }
};

// ---- saving -----------------------------------------------------------------

// The first extension of every format the program writes.
std::vector<std::string> WrittenExtensions() {
    std::vector<std::string> list;
    for (const TFormatRow& row : Formats().Rows())
        if (Formats().WriterOf(row.Code) == &row) list.push_back(ListItems(row.Extensions).front());
    return list;
}

TEST_F(FileFaultsTest, FailedSaveKeepsTheOldFileTheImageAndItsFlagsAndSaysWhy) {
    ASSERT_EQ(WrittenExtensions().size(), 13u);
    for (const std::string& ext : WrittenExtensions()) {
        for (const auto& [name, fault] : WriteFaults(std::string("saved") + ext)) {
            SCOPED_TRACE(std::string(ext) + ": " + name);
            const std::string path = Picture(std::string("saved") + ext, 3);
            chmod(path.c_str(), 0640);
            const auto before = ReadBytes(path);
            const auto namesBefore = FolderNames(pictures);
            const int slot = OpenPicture(path);
            ASSERT_GE(slot, 0);
            Edit(slot);
            TImages& s = ws.Images[static_cast<std::size_t>(slot)];
            const Bitmap image = s.Bitmap;
            const int pos = s.HistoryPos, count = s.HistoryCount;
            {
                TWorkspaceFaults faulty(ws, fault);
                EXPECT_FALSE(SaveSlot(ws, slot, q));
                EXPECT_GE(faulty.Failures(), 1);
                if (fault.At == TFaultAt::Write && fault.AfterBytes > 0) {
                    EXPECT_EQ(faulty.BytesWritten(), fault.AfterBytes) << "the write stops part-way";
                }
                ASSERT_EQ(port.Errors.size(), 1u);
                EXPECT_EQ(port.Errors[0].first, 1);
                EXPECT_NE(port.Errors[0].second.find(faulty.Reason()), std::string::npos)
                    << port.Errors[0].second;
                // The message names the user's file, never the temporary one.
                EXPECT_NE(port.Errors[0].second.find("saved" + ext + ":"), std::string::npos)
                    << port.Errors[0].second;
                EXPECT_EQ(port.Errors[0].second.find(".pixora-"), std::string::npos) << port.Errors[0].second;
            }
            EXPECT_EQ(ReadBytes(path), before);
            EXPECT_EQ(FolderNames(pictures), namesBefore) << "no temporary file stays behind";
            struct stat st {};
            ASSERT_EQ(stat(path.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0640u);
            EXPECT_EQ(s.Saved, 0);
            EXPECT_EQ(s.FileName, path);
            EXPECT_TRUE(SameImage(s.Bitmap, image));
            EXPECT_EQ(s.HistoryPos, pos);
            EXPECT_EQ(s.HistoryCount, count);
            // The disk mended, the same save goes through.
            EXPECT_TRUE(SaveSlot(ws, slot, q));
            EXPECT_EQ(s.Saved, 1);
            EXPECT_NE(ReadBytes(path), before);
            CloseImage(ws, slot, q);
            port.Errors.clear();
        }
    }
}

TEST_F(FileFaultsTest, ShortWritesThatGoOnGiveTheSameFiles) {
    const Bitmap image = GradientImage(300, 40);
    for (const char* ext : {".bmp", ".jpg", ".png", ".gif"}) {
        SCOPED_TRACE(ext);
        const std::string plain = pictures + "plain" + ext, chopped = pictures + "chopped" + ext;
        WriteImageFile(plain, image, FormatFromExtension(plain), SaveOptions{});
        {
            TFaultyFiles faulty;
            faulty.ShortWrites = 7;
            WriteImageFile(chopped, image, FormatFromExtension(chopped), SaveOptions{});
        }
        EXPECT_EQ(ReadBytes(chopped), ReadBytes(plain));
    }
    // The history store's snapshots too.
    const std::string snap = pictures + "snap.bmp";
    {
        TFaultyFiles faulty;
        faulty.ShortWrites = 5;
        WriteSnapshot(snap, image);
    }
    Bitmap back;
    ReadSnapshot(snap, back);
    EXPECT_TRUE(SameImage(back, image));
}

// ---- reopening --------------------------------------------------------------

TEST_F(FileFaultsTest, ReopenOfAVanishedFileOrWithAFullHistoryFolderChangesNothing) {
    const std::string path = Picture("reopen.png", 1);
    const int slot = OpenPicture(path);
    ASSERT_GE(slot, 0);
    Edit(slot);
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const Bitmap image = s.Bitmap;
    const int pos = s.HistoryPos, count = s.HistoryCount;
    {
        TWorkspaceFaults gone(ws, {TFaultAt::OpenToRead, ENOENT, "reopen.png"});
        EXPECT_FALSE(ReopenFile(ws));
        ASSERT_EQ(port.Errors.size(), 1u);
        EXPECT_EQ(port.Errors[0].first, 2);
        EXPECT_NE(port.Errors[0].second.find(gone.Reason()), std::string::npos);
    }
    {
        // The file reads, but the step before it cannot be stored.
        TWorkspaceFaults full(ws, {TFaultAt::Write, ENOSPC, "/hstry/", 60});
        EXPECT_FALSE(ReopenFile(ws));
        ASSERT_EQ(port.Problems.size(), 1u);
        EXPECT_EQ(port.Problems[0].first, "Could not store the undo step.");
        EXPECT_NE(port.Problems[0].second.find(full.Reason()), std::string::npos);
    }
    EXPECT_TRUE(SameImage(s.Bitmap, image));
    EXPECT_EQ(s.Saved, 0);
    EXPECT_EQ(s.HistoryPos, pos);
    EXPECT_EQ(s.HistoryCount, count);
    // Undo still finds the image as it was opened.
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SameImage(s.Bitmap, LoadImageFile(path, fcPng)));
}

// ---- batch conversion ---------------------------------------------------------

TEST_F(FileFaultsTest, BatchConversionKeepsEveryOtherOutputAndAnOldOneAndNamesTheFailure) {
    const std::string out = dir.File("out") + "/";
    fs::create_directories(out);
    TBatchRequest r;
    r.Sources = BatchSourcesFromPaths({Picture("a.bmp", 1), Picture("b.bmp", 2), Picture("c.bmp", 3)});
    r.Folder = out;
    r.Extension = ".png";
    WriteWholeFile(out + "b.png", "an older b");
    for (const auto& [name, fault] : WriteFaults("b.png")) {
        SCOPED_TRACE(name);
        fs::remove(out + "a.png");
        fs::remove(out + "c.png");
        TBatchResult result;
        {
            TFaultyFiles faulty(fault);
            TConversionControl control;
            control.Threads = 2;
            result = ConvertBatch(r, control);
            EXPECT_GE(faulty.Failures(), 1);
            ASSERT_EQ(result.Run.Outcomes.size(), 3u);
            EXPECT_NE(result.Run.Outcomes[1].Error.find(faulty.Reason()), std::string::npos)
                << result.Run.Outcomes[1].Error;
        }
        EXPECT_EQ(result.Run.Written, 2);
        EXPECT_EQ(result.Run.Failed, 1);
        EXPECT_FALSE(result.Run.Outcomes[1].Written);
        const auto left = ReadBytes(out + "b.png");
        EXPECT_EQ(std::string(left.begin(), left.end()), "an older b");
        EXPECT_EQ(FolderNames(out), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
        EXPECT_TRUE(SameImage(LoadImageFile(out + "c.png", fcPng), LoadImageFile(pictures + "c.bmp", fcBmp)));
    }
    // A source that is gone by the time its turn comes.
    TFaultyFiles gone({TFaultAt::OpenToRead, ENOENT, "a.bmp"});
    const TBatchResult result = ConvertBatch(r);
    EXPECT_EQ(result.Run.Failed, 1);
    EXPECT_NE(result.Run.Outcomes[0].Error.find(gone.Reason()), std::string::npos);
}

// ---- preferences and the recent-file list ----------------------------------------

TEST_F(FileFaultsTest, PreferencesThatCannotBeWrittenStayAsTheyWereAndSaySo) {
    TTipsState state;
    state.TipNumber = 4;
    state.ShowAtStartup = true;
    ASSERT_TRUE(CloseTips(ws, state));
    const std::string file = ws.Paths().PreferencesFile();
    const auto before = ReadBytes(file);
    for (const auto& [name, fault] : WriteFaults("pref.INI", 10)) {
        SCOPED_TRACE(name);
        port.Problems.clear();
        TTipsState other;
        other.TipNumber = 9;
        TFaultyFiles faulty(fault);
        EXPECT_FALSE(CloseTips(ws, other));
        ASSERT_EQ(port.Problems.size(), 1u);
        EXPECT_EQ(port.Problems[0].first, "Could not save the preferences.");
        EXPECT_NE(port.Problems[0].second.find(faulty.Reason()), std::string::npos);
        EXPECT_EQ(ReadBytes(file), before);
        EXPECT_EQ(FolderNames(ws.Paths().Settings), std::vector<std::string>{"pref.INI"});
    }
    EXPECT_EQ(OpenTips(ws).TipNumber, 5);
    EXPECT_TRUE(OpenTips(ws).ShowAtStartup);
}

TEST_F(FileFaultsTest, RecentListThatCannotBeWrittenStaysAndTheImageStillOpens) {
    const std::string first = Picture("first.bmp", 1), second = Picture("second.bmp", 2);
    ASSERT_TRUE(AddRecentFile(ws, first));
    const std::string file = RecentFilesPath(ws);
    const auto before = ReadBytes(file);
    for (const auto& [name, fault] : WriteFaults("files.txt", 10)) {
        SCOPED_TRACE(name);
        port.Problems.clear();
        TWorkspaceFaults faulty(ws, fault);
        const int slot = LoadIntoNewSlot(ws, second);
        ASSERT_GE(slot, 0);
        EXPECT_EQ(ws.Images[static_cast<std::size_t>(slot)].Bitmap.Width(), 26);
        ASSERT_EQ(port.Problems.size(), 1u);
        EXPECT_EQ(port.Problems[0].first, "Could not update the list of recent files.");
        EXPECT_NE(port.Problems[0].second.find(faulty.Reason()), std::string::npos);
        EXPECT_EQ(ReadBytes(file), before);
        EXPECT_EQ(ws.ToolVars.RecentFiles[0], first);
        EXPECT_EQ(ws.ToolVars.RecentFiles[1], "");
        EXPECT_TRUE(port.Errors.empty());
        CloseImage(ws, slot, q);
    }
}

} // namespace

// The history's writer works on a thread of its own: a fault layer that ends
// while that thread is inside one of its calls must wait for the call, or
// the thread goes on in a layer that is gone (this hung a save test).
TEST(FileLayerOverride, EndingWaitsForCallsOtherThreadsAreMaking) {
    struct TSlowLayer : TFileLayer {
        std::atomic<bool> inside{false}, gone{false}, usedAfterEnd{false};
        int Chmod(const std::string&, mode_t) override {
            inside = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (gone) usedAfterEnd = true;
            return 0;
        }
    } layer;
    std::optional<TFileLayerOverride> in(std::in_place, layer);
    std::thread other([] { FileLayer().Chmod("/nowhere", 0600); });
    while (!layer.inside)
        std::this_thread::yield();
    in.reset();
    layer.gone = true;
    other.join();
    EXPECT_FALSE(layer.usedAfterEnd);
}
