#pragma once
// A command as its subsystem declares it: one menu item or tool-bar button
// with its object name (tests and the window find it by that name), caption,
// enable rule, shortcut, picture and handler. Each subsystem lists its
// commands beside its operations; the main window makes one action per
// command and places it where the shell's menu layout names it, and
// the command-state update asks each command's rule after every change.

#include <functional>
#include <string_view>
#include <vector>

#include "window_kit/command_states.h"

namespace pixora {

class WindowHost;

struct TCommand {
    std::string_view Name;
    std::string_view Caption;
    CommandRule Rule = CommandRule::NeedsImage;
    // Runs when the item is triggered; empty: the item does nothing yet.
    std::function<void(WindowHost&)> Run;
    // Run when a check item is toggled (also by code) instead.
    bool RunOnToggle = false;
    std::string_view Shortcut;   // QKeySequence text
    bool WidgetShortcut = false; // the shortcut works only where its widget has the focus
    bool Checkable = false;
    bool Checked = false;   // at start
    std::string_view Group; // check items of one group exclude each other
    int Box = BoxNone;      // the option box CommandRule::OptionBox asks about
    // Tool-bar buttons.
    std::string_view Icon;       // resource path of the picture
    std::string_view Tip;        // tooltip
    std::string_view StatusHint; // status bar text
    // Asks before it acts (a dialog opens): the menu item's caption ends in
    // "..." so that it is told apart from an item that acts at once.
    bool OpensDialog = false;

    TCommand& Does(std::function<void(WindowHost&)> run) {
        Run = std::move(run);
        return *this;
    }
    TCommand& Keys(std::string_view shortcut, bool widgetOnly = false) {
        Shortcut = shortcut;
        WidgetShortcut = widgetOnly;
        return *this;
    }
    TCommand& Check(bool checked = false, std::string_view group = {}) {
        Checkable = true;
        Checked = checked;
        Group = group;
        return *this;
    }
    TCommand& Dialog() {
        OpensDialog = true;
        return *this;
    }
    TCommand& ForBox(int box) {
        Box = box;
        return *this;
    }
    TCommand& Button(std::string_view icon, std::string_view tip, std::string_view status) {
        Icon = icon;
        Tip = tip;
        StatusHint = status;
        return *this;
    }
};

inline TCommand Cmd(std::string_view name, std::string_view caption,
                    CommandRule rule = CommandRule::NeedsImage) {
    TCommand c;
    c.Name = name;
    c.Caption = caption;
    c.Rule = rule;
    return c;
}

using TCommandList = std::vector<TCommand>;

// Every command of the program, gathered from the subsystems' lists.
TCommandList AllCommands();

} // namespace pixora
