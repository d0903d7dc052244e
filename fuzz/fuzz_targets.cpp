#include "fuzz/fuzz_targets.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "fuzz/writer_targets.h"
#include "history/history_store.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/format_rows.h"
#include "io/codecs/photo_metadata.h"

namespace pixora::fuzz {

namespace {

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

// Reads the input as a file through `read`, which returns the picture.
template <class Read> TFuzzResult ReadFromMemory(const uint8_t* data, std::size_t size, Read read) {
    TFuzzResult result;
    const TMemoryFile file(data, size);
    if (!file.Ok()) {
        result.Detail = std::string("cannot make the in-memory file: ") + std::strerror(errno);
        return result;
    }
    try {
        const Bitmap picture = read(file.Path());
        return JudgePicture(picture.Width(), picture.Height(), picture.BitsPerPixel());
    } catch (const ECodecError& e) {
        result.Outcome = e.what()[0] ? TFuzzOutcome::Refused : TFuzzOutcome::Fault;
        result.Detail = e.what()[0] ? e.what() : "a refusal without a message";
    } catch (const std::exception& e) {
        result.Detail = std::string("an exception other than a codec error: ") + e.what();
    }
    return result;
}

// An extension as a template argument.
template <std::size_t N> struct TExtension {
    char Text[N];
    constexpr TExtension(const char (&text)[N]) { std::copy_n(text, N, Text); }
};

// The reader of the table that goes by the extension.
template <TExtension Extension> TFuzzResult ReadAs(const uint8_t* data, std::size_t size) {
    return ReadFromMemory(data, size, [](const std::string& path) {
        const TCodec* row = ReaderForExtension(Extension.Text);
        if (!row) throw ECodecError(std::string("no reader for ") + Extension.Text);
        TReadNotes notes;
        return row->Read(path, notes);
    });
}

// The history store reads its snapshots into the slot's scratch bitmap,
// which already has a size: one that differs from the file's, as after
// a resize.
TFuzzResult ReadHistorySnapshot(const uint8_t* data, std::size_t size) {
    return ReadFromMemory(data, size, [](const std::string& path) {
        Bitmap into(3, 2, 32);
        ReadSnapshot(path, into);
        return into;
    });
}

// The metadata path of opening and saving a photo: the input read as a file
// of any format Exiv2 knows, and taken as an EXIF block itself, each made
// ready for a save with and without the location; what a save would write
// is read once more, as the next opening of the saved file would.
TFuzzResult ReadAndPrepareMetadata(const uint8_t* data, std::size_t size) {
    TFuzzResult result;
    try {
        const TPhotoMetadata read = ReadPhotoMetadataMemory(data, size);
        TPhotoMetadata raw;
        raw.FromFile = true;
        raw.Exif.assign(reinterpret_cast<const char*>(data), size);
        std::size_t kept = 0;
        for (const TPhotoMetadata* meta : {&read, static_cast<const TPhotoMetadata*>(&raw)})
            for (const bool removeLocation : {false, true}) {
                const TSavedMetadata saved = PrepareSavedMetadata(*meta, 640, 480, removeLocation);
                const TPhotoMetadata again = ReadPhotoMetadataMemory(
                    reinterpret_cast<const uint8_t*>(saved.Exif.data()), saved.Exif.size());
                if (!saved.Exif.empty() && saved.Exif.size() < 8) {
                    result.Detail = "an EXIF block of " + std::to_string(saved.Exif.size()) + " bytes";
                    return result;
                }
                kept += saved.Exif.size() + saved.Xmp.size() + again.Exif.size();
            }
        result.Outcome = TFuzzOutcome::Opened;
        result.Detail = std::to_string(kept) + " bytes of metadata";
    } catch (const std::exception& e) {
        result.Detail = std::string("an exception escaped: ") + e.what();
    }
    return result;
}

// The writers' recipes draw pictures of up to 320 x 240, which their
// round trips read back.
constexpr int64_t kWriterPictures = int64_t{1} << 17;

// The photo codecs decode in blocks and tiles whose paths small pictures
// miss, so their rows allow 2^18 pixels; the other readers 2^16, enough for
// every path of their parsers at thousands of executions a second.
// The build makes one fuzz_<name> program per row (fuzz/CMakeLists.txt
// reads the names from the lines below, one row per line).
const std::vector<TFuzzTarget> kTargets = {
    {"bmp", "bmpsuite;broken/bmp", "bmp.dict", ReadAs<".bmp">},
    {"png", "pngsuite;broken/png", "png.dict", ReadAs<".png">},
    {"jpeg", "jpeg", "jpeg.dict", ReadAs<".jpg">},
    {"gif", "gif", "gif.dict", ReadAs<".gif">},
    {"tiff", "tiff;broken/tiff", "tiff.dict", ReadAs<".tif">},
    {"pnm", "minor/pnm;broken/pnm", "", ReadAs<".ppm">},
    {"tga", "minor/tga;broken/tga", "", ReadAs<".tga">},
    {"pcx", "minor/pcx;broken/pcx", "", ReadAs<".pcx">},
    {"sgi", "minor/sgi;broken/sgi", "", ReadAs<".sgi">},
    {"ico", "minor/ico;broken/ico", "bmp.dict", ReadAs<".ico">},
    {"psd", "minor/psd;broken/psd", "psd.dict", ReadAs<".psd">},
    {"rla", "minor/rla;broken/rla", "", ReadAs<".rla">},
    // A Photo CD's base picture is always 768 x 512.
    {"pcd", "minor/pcd;broken/pcd", "", ReadAs<".pcd">, int64_t{1} << 19},
    {"cel", "minor/cel", "", ReadAs<".cel">},
    {"psp", "minor/psp", "", ReadAs<".psp">},
    {"webp", "../photos/webp", "webp.dict", ReadAs<".webp">, int64_t{1} << 18},
    {"heif", "../photos/heif", "isobmff.dict", ReadAs<".heic">, int64_t{1} << 18},
    {"avif", "../photos/avif", "isobmff.dict", ReadAs<".avif">, int64_t{1} << 18},
    {"jxl", "../photos/jxl", "", ReadAs<".jxl">, int64_t{1} << 18},
    {"history", "bmpsuite/bmpsuite-g", "bmp.dict", ReadHistorySnapshot},
    {"metadata", "../photos/exif;../photos/webp;../photos/heif", "", ReadAndPrepareMetadata},
    {"write_bmp", "", "", RoundTripBmp, kWriterPictures},
    {"write_png", "", "", RoundTripPng, kWriterPictures},
    {"write_jpeg", "", "", RoundTripJpeg, kWriterPictures},
    {"write_gif", "", "", RoundTripGif, kWriterPictures},
    {"write_history", "", "", RoundTripSnapshot, kWriterPictures},
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
    return target.Run(data, size);
}

TFuzzResult JudgePicture(int width, int height, int bits) {
    TFuzzResult result;
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
