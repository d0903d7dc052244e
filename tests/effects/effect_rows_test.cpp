// What adding a quick effect takes: one row with its rule. The frame gives
// every row one named history step, the unchanged pixels and the selection
// edit test.
#include <gtest/gtest.h>

#include <cstring>

#include "effects/effects_table.h"
#include "effects/engine/effects.h"
#include "effects/filter_fixture.h"
#include "effects/quick_effect_frame.h"
#include "history/history_fixture.h"
#include "history/history_store.h"
#include "tools/selection.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"

using namespace pixora;
using pixora::testing::Pattern;
using pixora::testing::SameColourBytes;
using pixora::testing::SamePixels;
using pixora::testing::WorkspaceTest;

namespace {

// The test effect's rule: inverts the colour bytes it may change, reading
// them from the unchanged copy, and adds the red setting to the red byte.
void InvertRule(const TEffectRun& run) {
    for (int y = 0; y < run.Image.Height(); ++y) {
        uint8_t* p = run.Image.Row(y);
        const uint8_t* u = run.Unchanged.Row(y);
        for (int x = 0; x < run.Image.Width(); ++x, p += 4, u += 4) {
            if (!run.EditTest.Test(x, y)) continue;
            p[0] = static_cast<uint8_t>(255 - u[0]);
            p[1] = static_cast<uint8_t>(255 - u[1]);
            p[2] = static_cast<uint8_t>(255 - u[2] + run.Settings.Red);
        }
    }
}

TEffectRow TestRow(bool honoursSelection) {
    TEffectRow row;
    row.Kind = TEffectKind::Quick;
    row.Caption = "Test Invert";
    row.StepName = "Test Invert";
    row.HonoursSelection = honoursSelection;
    row.Operation = &InvertRule;
    return row;
}

// A rule that writes every pixel it may change with the value it had.
void KeepRule(const TEffectRun& run) {
    for (int y = 0; y < run.Image.Height(); ++y)
        for (int x = 0; x < run.Image.Width(); ++x)
            if (run.EditTest.Test(x, y)) std::memcpy(run.Image.Row(y) + 4 * x, run.Unchanged.Row(y) + 4 * x, 3);
}

using EffectRowTest = pixora::testing::FilterTest;

} // namespace

TEST_F(EffectRowTest, ARowWithItsRuleIsOneNamedStepOverTheWholeImage) {
    const Bitmap before = S().Bitmap;
    port.Calls.clear();
    TEffectSettings settings;
    settings.Red = 0;
    ASSERT_TRUE(ApplyQuickEffect(ws, TestRow(false), settings));
    EXPECT_EQ(S().HistoryCount, 1);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Test Invert");
    EXPECT_EQ(S().Bitmap.Row(4)[5 * 4], 255 - before.Row(4)[5 * 4]);
    EXPECT_EQ(S().Bitmap.Row(4)[5 * 4 + 3], before.Row(4)[5 * 4 + 3]) << "the fourth byte stays";
    EXPECT_EQ(port.Calls.back(), "RefreshView");
    // The step undoes it.
    ASSERT_TRUE(UndoStep(ws));
    EXPECT_TRUE(SamePixels(S().Bitmap, before));
    // A row without a rule does nothing, not even a history step.
    TEffectRow inert = TestRow(false);
    inert.Operation = nullptr;
    EXPECT_FALSE(ApplyQuickEffect(ws, inert, settings));
    EXPECT_TRUE(SamePixels(S().Bitmap, before));
}

TEST_F(EffectRowTest, OnlyRowsThatHonourTheSelectionAreConfinedByIt) {
    // A selection of (2, 2)-(8, 8) kept for the edit test.
    SelectAndApplyInside();
    const Bitmap before = S().Bitmap;
    TEffectSettings settings;
    settings.Red = 1;
    ASSERT_TRUE(ApplyQuickEffect(ws, TestRow(true), settings));
    EXPECT_EQ(S().Bitmap.Row(5)[5 * 4 + 2], static_cast<uint8_t>(255 - before.Row(5)[5 * 4 + 2] + 1));
    EXPECT_EQ(S().Bitmap.Row(5)[15 * 4], before.Row(5)[15 * 4]) << "outside the selection";
    ASSERT_TRUE(ApplyQuickEffect(ws, TestRow(false), settings));
    EXPECT_NE(S().Bitmap.Row(5)[15 * 4], before.Row(5)[15 * 4]) << "ignores the selection";
}

TEST(EffectTable, EveryRowHasItsButtonAndStepAndTheBarsKeepTheirOrder) {
    int filters = 0, quick = 0;
    bool quickSeen = false;
    for (const TEffectRow& row : EffectTable()) {
        EXPECT_FALSE(row.Button.empty()) << row.Caption;
        EXPECT_FALSE(row.StepName.empty()) << row.Caption;
        if (row.Kind == TEffectKind::Filter) {
            EXPECT_FALSE(quickSeen) << "filters come first";
            EXPECT_NE(row.OptionsWindow, TWindow::None) << row.Caption;
            ++filters;
        } else {
            quickSeen = true;
            ++quick;
        }
    }
    EXPECT_EQ(filters, 14);
    EXPECT_EQ(quick, 13);
}

TEST(EffectTable, FiltersThatReadTheDocumentFillTheirWholeView) {
    // The command line and the preview hand such a filter a view as it
    // happens to be: empty, of another size, full of other pixels. Each must
    // come out as from a copy of the document.
    Bitmap document(37, 23);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 4 * 37; ++x)
            document.Row(y)[x] = static_cast<uint8_t>((x * 29 + y * 71) ^ (x * y));
    TEffectValues values{};
    values[0] = 1;
    values[1] = 50;
    int seen = 0;
    for (const TEffectRow& row : EffectTable()) {
        if (!row.Filter || !row.ReadsDocument) continue;
        ++seen;
        TEffects effects;
        Bitmap fromCopy = document;
        ASSERT_TRUE(row.Filter({effects, document, fromCopy, values})) << row.Caption;
        Bitmap empty, otherSize(5, 40), otherPixels(37, 23);
        otherSize.Fill(1, 2, 3, 4);
        otherPixels.Fill(0xA5, 0x5A, 0xC3, 0x3C);
        for (Bitmap* view : {&empty, &otherSize, &otherPixels}) {
            ASSERT_TRUE(row.Filter({effects, document, *view, values})) << row.Caption;
            EXPECT_TRUE(SamePixels(*view, fromCopy)) << row.Caption;
        }
    }
    EXPECT_EQ(seen, 3);
}

TEST_F(EffectRowTest, AnEffectThatChangesNothingLeavesNoStepAndKeepsTheRedoSteps) {
    TEffectSettings settings;
    settings.Red = 0;
    TEffectRow invert = TestRow(false);
    invert.CommandName = "test-invert";
    TEffectRow keep = TestRow(false);
    keep.StepName = "Test Keep";
    keep.CommandName = "test-keep";
    keep.Operation = &KeepRule;
    ASSERT_TRUE(ApplyQuickEffect(ws, invert, settings));
    ASSERT_TRUE(ApplyQuickEffect(ws, invert, settings));
    const std::string recipe = S().History[2].Recipe;
    ASSERT_FALSE(recipe.empty());
    ASSERT_TRUE(UndoStep(ws));
    const Bitmap inverted = S().Bitmap;
    const int steps = S().HistoryCount;
    // The image is still 24 bits deep when it comes back from its step: the
    // effect's own widening to 32 bits is no change.
    S().Bitmap.SetBitsPerPixel(24);
    FillRowTable(S().Bitmap, S().Rows);
    S().Saved = 1;
    ASSERT_TRUE(ApplyQuickEffect(ws, keep, settings));
    EXPECT_TRUE(SameColourBytes(S().Bitmap, inverted));
    EXPECT_EQ(S().HistoryPos, 1);
    EXPECT_EQ(S().HistoryCount, steps) << "the redo step stays";
    EXPECT_EQ(S().Saved, 1);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Test Invert");
    EXPECT_EQ(S().History[2].Recipe, recipe) << "no recipe step is noted without a step";
    // The redo step still holds the image the second inversion made.
    ASSERT_TRUE(RedoStep(ws));
    EXPECT_EQ(S().HistoryPos, 2);
}
