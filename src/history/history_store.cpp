#include "history/history_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "doc/layers.h"
#include "doc/resample.h"
#include "history/history_folder.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

std::string SnapshotPath(const Workspace& ws, int slot, int k) {
    return HistoryDir(ws) + std::to_string(slot) + "_" + std::to_string(k) + ".bmp";
}

// ---- snapshot files ----------------------------------------------------------

void WriteSnapshot(const std::string& path, const Bitmap& image) {
    const std::string part = path + ".part";
    try {
        bmp::Write(part, image, 32);
    } catch (...) {
        std::remove(part.c_str());
        throw;
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(part.c_str());
        throw ECodecError("Cannot write " + path + ": " + reason);
    }
}

namespace {

struct FdCloser {
    int Fd;
    ~FdCloser() {
        if (Fd >= 0) ::close(Fd);
    }
};

uint32_t U32At(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Reads `count` bytes at `offset` straight into the rows of `into`, file row
// 0 being the bottom row.
void ReadRowsBottomUp(int fd, off_t offset, Bitmap& into, const std::string& path) {
    const int h = into.Height();
    const std::size_t stride = into.Stride();
    constexpr int kBatch = 512;  // well below IOV_MAX
    iovec iov[kBatch];
    int fileRow = 0;
    while (fileRow < h) {
        const int n = std::min(kBatch, h - fileRow);
        for (int i = 0; i < n; ++i) iov[i] = {into.Row(h - 1 - (fileRow + i)), stride};
        // A read may stop short; go on from where it stopped.
        int first = 0;
        std::size_t pending = stride * static_cast<std::size_t>(n);
        while (pending > 0) {
            const ssize_t got = ::preadv(fd, iov + first, n - first, offset);
            if (got < 0) {
                if (errno == EINTR) continue;
                throw ECodecError("Cannot read " + path + ": " + std::strerror(errno));
            }
            if (got == 0) throw ECodecError("BMP: file is truncated");
            offset += got;
            pending -= static_cast<std::size_t>(got);
            std::size_t left = static_cast<std::size_t>(got);
            while (first < n && left >= iov[first].iov_len) left -= iov[first++].iov_len;
            if (first < n && left > 0) {
                iov[first].iov_base = static_cast<uint8_t*>(iov[first].iov_base) + left;
                iov[first].iov_len -= left;
            }
        }
        fileRow += n;
    }
}

} // namespace

void ReadSnapshot(const std::string& path, Bitmap& into) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw ECodecError("Cannot open " + path + ": " + std::strerror(errno));
    FdCloser closer{fd};
    uint8_t head[54];
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

// ---- the store ---------------------------------------------------------------

namespace {

int ActiveIndex(const Workspace& ws) {
    if (!ws.HasOpenImage()) return -1;
    const int slot = ws.ActiveSlot();
    return slot >= 0 && slot < kSlotCount ? slot : -1;
}

void Report(Workspace& ws, const std::string& what, const std::exception& e) {
    // Kind 0: the message dialog keeps its label and lists the detail.
    if (ws.Port) ws.Port->ReportError(0, what + e.what());
}

void MakeThumbnail(Workspace& ws, TImages& s, Bitmap& thumb) {
    const TThumbSize size = FitThumbnail(s.Bitmap.Width(), s.Bitmap.Height(), kHistoryThumbLimit);
    thumb = Bitmap(size.Width, size.Height, 32);
    // The image goes through the image-sized scratch bitmap, which every user
    // fills before reading it.
    Bitmap& work = ws.FilterWork.Bitmap;
    if (work.Width() != s.Bitmap.Width() || work.Height() != s.Bitmap.Height() || work.BitsPerPixel() != 32) {
        work = Bitmap(s.Bitmap.Width(), s.Bitmap.Height(), 32);
        ws.FilterWork.Refill();
    }
    if (!s.Bitmap.Empty()) std::memcpy(work.Data(), s.Bitmap.Data(), s.Bitmap.ByteSize());
    BilinearResample(work, thumb);
}

// A snapshot read for undo, redo or a jump. The image-sized scratch bitmap
// receives it when the sizes agree, so that nothing is allocated; it is
// given back afterwards holding the replaced image (scratch either way).
struct TLoaded {
    Bitmap Pixels;
    bool Borrowed = false;
};

bool LoadSnapshot(Workspace& ws, int slot, int k, bool mayBorrow, TLoaded& out) {
    Bitmap& scratch = ws.FilterWork.Bitmap;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (mayBorrow && !s.Bitmap.Empty() && scratch.Width() == s.Bitmap.Width() && scratch.Height() == s.Bitmap.Height()) {
        std::swap(out.Pixels, scratch);
        out.Borrowed = true;
    }
    try {
        ReadSnapshot(SnapshotPath(ws, slot, k), out.Pixels);
        return true;
    } catch (const std::exception& e) {
        Report(ws, "Could not read the undo step: ", e);
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
    if (ws.Port) {
        ws.Port->RefreshHistoryMenus();
        ws.Port->TabChange();
    }
}

} // namespace

bool PushHistory(Workspace& ws) {
    const int slot = ActiveIndex(ws);
    return slot >= 0 && PushHistory(ws, slot);
}

bool PushHistory(Workspace& ws, int slot) {
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const int k = s.HistoryPos + 1;
    try {
        WriteSnapshot(SnapshotPath(ws, slot, k), s.Bitmap);
    } catch (const std::exception& e) {
        Report(ws, "Could not store the undo step: ", e);
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
    MakeThumbnail(ws, s, s.HistoryEntry(k).Thumb);
    s.Saved = 0;
    if (ws.Port) ws.Port->UpdateCommandStates();
    return true;
}

void NameHistoryStep(Workspace& ws, const std::string& name) {
    const int slot = ActiveIndex(ws);
    if (slot < 0) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    s.HistoryEntry(s.HistoryPos + 1).Name = name;
    RefreshHistoryMenus(ws);
}

void RefreshHistoryMenus(Workspace& ws) {
    if (ws.Port) ws.Port->RefreshHistoryMenus();
}

// Undo and jumps share this: when the image on screen is newer than every
// snapshot it is stored first, then snapshot target + 1 becomes the image.
// The snapshot is read before anything changes, so a failure leaves the
// counters and the image as they were.
bool JumpToHistoryStep(Workspace& ws, int target) {
    const int slot = ActiveIndex(ws);
    if (slot < 0) return false;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    const bool storeNewest = s.HistoryPos == s.HistoryCount;
    const int count = storeNewest ? s.HistoryCount + 1 : s.HistoryCount;
    if (target < 0 || target > count - 1) return false;
    if (ws.Port) ws.Port->EndSelection();
    const int k = target + 1;
    TLoaded loaded;
    if (storeNewest && k == count) {
        // The newest state itself: it is the image already.
        if (!PushHistory(ws, slot)) return false;
        s.HistoryPos = target;
        s.Saved = 0;
        RefreshHistoryMenus(ws);
        if (ws.Port) ws.Port->TabChange();
        return true;
    }
    // A push makes the thumbnail through the scratch bitmap, so it is not
    // lent out then.
    if (!LoadSnapshot(ws, slot, k, !storeNewest, loaded)) {
        GiveBackScratch(ws, loaded);
        return false;
    }
    if (storeNewest && !PushHistory(ws, slot)) return false;
    s.HistoryPos = target;
    s.Saved = 0;
    ShowLoaded(ws, s, loaded);
    return true;
}

bool UndoStep(Workspace& ws) {
    const int slot = ActiveIndex(ws);
    if (slot < 0) return false;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (s.HistoryPos <= 0) return false;
    return JumpToHistoryStep(ws, s.HistoryPos - 1);
}

bool RedoStep(Workspace& ws) {
    const int slot = ActiveIndex(ws);
    if (slot < 0) return false;
    const TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (s.HistoryPos >= s.HistoryCount - 1) return false;
    return JumpToHistoryStep(ws, s.HistoryPos + 1);
}

void DeleteSlotHistoryFiles(const Workspace& ws, int slot) {
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
