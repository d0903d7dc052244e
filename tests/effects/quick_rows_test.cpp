// The program's quick-effect rows run through their frame: each one step,
// confined by the selection exactly where its row says so.
#include <gtest/gtest.h>

#include <set>

#include "effects/effects_table.h"
#include "effects/filter_fixture.h"
#include "effects/quick_effect_frame.h"
#include "history/history_store.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct QuickRowTest : FilterTest {
    bool Run(const char* name, TEffectSettings settings = {}) {
        const TEffectRow* row = EffectForCommand(name);
        EXPECT_NE(row, nullptr) << name;
        return row && ApplyQuickEffect(ws, *row, settings);
    }
    void Fill(uint8_t value) {
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                for (int c = 0; c < 3; ++c)
                    S().Bitmap.Row(y)[x * 4 + c] = value;
    }
    uint8_t Red(int x, int y) { return S().Bitmap.Row(y)[x * 4 + 2]; }
};

} // namespace

TEST(EffectRows, EveryRowIsLiveAndEveryCommandNameIsOne) {
    for (const TEffectRow& row : EffectTable())
        EXPECT_TRUE(row.Operation || row.Filter) << row.Caption;
    std::set<std::string_view> names;
    for (const TEffectRow& row : CommandLineEffects()) {
        EXPECT_FALSE(row.CommandName.empty()) << row.Caption;
        EXPECT_TRUE(names.insert(row.CommandName).second) << row.CommandName;
        EXPECT_EQ(EffectForCommand(row.CommandName), &row);
    }
    // The windows' rows come first, in the same order.
    const auto windows = EffectTable();
    ASSERT_LT(windows.size(), CommandLineEffects().size());
    EXPECT_EQ(windows.data(), CommandLineEffects().data());
}

TEST_F(QuickRowTest, LightenIgnoresTheSelectionAndDarkenObeysIt) {
    SelectAndApplyInside();
    const SelectionEditTest test(ws);
    ASSERT_TRUE(test.Test(5, 5));
    ASSERT_FALSE(test.Test(15, 5));
    const int steps = S().HistoryCount;
    for (uint8_t v : {246, 245}) {
        Fill(v);
        ASSERT_TRUE(Run("lighten"));
        EXPECT_EQ(Red(5, 5), 255);
        EXPECT_EQ(Red(15, 5), 255) << "outside the selection too";
    }
    for (uint8_t v : {9, 10}) {
        Fill(v);
        ASSERT_TRUE(Run("darken"));
        EXPECT_EQ(Red(5, 5), 0);
        EXPECT_EQ(Red(15, 5), v) << "outside the selection";
    }
    EXPECT_EQ(S().HistoryCount, steps + 4);
    EXPECT_EQ(HistoryMenuTexts(S()).UndoCaption, "Undo Darken");
}

TEST_F(QuickRowTest, SoftenAndSharpenKeepUniformPixelsAndThoseOutsideTheSelection) {
    Fill(77);
    const Bitmap uniform = S().Bitmap;
    for (const char* name : {"soften", "sharpen"}) {
        ASSERT_TRUE(Run(name));
        EXPECT_TRUE(SamePixels(S().Bitmap, uniform)) << name;
    }
    S().Bitmap = Pattern(20, 10, 5);
    FillRowTable(S().Bitmap, S().Rows);
    SelectAndApplyInside();
    const SelectionEditTest test(ws);
    for (const char* name : {"soften", "sharpen"}) {
        const Bitmap before = S().Bitmap;
        ASSERT_TRUE(Run(name));
        int changed = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool same = std::memcmp(S().Bitmap.Row(y) + x * 4, before.Row(y) + x * 4, 4) == 0;
                if (!test.Test(x, y)) {
                    EXPECT_TRUE(same) << name << " " << x << "," << y;
                }
                changed += !same;
            }
        EXPECT_GT(changed, 0) << name;
    }
}

TEST_F(QuickRowTest, OptionsWindowValuesReachTheRules) {
    Fill(0);
    TEffectSettings settings;
    ASSERT_TRUE(Run("gamma", settings));
    // The default 8 percent on black: red + (20 * 124) div 256.
    EXPECT_EQ(Red(0, 0), 9);
    Fill(0);
    settings.Red = 0;
    ASSERT_TRUE(Run("gamma", settings));
    EXPECT_EQ(Red(0, 0), 0);
    // The radius window's radius.
    S().Bitmap = Pattern(20, 10, 1);
    const Bitmap before = S().Bitmap;
    settings.Radius = 1;
    ASSERT_TRUE(Run("gaussian-blur", settings));
    const Bitmap small = S().Bitmap;
    S().Bitmap = before;
    settings.Radius = 8;
    ASSERT_TRUE(Run("gaussian-blur", settings));
    EXPECT_FALSE(SamePixels(small, S().Bitmap));
    EXPECT_TRUE(SameFourthBytes(S().Bitmap, before));
}

// The command line hands an in-place row the image itself as the unchanged
// copy: such a row must give what it gives with a separate copy.
TEST(EffectRows, InPlaceRowsGiveTheSameWithoutTheUnchangedCopy) {
    Bitmap original(41, 29, 32);
    uint32_t state = 12345;
    for (int y = 0; y < original.Height(); ++y)
        for (int x = 0; x < 4 * original.Width(); ++x) {
            state = state * 1664525u + 1013904223u;
            original.Row(y)[x] = static_cast<uint8_t>(state >> 24);
        }
    int inPlace = 0;
    for (const TEffectRow& row : CommandLineEffects()) {
        if (!row.Operation || !row.InPlace) continue;
        ++inPlace;
        TEffectSettings settings;
        settings.Red = 200, settings.Green = 3, settings.Blue = 90, settings.Radius = 2, settings.Seed = 77;
        const SelectionEditTest every = SelectionEditTest::PassAll();
        Bitmap withCopy = original, alone = original;
        const Bitmap copy = original;
        row.Operation({withCopy, copy, every, settings});
        row.Operation({alone, alone, every, settings});
        EXPECT_TRUE(SamePixels(alone, withCopy)) << row.CommandName;
    }
    EXPECT_GT(inPlace, 0);
}
