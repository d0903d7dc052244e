// A copy of the editor killed with SIGKILL loses nothing it stored: a later
// run finds the image's steps on disk through their index and brings the
// image back at its last stored step with every step undoable.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "doc/slots.h"
#include "history/changed_step.h"
#include "history/history_folder.h"
#include "history/history_store.h"
#include "io/recovery.h"
#include "support/fake_port.h"
#include "support/folders.h"
#include "support/pixels.h"

namespace pixora::testing {
namespace {

namespace fs = std::filesystem;

// The states the child goes through: states[k] is the image after k edits.
std::vector<Bitmap> States() {
    std::vector<Bitmap> states{Pattern(700, 500, 5)};
    for (int e = 1; e <= 5; ++e) {
        Bitmap next = states.back();
        // Small strokes (tile steps) and one change of the whole image.
        if (e == 3)
            Paint(next, 0, 0, 700, 500, 40);
        else
            Paint(next, 60 * e, 30 * e, 40, 300, static_cast<uint8_t>(50 * e));
        states.push_back(std::move(next));
    }
    return states;
}

// The child: opens the image, makes the edits as the window does (edits
// that push first, strokes stored after), tells the parent how far it got
// and waits to be killed.
[[noreturn]] void RunChild(const std::string& exeDir, int edits, bool storeNewest, int tell) {
    Workspace ws;
    ws.SysData.ExeDir = exeDir;
    ws.CreateWorkBitmaps();
    ClearHistoryFolderAtStartup(ws);
    const std::vector<Bitmap> states = States();
    const int slot = ClaimSlot(ws);
    SlotSource src;
    src.FileName = "/pictures/crash.png";
    src.FromFile = true;
    FillSlot(ws, slot, Bitmap(states[0]), src);
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    for (int e = 1; e <= edits; ++e) {
        if (e % 2 == 1) {
            if (!PushHistory(ws, slot)) _exit(3);
            s.HistoryEntry(s.HistoryPos + 1).Name = "Edit " + std::to_string(e);
            s.Bitmap = states[static_cast<std::size_t>(e)];
        } else {
            Bitmap before = s.Bitmap;
            s.Bitmap = states[static_cast<std::size_t>(e)];
            if (StoreStepIfChanged(ws, slot, before, "Edit " + std::to_string(e)) != TStepStore::Stored) _exit(4);
        }
        if (storeNewest) StoreNewestState(ws, slot);
    }
    WaitForStoredSteps(ws);
    const char done = 'k';
    if (write(tell, &done, 1) != 1) _exit(5);
    for (;;) pause();
}

struct CrashRecoveryTest : ::testing::Test {
    ScratchProgramFolder folder{ScratchProgramFolder::Bare};
    Workspace ws;
    FakePort port;
    std::vector<Bitmap> states = States();

    void SetUp() override {
        ws.SysData.ExeDir = folder.ExeDir();
        ws.Port = &port;
        ws.CreateWorkBitmaps();
    }
    void TearDown() override { ws.Port = nullptr; }

    // Runs a child that makes `edits` edits and kills it with SIGKILL.
    void KilledAfter(int edits, bool storeNewest) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            RunChild(folder.ExeDir(), edits, storeNewest, fds[1]);
        }
        close(fds[1]);
        char done = 0;
        const bool told = read(fds[0], &done, 1) == 1;
        close(fds[0]);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(told) << "the child stopped early: " << status;
        ASSERT_TRUE(WIFSIGNALED(status));
    }

    // The next run: start-up, then what it offers, recovered.
    int Recover(int steps) {
        ClearHistoryFolderAtStartup(ws);
        const auto found = FindRecoverable(ws.Paths().Recovery, ws.Paths().History, TRecoveryRun::Current());
        EXPECT_EQ(found.size(), 1u);
        if (found.size() != 1) return -1;
        EXPECT_EQ(found[0].Name, "/pictures/crash.png");
        EXPECT_EQ(found[0].Steps(), steps);
        const int slot = RecoverImage(ws, found[0]);
        EXPECT_GE(slot, 0);
        port.Active = slot;
        return slot;
    }
};

TEST_F(CrashRecoveryTest, AKilledCopysFiveEditsComeBackAllUndoable) {
    // A copy that ended without an index leaves nothing to keep.
    const fs::path stale = fs::path(ws.Paths().History) / std::to_string(EndedProcess());
    fs::create_directories(stale);
    std::ofstream(stale / "0_1.bmp") << "x";

    KilledAfter(5, true);
    const int slot = Recover(5);
    ASSERT_GE(slot, 0);
    EXPECT_FALSE(fs::exists(stale));
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    EXPECT_EQ(s.HistoryPos, 5);
    EXPECT_EQ(s.HistoryCount, 5);
    EXPECT_TRUE(SamePixels(s.Bitmap, states[5]));
    EXPECT_EQ(HistoryMenuTexts(s).UndoCaption, "Undo Edit 5");
    for (int pos = 4; pos >= 0; --pos) {
        ASSERT_TRUE(UndoStep(ws)) << pos;
        EXPECT_EQ(s.HistoryPos, pos);
        EXPECT_TRUE(SamePixels(s.Bitmap, states[static_cast<std::size_t>(pos)])) << "state " << pos;
    }
    EXPECT_FALSE(UndoStep(ws));
    ASSERT_TRUE(JumpToHistoryStep(ws, 5));
    EXPECT_TRUE(SamePixels(s.Bitmap, states[5]));
    EXPECT_TRUE(port.Problems.empty()) << port.Problems[0].second;
    // The crashed copy's folder went with its history; the image's steps are
    // this run's now, and indexed for the next crash.
    EXPECT_EQ(FolderNames(ws.Paths().History), std::vector<std::string>{std::to_string(getpid())});
    WaitForStoredSteps(ws);
    EXPECT_TRUE(fs::exists(HistoryDir(ws) + std::to_string(slot) + ".idx"));
    // A clean exit leaves nothing to recover.
    DeleteSlotHistoryFiles(ws, slot);
    ClearHistoryFolder(ws);
    EXPECT_TRUE(FindRecoverable(ws.Paths().Recovery, ws.Paths().History, TRecoveryRun::Current()).empty());
}

// Killed before the last result was stored behind: the image comes back at
// the last stored step, the steps before it undoable.
TEST_F(CrashRecoveryTest, WithoutTheLastResultStoredTheLastStoredStepComesBack) {
    KilledAfter(4, false);
    const int slot = Recover(4);
    ASSERT_GE(slot, 0);
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    EXPECT_EQ(s.HistoryPos, 3);
    EXPECT_TRUE(SamePixels(s.Bitmap, states[3]));
    while (UndoStep(ws))
        EXPECT_TRUE(SamePixels(s.Bitmap, states[static_cast<std::size_t>(s.HistoryPos)])) << s.HistoryPos;
    EXPECT_EQ(s.HistoryPos, 0);
    EXPECT_TRUE(port.Problems.empty());
}

} // namespace
} // namespace pixora::testing
