#pragma once
// The recent-file list: up to ten paths, newest first, kept in
// files.txt of the settings folder (one path per line, CR LF).

#include <string>

#include "doc/workspace.h"

namespace pixora {

std::string RecentFilesPath(const Workspace& ws);

// Reads the list into ToolVars.RecentFiles (unused entries empty) and
// returns how many entries it holds. A missing file gives an empty list;
// empty or unreadable lines are skipped.
int LoadRecentFiles(Workspace& ws);

// Puts a path at the head of the list unless the list already holds it
// (exact comparison), rewrites the file and reads it back. Returns false
// when the file could not be written: the old file stays as it was, the
// list in memory is reloaded from it and the window port is told
// "Could not update the list of recent files." with the reason.
bool AddRecentFile(Workspace& ws, const std::string& path);

} // namespace pixora
