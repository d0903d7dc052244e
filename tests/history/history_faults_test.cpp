// The history store when its folder fails it: pushes, undo, redo and jumps
// leave the counters, the image and every stored snapshot as they were and
// say what failed; once the disk is mended the history goes on from there.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "history/history_store.h"
#include "history_fixture.h"
#include "support/file_faults.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

std::vector<char> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<TFault> kStoreFaults = {
    {TFaultAt::Create, EACCES, "/hstry/"},     {TFaultAt::Write, ENOSPC, "/hstry/", 0},
    {TFaultAt::Write, ENOSPC, "/hstry/", 300}, {TFaultAt::Close, EIO, "/hstry/"},
    {TFaultAt::Chmod, EPERM, "/hstry/"},       {TFaultAt::Rename, EACCES, "/hstry/"},
};

struct HistoryFaultsTest : WorkspaceTest {
    int slot = -1;
    // Three edits: snapshots 1..3 are the images before each, the image
    // on screen is the fourth state.
    std::vector<Bitmap> states;

    void SetUp() override {
        WorkspaceTest::SetUp();
        Build();
    }
    // A fresh slot with that history, made active.
    void Build() {
        states.clear();
        states.push_back(Pattern(20, 12, 0));
        slot = Open(states[0]);
        Activate(slot);
        for (int i = 1; i <= 3; ++i) {
            ASSERT_TRUE(PushHistory(ws));
            NameHistoryStep(ws, "Step " + std::to_string(i));
            states.push_back(Pattern(20, 12, i));
            Slot(slot).Bitmap = states.back();
        }
    }

    struct TState {
        int Pos, Count, Saved;
        Bitmap Image;
        std::vector<std::vector<char>> Files;
    };
    TState Now() {
        TState t{Slot(slot).HistoryPos, Slot(slot).HistoryCount, Slot(slot).Saved, Slot(slot).Bitmap, {}};
        for (int k = 1; k <= Slot(slot).HistoryCount; ++k)
            t.Files.push_back(Bytes(SnapshotPath(ws, slot, k)));
        return t;
    }
    void ExpectUnchanged(const TState& was) {
        const TState now = Now();
        EXPECT_EQ(now.Pos, was.Pos);
        EXPECT_EQ(now.Count, was.Count);
        EXPECT_EQ(now.Saved, was.Saved);
        EXPECT_TRUE(SamePixels(now.Image, was.Image));
        EXPECT_TRUE(now.Files == was.Files) << "a stored snapshot changed";
    }
    void ExpectReported(const std::string& headline, const TFaultyFiles& faulty) {
        ASSERT_EQ(port.Problems.size(), 1u);
        EXPECT_EQ(port.Problems[0].first, headline);
        EXPECT_NE(port.Problems[0].second.find(faulty.Reason()), std::string::npos)
            << port.Problems[0].second;
        port.Problems.clear();
    }
};

TEST_F(HistoryFaultsTest, FailedPushOnTopOrOverARedoStepKeepsEverything) {
    for (const TFault& fault : kStoreFaults) {
        SCOPED_TRACE(static_cast<int>(fault.At) * 1000 + static_cast<int>(fault.AfterBytes));
        Build();
        // On top of the history the snapshot is written in place (no
        // permission copy or rename to fail).
        TState was = Now();
        if (fault.At != TFaultAt::Chmod && fault.At != TFaultAt::Rename) {
            TFaultyFiles faulty(fault);
            EXPECT_FALSE(PushHistory(ws));
            ExpectReported("Could not store the undo step.", faulty);
            ExpectUnchanged(was);
        }
        // Over a redo step (after two undos): written through a temporary
        // file, so that snapshot 3 and redoing survive.
        ASSERT_TRUE(UndoStep(ws));
        ASSERT_TRUE(UndoStep(ws));
        was = Now();
        {
            TFaultyFiles faulty(fault);
            EXPECT_FALSE(PushHistory(ws));
            ExpectReported("Could not store the undo step.", faulty);
        }
        ExpectUnchanged(was);
        ASSERT_TRUE(RedoStep(ws));
        ASSERT_TRUE(RedoStep(ws));
        EXPECT_TRUE(SamePixels(Slot(slot).Bitmap, states[3]));
    }
}

TEST_F(HistoryFaultsTest, UndoRedoAndJumpThatCannotStoreOrReadChangeNothing) {
    // Undo from the newest state must store it first.
    for (const TFault& fault : {kStoreFaults[0], kStoreFaults[2], kStoreFaults[3]}) {
        Build();
        const TState was = Now();
        TFaultyFiles faulty(fault);
        EXPECT_FALSE(UndoStep(ws));
        EXPECT_FALSE(JumpToHistoryStep(ws, 0));
        ExpectUnchanged(was);
        ASSERT_GE(port.Problems.size(), 1u);
        EXPECT_EQ(port.Problems[0].first, "Could not store the undo step.");
        port.Problems.clear();
    }
    // The newest state stored, a snapshot that vanished cannot be read.
    ASSERT_TRUE(UndoStep(ws));
    for (int k : {1, 4}) {
        const TState was = Now();
        TFaultyFiles gone({TFaultAt::OpenToRead, ENOENT, "_" + std::to_string(k) + ".bmp"});
        EXPECT_FALSE(k == 1 ? JumpToHistoryStep(ws, 0) : RedoStep(ws));
        ExpectReported("Could not read the undo step.", gone);
        ExpectUnchanged(was);
    }
    // A snapshot truly removed from the folder behaves the same.
    std::remove(SnapshotPath(ws, slot, 2).c_str());
    const TState was = Now();
    EXPECT_FALSE(JumpToHistoryStep(ws, 1));
    EXPECT_EQ(port.Problems.size(), 1u);
    EXPECT_EQ(Slot(slot).HistoryPos, was.Pos);
    EXPECT_TRUE(SamePixels(Slot(slot).Bitmap, was.Image));
    // The others still work.
    ASSERT_TRUE(JumpToHistoryStep(ws, 0));
    EXPECT_TRUE(SamePixels(Slot(slot).Bitmap, states[0]));
    ASSERT_TRUE(JumpToHistoryStep(ws, 3));
    EXPECT_TRUE(SamePixels(Slot(slot).Bitmap, states[3]));
}

} // namespace
