#include "history/history_index.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "doc/record_text.h"
#include "history/history_folder.h"
#include "history/history_storage.h"
#include "history/snapshot_files.h"
#include "history/tile_snapshot.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/image_codecs.h"

namespace fs = std::filesystem;

namespace pixora {

namespace {

constexpr const char* kIndexHead = "Pixora undo history 1";
constexpr const char* kIndexExtension = ".idx";
// An index is a line per step; a longer file is not one of ours.
constexpr std::uintmax_t kIndexLimit = 64ull << 20;

bool ParseSlot(const std::string& stem, int& slot) {
    long long v = 0;
    if (!ParseDecimal(stem, v) || v >= kSlotCount) return false;
    slot = static_cast<int>(v);
    return true;
}

// The newest file of the index.
int LastFile(const THistoryIndex& index) {
    return index.Count + (index.Newest ? 1 : 0);
}

// The file that comes back as the image: the state on screen when it is
// stored, else the last stored step (whose step then is undone already).
int ImageFile(const THistoryIndex& index) {
    return index.Pos < index.Count ? index.Pos + 1 : LastFile(index);
}

} // namespace

std::string HistoryIndexPath(const std::string& folder, int slot) {
    return folder + std::to_string(slot) + kIndexExtension;
}

void WriteHistoryIndex(const std::string& path, const THistoryIndex& index) {
    std::string text = std::string(kIndexHead) + "\n";
    text += "name=" + OneLine(index.Name) + "\n";
    text += "file=" + std::to_string(index.HadFile ? 1 : 0) + "\n";
    text += "width=" + std::to_string(index.Width) + "\n";
    text += "height=" + std::to_string(index.Height) + "\n";
    text += "pos=" + std::to_string(index.Pos) + "\n";
    text += "count=" + std::to_string(index.Count) + "\n";
    text += "newest=" + std::to_string(index.Newest ? 1 : 0) + "\n";
    text += "written=" + std::to_string(index.Written) + "\n";
    for (const std::string& name : index.Names) text += "step=" + OneLine(name) + "\n";
    WriteWholeFile(path, text);
}

bool ReadHistoryIndex(const std::string& path, THistoryIndex& index) {
    THistoryIndex r;
    long long width = 0, height = 0, pos = -1, count = -1, newest = 0, hadFile = 0, written = 0;
    const std::map<std::string, long long*> numbers = {{"file", &hadFile}, {"width", &width},   {"height", &height},
                                                      {"pos", &pos},      {"count", &count},   {"newest", &newest},
                                                      {"written", &written}};
    bool ok = ReadRecordFile(path, kIndexHead, kIndexLimit, [&](const std::string& key, const std::string& value) {
        if (key == "name") r.Name = value;
        else if (key == "step") r.Names.push_back(value);
        else if (const auto n = numbers.find(key); n != numbers.end()) return ParseDecimal(value, *n->second);
        return true;
    });
    ok = ok && width > 0 && height > 0 && width <= MaxImageSide && height <= MaxImageSide && count >= 1 &&
         count < (1 << 24) && pos >= 0 && pos <= count && static_cast<long long>(r.Names.size()) == count + 1;
    if (!ok) return false;
    r.HadFile = hadFile != 0;
    r.Width = static_cast<int>(width);
    r.Height = static_cast<int>(height);
    r.Pos = static_cast<int>(pos);
    r.Count = static_cast<int>(count);
    r.Newest = newest != 0;
    r.Written = written;
    index = std::move(r);
    return true;
}

std::vector<TLeftHistory> FindLeftHistories(const std::string& historyRoot) {
    std::vector<TLeftHistory> found;
    std::error_code ec;
    const long self = static_cast<long>(getpid());
    for (const auto& dir : fs::directory_iterator(historyRoot, ec)) {
        long long pid = 0;
        if (!dir.is_directory(ec) || !ParseDecimal(dir.path().filename().string(), pid)) continue;
        if (pid == self || ProcessAlive(static_cast<long>(pid))) continue;
        for (const auto& entry : fs::directory_iterator(dir.path(), ec)) {
            const fs::path& p = entry.path();
            TLeftHistory left;
            if (p.extension() != kIndexExtension || !ParseSlot(p.stem().string(), left.Slot)) continue;
            if (!ReadHistoryIndex(p.string(), left.Index)) continue;
            left.Folder = dir.path().string() + "/";
            left.Pid = static_cast<long>(pid);
            found.push_back(std::move(left));
        }
    }
    std::sort(found.begin(), found.end(),
              [](const TLeftHistory& a, const TLeftHistory& b) { return a.Index.Written > b.Index.Written; });
    return found;
}

Bitmap LeftHistoryImage(const TLeftHistory& left) {
    Bitmap image;
    ReadSnapshot(left.Folder + SnapshotName(left.Slot, ImageFile(left.Index)), image);
    // Without the state on screen stored, the image is an earlier one.
    const bool onScreen = left.Index.Pos < left.Index.Count || left.Index.Newest;
    if (onScreen && (image.Width() != left.Index.Width || image.Height() != left.Index.Height))
        throw ECodecError("The undo history of " + left.Index.Name + " does not hold the image its index describes");
    return image;
}

void AdoptLeftHistory(Workspace& ws, int slot, const TLeftHistory& left) {
    const int last = LastFile(left.Index);
    // Whole snapshots are renamed; tile snapshots are written anew naming
    // their base by the new number, their old files removed once all moved.
    std::vector<std::pair<std::string, std::string>> renamed, rewritten;
    try {
        std::vector<uint8_t> bytes;
        for (int j = 1; j <= last; ++j) {
            const std::string from = left.Folder + SnapshotName(left.Slot, j), to = SnapshotPath(ws, slot, j);
            if (ReadTileSnapshotFile(from, bytes)) {
                WriteTileSnapshotFile(to, RebasedTileSnapshot(bytes, SnapshotName(slot, j - 1)), false);
                rewritten.emplace_back(from, to);
            } else {
                std::error_code ec;
                fs::rename(from, to, ec);
                if (ec) throw ECodecError("Cannot move " + from + ": " + ec.message());
                renamed.emplace_back(from, to);
            }
        }
    } catch (...) {
        std::error_code ec;
        for (const auto& [from, to] : renamed) fs::rename(to, from, ec);
        for (const auto& [from, to] : rewritten) fs::remove(to, ec);
        throw;
    }
    for (const auto& [from, to] : rewritten) std::remove(from.c_str());
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    s.HistoryCount = left.Index.Count;
    s.HistoryPos = ImageFile(left.Index) - 1;
    for (int j = 1; j <= left.Index.Count + 1; ++j)
        s.HistoryEntry(j).Name = left.Index.Names[static_cast<std::size_t>(j - 1)];
    // The image is the state of a file: the next step stands on it.
    TSlotBase& base = BaseOf(ws, slot);
    base.Image = s.Bitmap;
    base.Index = ImageFile(left.Index);
    NoteHistoryChange(ws, slot);
    DiscardLeftHistory(left);
}

void DiscardLeftHistory(const TLeftHistory& left) {
    std::remove(HistoryIndexPath(left.Folder, left.Slot).c_str());
    for (int j = 1; j <= LastFile(left.Index); ++j) std::remove((left.Folder + SnapshotName(left.Slot, j)).c_str());
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(left.Folder, ec))
        if (entry.path().extension() == kIndexExtension) return;
    fs::remove_all(left.Folder, ec);
}

} // namespace pixora
