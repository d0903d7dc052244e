// Helpers shared by the codecs: size guards, file access, orientation.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

namespace {

// The fuzz build's smaller picture limit (see fuzz/fuzz_main.cpp): a
// fuzzer spends its time on the parsers, not on filling pictures near the
// largest size. Without PIXORA_FUZZ_MAX_PIXELS set, or in any other
// build, the limits are the program's own.
void CheckFuzzLimit([[maybe_unused]] int64_t width, [[maybe_unused]] int64_t height,
                    [[maybe_unused]] const char* what) {
#ifdef PIXORA_FUZZ_BUILD
    const char* limit = std::getenv("PIXORA_FUZZ_MAX_PIXELS");
    const long long most = limit ? std::atoll(limit) : 0;
    if (most > 0 && width * height > most)
        throw ECodecError(std::string(what) + ": image above the fuzz limit of " + std::to_string(most) +
                          " pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")");
#endif
}

} // namespace

void CheckImageSize(int64_t width, int64_t height, const char* what) {
    if (width <= 0 || height <= 0)
        throw ECodecError(std::string(what) + ": invalid image size " + std::to_string(width) + " x " +
                          std::to_string(height));
    if (width > MaxImageSide || height > MaxImageSide || width * height > MaxImagePixels)
        throw ECodecError(std::string(what) + ": image too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + ")");
    CheckFuzzLimit(width, height, what);
}

Bitmap NewImage(int width, int height, bool clear) {
    CheckFuzzLimit(width, height, "Image");
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

bool AnyTransparent(const Bitmap& image) {
    if (image.BitsPerPixel() != 32) return false;
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* s = image.Row(y);
        for (int x = 0; x < image.Width(); ++x)
            if (s[4 * x + 3]) return true;
    }
    return false;
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

} // namespace pixora
