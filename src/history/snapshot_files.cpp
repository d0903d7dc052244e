#include "history/snapshot_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "doc/file_layer.h"
#include "history/history_folder.h"
#include "history/tile_snapshot.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

std::string SnapshotName(int slot, int k) {
    return std::to_string(slot) + "_" + std::to_string(k) + ".bmp";
}

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

} // namespace

void WriteTileSnapshotFile(const std::string& path, const std::vector<uint8_t>& bytes, bool keepOldOnFailure) {
    if (!keepOldOnFailure) {
        WriteBytesFile(path, bytes);
        return;
    }
    WriteThroughTemporary(path, [&](const std::string& temp) { WriteBytesFile(temp, bytes); });
}

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

namespace {
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

} // namespace pixora
