#pragma once
// The file commands of the window and the windows that answer their
// questions.

#include <array>
#include <string_view>

#include <QString>

#include "window_kit/command_table.h"

namespace pixora {

class WindowHost;

// The recent-file items: the "Re-Open" sub-menu's and the Open button's
// drop-down list's, entry 0 first.
inline constexpr std::array<std::string_view, 10> kRecentMenuItems = {
    "FilesHere1", "FilesHere2", "FilesHere3", "FilesHere4", "FilesHere5",
    "FilesHere6", "FilesHere7", "FilesHere8", "FilesHere9", "FilesHere10"};
inline constexpr std::array<std::string_view, 10> kRecentDropDownItems = {
    "FileHere1",   "FilesHere11", "FilesHere12", "FilesHere13", "FilesHere14",
    "FilesHere15", "FilesHere16", "FilesHere17", "FilesHere18", "FilesHere19"};

TCommandList FileCommands();
// The open dialog with the program's open filter: the first file chosen,
// or empty.
QString AskOpenFile(WindowHost& w);
// Puts the file dialogs in place of their start-up frames.
void InstallFileWindows(WindowHost& w);
// Both recent-file lists from the names in the tool record.
void ShowRecentFileItems(WindowHost& w);
// "Close All" as the shutdown runs it: false when the user stopped it.
bool CloseAllForExit(WindowHost& w);

} // namespace pixora
