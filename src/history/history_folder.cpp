#include "history/history_folder.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "history/history_storage.h"

namespace fs = std::filesystem;

namespace pixora {

std::string HistoryRoot(const Workspace& ws) { return ws.Paths().History; }

std::string HistoryDir(const Workspace& ws) {
    const std::string dir = HistoryRoot(ws) + std::to_string(static_cast<long>(getpid())) + "/";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir;
}

bool ProcessAlive(long pid) {
    if (pid <= 0) return false;
    if (kill(static_cast<pid_t>(pid), 0) == 0) return true;
    return errno == EPERM;  // exists, owned by someone else
}

namespace {

void RemoveFile(const fs::path& p, const DeleteErrorHandler& onError) {
    std::error_code ec;
    fs::remove(p, ec);
    if (ec && onError) onError(ec.message());
}

void EmptyFolder(const fs::path& dir, bool removeItself, const DeleteErrorHandler& onError) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (entry.is_directory(ec))
            EmptyFolder(entry.path(), true, onError);
        else
            RemoveFile(entry.path(), onError);
    }
    if (removeItself) RemoveFile(dir, onError);
}

// Whether a crashed copy's folder holds an undo history index: it is kept
// for recovery (history/history_index.h) until recovered or discarded.
bool HoldsIndex(const fs::path& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().extension() == ".idx") return true;
    return false;
}

bool IsNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

} // namespace

void ClearHistoryFolderAtStartup(const Workspace& ws, const DeleteErrorHandler& onError) {
    const fs::path root = HistoryRoot(ws);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        fs::create_directories(root, ec);
        return;
    }
    const long self = static_cast<long>(getpid());
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(ec)) {
            if (!IsNumber(name)) continue;  // not ours
            const long pid = std::stol(name);
            if (pid == self)
                EmptyFolder(entry.path(), false, onError);
            else if (!ProcessAlive(pid) && !HoldsIndex(entry.path()))
                EmptyFolder(entry.path(), true, onError);
        } else if (name != ".keep") {
            RemoveFile(entry.path(), onError);
        }
    }
}

void ClearHistoryFolder(const Workspace& ws, const DeleteErrorHandler& onError) {
    // Nothing written behind may come back after the folder is gone.
    if (ws.HistoryStorage) static_cast<THistoryStorage&>(*ws.HistoryStorage).Writer.Finish();
    const fs::path own = HistoryRoot(ws) + std::to_string(static_cast<long>(getpid()));
    EmptyFolder(own, true, onError);
}

} // namespace pixora
