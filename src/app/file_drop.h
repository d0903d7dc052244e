#pragma once
// Files that reach the main window from outside: named on the command line
// or dropped onto the window from a file manager.

#include <QList>
#include <QUrl>
#include <string>
#include <vector>

namespace pixora {

class MainWindow;

class ReadAhead;

// Opens the files through the Open command's path and brings the recent
// menus and the tool buttons up to date. A file `ahead` is reading is
// waited for with the window kept alive, and the processing box shown once
// the wait passes kOpenProgressAfterMs.
void OpenFilesFromOutside(MainWindow& w, const std::vector<std::string>& paths, ReadAhead* ahead = nullptr);
inline constexpr int kOpenProgressAfterMs = 300;

// The local files among dropped URLs, in order (folders and remote URLs are
// left out).
std::vector<std::string> DroppedFiles(const QList<QUrl>& urls);

// Lets the main window take files dropped onto any part of it.
void InstallFileDrop(MainWindow& w);

} // namespace pixora
