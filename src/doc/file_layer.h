#pragma once
// The file layer: the system calls through which the program creates,
// writes, closes, gives permissions to and renames the files it writes, and
// opens the files it reads back. Saving through a temporary file, the
// history store, the preference and recent-file files, batch conversion and
// the recovery copies all go through FileLayer(), so a test can put a layer
// in its place that fails as disks fail: full, not permitted, a short write,
// a rename or a permission copy that does not happen, a file that is gone.
//
// The default layer calls the system. Each call returns what the system call
// would (-1 with errno set on failure).

#include <cstddef>
#include <cstdio>
#include <string>
#include <sys/types.h>
#include <sys/uio.h>

namespace pixora {

class TFileLayer {
public:
    virtual ~TFileLayer() = default;
    virtual int Open(const std::string& path, int flags, mode_t mode);
    virtual ssize_t WriteV(int fd, const iovec* iov, int count);
    virtual int Close(int fd);
    virtual int Chmod(const std::string& path, mode_t mode);
    virtual int Rename(const std::string& from, const std::string& to);
};

// The layer in use: the system's unless a TFileLayerOverride is alive.
TFileLayer& FileLayer();

// Puts `layer` in place of the one in use for its own life time. Meant for
// tests; may be used from any thread, the layer itself must be thread-safe.
// Ending an override waits for the calls other threads are making through
// its layer, so none reaches the layer once it is gone.
class TFileLayerOverride {
public:
    explicit TFileLayerOverride(TFileLayer& layer);
    ~TFileLayerOverride();
    TFileLayerOverride(const TFileLayerOverride&) = delete;
    TFileLayerOverride& operator=(const TFileLayerOverride&) = delete;

private:
    TFileLayer* previous_ = nullptr;
};

// Writes every byte of the buffers, going on after short writes and
// interrupted calls. False with errno set when the layer fails. The
// buffers may be changed (moved past what was written).
bool WriteFully(int fd, iovec* iov, int count);
bool WriteFully(int fd, const void* data, std::size_t size);

// A buffered stream for writing a new file through the layer (for libraries
// that write to a FILE*). Null with errno set when the file cannot be made.
// fclose() reports a failure of the last writes.
std::FILE* OpenStreamForWriting(const std::string& path);
// The system's reason for the last failed write or close of such a stream
// on this thread (0 = none yet), for libraries that report a failed write
// without it.
int LastStreamError();

} // namespace pixora
