#pragma once
// The selection, crop and colour-fill commands of the Edit and Selection
// menus, the pop-up menu and the top tool bar.

#include <array>
#include <string_view>

#include "window_kit/command_table.h"

namespace pixora {

// Check items that show the options of the "Select Options" box; the box
// and they follow each other.
inline constexpr std::array<std::string_view, 3> kEditOnlySelectionItems = {
    "EditOnlySelection1", "EditOnlySelection2", "EditOnlySelection3"};
inline constexpr std::array<std::string_view, 1> kExcludeSelectionItems = {"ExcludeSelection1"};
inline constexpr std::array<std::string_view, 1> kDuplicateOnMouseUpItems = {"DuplicateonMouseUp1"};
inline constexpr std::array<std::string_view, 1> kDeleteUnderlyingItems = {"DeleteUnderlying1"};
// The selection types, in the order of the box's radio buttons.
inline constexpr std::array<std::string_view, 4> kSelectionTypeItems = {
    "RectangularSelection1", "EllipseSelection1", "FreeHandSelection1", "MagicWandSelection1"};

TCommandList SelectionCommands();

} // namespace pixora
