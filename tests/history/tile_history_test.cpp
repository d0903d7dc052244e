// Steps that change part of a large image store only the changed tiles over
// the step before; every state still comes back exactly, however it is
// reached, and a damaged chain is reported instead of shown.

#include <fstream>
#include <iterator>

#include "history/changed_step.h"
#include "history/history_store.h"
#include "history/tile_snapshot.h"
#include "history_fixture.h"

namespace pixora::testing {
namespace {

namespace fs = std::filesystem;

struct TileHistoryTest : WorkspaceTest {
    int slot = -1;
    std::vector<Bitmap> states;  // states[k] = the image before edit k + 1
    void SetUp() override {
        WorkspaceTest::SetUp();
        // 5 x 4 tiles, the last row and column of them narrower.
        states.push_back(Pattern(1100, 800, 3));
        slot = Open(states[0]);
        Activate(slot);
    }
    TImages& S() { return Slot(slot); }
    void Edit(int x, int y, int w, int h, uint8_t v) {
        ASSERT_TRUE(PushHistory(ws));
        NameHistoryStep(ws, "Dot");
        Paint(S().Bitmap, x, y, w, h, v);
        states.push_back(S().Bitmap);
    }
    std::string File(int k) { return SnapshotPath(ws, slot, k); }
    THistoryMenus Menus() { return HistoryMenuTexts(S()); }
    // Sizes on disk once the steps written behind are there.
    uintmax_t Size(int k) {
        WaitForStoredSteps(ws);
        return fs::file_size(File(k));
    }
};

TEST_F(TileHistoryTest, SmallStepsStoreTheirTilesAndEveryStateComesBack) {
    Edit(10, 10, 5, 5, 1);
    Edit(1090, 790, 10, 10, 2);  // the corner tile, smaller than the others
    Edit(250, 250, 12, 12, 3);   // across four tiles
    Edit(300, 300, 3, 3, 4);
    const uintmax_t whole = Size(1);
    EXPECT_GE(whole, 1100u * 800 * 4);
    for (int k = 2; k <= 4; ++k) EXPECT_LT(Size(k), whole / 4) << "step " << k;
    for (int k = 1; k <= 4; ++k) {
        Bitmap read;
        ReadSnapshot(File(k), read);
        EXPECT_TRUE(SamePixels(read, states[static_cast<std::size_t>(k - 1)])) << "snapshot " << k;
    }
    // Every state, reached by a jump, by undo and by redo.
    for (int target : {0, 3, 1, 4, 2}) {
        ASSERT_TRUE(JumpToHistoryStep(ws, target));
        EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(target)])) << "jump " << target;
    }
    while (UndoStep(ws)) EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(S().HistoryPos)]));
    EXPECT_EQ(S().HistoryPos, 0);
    while (RedoStep(ws)) EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(S().HistoryPos)]));
    EXPECT_EQ(S().HistoryPos, 4);
    EXPECT_TRUE(port.Problems.empty());
}

TEST_F(TileHistoryTest, AnEditAfterUndoingBranchesAndTheNewBranchReadsBack) {
    Edit(10, 10, 5, 5, 1);
    Edit(300, 10, 5, 5, 2);
    Edit(600, 400, 5, 5, 3);
    ASSERT_TRUE(UndoStep(ws));
    ASSERT_TRUE(UndoStep(ws));  // image = states[1]
    states.resize(2);
    Edit(20, 300, 8, 8, 7);
    Edit(520, 20, 8, 8, 8);
    Edit(521, 21, 3, 3, 9);
    ASSERT_EQ(S().HistoryCount, 4);
    for (int k = 1; k <= 4; ++k) {
        Bitmap read;
        ReadSnapshot(File(k), read);
        EXPECT_TRUE(SamePixels(read, states[static_cast<std::size_t>(k - 1)])) << "snapshot " << k;
    }
    while (UndoStep(ws)) EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(S().HistoryPos)]));
    EXPECT_EQ(S().HistoryPos, 0);
}

TEST_F(TileHistoryTest, LargeChangesAndNewSizesStoreTheWholeImage) {
    Edit(10, 10, 5, 5, 1);
    Edit(0, 0, 1100, 600, 2);  // most of the image
    ASSERT_TRUE(PushHistory(ws));
    NameHistoryStep(ws, "Crop");
    S().Bitmap = Pattern(300, 200, 5);
    FillRowTable(S().Bitmap, S().Rows);
    states.push_back(S().Bitmap);
    Edit(1, 1, 2, 2, 6);
    // Steps 3 (after the large change) and 4 (the new size) hold whole images.
    EXPECT_LT(Size(2), Size(1) / 4);
    EXPECT_GE(Size(3), 1100u * 800 * 4);
    EXPECT_GE(Size(4), 300u * 200 * 4);
    while (UndoStep(ws)) EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(S().HistoryPos)]));
    EXPECT_EQ(S().HistoryPos, 0);
}

TEST_F(TileHistoryTest, ADamagedOrMissingStepBeforeIsReportedAndNothingChanges) {
    Edit(10, 10, 5, 5, 1);
    Edit(300, 300, 5, 5, 2);
    Edit(600, 10, 5, 5, 3);
    const Bitmap now = S().Bitmap;
    {
        // A tile whose compressed bytes were cut short.
        std::ifstream in(File(3), std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        bytes.resize(bytes.size() - 6);
        std::ofstream(File(3), std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_FALSE(JumpToHistoryStep(ws, 2));
    fs::remove(File(2));  // snapshot 3 is stored over it
    EXPECT_FALSE(JumpToHistoryStep(ws, 2));
    ASSERT_EQ(port.Problems.size(), 2u);
    EXPECT_EQ(port.Problems[0].first, "Could not read the undo step.");
    EXPECT_EQ(port.Problems[1].first, "Could not read the undo step.");
    EXPECT_TRUE(SamePixels(S().Bitmap, now));
    EXPECT_EQ(S().HistoryPos, 3);
    // The steps before the damage still come back.
    ASSERT_TRUE(JumpToHistoryStep(ws, 0));
    EXPECT_TRUE(SamePixels(S().Bitmap, states[0]));
}

uintmax_t FolderBytes(const std::string& dir) {
    uintmax_t n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += e.file_size();
    return n;
}

// Under a small budget the oldest steps go, the newest stay exact, and no
// edit is refused.
TEST_F(TileHistoryTest, PastTheBudgetTheOldestStepsAreDroppedAndEditsGoOn) {
    Edit(0, 0, 1100, 800, 1);  // whole snapshots while the whole image changes
    Edit(0, 0, 1100, 800, 2);
    Edit(10, 10, 5, 5, 3);     // then steps of a few tiles
    Edit(300, 300, 5, 5, 4);
    const std::string dir = fs::path(File(1)).parent_path().string();
    const uintmax_t firstStep = Size(1);
    SetHistoryBudget(ws, FolderBytes(dir) - firstStep + 4096);
    port.Notes.clear();
    for (uint8_t v = 5; v < 9; ++v) {
        const std::string name = "Dot " + std::to_string(v);
        ASSERT_TRUE(PushHistory(ws));
        NameHistoryStep(ws, name);
        Paint(S().Bitmap, 40 * v, 500, 4, 4, v);
        states.push_back(S().Bitmap);
    }
    WaitForStoredSteps(ws);
    EXPECT_TRUE(port.Problems.empty());
    ASSERT_FALSE(port.Notes.empty());
    EXPECT_NE(port.Notes.back().find("oldest undo steps"), std::string::npos) << port.Notes.back();
    EXPECT_LE(FolderBytes(dir), HistoryBudget(ws));
    const int kept = S().HistoryCount;
    ASSERT_GE(kept, 2);
    ASSERT_LT(kept, 8);
    EXPECT_EQ(S().HistoryPos, kept);
    EXPECT_FALSE(fs::exists(File(kept + 1)));
    // The names moved with their steps; every kept state comes back.
    EXPECT_EQ(Menus().UndoCaption, "Undo Dot 8");
    const int first = 8 - kept;  // the oldest state still stored
    for (int j = 1; j <= kept + 1; ++j) {
        const int state = first + j - 1;
        EXPECT_EQ(HistoryName(S(), j), state >= 5 ? "Dot " + std::to_string(state) : "Dot") << "entry " << j;
    }
    while (UndoStep(ws))
        EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(first + S().HistoryPos)]))
            << "state " << first + S().HistoryPos;
    EXPECT_EQ(S().HistoryPos, 0);
    EXPECT_TRUE(SamePixels(S().Bitmap, states[static_cast<std::size_t>(first)]));
    EXPECT_EQ(HistoryName(S(), S().HistoryCount), "Dot 8");
}

// A step that alone passes the budget is asked about: Yes makes the edit
// without any step, No refuses it with nothing changed, and a finished
// stroke refused so is taken back.
TEST_F(TileHistoryTest, AStepLargerThanTheWholeBudgetIsAskedAboutAndNoCancelsTheEdit) {
    Edit(10, 10, 5, 5, 1);
    SetHistoryBudget(ws, 1000);
    port.Problems.clear();
    port.Answer = false;
    const Bitmap image = S().Bitmap;
    EXPECT_FALSE(PushHistory(ws));
    ASSERT_EQ(port.Questions.size(), 1u);
    EXPECT_EQ(port.Questions[0].first, "Could not store the undo step.");
    EXPECT_NE(port.Questions[0].second.find("1 MB"), std::string::npos) << port.Questions[0].second;
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_TRUE(fs::exists(File(1)));
    EXPECT_FALSE(fs::exists(File(2)));
    EXPECT_TRUE(SamePixels(S().Bitmap, image));

    // A stroke already painted: No takes it back.
    Bitmap before = S().Bitmap;
    Paint(S().Bitmap, 0, 0, 1100, 800, 7);
    EXPECT_EQ(StoreStepIfChanged(ws, slot, before, "Stroke"), TStepStore::Failed);
    EXPECT_TRUE(SamePixels(S().Bitmap, image));
    EXPECT_EQ(S().HistoryCount, 1);

    port.Answer = true;
    port.Questions.clear();
    ASSERT_TRUE(PushHistory(ws));
    Paint(S().Bitmap, 0, 0, 1100, 800, 9);
    EXPECT_EQ(port.Questions.size(), 1u);
    EXPECT_TRUE(port.Problems.empty());
    EXPECT_EQ(S().HistoryCount, 0);
    EXPECT_FALSE(fs::exists(File(1)));
    EXPECT_FALSE(UndoStep(ws));
}

} // namespace
} // namespace pixora::testing
