#pragma once
// A file layer that fails the way disks do, put in place of the system's
// for as long as it lives: a full disk, a refused permission, a write that
// stops part-way, a rename or permission copy that does not happen, a file
// that is gone when it is opened. Calls that do not match the fault go to
// the system.

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "doc/file_layer.h"

namespace pixora::testing {

enum class TFaultAt {
    Nowhere,    // no fault: only ShortWrites (if set) applies
    Create,     // opening a file for writing
    Write,      // once AfterBytes bytes of the file are written
    Close,      // closing a file opened for writing (the last writes fail)
    Chmod,      // giving a written file its permissions
    Rename,     // putting a written file in place
    OpenToRead, // opening a file to read it
};

struct TFault {
    TFaultAt At = TFaultAt::Nowhere;
    int Error = EIO;
    std::string PathPart;       // only paths holding this ("" = every path)
    std::size_t AfterBytes = 0; // Write: bytes that reach the file first
    int Times = -1;             // calls that fail; -1 = all of them
};

class TFaultyFiles : public TFileLayer {
public:
    explicit TFaultyFiles(TFault fault = {}) : fault_(std::move(fault)), override_(*this) {}

    // Every write call takes at most this many bytes (0 = no limit): short
    // writes that are not failures.
    std::size_t ShortWrites = 0;

    int Failures() const {
        std::lock_guard lock(mutex_);
        return failures_;
    }
    // Bytes that reached files matching the fault.
    std::size_t BytesWritten() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    // The text the system gives for the fault's error.
    std::string Reason() const { return std::strerror(fault_.Error); }

    int Open(const std::string& path, int flags, mode_t mode) override {
        const bool writing = (flags & (O_WRONLY | O_RDWR)) != 0;
        if (Fails(writing ? TFaultAt::Create : TFaultAt::OpenToRead, path)) return -1;
        const int fd = TFileLayer::Open(path, flags, mode);
        if (fd >= 0 && writing) {
            std::lock_guard lock(mutex_);
            open_[fd] = {path, 0};
        }
        return fd;
    }

    ssize_t WriteV(int fd, const iovec* iov, int count) override {
        std::size_t want = 0;
        for (int i = 0; i < count; ++i)
            want += iov[i].iov_len;
        std::size_t allow = ShortWrites ? std::min(want, ShortWrites) : want;
        bool matches = false;
        {
            std::lock_guard lock(mutex_);
            const auto it = open_.find(fd);
            if (it != open_.end() && fault_.At == TFaultAt::Write && Matches(it->second.Path)) {
                matches = true;
                const std::size_t room =
                    it->second.Written >= fault_.AfterBytes ? 0 : fault_.AfterBytes - it->second.Written;
                if (Due()) {
                    if (room == 0 && want > 0) {
                        ++failures_;
                        errno = fault_.Error;
                        return -1;
                    }
                    // Stops short at the limit; the next call fails.
                    allow = std::min(allow, room);
                }
            }
        }
        // Write the first `allow` bytes of the buffers.
        iovec part[64];
        int n = 0;
        std::size_t left = allow;
        for (int i = 0; i < count && left > 0 && n < 64; ++i) {
            const std::size_t len = std::min(left, iov[i].iov_len);
            part[n++] = {iov[i].iov_base, len};
            left -= len;
        }
        const ssize_t put = n ? TFileLayer::WriteV(fd, part, n) : 0;
        if (put > 0) {
            std::lock_guard lock(mutex_);
            const auto it = open_.find(fd);
            if (it != open_.end()) it->second.Written += static_cast<std::size_t>(put);
            if (matches) bytes_ += static_cast<std::size_t>(put);
        }
        return put;
    }

    int Close(int fd) override {
        std::string path;
        {
            std::lock_guard lock(mutex_);
            const auto it = open_.find(fd);
            if (it != open_.end()) {
                path = it->second.Path;
                open_.erase(it);
            }
        }
        const int r = TFileLayer::Close(fd);
        if (!path.empty() && Fails(TFaultAt::Close, path)) return -1;
        return r;
    }

    int Chmod(const std::string& path, mode_t mode) override {
        if (Fails(TFaultAt::Chmod, path)) return -1;
        return TFileLayer::Chmod(path, mode);
    }

    int Rename(const std::string& from, const std::string& to) override {
        if (Fails(TFaultAt::Rename, to)) return -1;
        return TFileLayer::Rename(from, to);
    }

private:
    struct TOpenFile {
        std::string Path;
        std::size_t Written = 0;
    };

    bool Matches(const std::string& path) const {
        return fault_.PathPart.empty() || path.find(fault_.PathPart) != std::string::npos;
    }
    // Whether the fault still has failures to give (mutex held).
    bool Due() const { return fault_.Times < 0 || failures_ < fault_.Times; }
    bool Take() {
        if (!Due()) return false;
        ++failures_;
        return true;
    }
    bool Fails(TFaultAt at, const std::string& path) {
        std::lock_guard lock(mutex_);
        if (fault_.At != at || !Matches(path) || !Take()) return false;
        errno = fault_.Error;
        return true;
    }

    TFault fault_;
    mutable std::mutex mutex_;
    std::map<int, TOpenFile> open_;
    int failures_ = 0;
    std::size_t bytes_ = 0;
    TFileLayerOverride override_;
};

} // namespace pixora::testing
