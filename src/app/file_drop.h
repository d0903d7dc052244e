#pragma once
// Files that reach the main window from outside: named on the command line
// or dropped onto the window from a file manager.

#include <QList>
#include <QUrl>
#include <string>
#include <vector>

namespace pixora {

class MainWindow;

// Opens the files through the Open command's path and brings the recent
// menus and the tool buttons up to date.
void OpenFilesFromOutside(MainWindow& w, const std::vector<std::string>& paths);

// The local files among dropped URLs, in order (folders and remote URLs are
// left out).
std::vector<std::string> DroppedFiles(const QList<QUrl>& urls);

// Lets the main window take files dropped onto any part of it.
void InstallFileDrop(MainWindow& w);

} // namespace pixora
