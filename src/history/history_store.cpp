#include "history/history_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "doc/file_layer.h"
#include "doc/resample.h"
#include "doc/tab_change.h"
#include "doc/thumbnail_fit.h"
#include "history/history_folder.h"
#include "history/tile_snapshot.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

namespace {

std::string SnapshotName(int slot, int k) {
    return std::to_string(slot) + "_" + std::to_string(k) + ".bmp";
}

} // namespace

std::string SnapshotPath(const Workspace& ws, int slot, int k) {
    return HistoryDir(ws) + SnapshotName(slot, k);
}

// ---- snapshot files ----------------------------------------------------------

namespace {

struct FdCloser {
    int Fd;
    ~FdCloser() {
        if (Fd >= 0) FileLayer().Close(Fd);
    }
};

constexpr int kIoBatch = 512;  // rows per system call, well below IOV_MAX

// Moves the buffers of `iov` past `done` bytes, dropping those finished.
void Advance(iovec*& iov, int& count, std::size_t done) {
    while (count > 0 && done >= iov->iov_len) {
        done -= iov->iov_len;
        ++iov;
        --count;
    }
    if (count > 0 && done > 0) {
        iov->iov_base = static_cast<uint8_t*>(iov->iov_base) + done;
        iov->iov_len -= done;
    }
}

// Writes the head and then the rows bottom-up, a batch of rows per call.
void WriteRows(int fd, const std::vector<uint8_t>& head, const Bitmap& image, const std::string& path) {
    const int h = image.Height();
    const std::size_t stride = image.Stride();
    iovec batch[kIoBatch + 1];
    int fileRow = 0;
    bool headDone = false;
    while (fileRow < h) {
        int count = 0;
        if (!headDone) batch[count++] = {const_cast<uint8_t*>(head.data()), head.size()};
        const int rows = std::min(kIoBatch, h - fileRow);
        for (int i = 0; i < rows; ++i)
            batch[count++] = {const_cast<uint8_t*>(image.Row(h - 1 - (fileRow + i))), stride};
        if (!WriteFully(fd, batch, count))
            throw ECodecError("Cannot write " + path + ": " + std::strerror(errno));
        headDone = true;
        fileRow += rows;
    }
}

} // namespace

namespace {

// Writes the file at `path` anew, `body` filling the open file; a failure
// removes what was written.
void WriteNewFile(const std::string& path, const std::function<void(int fd)>& body) {
    try {
        const int fd = FileLayer().Open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd < 0) throw ECodecError("Cannot create " + path + ": " + std::strerror(errno));
        FdCloser closer{fd};
        body(fd);
        closer.Fd = -1;
        if (FileLayer().Close(fd) != 0)
            throw ECodecError("Cannot write " + path + ": " + std::strerror(errno));
    } catch (...) {
        std::remove(path.c_str());
        throw;
    }
}

void WriteSnapshotFile(const std::string& path, const Bitmap& image) {
    WriteNewFile(path, [&](int fd) { WriteRows(fd, bmp::FileHead(image.Width(), image.Height(), 32), image, path); });
}

void WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteNewFile(path, [&](int fd) {
        if (!WriteFully(fd, bytes.data(), bytes.size()))
            throw ECodecError("Cannot write " + path + ": " + std::strerror(errno));
    });
}

// Writes the tiles of `image` that differ from the base file, with the same
// care for an old file as WriteSnapshot.
void WriteTileSnapshotFile(const std::string& path, const std::vector<uint8_t>& bytes, bool keepOldOnFailure) {
    if (!keepOldOnFailure) {
        WriteBytesFile(path, bytes);
        return;
    }
    WriteThroughTemporary(path, [&](const std::string& temp) { WriteBytesFile(temp, bytes); });
}

} // namespace

void WriteSnapshot(const std::string& path, const Bitmap& image, bool keepOldOnFailure) {
    if (image.Empty() || image.BitsPerPixel() != 32) throw ECodecError("Cannot write " + path + ": no 32-bit image");
    if (static_cast<uint64_t>(image.Stride()) * static_cast<uint64_t>(image.Height()) > 0xFFFFFFFFull - 54)
        throw ECodecError("Cannot write " + path + ": the image is too large for a BMP file");
    if (!keepOldOnFailure) {
        WriteSnapshotFile(path, image);
        return;
    }
    WriteThroughTemporary(path, [&](const std::string& temp) { WriteSnapshotFile(temp, image); });
}

namespace {

uint32_t U32At(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Reads `count` bytes at `offset` straight into the rows of `into`, file row
// 0 being the bottom row.
void ReadRowsBottomUp(int fd, off_t offset, Bitmap& into, const std::string& path) {
    const int h = into.Height();
    const std::size_t stride = into.Stride();
    iovec batch[kIoBatch];
    int fileRow = 0;
    while (fileRow < h) {
        const int rows = std::min(kIoBatch, h - fileRow);
        for (int i = 0; i < rows; ++i) batch[i] = {into.Row(h - 1 - (fileRow + i)), stride};
        // A read may stop short; go on from where it stopped.
        iovec* iov = batch;
        int count = rows;
        while (count > 0) {
            const ssize_t got = ::preadv(fd, iov, count, offset);
            if (got < 0) {
                if (errno == EINTR) continue;
                throw ECodecError("Cannot read " + path + ": " + std::strerror(errno));
            }
            if (got == 0) throw ECodecError("BMP: file is truncated");
            offset += got;
            Advance(iov, count, static_cast<std::size_t>(got));
        }
        fileRow += rows;
    }
}

} // namespace

namespace {

// The whole file when it is a tile snapshot; false for any other file.
bool ReadTileSnapshotFile(const std::string& path, std::vector<uint8_t>& bytes) {
    const int fd = FileLayer().Open(path, O_RDONLY, 0);
    if (fd < 0) throw ECodecError("Cannot open " + path + ": " + std::strerror(errno));
    FdCloser closer{fd};
    uint8_t head[64] = {};
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    struct stat st {};
    if (got <= 0 || !IsTileSnapshot(head, static_cast<std::size_t>(got)) || ::fstat(fd, &st) != 0) return false;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw ECodecError("Cannot read " + path + ": " + std::strerror(errno));
        if (n == 0) throw ECodecError("Undo step: the file is truncated");
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void ReadWholeSnapshot(const std::string& path, Bitmap& into);

} // namespace

// A tile snapshot is read as its chain: the full snapshot it ends at, then
// the tiles of each step over it, oldest first.
void ReadSnapshot(const std::string& path, Bitmap& into) {
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    std::vector<std::vector<uint8_t>> steps;
    std::set<std::string> seen{path};
    std::string at = path;
    std::vector<uint8_t> bytes;
    while (ReadTileSnapshotFile(at, bytes)) {
        at = folder + TileSnapshotBase(bytes);
        if (!seen.insert(at).second) throw ECodecError("Undo step: the file is damaged");
        steps.push_back(std::move(bytes));
        bytes = {};
    }
    ReadWholeSnapshot(at, into);
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) ApplyTileSnapshot(*step, into);
}

namespace {

void ReadWholeSnapshot(const std::string& path, Bitmap& into) {
    const int fd = FileLayer().Open(path, O_RDONLY, 0);
    if (fd < 0) throw ECodecError("Cannot open " + path + ": " + std::strerror(errno));
    FdCloser closer{fd};
    uint8_t head[54] = {};
    struct stat st {};
    const bool plain = ::fstat(fd, &st) == 0 && ::pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
                       head[0] == 'B' && head[1] == 'M' && U32At(head + 10) == 54 && U32At(head + 14) == 40 &&
                       (head[28] | head[29] << 8) == 32 && U32At(head + 30) == 0;
    const int32_t w = static_cast<int32_t>(U32At(head + 18)), h = static_cast<int32_t>(U32At(head + 22));
    const bool sane = plain && w > 0 && h > 0 && w <= MaxImageSide && h <= MaxImageSide &&
                      static_cast<int64_t>(w) * h <= MaxImagePixels;
    if (!sane) {
        // Not the layout this store writes: let the full reader decide.
        into = bmp::Read(path);
        return;
    }
    const std::size_t need = 54 + static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h);
    if (static_cast<std::size_t>(st.st_size) < need) throw ECodecError("BMP: file is truncated");
    if (into.Width() != w || into.Height() != h || into.BitsPerPixel() != 32) into = NewImage(w, h);
    ReadRowsBottomUp(fd, 54, into, path);
}

} // namespace

// ---- the store ---------------------------------------------------------------

namespace {

// The state of the newest snapshot a slot wrote, so that the next one can
// store only the tiles that differ from it. Index -1: nothing kept.
struct TSlotBase {
    Bitmap Image;
    int Index = -1;
};

struct THistoryStorage final : WorkspaceExtension {
    std::map<int, TSlotBase> Bases;
    uint64_t Budget = 0;
    // At least what the folder holds: its size when last counted plus what
    // was written since. The folder is counted again only when this passes
    // the budget, so a long history is not listed on every step.
    uint64_t UsedAtMost = 0;
};

THistoryStorage& StorageOf(Workspace& ws) {
    if (!ws.HistoryStorage) ws.HistoryStorage = std::make_unique<THistoryStorage>();
    return static_cast<THistoryStorage&>(*ws.HistoryStorage);
}

TSlotBase& BaseOf(Workspace& ws, int slot) {
    return StorageOf(ws).Bases[slot];
}

// Stores snapshot k of a slot: only the changed tiles when snapshot k - 1 is
// the kept state and less than half of the image changed, else the whole
// image. The kept state follows.
void StoreSnapshot(Workspace& ws, int slot, int k, bool keepOld) {
    const Bitmap& image = ws.Images[static_cast<std::size_t>(slot)].Bitmap;
    TSlotBase& base = BaseOf(ws, slot);
    const bool comparable = k > 1 && base.Index == k - 1 && image.BitsPerPixel() == 32 &&
                            base.Image.BitsPerPixel() == 32 && base.Image.Width() == image.Width() &&
                            base.Image.Height() == image.Height();
    std::vector<TTileIndex> tiles;
    if (comparable) tiles = ChangedTiles(base.Image, image);
    const bool partial =
        comparable && TilePixels(image, tiles) * 2 <= static_cast<int64_t>(image.Width()) * image.Height();
    base.Index = -1;  // until the file is written
    if (partial) {
        WriteTileSnapshotFile(SnapshotPath(ws, slot, k), EncodeTileSnapshot(image, tiles, SnapshotName(slot, k - 1)),
                              keepOld);
        CopyTiles(image, base.Image, tiles);
    } else {
        WriteSnapshot(SnapshotPath(ws, slot, k), image, keepOld);
        if (base.Image.Width() == image.Width() && base.Image.Height() == image.Height() &&
            base.Image.BitsPerPixel() == image.BitsPerPixel())
            for (int y = 0; y < image.Height(); ++y) std::memcpy(base.Image.Row(y), image.Row(y), image.Stride());
        else
            base.Image = image;
    }
    base.Index = k;
}

void Report(Workspace& ws, const std::string& headline, const std::exception& e) {
    ws.Port->ReportProblem(headline, e.what());
}

// Scaled straight from the image: a copy into a work bitmap first would
// give the same pixels at the cost of a full-size copy per step.
void MakeThumbnail(const TImages& s, Bitmap& thumb) {
    const TThumbSize size = FitThumbnail(s.Bitmap.Width(), s.Bitmap.Height(), kHistoryThumbLimit);
    thumb = Bitmap(size.Width, size.Height, 32);
    BilinearResample(s.Bitmap, thumb);
}

// A snapshot read for undo, redo or a jump. The image-sized scratch bitmap
// receives it when the sizes agree, so that nothing is allocated; it is
// given back afterwards holding the replaced image (scratch either way).
struct TLoaded {
    Bitmap Pixels;
    bool Borrowed = false;
};

bool LoadSnapshot(Workspace& ws, int slot, int k, TLoaded& out) {
    Bitmap& scratch = ws.FilterWork.Bitmap;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.Bitmap.Empty() && scratch.Width() == s.Bitmap.Width() && scratch.Height() == s.Bitmap.Height()) {
        std::swap(out.Pixels, scratch);
        out.Borrowed = true;
    }
    try {
        ReadSnapshot(SnapshotPath(ws, slot, k), out.Pixels);
        return true;
    } catch (const std::exception& e) {
        Report(ws, "Could not read the undo step.", e);
        return false;
    }
}

void GiveBackScratch(Workspace& ws, TLoaded& loaded) {
    if (!loaded.Borrowed) return;
    std::swap(ws.FilterWork.Bitmap, loaded.Pixels);
    ws.FilterWork.Refill();
    loaded.Borrowed = false;
}

// Puts a loaded snapshot in place of the image and shows it.
void ShowLoaded(Workspace& ws, TImages& s, TLoaded& loaded) {
    std::swap(s.Bitmap, loaded.Pixels);
    FillRowTable(s.Bitmap, s.Rows);
    GiveBackScratch(ws, loaded);
    ws.Port->RefreshHistoryMenus();
    TabChange(ws);
}

} // namespace

namespace {

uint64_t FolderBytes(const std::string& dir) {
    uint64_t total = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const uintmax_t size = entry.file_size(ec);
        if (!ec) total += size;
    }
    return total;
}

// Makes snapshot 2 the oldest: its state is written whole as snapshot 1 and
// every later file moves down a number, a tile snapshot naming its new base.
void DropOldestStep(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    Bitmap second;
    ReadSnapshot(SnapshotPath(ws, slot, 2), second);
    WriteSnapshot(SnapshotPath(ws, slot, 1), second);
    std::vector<uint8_t> bytes;
    for (int j = 3; j <= s.HistoryCount; ++j) {
        const std::string from = SnapshotPath(ws, slot, j), to = SnapshotPath(ws, slot, j - 1);
        if (ReadTileSnapshotFile(from, bytes)) {
            WriteTileSnapshotFile(to, RebasedTileSnapshot(bytes, SnapshotName(slot, j - 2)), true);
            std::remove(from.c_str());
        } else if (FileLayer().Rename(from, to) != 0) {
            throw ECodecError("Cannot rename " + from + ": " + std::strerror(errno));
        }
    }
    std::remove(SnapshotPath(ws, slot, s.HistoryCount).c_str());  // left when nothing moved over it
    s.History.erase(s.History.begin() + 1);
    --s.HistoryPos;
    --s.HistoryCount;
    TSlotBase& base = BaseOf(ws, slot);
    base.Index = base.Index >= 2 ? base.Index - 1 : -1;
}

// Forgets every step of a slot (its files and counters); the image stays.
void ForgetSlotHistory(Workspace& ws, int slot) {
    DeleteSlotHistoryFiles(ws, slot);
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    s.HistoryPos = 0;
    s.HistoryCount = 0;
}

std::string Megabytes(uint64_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

// After snapshot k = HistoryCount was stored: drops the oldest steps of the
// slot while the folder holds more than the budget, never that snapshot.
void KeepWithinBudget(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const std::string dir = HistoryDir(ws);
    const uint64_t budget = HistoryBudget(ws);
    uint64_t& usedAtMost = StorageOf(ws).UsedAtMost;
    {
        std::error_code ec;
        usedAtMost += std::filesystem::file_size(SnapshotPath(ws, slot, s.HistoryCount), ec);
    }
    if (usedAtMost <= budget) return;
    usedAtMost = FolderBytes(dir);
    int dropped = 0;
    try {
        while (FolderBytes(dir) > budget && s.HistoryCount > 1) {
            DropOldestStep(ws, slot);
            ++dropped;
        }
    } catch (const std::exception& e) {
        // A half-moved history cannot be trusted: the image keeps no steps.
        ForgetSlotHistory(ws, slot);
        Report(ws, "Could not store the undo step.", e);
        return;
    }
    if (dropped > 0)
        ws.Port->ShowStatusNote("The oldest undo steps (" + std::to_string(dropped) +
                                ") were dropped to keep the history within " + Megabytes(budget) + ".");
    usedAtMost = FolderBytes(dir);
    if (usedAtMost > budget) {
        std::error_code ec;
        const uint64_t step = std::filesystem::file_size(SnapshotPath(ws, slot, s.HistoryCount), ec);
        ForgetSlotHistory(ws, slot);
        ws.Port->ReportProblem("Could not store the undo step.",
                               "The step takes " + Megabytes(step) + ", more than the history budget of " +
                                   Megabytes(budget) + " leaves; the edit is made without it.");
    }
}

} // namespace

void SetHistoryBudget(Workspace& ws, uint64_t bytes) {
    StorageOf(ws).Budget = bytes;
}

uint64_t HistoryBudget(Workspace& ws) {
    const uint64_t set = StorageOf(ws).Budget;
    if (set > 0) return set;
    std::error_code ec;
    const std::filesystem::space_info space = std::filesystem::space(HistoryDir(ws), ec);
    if (ec) return kHistoryBudgetCap;
    return std::min<uint64_t>(space.available / 4, kHistoryBudgetCap);
}

bool PushHistory(Workspace& ws) {
    const TActiveImage active = ws.ActiveImage();
    return active && PushHistory(ws, active.Slot);
}

bool PushHistory(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const int k = s.HistoryPos + 1;
    try {
        // Snapshot k may be a stored redo step, which must survive a failed
        // write; otherwise any file there is a leftover and is written over.
        StoreSnapshot(ws, slot, k, k <= s.HistoryCount);
    } catch (const std::exception& e) {
        Report(ws, "Could not store the undo step.", e);
        return false;
    }
    // The redo branch above the new snapshot is lost (snapshot k itself was
    // just replaced).
    for (int j = k + 1; j <= s.HistoryCount; ++j) {
        std::remove(SnapshotPath(ws, slot, j).c_str());
        s.HistoryEntry(j).Thumb = Bitmap();
    }
    s.HistoryPos = k;
    s.HistoryCount = k;
    MakeThumbnail(s, s.HistoryEntry(k).Thumb);
    // The coming step is not repeatable until its command says how.
    s.HistoryEntry(k + 1).Recipe.clear();
    s.Saved = 0;
    KeepWithinBudget(ws, slot);
    ws.Port->UpdateCommandStates();
    return true;
}

void NameHistoryStep(Workspace& ws, const std::string& name) {
    const TActiveImage s = ws.ActiveImage();
    if (!s) return;
    s->HistoryEntry(s->HistoryPos + 1).Name = name;
    RefreshHistoryMenus(ws);
}

void RefreshHistoryMenus(Workspace& ws) {
    ws.Port->RefreshHistoryMenus();
}

// Undo and jumps share this: when the image on screen is newer than every
// snapshot it is stored first, then snapshot target + 1 becomes the image.
// The snapshot is read before anything changes, so a failure leaves the
// counters and the image as they were.
bool JumpToHistoryStep(Workspace& ws, int target) {
    const TActiveImage active = ws.ActiveImage();
    if (!active) return false;
    const int slot = active.Slot;
    TImages& s = *active;
    {
        const int stored = s.HistoryPos == s.HistoryCount ? s.HistoryCount + 1 : s.HistoryCount;
        if (target < 0 || target > stored - 1) return false;
    }
    // A floating selection goes into the image first, so that the state
    // stored below (and redone later) holds it.
    ws.BeforeImageReplaced();
    const bool storeNewest = s.HistoryPos == s.HistoryCount;
    const int count = storeNewest ? s.HistoryCount + 1 : s.HistoryCount;
    if (target > count - 1) return false;
    const int k = target + 1;
    if (storeNewest && k == count) {
        // The newest state itself: it is the image already.
        if (!PushHistory(ws, slot)) return false;
        s.HistoryPos = target;
        s.Saved = 0;
        RefreshHistoryMenus(ws);
        TabChange(ws);
        return true;
    }
    TLoaded loaded;
    if (!LoadSnapshot(ws, slot, k, loaded) || (storeNewest && !PushHistory(ws, slot))) {
        GiveBackScratch(ws, loaded);
        return false;
    }
    s.HistoryPos = target;
    s.Saved = 0;
    ShowLoaded(ws, s, loaded);
    return true;
}

bool UndoStep(Workspace& ws) {
    const TActiveImage s = ws.ActiveImage();
    if (!s || s->HistoryPos <= 0) return false;
    return JumpToHistoryStep(ws, s->HistoryPos - 1);
}

bool RedoStep(Workspace& ws) {
    const TActiveImage s = ws.ActiveImage();
    if (!s || s->HistoryPos >= s->HistoryCount - 1) return false;
    return JumpToHistoryStep(ws, s->HistoryPos + 1);
}

void DeleteSlotHistoryFiles(const Workspace& ws, int slot) {
    if (ws.HistoryStorage) static_cast<THistoryStorage&>(*ws.HistoryStorage).Bases.erase(slot);
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    for (int k = 1; k <= s.HistoryCount; ++k) std::remove(SnapshotPath(ws, slot, k).c_str());
}

std::string HistoryName(const TImages& s, int k) {
    if (k < 0 || k >= static_cast<int>(s.History.size())) return {};
    return s.History[static_cast<std::size_t>(k)].Name;
}

THistoryMenus HistoryMenuTexts(const TImages& s) {
    THistoryMenus m;
    const int p = s.HistoryPos, c = s.HistoryCount;
    const int n = std::min(p, kHistoryListLength);
    for (int j = 1; j <= n; ++j) m.UndoItems.push_back(HistoryName(s, p + 2 - j));
    const int r = std::min(c - p - 1, kHistoryListLength);
    for (int j = 1; j <= r; ++j) m.RedoItems.push_back(HistoryName(s, p + 1 + j));
    if (p >= 1) m.UndoCaption = "Undo " + HistoryName(s, p + 1);
    if (p < c - 1) m.RedoCaption = "Redo " + HistoryName(s, p + 2);
    return m;
}

} // namespace pixora
