#pragma once
// Where history snapshots live and how the folder is emptied.
//
// Each running copy of the editor keeps its snapshots in a subfolder of
// bin/hstry/ named by its process id, so two copies never delete each
// other's history. Start-up removes loose files and the subfolders of
// copies that are no longer running; exit removes this copy's own folder.

#include <functional>
#include <string>

#include "doc/workspace.h"

namespace pixora {

// The snapshot folder the paths give (ExeDir + "bin/hstry/" in the build tree).
std::string HistoryRoot(const Workspace& ws);
// This copy's own snapshot folder, with a trailing '/'. Created on demand.
std::string HistoryDir(const Workspace& ws);

// Called with the message of every file that cannot be deleted; deletion
// goes on with the next file.
using DeleteErrorHandler = std::function<void(const std::string& message)>;

// Start-up: deletes loose files in bin/hstry/, the folders of copies that
// are gone (except those holding an undo history index, which a crashed
// copy left for recovery), and this copy's own snapshots.
void ClearHistoryFolderAtStartup(const Workspace& ws, const DeleteErrorHandler& onError = {});
// Exit: deletes this copy's snapshots and its folder.
void ClearHistoryFolder(const Workspace& ws, const DeleteErrorHandler& onError = {});

// True while a process with this id runs on the machine.
bool ProcessAlive(long pid);

} // namespace pixora
