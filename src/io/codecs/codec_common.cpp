// Helpers shared by the codecs: size guards, file access, orientation.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "doc/file_layer.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

void CheckImageSize(int64_t width, int64_t height, const char* what) {
    if (width <= 0 || height <= 0)
        throw ECodecError(std::string(what) + ": invalid image size " + std::to_string(width) + " x " +
                          std::to_string(height));
    if (width > MaxImageSide || height > MaxImageSide || width * height > MaxImagePixels)
        throw ECodecError(std::string(what) + ": image too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + ")");
}

Bitmap NewImage(int width, int height, bool clear) {
    try {
        if (!clear) {
            Bitmap b(0, 0, 32);
            b.SetSizeUncleared(width, height);
            return b;
        }
        return Bitmap(width, height, 32);
    } catch (const std::bad_alloc&) {
        throw ECodecError("Not enough memory for an image of " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels");
    }
}

FilePtr OpenFile(const std::string& path, const char* mode) {
    if (mode[0] == 'w') {
        FilePtr f(OpenStreamForWriting(path));
        if (!f) throw ECodecError("Cannot create " + path + ": " + std::strerror(errno));
        return f;
    }
    const int fd = FileLayer().Open(path, O_RDONLY, 0);
    if (fd < 0) throw ECodecError("Cannot open " + path + ": " + std::strerror(errno));
    FilePtr f(fdopen(fd, mode));
    if (!f) {
        const int e = errno;
        close(fd);
        throw ECodecError("Cannot open " + path + ": " + std::strerror(e));
    }
    return f;
}

void CloseWrittenFile(FilePtr& f, const std::string& path) {
    std::FILE* stream = f.release();
    if (std::fclose(stream) != 0) {
        const int e = LastStreamError();
        throw ECodecError("Cannot write " + path + ": " + std::strerror(e ? e : EIO));
    }
}

void ThrowIfWriteFailed(std::FILE* f, const std::string& path) {
    if (!f || !std::ferror(f)) return;
    const int e = LastStreamError();
    throw ECodecError("Cannot write " + path + ": " + std::strerror(e ? e : EIO));
}

std::size_t FileSizeOf(std::FILE* f) {
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) throw ECodecError("Not a readable file");
    return static_cast<std::size_t>(st.st_size);
}

TMappedFile::TMappedFile(const std::string& path) {
    const int fd = FileLayer().Open(path, O_RDONLY, 0);
    if (fd < 0) throw ECodecError("Cannot open " + path + ": " + std::strerror(errno));
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        throw ECodecError("Not a readable file: " + path);
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ > 0) {
        void* p = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p == MAP_FAILED) {
            const int e = errno;
            close(fd);
            throw ECodecError("Cannot read " + path + ": " + std::strerror(e));
        }
        data_ = static_cast<const uint8_t*>(p);
    }
    close(fd);
}

TMappedFile::~TMappedFile() {
    if (data_) munmap(const_cast<uint8_t*>(data_), size_);
}

TRawWriter::TRawWriter(const std::string& path) : path_(path) {
    fd_ = FileLayer().Open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd_ < 0) throw ECodecError("Cannot create " + path + ": " + std::strerror(errno));
}

TRawWriter::~TRawWriter() {
    if (fd_ >= 0) FileLayer().Close(fd_);
}

void TRawWriter::Write(const void* data, std::size_t size) {
    if (!WriteFully(fd_, data, size))
        throw ECodecError("Cannot write " + path_ + ": " + std::strerror(errno));
}

void TRawWriter::WritePieces(const TPiece* pieces, std::size_t count) {
    std::vector<iovec> v;
    v.reserve(std::min<std::size_t>(count, IOV_MAX));
    std::size_t i = 0;
    while (i < count) {
        v.clear();
        for (; i < count && v.size() < IOV_MAX; ++i)
            v.push_back({const_cast<void*>(pieces[i].Data), pieces[i].Size});
        if (!WriteFully(fd_, v.data(), static_cast<int>(v.size())))
            throw ECodecError("Cannot write " + path_ + ": " + std::strerror(errno));
    }
}

void TRawWriter::Close() {
    const int fd = fd_;
    fd_ = -1;
    if (FileLayer().Close(fd) != 0) throw ECodecError("Cannot write " + path_ + ": " + std::strerror(errno));
}

Bitmap ApplyExifOrientation(const Bitmap& src, int orientation) {
    if (orientation < 2 || orientation > 8 || src.Empty()) return src;
    const int w = src.Width(), h = src.Height();
    // Orientations 5..8 swap the axes.
    const bool swap = orientation >= 5;
    Bitmap dst = NewImage(swap ? h : w, swap ? w : h);
    const int dw = dst.Width(), dh = dst.Height();
    // Destination of source pixel (x, y): (ax*x + bx*y + cx, ay*x + by*y + cy).
    int ax = 0, bx = 0, cx = 0, ay = 0, by = 0, cy = 0;
    switch (orientation) {
    case 2: ax = -1; cx = w - 1; by = 1; break;                    // mirrored
    case 3: ax = -1; cx = w - 1; by = -1; cy = h - 1; break;       // turned 180
    case 4: ax = 1; by = -1; cy = h - 1; break;                    // flipped
    case 5: bx = 1; ay = 1; break;                                 // transposed
    case 6: bx = -1; cx = dw - 1; ay = 1; break;                   // turn 90 clockwise
    case 7: bx = -1; cx = dw - 1; ay = -1; cy = dh - 1; break;     // transversed
    case 8: bx = 1; ay = -1; cy = dh - 1; break;                   // turn 90 anticlockwise
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = src.Row(y);
        for (int x = 0; x < w; ++x, s += 4) {
            const int dx = ax * x + bx * y + cx, dy = ay * x + by * y + cy;
            std::memcpy(dst.Row(dy) + static_cast<std::size_t>(dx) * 4, s, 4);
        }
    }
    return dst;
}

namespace {

// 0666 less the process's umask. The kernel reports the umask in
// /proc/self/status; asking umask() for it means setting it for a moment,
// which races with files being created on other threads.
mode_t NewFileMode() {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(f);
        if (found) return static_cast<mode_t>(0666 & ~mask);
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

void WriteThroughTemporary(const std::string& requested,
                           const std::function<void(const std::string&)>& write) {
    // Writing through a symbolic link replaces the file it points to, not the link.
    std::string path = requested;
    {
        std::error_code ec;
        if (std::filesystem::is_symlink(requested, ec)) {
            const auto target = std::filesystem::weakly_canonical(requested, ec);
            if (!ec) path = target.string();
        }
    }
    const std::size_t slash = path.find_last_of('/');
    const std::string dir =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    // The temporary name must stay within the file system's name limit
    // however long the target's name is.
    std::string temp = dir + (dir.back() == '/' ? "" : "/") + "." + base.substr(0, 64) + ".XXXXXX";
    // mkstemp reserves a unique name; the writer then creates the file anew.
    // Writing into a fresh file rather than truncating one spares the file
    // system a forced flush when it is closed.
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw ECodecError("Cannot create a file in " + dir + ": " + std::strerror(errno));
    close(fd);
    unlink(temp.c_str());
    try {
        write(temp);
    } catch (...) {
        unlink(temp.c_str());
        throw;
    }
    // mkstemp makes the file private; give it the target's permissions, or
    // those of a newly created file.
    struct stat st {};
    mode_t mode;
    if (stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode = NewFileMode();
    }
    // A file that would come out with other permissions than the one it
    // replaces is not put in its place.
    TFileLayer& files = FileLayer();
    if (files.Chmod(temp, mode) != 0) {
        const int e = errno;
        unlink(temp.c_str());
        throw ECodecError("Cannot set the permissions of " + path + ": " + std::strerror(e));
    }
    if (files.Rename(temp, path) != 0) {
        const int e = errno;
        unlink(temp.c_str());
        throw ECodecError("Cannot write " + path + ": " + std::strerror(e));
    }
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    WriteThroughTemporary(path, [&](const std::string& temp) {
        TRawWriter out(temp);
        out.Write(bytes.data(), bytes.size());
        out.Close();
    });
}

} // namespace pixora
