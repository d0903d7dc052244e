#pragma once
// Where the commands appear: the main menu, the image pop-up menu and the
// top tool bar, by the commands' object names. The commands themselves
// (captions, rules, handlers) are their subsystems' (command_table.h);
// menus made from a table (the tools, the effects) take the table's order.

#include <string_view>
#include <vector>

namespace pixora {

enum class TEntryKind { Item, Separator, Menu, End };

struct TMenuEntry {
    TEntryKind Kind;
    std::string_view Text; // a menu's caption
    std::string_view Name; // an item's command, or a menu's object name
};

// The menu bar's menus, File to Help, with their sub-menus.
std::vector<TMenuEntry> MainMenuLayout();
// The image pop-up menu (PopupMenu1).
std::vector<TMenuEntry> PopupMenuLayout();

// The top tool bar: a command per button ("" = a separator); a button may
// open a drop-down menu of its own.
struct TToolBarEntry {
    std::string_view Command;
    std::string_view DropDown;           // the drop-down menu's object name
    std::vector<std::string_view> Items; // its items' commands
};
std::vector<TToolBarEntry> TopToolBarLayout();

} // namespace pixora
