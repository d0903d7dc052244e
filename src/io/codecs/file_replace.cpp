// Writing a user's file so that it is never left half written: through a
// temporary file renamed over it, or, in a folder that cannot take one, in
// place with the old bytes kept to put back. Temporary files that a killed
// save left behind are recognised by their name and removed later.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "doc/file_layer.h"
#include "io/codecs/format_codecs.h"

namespace pixora {

namespace {

constexpr char kPrefix[] = ".pixora-";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr char kRandomChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t kRandomLength = 6;
// A temporary file untouched for this long belongs to no save still going.
constexpr long long kStaleSeconds = 24 * 60 * 60;

std::string NamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// `name` cut to at most `limit` bytes without splitting a UTF-8 character.
std::string CutName(const std::string& name, std::size_t limit) {
    if (name.size() <= limit) return name;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
}

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

[[noreturn]] void FailWrite(const std::string& shown, int error) {
    throw ECodecError("Cannot write " + shown + ": " + std::strerror(error ? error : EIO));
}

// A writer's message with every mention of the file it really wrote turned
// into the name of the file the user asked for.
std::string NamingTarget(std::string what, const std::string& written, const std::string& shown) {
    for (std::size_t at = what.find(written); at != std::string::npos; at = what.find(written, at + shown.size()))
        what.replace(at, written.size(), shown);
    return what;
}

// Runs the writer into `written`; a failure leaves no file there and its
// message names `shown`.
void RunWriter(const std::function<void(const std::string&)>& write, const std::string& written,
               const std::string& shown) {
    try {
        write(written);
    } catch (const ECodecError& e) {
        unlink(written.c_str());
        throw ECodecError(NamingTarget(e.what(), written, shown));
    } catch (...) {
        unlink(written.c_str());
        throw;
    }
}

void FillRandom(char* out, std::size_t n) {
    unsigned char bytes[kRandomLength];
    if (getrandom(bytes, n, 0) != static_cast<ssize_t>(n)) {
        const auto t = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(t >> (8 * i));
    }
    for (std::size_t i = 0; i < n; ++i) out[i] = kRandomChars[bytes[i] % (sizeof kRandomChars - 1)];
}

// Reserves a fresh temporary name in `folder` by creating the file through
// the file layer; the writer then creates it anew (a fresh file spares the
// file system the flush forced when a file with data is truncated). Empty
// with errno set when the folder does not take a new file.
std::string ReserveTemporary(const std::string& folder, const std::string& path) {
    const std::string pattern = TemporaryPattern(folder, path);
    TFileLayer& files = FileLayer();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = pattern;
        FillRandom(name.data() + name.size() - kRandomLength, kRandomLength);
        const int fd = files.Open(name, O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        files.Close(fd); // an empty file: nothing to lose
        unlink(name.c_str());
        return name;
    }
    errno = EEXIST;
    return {};
}

bool ProcessGone(long pid) {
    return pid <= 0 || (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

// Reads a whole open file; false with errno set when it cannot.
bool ReadAll(int fd, std::vector<uint8_t>& into) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return false;
    into.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < into.size()) {
        const ssize_t n = pread(fd, into.data() + got, into.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO; // the file shrank under us
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// Puts the old bytes back after a failed rewrite. The blocks they go into
// were the file's already, so this takes no new room on the disk.
void PutBack(const std::string& path, int fd, const std::vector<uint8_t>& old) {
    const int own = fd >= 0 ? fd : ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (own < 0) return;
    std::size_t put = 0;
    while (put < old.size()) {
        const ssize_t n = pwrite(own, old.data() + put, old.size() - put, static_cast<off_t>(put));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        put += static_cast<std::size_t>(n);
    }
    if (ftruncate(own, static_cast<off_t>(old.size())) == 0) fdatasync(own);
    if (own != fd) ::close(own);
}

bool TargetWritable(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), W_OK) == 0;
}

// The new content is made in memory, then written over the old file: room
// for a larger file is taken first, and a write that fails part-way puts
// the old bytes back. The file keeps its inode, owner, permissions and
// links.
void WriteInPlace(const std::string& path, const std::string& shown,
                  const std::function<void(const std::string&)>& write) {
    const int mem = memfd_create("pixora-save", MFD_CLOEXEC);
    if (mem < 0) FailWrite(shown, errno);
    struct TMemFile {
        int Fd;
        ~TMemFile() { ::close(Fd); }
    } memFile{mem};
    const std::string staged = "/proc/self/fd/" + std::to_string(mem);
    RunWriter(write, staged, shown);
    std::vector<uint8_t> fresh;
    if (!ReadAll(mem, fresh)) FailWrite(shown, errno);

    TFileLayer& files = FileLayer();
    std::vector<uint8_t> old;
    {
        const int in = files.Open(path, O_RDONLY, 0);
        if (in < 0) FailWrite(shown, errno);
        const bool read = ReadAll(in, old);
        const int e = errno;
        ::close(in);
        if (!read) FailWrite(shown, e);
    }
    const int fd = files.Open(path, O_WRONLY, 0);
    if (fd < 0) FailWrite(shown, errno);
    auto fail = [&](int error, bool restore) {
        if (restore) PutBack(path, fd, old);
        files.Close(fd);
        FailWrite(shown, error);
    };
    if (fresh.size() > old.size()) {
        const int r = posix_fallocate(fd, static_cast<off_t>(old.size()), static_cast<off_t>(fresh.size() - old.size()));
        if (r == ENOSPC || r == EDQUOT || r == EFBIG) fail(r, true);
    }
    if (!WriteFully(fd, fresh.data(), fresh.size())) fail(errno, true);
    if (ftruncate(fd, static_cast<off_t>(fresh.size())) != 0 || fdatasync(fd) != 0) fail(errno, true);
    if (files.Close(fd) != 0) {
        const int e = errno;
        PutBack(path, -1, old);
        FailWrite(shown, e);
    }
}

} // namespace

std::string TemporaryPattern(const std::string& folder, const std::string& path) {
    const std::string sep = !folder.empty() && folder.back() == '/' ? "" : "/";
    // The name must stay within the file system's limit however long the
    // target's name is.
    return folder + sep + kPrefix + std::to_string(static_cast<long>(getpid())) + "-" + CutName(NamePart(path), 64) +
           "." + std::string(kRandomLength, 'X');
}

bool IsTemporaryName(const std::string& name, long& pid) {
    if (name.compare(0, kPrefixLength, kPrefix) != 0) return false;
    std::size_t at = kPrefixLength;
    long value = 0;
    const std::size_t digits = at;
    while (at < name.size() && at - digits < 10 && name[at] >= '0' && name[at] <= '9')
        value = value * 10 + (name[at++] - '0');
    if (at == digits || at >= name.size() || name[at] != '-') return false;
    // At least one character of the target's name, a dot and the random part.
    if (name.size() < at + 2 + 1 + kRandomLength || name[name.size() - kRandomLength - 1] != '.') return false;
    for (std::size_t i = name.size() - kRandomLength; i < name.size(); ++i)
        if (!std::strchr(kRandomChars, name[i]) || name[i] == '\0') return false;
    pid = value;
    return true;
}

int RemoveLeftoverTemporaries(const std::string& folder) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    const long self = static_cast<long>(getpid());
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const long long nowSeconds = std::chrono::duration_cast<std::chrono::seconds>(now).count();
    int removed = 0;
    while (const dirent* e = readdir(dir)) {
        long pid = 0;
        if (!IsTemporaryName(e->d_name, pid)) continue;
        struct stat st {};
        if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        const bool stale = nowSeconds - static_cast<long long>(st.st_mtime) > kStaleSeconds;
        // A save of this process, or of another editor still running, may
        // be writing it now.
        if (!stale && (pid == self || !ProcessGone(pid))) continue;
        if (unlinkat(dirfd(dir), e->d_name, 0) == 0) ++removed;
    }
    closedir(dir);
    return removed;
}

void WriteThroughTemporary(const std::string& requested, const std::function<void(const std::string&)>& write) {
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
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const std::string shown = NamePart(requested);
    RemoveLeftoverTemporaries(dir);
    const std::string temp = ReserveTemporary(dir, path);
    if (temp.empty()) {
        const int e = errno;
        if ((e == EACCES || e == EPERM) && TargetWritable(path)) return WriteInPlace(path, shown, write);
        FailWrite(shown, e);
    }
    RunWriter(write, temp, shown);
    // The temporary file is private; give it the target's permissions, or
    // those of a newly created file.
    struct stat st {};
    const mode_t mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
    // A file that would come out with other permissions than the one it
    // replaces is not put in its place.
    TFileLayer& files = FileLayer();
    if (files.Chmod(temp, mode) != 0) {
        const int e = errno;
        unlink(temp.c_str());
        throw ECodecError("Cannot set the permissions of " + shown + ": " + std::strerror(e));
    }
    if (files.Rename(temp, path) != 0) {
        const int e = errno;
        unlink(temp.c_str());
        FailWrite(shown, e);
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
