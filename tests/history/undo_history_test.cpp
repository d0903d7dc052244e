// The Undo History list, the history brush's source and Reset Image.

#include "doc/canvas.h"
#include "history/history_store.h"
#include "history/image_reset.h"
#include "history/undo_history_list.h"
#include "history_fixture.h"

namespace pixora::testing {
namespace {

struct UndoListTest : WorkspaceTest {
    int slot = -1;
    void SetUp() override {
        WorkspaceTest::SetUp();
        slot = Open(Pattern(30, 20, 2));
        Activate(slot);
    }
    TImages& S() { return Slot(slot); }
    // A stored step that sets every colour byte to v.
    void Paint(const std::string& name, uint8_t v) {
        ASSERT_TRUE(PushHistory(ws));
        NameHistoryStep(ws, name);
        for (int y = 0; y < S().Bitmap.Height(); ++y) {
            uint8_t* p = S().Bitmap.Row(y);
            for (int x = 0; x < S().Bitmap.Width(); ++x)
                p[x * 4] = p[x * 4 + 1] = p[x * 4 + 2] = v;
        }
    }
    bool Blue(const Bitmap& list, int x, int y) {
        const uint8_t* p = list.Row(y) + x * 4;
        return p[0] == 255 && p[1] == 0 && p[2] == 0;
    }
};

} // namespace

TEST(UndoHistoryGeometry, HeightScrollAndRowsUnderThePointer) {
    EXPECT_EQ(HistoryListHeight(10), 635);
    EXPECT_EQ(HistoryScrollMax(10), 434);
    EXPECT_EQ(HistoryScrollMax(2), 0); // 171 fits the panel: no scroll bar
    EXPECT_EQ(HistoryScrollMax(3), 28);
    EXPECT_EQ(HistoryRowAt(5, 3), 1);
    EXPECT_EQ(HistoryRowAt(55, 3), 1);
    EXPECT_EQ(HistoryRowAt(4, 3), 0); // between rows
    EXPECT_EQ(HistoryRowAt(56, 3), 0);
    EXPECT_EQ(HistoryRowAt(63, 3), 2);
    EXPECT_EQ(HistoryRowAt(58 * 2 + 30, 3), 3);
    EXPECT_EQ(HistoryRowAt(58 * 3 + 30, 3), 0); // below the last row
    EXPECT_EQ(HistoryRowAt(-1, 3), 0);
}

TEST_F(UndoListTest, RowsFollowTheStoredSnapshotsAndTheOneOnScreenIsBlue) {
    Paint("Pen", 10);
    Paint("Line", 20);
    Bitmap list;
    // The newest state is not stored yet: two rows, none highlighted.
    DrawHistoryList(S(), S().HistoryPos + 1, 192, list);
    EXPECT_EQ(list.Height(), 58 * 2 + 55);
    EXPECT_EQ(list.Width(), 192);
    for (int row = 0; row < 2; ++row)
        EXPECT_FALSE(Blue(list, 150, 58 * row + 10));
    ASSERT_TRUE(UndoStep(ws));
    ASSERT_EQ(S().HistoryCount, 3);
    DrawHistoryList(S(), S().HistoryPos + 1, 192, list);
    EXPECT_EQ(list.Height(), 58 * 3 + 55);
    EXPECT_FALSE(Blue(list, 150, 10));
    EXPECT_TRUE(Blue(list, 150, 58 + 10));
    EXPECT_TRUE(Blue(list, 150, 58 + 55));
    EXPECT_FALSE(Blue(list, 150, 58 + 57)); // the gap below the row stays white
    EXPECT_FALSE(Blue(list, 150, 58 * 2 + 10));
    // The thumbnail (30 x 20 fits 50 x 34 after fitting) sits centred in its frame.
    const Bitmap& thumb = S().History[2].Thumb;
    ASSERT_FALSE(thumb.Empty());
    const int left = 27 - thumb.Width() / 2, top = 58 + 30 - thumb.Height() / 2;
    EXPECT_EQ(std::memcmp(list.Row(top) + left * 4, thumb.Row(0), 3), 0);
    EXPECT_EQ(list.Row(58 + 4)[1 * 4], 0); // the frame's black pen
}

TEST_F(UndoListTest, HistoryBrushSourceIsTheChosenSnapshotAndTheImageStays) {
    EXPECT_FALSE(LoadHistoryBrushSource(ws, 0)); // nothing stored yet
    const Bitmap original = S().Bitmap;
    Paint("Pen", 10);
    Paint("Line", 20);
    const Bitmap now = S().Bitmap;
    ASSERT_TRUE(LoadHistoryBrushSource(ws, 0));
    EXPECT_EQ(S().HistoryPos, 2); // the history does not move
    EXPECT_TRUE(SamePixels(ws.StrokeBase.Bitmap, original));
    EXPECT_TRUE(SamePixels(S().Bitmap, now));
    // The newest state is the image itself.
    ASSERT_TRUE(LoadHistoryBrushSource(ws, S().HistoryCount));
    EXPECT_TRUE(SamePixels(ws.StrokeBase.Bitmap, now));
    EXPECT_FALSE(LoadHistoryBrushSource(ws, 7));
    EXPECT_FALSE(LoadHistoryBrushSource(ws, -1));
}

TEST_F(UndoListTest, ResetBlendsTheOriginalColoursAndKeepsTheAlpha) {
    const Bitmap original = S().Bitmap;
    Paint("Brightness", 200);
    ASSERT_TRUE(ResetImage(ws, 100));
    EXPECT_EQ(HistoryName(S(), S().HistoryPos + 1), "Image Reset");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const uint8_t* p = S().Bitmap.Row(y) + x * 4;
            const uint8_t* o = original.Row(y) + x * 4;
            ASSERT_EQ(std::memcmp(p, o, 3), 0);
            ASSERT_EQ(p[3], o[3]);
        }
    Paint("Brightness", 200);
    ASSERT_TRUE(ResetImage(ws, 1));
    const uint8_t* p = S().Bitmap.Row(3);
    EXPECT_EQ(p[0], original.Row(3)[0] * 1 / 100 + 200 * 99 / 100);
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_EQ(S().Bitmap.Row(3)[0], 200);
}

TEST(ImageResetBlend, OnlyTheCommonAreaAndEachProductTruncated) {
    Bitmap original(4, 2, 32), current(3, 3, 32);
    original.Fill(99, 99, 99, 7);
    current.Fill(1, 1, 1, 50);
    BlendTowardsOriginal(original, current, 50);
    EXPECT_EQ(current.Row(1)[2 * 4], 99 * 50 / 100 + 1 * 50 / 100); // 49 + 0
    EXPECT_EQ(current.Row(1)[2 * 4 + 3], 50);
    EXPECT_EQ(current.Row(2)[0], 1); // below the original
}

TEST_F(UndoListTest, ResetAfterACropBlendsTheTopLeftOnly) {
    const Bitmap original = S().Bitmap;
    ASSERT_TRUE(PushHistory(ws));
    NameHistoryStep(ws, "Crop");
    Bitmap wider(40, 10, 32);
    wider.Fill(5, 5, 5, 0);
    S().Bitmap = wider;
    ASSERT_TRUE(ResetImage(ws, 100));
    EXPECT_EQ(S().Bitmap.Width(), 40);
    EXPECT_EQ(std::memcmp(S().Bitmap.Row(9) + 29 * 4, original.Row(9) + 29 * 4, 3), 0);
    EXPECT_EQ(S().Bitmap.Row(9)[30 * 4], 5);
}

} // namespace pixora::testing
