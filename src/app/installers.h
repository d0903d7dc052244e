#pragma once
// Each subsystem's window part connects its own commands, dialogs and hooks
// to the main window here; the main window calls them once, at the end of
// its construction, after every window exists.

namespace pixora {

class MainWindow;

void InstallViewCommands(MainWindow& w);     // src/app/view_commands.cpp
void InstallHistoryCommands(MainWindow& w);  // src/history/ui/history_commands.cpp
void InstallFileCommands(MainWindow& w);     // src/io/ui/file_commands.cpp
void InstallOptionBoxes(MainWindow& w);      // src/tools/ui/option_boxes.cpp
void InstallToolCommands(MainWindow& w);     // src/tools/ui/tool_commands.cpp

} // namespace pixora
