#include "fuzz/fuzz_targets.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "history/history_store.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/format_rows.h"

namespace pixora::fuzz {

namespace {

void Report(const Bitmap& b, int& width, int& height, int& bits) {
    width = b.Width();
    height = b.Height();
    bits = b.BitsPerPixel();
}

// A reader of the table, chosen by an extension it goes by.
template <const char* Extension> void ReadAs(const std::string& path, int& width, int& height, int& bits) {
    const TCodec* row = ReaderForExtension(Extension);
    if (!row) throw ECodecError(std::string("no reader for ") + Extension);
    Report(row->Read(path), width, height, bits);
}

// The history store reads its snapshots into the slot's scratch bitmap,
// which already has a size: one that differs from the file's, as after
// a resize.
void ReadHistorySnapshot(const std::string& path, int& width, int& height, int& bits) {
    Bitmap into(3, 2, 32);
    ReadSnapshot(path, into);
    Report(into, width, height, bits);
}

constexpr char kBmp[] = ".bmp", kPng[] = ".png", kJpeg[] = ".jpg", kGif[] = ".gif", kTiff[] = ".tif",
               kPnm[] = ".ppm", kTga[] = ".tga", kPcx[] = ".pcx", kSgi[] = ".sgi", kIco[] = ".ico",
               kPsd[] = ".psd", kRla[] = ".rla", kPcd[] = ".pcd", kCel[] = ".cel", kPsp[] = ".psp";

// The build makes one fuzz_<name> program per row (fuzz/CMakeLists.txt
// reads the names from the lines below, one row per line).
const std::vector<TFuzzTarget> kTargets = {
    {"bmp", "bmpsuite;broken/bmp", ReadAs<kBmp>},
    {"png", "pngsuite;broken/png", ReadAs<kPng>},
    {"jpeg", "jpeg", ReadAs<kJpeg>},
    {"gif", "gif", ReadAs<kGif>},
    {"tiff", "tiff;broken/tiff", ReadAs<kTiff>},
    {"pnm", "minor/pnm;broken/pnm", ReadAs<kPnm>},
    {"tga", "minor/tga;broken/tga", ReadAs<kTga>},
    {"pcx", "minor/pcx;broken/pcx", ReadAs<kPcx>},
    {"sgi", "minor/sgi;broken/sgi", ReadAs<kSgi>},
    {"ico", "minor/ico;broken/ico", ReadAs<kIco>},
    {"psd", "minor/psd;broken/psd", ReadAs<kPsd>},
    {"rla", "minor/rla;broken/rla", ReadAs<kRla>},
    {"pcd", "minor/pcd;broken/pcd", ReadAs<kPcd>},
    {"cel", "minor/cel", ReadAs<kCel>},
    {"psp", "minor/psp", ReadAs<kPsp>},
    {"history", "bmpsuite/bmpsuite-g", ReadHistorySnapshot},
};

// An anonymous in-memory file holding the input, closed with the object.
class TMemoryFile {
public:
    TMemoryFile(const uint8_t* data, std::size_t size) {
        fd_ = memfd_create("pixora-fuzz", MFD_CLOEXEC);
        if (fd_ < 0) return;
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = write(fd_, data + done, size - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                close(fd_);
                fd_ = -1;
                return;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    ~TMemoryFile() {
        if (fd_ >= 0) close(fd_);
    }
    TMemoryFile(const TMemoryFile&) = delete;
    TMemoryFile& operator=(const TMemoryFile&) = delete;
    bool Ok() const { return fd_ >= 0; }
    // A name that opens the same file afresh.
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_ = -1;
};

} // namespace

const std::vector<TFuzzTarget>& FuzzTargets() {
    return kTargets;
}

const TFuzzTarget* FindFuzzTarget(const std::string& name) {
    for (const TFuzzTarget& t : kTargets)
        if (name == t.Name) return &t;
    return nullptr;
}

TFuzzResult RunFuzzInput(const TFuzzTarget& target, const uint8_t* data, std::size_t size) {
    TFuzzResult result;
    const TMemoryFile file(data, size);
    if (!file.Ok()) {
        result.Detail = std::string("cannot make the in-memory file: ") + std::strerror(errno);
        return result;
    }
    int width = 0, height = 0, bits = 0;
    try {
        target.Read(file.Path(), width, height, bits);
    } catch (const ECodecError& e) {
        result.Outcome = e.what()[0] ? TFuzzOutcome::Refused : TFuzzOutcome::Fault;
        result.Detail = e.what()[0] ? e.what() : "a refusal without a message";
        return result;
    } catch (const std::exception& e) {
        result.Detail = std::string("an exception other than a codec error: ") + e.what();
        return result;
    }
    if (bits != 32 || width <= 0 || height <= 0 || width > MaxImageSide || height > MaxImageSide ||
        static_cast<int64_t>(width) * height > MaxImagePixels) {
        result.Detail = "a picture of " + std::to_string(width) + " x " + std::to_string(height) + " at " +
                        std::to_string(bits) + " bits";
        return result;
    }
    result.Outcome = TFuzzOutcome::Opened;
    result.Detail = std::to_string(width) + " x " + std::to_string(height);
    return result;
}

std::vector<std::string> SeedFolders(const TFuzzTarget& target, const std::string& corpusRoot,
                                     const std::string& regressionRoot) {
    std::vector<std::string> folders;
    const std::string seeds = target.Seeds;
    for (std::size_t at = 0; at <= seeds.size();) {
        const std::size_t end = std::min(seeds.find(';', at), seeds.size());
        if (end > at) folders.push_back(corpusRoot + "/" + seeds.substr(at, end - at));
        at = end + 1;
    }
    folders.push_back(regressionRoot + "/" + target.Name);
    return folders;
}

} // namespace pixora::fuzz
