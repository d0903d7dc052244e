// The command lists and the menu layout agree: every name is one command,
// every command is placed, every place names a command.
#include <QKeySequence>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "app/menu_layout.h"
#include "window_kit/command_table.h"

using namespace pixora;

TEST(CommandTable, EveryCommandIsDeclaredOnceAndPlacedOnce) {
    std::map<std::string_view, int> declared;
    for (const TCommand& c : AllCommands()) {
        EXPECT_FALSE(c.Name.empty());
        EXPECT_FALSE(c.Caption.empty()) << c.Name;
        ++declared[c.Name];
    }
    for (const auto& [name, count] : declared)
        EXPECT_EQ(count, 1) << name;

    std::map<std::string_view, int> placed;
    int open = 0;
    for (const std::vector<TMenuEntry>& layout : {MainMenuLayout(), PopupMenuLayout()}) {
        for (const TMenuEntry& e : layout) {
            if (e.Kind == TEntryKind::Item) ++placed[e.Name];
            if (e.Kind == TEntryKind::Menu) ++open;
            if (e.Kind == TEntryKind::End) --open;
            EXPECT_GE(open, 0);
        }
    }
    EXPECT_EQ(open, 0) << "every menu ends";
    for (const TToolBarEntry& e : TopToolBarLayout()) {
        if (!e.Command.empty()) ++placed[e.Command];
        for (std::string_view item : e.Items)
            ++placed[item];
    }
    for (const auto& [name, count] : placed) {
        EXPECT_TRUE(declared.count(name)) << "placed but not declared: " << name;
        EXPECT_EQ(count, 1) << name;
    }
    for (const auto& [name, count] : declared)
        EXPECT_TRUE(placed.count(name)) << "declared but not placed: " << name;
}

TEST(CommandTable, OptionBoxItemsNameTheirBoxAndCheckItemsAreCheckable) {
    for (const TCommand& c : AllCommands()) {
        if (c.Rule == CommandRule::OptionBox) {
            EXPECT_NE(c.Box, BoxNone) << c.Name;
        }
        if (c.RunOnToggle || !c.Group.empty()) {
            EXPECT_TRUE(c.Checkable) << c.Name;
        }
    }
}

TEST(CommandTable, WindowWideShortcutsNeverClash) {
    std::map<QString, std::string_view> owner;
    for (const TCommand& c : AllCommands()) {
        if (c.Shortcut.empty() || c.WidgetShortcut) continue;
        const QKeySequence keys(QString::fromUtf8(c.Shortcut.data(), static_cast<qsizetype>(c.Shortcut.size())));
        ASSERT_FALSE(keys.isEmpty()) << c.Name;
        const QString text = keys.toString(QKeySequence::PortableText);
        const auto [it, fresh] = owner.emplace(text, c.Name);
        EXPECT_TRUE(fresh) << c.Name << " and " << it->second << " share " << text.toStdString();
    }
}
