#include <gtest/gtest.h>

#include "support/slot_fixture.h"
#include "window_kit/command_states.h"

using namespace pixora;

using CommandStatesTest = pixora::testing::SlotFixture;

TEST_F(CommandStatesTest, CommandStatesFollowTheActiveImage) {
    // No image: only the always-available commands.
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::Always));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::NeedsImage));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::Undo));
    EXPECT_FALSE(LayerSheetAllowed(ws));

    NewImage();
    TImages& s = ws.Images[0];
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::NeedsImage));
    EXPECT_TRUE(LayerSheetAllowed(ws));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::ReOpen));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::Undo));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::Redo));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::UndoHistory));
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::DuplicateLayer));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::EditLayer));

    // Two snapshots, one step undone: both directions possible.
    s.HistoryCount = 3;
    s.HistoryPos = 1;
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::Undo));
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::Redo));
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::UndoHistory));
    s.HistoryPos = 2;
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::Redo));

    s.CurrentLayer = 0; // after "View Final Image"
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::DuplicateLayer));
    s.CurrentLayer = 2;
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::EditLayer));

    ws.ToolVars.HasSelection = 1;
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::Selection));
    s.Tool = 15;
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::Selection));
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::OptionBox, BoxTForm4));
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::OptionBox, BoxTForm3));
    s.Tool = 3;
    EXPECT_TRUE(CommandEnabled(ws, CommandRule::OptionBox, BoxTForm3));
    s.Tool = 17;
    EXPECT_FALSE(CommandEnabled(ws, CommandRule::OptionBox, BoxTForm3));
}
