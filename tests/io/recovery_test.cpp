// Recovery copies: what is written, when, by which thread, what a later run
// finds and how it opens, and what a failing disk leaves.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "doc/layer_operations.h"
#include "doc/slots.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/recovery.h"
#include "io/recovery_keeper.h"
#include "io_test_support.h"
#include "support/fake_port.h"
#include "support/file_faults.h"
#include "support/folders.h"
#include "support/pixels.h"
#include "support/slot_fixture.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

// How a later run that got this process's id sees the copies written here.
TRecoveryRun LaterRunOfThisId() {
    return TRecoveryRun{static_cast<long>(getpid()), 0};
}

struct RecoveryTest : ProgramFolderFixture {
    std::string folder;
    TRecoveryRun crashed;

    RecoveryTest() {
        port.Ws = &ws;
        ws.CreateWorkBitmaps();
        folder = ws.Paths().Recovery;
        crashed.Pid = EndedProcess();
        crashed.Started = 1700000000000;
    }

    // An image "opened" from a file and then edited.
    int Edited(const std::string& name, int seed) {
        const int slot = ClaimSlot(ws);
        SlotSource src;
        src.FileName = name;
        src.FileFormat = FormatFromExtension(name);
        src.FromFile = true;
        FillSlot(ws, slot, GradientImage(17 + seed, 9), src);
        PushHistory(ws, slot);
        TImages& s = ws.Images[static_cast<std::size_t>(slot)];
        for (int y = 0; y < s.Bitmap.Height(); ++y)
            s.Bitmap.Row(y)[0] = static_cast<uint8_t>(seed * 40 + y);
        return slot;
    }
};

TEST_F(RecoveryTest, ACrashedRunsCopyOpensAsAnUnsavedImageNamedAfterItsFile) {
    const int slot = Edited("/photos/holiday.png", 1);
    const Bitmap edited = ws.Images[static_cast<std::size_t>(slot)].Bitmap;
    auto copy = TakeRecoveryCopy(ws, slot);
    ASSERT_TRUE(copy);
    WriteRecoveryCopy(folder, crashed, *copy);
    const std::string base = crashed.Prefix() + std::to_string(slot);
    EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{base + ".bmp", base + ".txt"}));

    // Our own run's copies, and those of a process still running, are not
    // offered; the crashed run's are.
    TRecoveryRun self = TRecoveryRun::Current();
    TRecoveryRun running{static_cast<long>(getppid()), 5};
    WriteRecoveryCopy(folder, self, *copy);
    WriteRecoveryCopy(folder, running, *copy);
    const auto found = FindRecoverableImages(folder, self);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Name, "/photos/holiday.png");
    EXPECT_TRUE(found[0].HadFile);
    EXPECT_EQ(found[0].Width, 18);
    EXPECT_EQ(found[0].Height, 9);

    const int back = RecoverImage(ws, found[0]);
    ASSERT_GE(back, 0);
    const TImages& r = ws.Images[static_cast<std::size_t>(back)];
    EXPECT_TRUE(SameImage(r.Bitmap, edited));
    EXPECT_EQ(r.FileName, "/photos/holiday.png");
    EXPECT_EQ(port.Captions[back], "holiday.png");
    EXPECT_EQ(r.Saved, 0);
    EXPECT_EQ(r.HasFile, 0) << "Save asks for a name instead of writing over the file";
    EXPECT_EQ(r.HistoryCount, 0);
    EXPECT_TRUE(FindRecoverableImages(folder, self).empty());
    EXPECT_FALSE(fs::exists(found[0].Image));
    EXPECT_FALSE(fs::exists(found[0].Manifest));
    RemoveRecoveryCopies(folder, self);
    RemoveRecoveryCopies(folder, running);
    EXPECT_TRUE(FolderNames(folder).empty());
}

TEST_F(RecoveryTest, CopyComposesTheLayersWithoutChangingTheImage) {
    const int slot = Edited("layers.bmp", 2);
    port.Active = slot;
    TNewLayer layer;
    layer.Width = 6;
    layer.Height = 4;
    layer.Left = 3;
    layer.Top = 2;
    layer.Transparency = 100;
    ASSERT_TRUE(NewLayer(ws, layer));
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    Put(s.Bitmap, 1, 1, 10, 20, 30, 0); // an edit of layer 2 not yet stored
    const Bitmap live = s.Bitmap;
    const int current = s.CurrentLayer;
    auto copy = TakeRecoveryCopy(ws, slot);
    ASSERT_TRUE(copy);
    EXPECT_EQ(s.CurrentLayer, current);
    EXPECT_TRUE(SameImage(s.Bitmap, live));
    // What saving would write.
    Bitmap saved;
    ComposeLayers(ws, slot, [&](const Bitmap& merged) { saved = merged; });
    EXPECT_TRUE(SameImage(copy->Image, saved));
}

TEST_F(RecoveryTest, ManifestsThatAreNotOursOrNameNoImageAreNotOffered) {
    const int slot = Edited("a.bmp", 1);
    auto copy = TakeRecoveryCopy(ws, slot);
    WriteRecoveryCopy(folder, crashed, *copy);
    const std::string base = folder + crashed.Prefix();
    // Another slot's manifest without its image, garbage, and a manifest
    // whose image is not the size it states.
    std::ofstream(base + "3.txt") << "Pixora recovery copy 1\nname=x.bmp\nwidth=4\nheight=4\npid=1\n";
    std::ofstream(folder + "junk.txt") << "not a manifest\n";
    std::ofstream(base + "5.txt")
        << "Pixora recovery copy 1\nname=y.bmp\nwidth=99999999999\nheight=4\npid=1\n";
    auto found = FindRecoverableImages(folder, TRecoveryRun::Current());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Name, "a.bmp");
    found[0].Width += 1;
    const int open = ws.SysData.OpenCount;
    EXPECT_EQ(RecoverImage(ws, found[0]), -1);
    EXPECT_EQ(ws.SysData.OpenCount, open);
    ASSERT_EQ(port.Errors.size(), 1u);
    EXPECT_EQ(port.Errors[0].first, 2);
    EXPECT_TRUE(fs::exists(found[0].Image)) << "a copy that did not open is kept";
}

TEST_F(RecoveryTest, KeeperCopiesOnTheTwentiethStepAndRemovesSavedClosedAndAllAtExit) {
    TRecoveryKeeper keeper(folder);
    const int a = Edited("a.png", 1), b = Edited("b.png", 2);
    // Nineteen steps write nothing; a refresh of the menus without a step
    // is not a step.
    for (int i = 1; i < kRecoveryStepInterval; ++i) {
        PushHistory(ws, i % 2 ? a : b);
        keeper.NoteHistoryStep(ws, i % 2 ? a : b);
        keeper.NoteHistoryStep(ws, i % 2 ? a : b);
    }
    keeper.Finish();
    EXPECT_TRUE(FolderNames(folder).empty());
    PushHistory(ws, a);
    keeper.NoteHistoryStep(ws, a);
    keeper.Finish();
    EXPECT_EQ(FolderNames(folder).size(), 4u);
    EXPECT_EQ(keeper.LastError(), "");
    // Saved, then closed: their copies go at the next refresh.
    ws.Images[static_cast<std::size_t>(a)].Saved = 1;
    keeper.Refresh(ws);
    keeper.Finish();
    EXPECT_EQ(FolderNames(folder).size(), 2u);
    const auto left = FindRecoverableImages(folder, LaterRunOfThisId());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].Name, "b.png");
    keeper.RemoveAll();
    EXPECT_TRUE(FolderNames(folder).empty());
}

// A layer whose writes wait until the test lets them go, and that notes
// which thread asked.
struct THeldFiles : TFileLayer {
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    std::atomic<bool> askedOffThread{false};
    std::thread::id window = std::this_thread::get_id();
    int Open(const std::string& path, int flags, mode_t mode) override {
        if (std::this_thread::get_id() != window) askedOffThread = true;
        std::unique_lock lock(m);
        cv.wait(lock, [this] { return release; });
        return TFileLayer::Open(path, flags, mode);
    }
};

TEST_F(RecoveryTest, TheWindowThreadOnlyCopiesTheWorkerWrites) {
    const int slot = Edited("slow.png", 1);
    THeldFiles held;
    {
        TFileLayerOverride use(held);
        TRecoveryKeeper keeper(folder);
        keeper.Refresh(ws); // returns while the write is held up
        // The image may change at once: the worker writes the copy taken.
        const Bitmap taken = ws.Images[static_cast<std::size_t>(slot)].Bitmap;
        ws.Images[static_cast<std::size_t>(slot)].Bitmap.Fill(1, 2, 3, 0);
        {
            std::lock_guard lock(held.m);
            held.release = true;
        }
        held.cv.notify_all();
        keeper.Finish();
        EXPECT_TRUE(held.askedOffThread);
        const auto found = FindRecoverableImages(folder, LaterRunOfThisId());
        ASSERT_EQ(found.size(), 1u);
        EXPECT_TRUE(SameImage(LoadImageFile(found[0].Image, fcBmp), taken));
        keeper.RemoveAll();
    }
}

TEST_F(RecoveryTest, AFailedWriteKeepsTheEarlierCopy) {
    const int slot = Edited("keep.png", 1);
    TRecoveryKeeper keeper(folder);
    keeper.Refresh(ws);
    keeper.Finish();
    const auto first = FindRecoverableImages(folder, LaterRunOfThisId());
    ASSERT_EQ(first.size(), 1u);
    const auto image = ReadBytes(first[0].Image), manifest = ReadBytes(first[0].Manifest);
    for (TFault fault :
         {TFault{TFaultAt::Write, ENOSPC, ".bmp", 500}, TFault{TFaultAt::Rename, EIO, ".txt"}}) {
        PushHistory(ws, slot);
        ws.Images[static_cast<std::size_t>(slot)].Bitmap.Fill(9, 9, 9, 0);
        TFaultyFiles faulty(fault);
        keeper.NoteHistoryStep(ws, slot);
        keeper.Refresh(ws);
        keeper.Finish();
        EXPECT_NE(keeper.LastError().find(faulty.Reason()), std::string::npos) << keeper.LastError();
        if (fault.At == TFaultAt::Write) {
            EXPECT_EQ(ReadBytes(first[0].Image), image);
            EXPECT_EQ(ReadBytes(first[0].Manifest), manifest);
        }
        EXPECT_EQ(FolderNames(folder).size(), 2u) << "no temporary file stays behind";
    }
    keeper.RemoveAll();
}

} // namespace
