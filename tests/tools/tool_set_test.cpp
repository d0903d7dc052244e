// The tool set: rows drive the dispatcher, choices reach the tools' hooks,
// and every workspace has tools of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/tool_set.h"
#include "tools/tools_fixture.h"

using namespace pixora;
using pixora::testing::FakePort;
using pixora::testing::Pattern;
using pixora::testing::SamePixels;
using pixora::testing::ToolsTest;

namespace {

// Records what the dispatcher asks of it.
class RecordingTool : public Tool {
public:
    explicit RecordingTool(std::vector<std::string>& log) : log_(log) {}
    void Left(ToolContext&) override { log_.push_back("left"); }
    void Chosen(ToolContext& c) override { log_.push_back("chosen " + std::string(c.Row.StepName)); }
    void Press(ToolContext& c, int x, int y) override {
        log_.push_back("press " + std::to_string(x) + "," + std::to_string(y));
        // Draws on the image: the dispatcher's copy in StrokeBase keeps the
        // image as it was.
        c.Slot.Bitmap.Row(y)[x * 4] = 1;
    }
    void Move(ToolContext&, int x, int y) override {
        log_.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void Release(ToolContext&, int, int) override { log_.push_back("release"); }
    void Hover(ToolContext&, int, int) override { log_.push_back("hover"); }

private:
    std::vector<std::string>& log_;
};

// A row of its own for the recording tool: a free number, a step name.
TToolDescription TestRow() {
    TToolDescription row = ToolDescription(24);
    row.Number = 23;
    row.StepName = "Test Stroke";
    row.Cursor = 7;
    return row;
}

int Count(const std::vector<std::string>& calls, const char* what) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), what));
}

} // namespace

TEST_F(ToolsTest, ATestToolIsOneRowAndOneClass) {
    std::vector<std::string> log;
    ToolsOf(ws).Install(TestRow(), std::make_unique<RecordingTool>(log));
    ASSERT_TRUE(SelectToolCore(ws, 23));
    EXPECT_EQ(S().Tool, 23);
    EXPECT_EQ(ToolsOf(ws).Row(23).Cursor, 7);

    const Bitmap before = S().Bitmap;
    ws.StrokeOverlay.Bitmap.Fill(0, 0, 0);
    port.Calls.clear();
    PointerDown(ws, 4, 5, 0);
    PointerMove(ws, 6, 7);
    PointerUp(ws, 6, 7);
    PointerMove(ws, 8, 8); // no button held: a hover
    EXPECT_EQ(log,
              (std::vector<std::string>{"chosen Test Stroke", "press 4,5", "move 6,7", "release", "hover"}));
    // The row's press rules: one named snapshot, the clean copy, the
    // overlay cleared, and the view refreshed after each routine.
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryName(S(), 2), "Test Stroke");
    EXPECT_TRUE(SamePixels(ws.StrokeBase.Bitmap, before));
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(3)[2], 255);
    EXPECT_EQ(Count(port.Calls, "RefreshView"), 3);

    // Rows say otherwise: no snapshot, no copy, the overlay kept, no refresh.
    TToolDescription quiet = TestRow();
    quiet.PushesHistory = false;
    quiet.StepName = "";
    quiet.RefreshAfterPress = quiet.RefreshAfterRelease = false;
    ToolsOf(ws).Install(quiet, std::make_unique<RecordingTool>(log));
    ws.StrokeBase.Bitmap.Fill(9, 9, 9);
    ws.StrokeOverlay.Bitmap.Fill(0, 0, 0);
    port.Calls.clear();
    PointerDown(ws, 1, 1, 0);
    PointerUp(ws, 1, 1);
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(ws.StrokeBase.Bitmap.Row(0)[0], 9);
    EXPECT_EQ(ws.StrokeOverlay.Bitmap.Row(3)[2], 0);
    EXPECT_EQ(Count(port.Calls, "RefreshView"), 0);
}

TEST_F(ToolsTest, ChoosingTellsTheOldToolItIsLeftAndTheNewOneItIsChosen) {
    std::vector<std::string> log;
    ToolsOf(ws).Install(TestRow(), std::make_unique<RecordingTool>(log));
    TToolDescription other = TestRow();
    other.Number = 24;
    other.StepName = "Other";
    ToolsOf(ws).Install(other, std::make_unique<RecordingTool>(log));
    ASSERT_TRUE(SelectToolCore(ws, 23));
    ASSERT_TRUE(SelectToolCore(ws, 23)); // the same tool again: not left
    ASSERT_TRUE(SelectToolCore(ws, 24));
    EXPECT_EQ(log,
              (std::vector<std::string>{"chosen Test Stroke", "chosen Test Stroke", "left", "chosen Other"}));

    // A row that needs a history step refuses the choice without one.
    TToolDescription needy = other;
    needy.NeedsHistoryStep = true;
    ToolsOf(ws).Install(needy, std::make_unique<RecordingTool>(log));
    log.clear();
    EXPECT_FALSE(SelectToolCore(ws, 23) && SelectToolCore(ws, 24));
    EXPECT_EQ(S().Tool, 23);
    S().HistoryCount = 1;
    EXPECT_TRUE(SelectToolCore(ws, 24));
}

TEST_F(ToolsTest, ChoosingTheSelectionToolAgainDiscardsTheFloatingSelection) {
    const Bitmap original = S().Bitmap;
    ASSERT_TRUE(SelectToolCore(ws, ToolSelection));
    Drag(2, 2, 12, 12);
    Drag(7, 7, 17, 12); // moved by (10, 5)
    ASSERT_EQ(ws.ToolVars.HasSelection, 1);
    ASSERT_TRUE(SelectToolCore(ws, ToolSelection));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_TRUE(SamePixels(S().Bitmap, original)) << "the moved pixels were not committed";
    // Leaving the tool commits a floating selection.
    Drag(2, 2, 12, 12);
    Drag(7, 7, 17, 12);
    ASSERT_TRUE(SelectToolCore(ws, ToolLine));
    EXPECT_EQ(ws.ToolVars.HasSelection, 0);
    EXPECT_FALSE(SamePixels(S().Bitmap, original));
}

TEST_F(ToolsTest, TwoWorkspacesShareNoToolState) {
    // A second workspace with an image of its own.
    Workspace other;
    FakePort otherPort;
    otherPort.Ws = &other;
    other.Port = &otherPort;
    other.CreateWorkBitmaps();
    const int slot2 = ClaimSlot(other);
    FillSlot(other, slot2, Pattern(40, 30, 5), SlotSource{});
    otherPort.Options[{kSelectBox, "RadioGroup2"}] = 1;
    for (TWorkBitmap* w : other.ImageSizedWorkBitmaps()) {
        w->Bitmap = Bitmap(40, 30, 32);
        w->Refill();
    }
    EXPECT_NE(ToolsOf(ws).For(ToolSelection), ToolsOf(other).For(ToolSelection));
    EXPECT_EQ(ToolsOf(ws).For(ToolSelection), ToolsOf(ws).For(ToolSelection));

    // The other workspace holds a selection; this one starts making one,
    // and a press on the other's selection comes in between.
    TImages& s2 = other.Images[static_cast<std::size_t>(slot2)];
    s2.Tool = ToolSelection;
    PointerDown(other, 2, 2, 0);
    PointerUp(other, 12, 12);
    ASSERT_EQ(other.ToolVars.HasSelection, 1);
    S().Tool = ToolSelection;
    PointerDown(ws, 5, 5, 0);
    PointerDown(other, 7, 7, 0); // grabs the other's selection
    PointerMove(ws, 20, 20);
    PointerUp(ws, 25, 20);
    // This workspace made a selection of its own ...
    EXPECT_EQ(ws.ToolVars.HasSelection, 1);
    EXPECT_EQ(ws.ToolVars.SelRight, 25);
    EXPECT_EQ(ws.ToolVars.FloatBitmap.Width(), 20);
    // ... and the other one moves its selection as it began to.
    PointerMove(other, 17, 12);
    PointerUp(other, 17, 12);
    EXPECT_EQ(s2.DownX, 12);
    EXPECT_EQ(other.ToolVars.HasSelection, 1);

    // Crop bands: each view shows its own band once.
    S().Tool = ToolCrop;
    s2.Tool = ToolCrop;
    other.ToolVars.HasSelection = 0;
    ws.ToolVars.HasSelection = 0;
    PointerDown(ws, 10, 10, 0);
    PointerDown(other, 3, 3, 0);
    PointerMove(ws, 20, 20);
    PointerMove(other, 8, 9);
    PointerMove(ws, 30, 25);
    PointerUp(ws, 30, 25);
    PointerUp(other, 8, 9);
    Bitmap want = S().Bitmap;
    DottedRectangle(want, {10, 10, 30, 25});
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, want));
    Bitmap want2 = s2.Bitmap;
    DottedRectangle(want2, {3, 3, 8, 9});
    EXPECT_TRUE(SamePixels(other.DisplayCopy, want2));
    other.Port = nullptr;
}

TEST_F(ToolsTest, ACropRunsTheTabChangesWorkOnTheCroppedImage) {
    S().Tool = ToolCrop;
    Drag(10, 10, 30, 25);
    ASSERT_TRUE(ApplyCrop(ws));
    for (TWorkBitmap* w : ws.ImageSizedWorkBitmaps()) {
        EXPECT_EQ(w->Bitmap.Width(), 20);
        EXPECT_EQ(w->Bitmap.Height(), 15);
        EXPECT_EQ(w->Rows.Count(), 15);
    }
    EXPECT_TRUE(SamePixels(ws.DisplayCopy, S().Bitmap)) << "the window's part shows the cropped image";
}
