// The preference file, its tips and its history budget: reading, cycling
// and writing back.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "history/history_budget.h"
#include "io/history_preference.h"
#include "io/ini_file.h"
#include "io/tips.h"
#include "io_test_support.h"

using namespace pixora;
using namespace pixora::testing;

namespace {

struct TipsTest : ::testing::Test {
    ScratchDir dir;
    Workspace ws;
    void SetUp() override {
        TProgramPaths paths;
        paths.Settings = dir.File("settings/sub") + "/"; // made on the first write
        ws.UsePaths(paths);
    }
    std::string Pref() const { return ws.Paths().PreferencesFile(); }
    std::string Read(const char* key) const { return ReadIniValue(Pref(), "general", key); }
};

} // namespace

TEST_F(TipsTest, AMissingFileShowsTipOneWithoutTipsAtStartup) {
    EXPECT_FALSE(ShowTipsAtStartup(ws));
    const TTipsState s = OpenTips(ws);
    EXPECT_EQ(s.TipNumber, 1);
    EXPECT_FALSE(s.ShowAtStartup);
    EXPECT_STREQ(TipLines(s.TipNumber).Line1, "You can edit specific parts of an image");
    EXPECT_STREQ(TipLines(s.TipNumber).Line2, "by using the selectiion tool and select");
}

TEST_F(TipsTest, OnlyExactTrueCountsAndOddTipNumbersLeadToTipOne) {
    std::filesystem::create_directories(ws.Paths().Settings);
    std::ofstream(Pref()) << "[General]\r\nShowTips=true\r\ntipid=-4\r\n[other]\r\nkeep=me\r\n";
    EXPECT_FALSE(ShowTipsAtStartup(ws));
    EXPECT_EQ(OpenTips(ws).TipNumber, 1);
    EXPECT_EQ(ParseTipId("7"), 7);
    EXPECT_EQ(ParseTipId("7x"), 0);
    EXPECT_EQ(ParseTipId(""), 0);
    EXPECT_EQ(ParseTipId("99999999999999"), 0);
    EXPECT_EQ(NextTipNumber(0), 1);
    EXPECT_EQ(NextTipNumber(5), 6);
    EXPECT_EQ(NextTipNumber(500), 1);
    EXPECT_EQ(NextTipNumber(-3), 1);

    // The write-back changes its two keys and keeps the rest of the file.
    ASSERT_TRUE(CloseTips(ws, {4, false}));
    EXPECT_EQ(Read("tipid"), "4");
    EXPECT_EQ(Read("showtips"), "FALSE");
    EXPECT_EQ(ReadIniValue(Pref(), "other", "keep"), "me");
    EXPECT_FALSE(std::filesystem::exists(Pref() + ".part"));
}

// The history budget is kept in megabytes beside the tips' keys; anything but
// a plain number is the automatic budget, and a value past the largest
// allowed is held to it.
TEST_F(TipsTest, TheHistoryBudgetIsAPreferenceAndOddValuesMeanAutomatic) {
    ASSERT_TRUE(CloseTips(ws, {4, true}));
    ASSERT_TRUE(SaveHistoryBudgetPreference(ws, 300));
    EXPECT_EQ(Read("historymb"), "300");
    EXPECT_EQ(Read("tipid"), "4");
    EXPECT_EQ(HistoryBudget(ws), 300ull << 20);
    Workspace later;
    later.UsePaths(ws.Paths());
    ApplyHistoryBudgetPreference(later);
    EXPECT_EQ(HistoryBudgetSetting(later), 300ull << 20);
    for (const char* odd : {"-5", "12MB", "", "99999999999999999999999"}) {
        ASSERT_TRUE(WriteIniValue(Pref(), "general", "historymb", odd));
        EXPECT_EQ(ReadHistoryBudgetPreference(ws), 0u) << odd;
    }
    ASSERT_TRUE(WriteIniValue(Pref(), "general", "historymb", "99999999999"));
    EXPECT_EQ(ReadHistoryBudgetPreference(ws), kHistoryBudgetMaxMb);
    ASSERT_TRUE(SaveHistoryBudgetPreference(ws, 0));
    EXPECT_EQ(HistoryBudgetSetting(ws), 0u);
}
