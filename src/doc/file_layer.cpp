#include "doc/file_layer.h"

#include <mutex>
#include <shared_mutex>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pixora {

int TFileLayer::Open(const std::string& path, int flags, mode_t mode) {
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

ssize_t TFileLayer::WriteV(int fd, const iovec* iov, int count) {
    return ::writev(fd, iov, count);
}

int TFileLayer::Close(int fd) {
    return ::close(fd);
}

int TFileLayer::Chmod(const std::string& path, mode_t mode) {
    return ::chmod(path.c_str(), mode);
}

int TFileLayer::Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

namespace {

TFileLayer& SystemLayer() {
    static TFileLayer layer;
    return layer;
}

// The layer put in place by an override (null: the system's), and the lock
// every call holds while it runs, so that an override ending on one thread
// waits for the calls other threads (the history's writer) are making
// through it.
std::shared_mutex gOverrideLock;
TFileLayer* gOverride = nullptr;

// What FileLayer() gives: each call goes to the layer in place when it is
// made.
class TCurrentLayer : public TFileLayer {
public:
    int Open(const std::string& path, int flags, mode_t mode) override {
        std::shared_lock lock(gOverrideLock);
        return Current().Open(path, flags, mode);
    }
    ssize_t WriteV(int fd, const iovec* iov, int count) override {
        std::shared_lock lock(gOverrideLock);
        return Current().WriteV(fd, iov, count);
    }
    int Close(int fd) override {
        std::shared_lock lock(gOverrideLock);
        return Current().Close(fd);
    }
    int Chmod(const std::string& path, mode_t mode) override {
        std::shared_lock lock(gOverrideLock);
        return Current().Chmod(path, mode);
    }
    int Rename(const std::string& from, const std::string& to) override {
        std::shared_lock lock(gOverrideLock);
        return Current().Rename(from, to);
    }

private:
    static TFileLayer& Current() { return gOverride ? *gOverride : SystemLayer(); }
};

} // namespace

TFileLayer& FileLayer() {
    static TCurrentLayer layer;
    return layer;
}

TFileLayerOverride::TFileLayerOverride(TFileLayer& layer) {
    std::unique_lock lock(gOverrideLock);
    previous_ = gOverride;
    gOverride = &layer;
}

TFileLayerOverride::~TFileLayerOverride() {
    std::unique_lock lock(gOverrideLock);
    gOverride = previous_;
}

bool WriteFully(int fd, iovec* iov, int count) {
    TFileLayer& files = FileLayer();
    while (count > 0 && iov->iov_len == 0) {
        ++iov;
        --count;
    }
    while (count > 0) {
        const ssize_t put = files.WriteV(fd, iov, count);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) {
            // No progress and no reason: call it a full disk rather than spin.
            errno = ENOSPC;
            return false;
        }
        auto done = static_cast<std::size_t>(put);
        while (count > 0 && done >= iov->iov_len) {
            done -= iov->iov_len;
            ++iov;
            --count;
        }
        if (count > 0) {
            iov->iov_base = static_cast<char*>(iov->iov_base) + done;
            iov->iov_len -= done;
        }
    }
    return true;
}

bool WriteFully(int fd, const void* data, std::size_t size) {
    iovec one{const_cast<void*>(data), size};
    return WriteFully(fd, &one, 1);
}

namespace {

// Like errno, one per thread.
thread_local int tLastStreamError = 0;

ssize_t StreamWrite(void* cookie, const char* data, std::size_t size) {
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(cookie));
    // stdio takes a short count as a failure; report all or nothing.
    if (WriteFully(fd, data, size)) return static_cast<ssize_t>(size);
    tLastStreamError = errno;
    return -1;
}

int StreamClose(void* cookie) {
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(cookie));
    const int r = FileLayer().Close(fd);
    if (r != 0) tLastStreamError = errno;
    return r;
}

} // namespace

int LastStreamError() {
    return tLastStreamError;
}

std::FILE* OpenStreamForWriting(const std::string& path) {
    const int fd = FileLayer().Open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return nullptr;
    cookie_io_functions_t io{};
    io.write = StreamWrite;
    io.close = StreamClose;
    std::FILE* f = fopencookie(reinterpret_cast<void*>(static_cast<intptr_t>(fd)), "w", io);
    if (!f) {
        const int e = errno;
        FileLayer().Close(fd);
        errno = e;
        return nullptr;
    }
    // Large writes: the encoders hand over a few bytes at a time.
    setvbuf(f, nullptr, _IOFBF, 1 << 16);
    return f;
}

} // namespace pixora
