// The undo store: snapshots, counters, captions and lists, thumbnails,
// separate slots and the failures of the snapshot files.

#include <sys/resource.h>

#include <csignal>
#include <fstream>

#include "doc/thumbnail_fit.h"
#include "history/history_store.h"
#include "history_fixture.h"
#include "window_kit/command_states.h"

namespace pixora::testing {
namespace {

namespace fs = std::filesystem;

// A step file or an index: nothing half-written (a temporary) beside them.
bool StoreFile(const fs::path& p) {
    return p.extension() == ".bmp" || p.extension() == ".idx";
}

// Simple edits standing in for the program's operations.
void Invert(Bitmap& b) {
    for (int y = 0; y < b.Height(); ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < b.Width(); ++x, p += 4) p[0] = 255 - p[0], p[1] = 255 - p[1], p[2] = 255 - p[2];
    }
}
void Brighten(Bitmap& b) {
    for (int y = 0; y < b.Height(); ++y) {
        uint8_t* p = b.Row(y);
        for (int x = 0; x < b.Width() * 4; ++x) p[x] = static_cast<uint8_t>(p[x] + 1);
    }
}

struct HistoryTest : WorkspaceTest {
    int slot = -1;
    void SetUp() override {
        WorkspaceTest::SetUp();
        slot = Open(Pattern(16, 9, 1));
    }
    TImages& S() { return Slot(slot); }
    // Push, name, edit: the order every editing operation follows.
    void Edit(const std::string& name, void (*change)(Bitmap&) = Brighten) {
        ASSERT_TRUE(PushHistory(ws));
        NameHistoryStep(ws, name);
        change(S().Bitmap);
    }
    THistoryMenus Menus() { return HistoryMenuTexts(S()); }
    bool Enabled(CommandRule rule) { return CommandEnabled(ws, rule); }
    std::string File(int k) { return SnapshotPath(ws, slot, k); }
};

TEST_F(HistoryTest, FreshImageHasNothingToUndo) {
    EXPECT_FALSE(Enabled(CommandRule::Undo));
    EXPECT_FALSE(Enabled(CommandRule::Redo));
    EXPECT_FALSE(Enabled(CommandRule::UndoHistory));
    const THistoryMenus m = Menus();
    EXPECT_EQ(m.UndoCaption, "Undo");
    EXPECT_EQ(m.RedoCaption, "Redo");
    EXPECT_TRUE(m.UndoItems.empty());
    EXPECT_TRUE(m.RedoItems.empty());
    EXPECT_FALSE(UndoStep(ws));
    EXPECT_FALSE(RedoStep(ws));
    EXPECT_EQ(S().HistoryPos, 0);
    EXPECT_EQ(S().HistoryCount, 0);
}

TEST_F(HistoryTest, FirstEditStoresTheOriginalAsSnapshotOne) {
    const Bitmap original = S().Bitmap;
    ASSERT_EQ(S().Saved, 1);
    port.Calls.clear();
    Edit("Invert", Invert);
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(S().Saved, 0);
    EXPECT_EQ(S().History[1].Name, "Original Image");
    EXPECT_NE(std::find(port.Calls.begin(), port.Calls.end(), "UpdateCommandStates"), port.Calls.end());
    EXPECT_EQ(port.Calls.back(), "RefreshHistoryMenus");
    Bitmap stored;
    ReadSnapshot(File(1), stored);
    EXPECT_TRUE(SamePixels(stored, original)) << "all four bytes of every pixel come back";
    EXPECT_EQ(Menus().UndoCaption, "Undo Invert");
    EXPECT_TRUE(Enabled(CommandRule::Undo));
    EXPECT_FALSE(Enabled(CommandRule::Redo));
    EXPECT_TRUE(Enabled(CommandRule::UndoHistory));
}

TEST_F(HistoryTest, UndoAfterFirstEditStoresTheNewestAndRedoBringsItBack) {
    const Bitmap original = S().Bitmap;
    Edit("Invert", Invert);
    const Bitmap inverted = S().Bitmap;
    port.Calls.clear();
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_EQ(port.Calls.front(), "EndSelection");
    EXPECT_EQ(S().HistoryPos, 0);
    EXPECT_EQ(S().HistoryCount, 2);
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
    EXPECT_EQ(S().Rows.Count(), S().Bitmap.Height());
    EXPECT_EQ(S().Rows[0], S().Bitmap.Row(0));
    EXPECT_EQ(Menus().UndoCaption, "Undo");
    EXPECT_EQ(Menus().RedoCaption, "Redo Invert");
    EXPECT_TRUE(Enabled(CommandRule::Redo));

    S().Saved = 1;
    port.Calls.clear();
    ASSERT_TRUE(RedoStep(ws));
    EXPECT_EQ(port.Calls.front(), "EndSelection");
    EXPECT_EQ(S().Saved, 0);
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(S().HistoryCount, 2);
    EXPECT_TRUE(SamePixels(S().Bitmap, inverted));
    EXPECT_FALSE(Enabled(CommandRule::Redo));
    EXPECT_EQ(Menus().RedoCaption, "Redo");
    EXPECT_FALSE(RedoStep(ws));
}

TEST_F(HistoryTest, UndoToOldestAndRedoToNewest) {
    std::vector<Bitmap> states{S().Bitmap};
    for (const char* name : {"A", "B", "C"}) {
        Edit(name);
        states.push_back(S().Bitmap);
    }
    for (int i = 2; i >= 0; --i) {
        ASSERT_TRUE(UndoStep(ws));
        EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(i)])) << i;
    }
    EXPECT_FALSE(UndoStep(ws));
    EXPECT_FALSE(Enabled(CommandRule::Undo));
    EXPECT_EQ(Menus().RedoItems, (std::vector<std::string>{"A", "B", "C"}));
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(RedoStep(ws));
        EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(i)])) << i;
    }
    EXPECT_EQ(S().HistoryPos, S().HistoryCount - 1);
    EXPECT_FALSE(Enabled(CommandRule::Redo));
    EXPECT_EQ(Menus().RedoCaption, "Redo");
    EXPECT_EQ(Menus().UndoCaption, "Undo C");
}

TEST_F(HistoryTest, EditAfterUndoDiscardsTheRedoBranch) {
    for (const char* name : {"A", "B", "C"}) Edit(name);
    ASSERT_TRUE(UndoStep(ws));
    ASSERT_TRUE(UndoStep(ws));
    ASSERT_EQ(S().HistoryPos, 1);
    ASSERT_EQ(S().HistoryCount, 4);
    for (int k = 1; k <= 4; ++k) ASSERT_TRUE(fs::exists(File(k))) << k;
    const Bitmap shown = S().Bitmap;

    Edit("Line");
    EXPECT_EQ(S().HistoryPos, 2);
    EXPECT_EQ(S().HistoryCount, 2);
    EXPECT_FALSE(fs::exists(File(3)));
    EXPECT_FALSE(fs::exists(File(4)));
    EXPECT_TRUE(S().History[3].Thumb.Empty());
    Bitmap second;
    ReadSnapshot(File(2), second);
    EXPECT_TRUE(SamePixels(second, shown));
    EXPECT_TRUE(Menus().RedoItems.empty());
    EXPECT_EQ(Menus().UndoItems, (std::vector<std::string>{"Line", "A"}));
    EXPECT_FALSE(Enabled(CommandRule::Redo));
    // No snapshot file is left half-written beside the others (once the
    // index, written behind, is done too).
    WaitForStoredSteps(ws);
    for (const auto& e : fs::directory_iterator(HistoryDir(ws))) EXPECT_TRUE(StoreFile(e.path())) << e.path();
}

TEST_F(HistoryTest, RedoListStopsAtTen) {
    for (int i = 1; i <= 12; ++i) Edit(std::string("S") + std::to_string(i));
    ASSERT_TRUE(JumpToHistoryStep(ws, 0));
    const THistoryMenus m = Menus();
    EXPECT_TRUE(m.UndoItems.empty());
    ASSERT_EQ(m.RedoItems.size(), 10u);
    EXPECT_EQ(m.RedoItems.front(), "S1");
    EXPECT_EQ(m.RedoItems.back(), "S10");
}

TEST_F(HistoryTest, UndoRestoresTheSizeOfAnEarlierState) {
    const Bitmap original = S().Bitmap;
    ASSERT_TRUE(PushHistory(ws));
    NameHistoryStep(ws, "Resize");
    S().Bitmap = Pattern(40, 3, 9);
    FillRowTable(S().Bitmap, S().Rows);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, original));
    EXPECT_EQ(S().Rows.Count(), original.Height());
    ASSERT_TRUE(RedoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, Pattern(40, 3, 9)));
}

TEST(HistoryThumbnail, FitRule) {
    EXPECT_EQ(FitThumbnail(30, 20, kHistoryThumbLimit), (TThumbSize{30, 20}));
    EXPECT_EQ(FitThumbnail(200, 100, kHistoryThumbLimit), (TThumbSize{50, 25}));
    EXPECT_EQ(FitThumbnail(100, 400, kHistoryThumbLimit), (TThumbSize{12, 50}));
    EXPECT_EQ(FitThumbnail(50, 50, kHistoryThumbLimit), (TThumbSize{50, 50}));
    EXPECT_EQ(FitThumbnail(51, 10, kHistoryThumbLimit), (TThumbSize{50, 9}));
}

TEST_F(HistoryTest, ThumbnailOfEachSnapshot) {
    const struct {
        int W, H, TW, TH;
    } cases[] = {{30, 20, 30, 20}, {200, 100, 50, 25}, {100, 400, 12, 50}};
    for (const auto& c : cases) {
        Bitmap img(c.W, c.H, 32);
        img.Fill(10, 20, 30, 0);
        S().Bitmap = img;
        FillRowTable(S().Bitmap, S().Rows);
        ASSERT_TRUE(PushHistory(ws));
        const Bitmap& t = S().History[static_cast<std::size_t>(S().HistoryPos)].Thumb;
        EXPECT_EQ(t.Width(), c.TW);
        EXPECT_EQ(t.Height(), c.TH);
        EXPECT_EQ(t.BitsPerPixel(), 32);
        EXPECT_EQ(t.Row(t.Height() / 2)[4 * (t.Width() / 2) + 2], 30) << "scaled from the image";
    }
}

TEST_F(HistoryTest, SlotsKeepSeparateHistories) {
    const int other = Open(Pattern(8, 8, 5));
    const Bitmap otherOriginal = Slot(other).Bitmap;
    Activate(other);
    Edit("Invert", Invert);
    const Bitmap otherEdited = Slot(other).Bitmap;

    Activate(slot);
    const Bitmap mine = S().Bitmap;
    Edit("A");
    Edit("B");
    ASSERT_TRUE(UndoStep(ws));
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, mine));
    EXPECT_TRUE(SamePixels(Slot(other).Bitmap, otherEdited));
    EXPECT_EQ(Slot(other).HistoryPos, 1);
    EXPECT_EQ(Slot(other).HistoryCount, 1);

    Activate(other);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(Slot(other).Bitmap, otherOriginal));
    EXPECT_NE(SnapshotPath(ws, slot, 1), SnapshotPath(ws, other, 1));

    // Closing one slot removes its files only.
    DeleteSlotHistoryFiles(ws, other);
    EXPECT_FALSE(fs::exists(SnapshotPath(ws, other, 1)));
    EXPECT_FALSE(fs::exists(SnapshotPath(ws, other, 2)));
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(fs::exists(File(k))) << k;
}

TEST_F(HistoryTest, SnapshotsLiveInThisCopysOwnFolder) {
    const std::string path = File(3);
    EXPECT_EQ(path.rfind(HistoryDir(ws), 0), 0u);
    EXPECT_NE(HistoryDir(ws).find("/" + std::to_string(static_cast<long>(getpid())) + "/"), std::string::npos);
    EXPECT_EQ(path.substr(path.size() - 4), ".bmp");
}

TEST_F(HistoryTest, TableGrowsPastTenThousandSteps) {
    Bitmap tiny(2, 1, 32);
    S().Bitmap = tiny;
    FillRowTable(S().Bitmap, S().Rows);
    const Bitmap first = S().Bitmap;
    for (int i = 0; i < 10002; ++i) {
        ASSERT_TRUE(PushHistory(ws)) << i;
        NameHistoryStep(ws, "Pen");
        S().Bitmap.Row(0)[0] = static_cast<uint8_t>(i);
    }
    EXPECT_EQ(S().HistoryCount, 10002);
    EXPECT_GE(S().History.size(), 10004u);
    EXPECT_EQ(S().History[1].Name, "Original Image");
    ASSERT_TRUE(JumpToHistoryStep(ws, 0));
    EXPECT_TRUE(SamePixels(S().Bitmap, first));
    EXPECT_EQ(Menus().RedoItems.size(), 10u);
}

// ---- failures ----------------------------------------------------------------

struct Counters {
    int Pos, Count;
    uint8_t Saved;
};

struct HistoryFaultTest : HistoryTest {
    Counters Before() { return {S().HistoryPos, S().HistoryCount, S().Saved}; }
    void ExpectUnchanged(const Counters& c, const Bitmap& image) {
        EXPECT_EQ(S().HistoryPos, c.Pos);
        EXPECT_EQ(S().HistoryCount, c.Count);
        EXPECT_EQ(S().Saved, c.Saved);
        EXPECT_TRUE(SamePixels(S().Bitmap, image));
    }
    // One report with its own headline, and the reason as its detail.
    void ExpectReported(const std::string& headline) {
        EXPECT_TRUE(port.Errors.empty());
        ASSERT_EQ(port.Problems.size(), 1u);
        EXPECT_EQ(port.Problems[0].first, headline);
        EXPECT_FALSE(port.Problems[0].second.empty()) << "the reason";
    }
};

// Files may grow to `bytes` only, as on a nearly full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(HistoryFaultTest, FullDiskLeavesCountersAndImage) {
    Edit("A");
    ASSERT_TRUE(UndoStep(ws));  // pos 0, count 2: a redo step exists
    const Counters c = Before();
    const Bitmap image = S().Bitmap;
    {
        FileSizeLimit limit(100);
        EXPECT_FALSE(PushHistory(ws));
    }
    ExpectUnchanged(c, image);
    ExpectReported("Could not store the undo step.");
    // The redo branch survived and still works.
    EXPECT_TRUE(fs::exists(File(2)));
    for (const auto& e : fs::directory_iterator(HistoryDir(ws))) EXPECT_TRUE(StoreFile(e.path())) << e.path();
    port.Problems.clear();
    ASSERT_TRUE(RedoStep(ws));
}

TEST_F(HistoryFaultTest, FullDiskDuringUndoFromTheNewestState) {
    Edit("A");
    const Counters c = Before();
    const Bitmap image = S().Bitmap;
    {
        FileSizeLimit limit(100);
        EXPECT_FALSE(UndoStep(ws));
    }
    ExpectUnchanged(c, image);
    ExpectReported("Could not store the undo step.");
    EXPECT_FALSE(fs::exists(File(2)));
}

TEST_F(HistoryFaultTest, UnwritableFolder) {
    // Where the folder should be there is a file: nothing can be created in it.
    const std::string dir = HistoryDir(ws);
    fs::remove_all(dir);
    std::ofstream(dir.substr(0, dir.size() - 1)) << "x";
    const Counters c = Before();
    const Bitmap image = S().Bitmap;
    EXPECT_FALSE(PushHistory(ws));
    ExpectUnchanged(c, image);
    ExpectReported("Could not store the undo step.");
}

TEST_F(HistoryFaultTest, MissingSnapshotOnUndoAndRedo) {
    Edit("A");
    Edit("B");
    ASSERT_TRUE(UndoStep(ws));  // pos 1, count 3
    fs::remove(File(1));
    fs::remove(File(3));
    const Counters c = Before();
    const Bitmap image = S().Bitmap;
    EXPECT_FALSE(UndoStep(ws));
    ExpectUnchanged(c, image);
    ExpectReported("Could not read the undo step.");
    port.Problems.clear();
    EXPECT_FALSE(RedoStep(ws));
    ExpectUnchanged(c, image);
    ExpectReported("Could not read the undo step.");
}

TEST_F(HistoryFaultTest, MissingFolderOnUndoFromTheNewestState) {
    Edit("A");
    // The folder goes once nothing is being written into it any more.
    WaitForStoredSteps(ws);
    fs::remove_all(HistoryDir(ws));
    const Counters c = Before();
    const Bitmap image = S().Bitmap;
    EXPECT_FALSE(UndoStep(ws));
    ExpectUnchanged(c, image);
    ExpectReported("Could not read the undo step.");
    // Nothing was stored for the newest state either.
    EXPECT_FALSE(fs::exists(File(2)));
}

TEST_F(HistoryFaultTest, TruncatedSnapshot) {
    Edit("A");
    ASSERT_TRUE(UndoStep(ws));
    fs::resize_file(File(2), 60);
    const Counters c = Before();
    const Bitmap image = S().Bitmap;
    EXPECT_FALSE(RedoStep(ws));
    ExpectUnchanged(c, image);
    ExpectReported("Could not read the undo step.");
}

} // namespace
} // namespace pixora::testing
