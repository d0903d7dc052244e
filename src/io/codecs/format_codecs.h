#pragma once
// The individual codecs behind the format table, one source file each, and
// the helpers they share. Callers outside the codecs use image_codecs.h.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "io/codecs/format_rows.h"
#include "io/codecs/image_codecs.h"

namespace pixora {

namespace bmp {
// 1/2/4/8/16/24/32 bits, RLE4/RLE8, bit-field masks, core (OS/2), info and
// V4/V5 headers, bottom-up and top-down rows. 32-bit data whose header
// declares an alpha mask (V4/V5 headers, bit fields with alpha) gives
// T = 255 - alpha; plain 32-bit data keeps its fourth byte as it is.
Bitmap Read(const std::string& path);
Bitmap ReadMemory(const uint8_t* data, std::size_t size);
// bits: 8 (palette built from the image), 16 (5-5-5), 24, or 32 with a V5
// header declaring alpha in the fourth byte (255 - T), as other programs
// read it.
void Write(const std::string& path, const Bitmap& image, int bits);
// The file and info headers of a bottom-up BMP without compression, with
// its palette: 54 bytes plus 4 per palette entry. The writer and the
// history store's snapshots both begin with it.
std::vector<uint8_t> FileHead(int width, int height, int bits, const std::vector<uint32_t>& palette = {});
} // namespace bmp

namespace png {
// Colours of a file with a colour profile (iCCP) come converted to sRGB.
Bitmap Read(const std::string& path, TReadNotes& notes);
Bitmap Read(const std::string& path);
Bitmap ReadMemory(const uint8_t* data, std::size_t size);
void Write(const std::string& path, const Bitmap& image);
// The same PNG file as bytes in memory (the clipboard's "image/png").
std::vector<uint8_t> WriteMemory(const Bitmap& image);
// How the writer compresses a 32-bit image: the deflate strategy (Z_RLE
// for photographs whose noise defeats string matching, Z_FILTERED
// otherwise) and the row filters to try (PNG_ALL_FILTERS, or the one that
// wins on nearly every row of a sample band).
struct TPngSettings {
    int Strategy = 1;     // Z_FILTERED
    int Filters = 0xF8;   // PNG_ALL_FILTERS
};
TPngSettings ChooseSettings(const Bitmap& image, bool alpha);
} // namespace png

namespace jpeg {
// Applies the EXIF orientation so that photos come upright, and converts
// colours to sRGB through an embedded profile (CMYK ones included).
Bitmap Read(const std::string& path, TReadNotes& notes);
Bitmap Read(const std::string& path);
Bitmap ReadMemory(const uint8_t* data, std::size_t size);
// The picture at 1 / reduce of its size (reduce 1, 2, 4 or 8; rounded up),
// upright: a quick first look while the whole picture is read.
Bitmap ReadReduced(const std::string& path, int reduce);
// Colour is written 4:4:4 at quality 90 and above, 4:2:0 below; grey as
// one 8-bit component. Huffman tables are optimised for the image.
void Write(const std::string& path, const Bitmap& image, int quality, bool gray);
} // namespace jpeg

namespace gif {
Bitmap Read(const std::string& path);
// Writes one frame. Pixels of colour (16, 16, 16) form the transparent key.
// More than 256 colours (key included) are reduced by median cut.
void Write(const std::string& path, const Bitmap& image);
} // namespace gif

namespace tiff {
// Colours of a file with a colour profile come converted to sRGB; `notes`
// names the profile.
Bitmap Read(const std::string& path, TReadNotes& notes);
// 8-bit RGB, or RGBA (unassociated alpha = 255 - T) when any pixel is
// transparent; LZW with horizontal differencing.
void Write(const std::string& path, const Bitmap& image, const SaveOptions& opts);
} // namespace tiff

namespace webp {
// A still picture through libwebp: lossy at opts.WebpQuality or lossless
// (opts.WebpLossless), alpha = 255 - T kept when any pixel is transparent.
void Write(const std::string& path, const Bitmap& image, const SaveOptions& opts);
// Decodes a still picture, or the first frame of an animation, its colours
// converted to sRGB through an embedded profile.
Bitmap Read(const std::string& path, TReadNotes& notes);
} // namespace webp

// Each codec as the format table names it, defined in its own source file.
extern const TCodec kBmpCodec, kJpegCodec, kPngCodec, kGifCodec, kTiffCodec, kPnmCodec, kTgaCodec, kPcxCodec,
    kSgiCodec, kIcoCodec, kPsdCodec, kRlaCodec, kPcdCodec, kCelCodec, kPspCodec, kWebpCodec, kAvifCodec, kHeifCodec, kJxlCodec;

// --- shared helpers -------------------------------------------------------

// Largest image the readers accept: 2^28 pixels (16384 x 16384), no side
// longer than 2^20, so at most 1 GiB of 32-bit pixels. A header that claims
// more is refused before any pixel memory is asked for, and a reader's
// working buffers stay within the same bound.
inline constexpr int64_t MaxImagePixels = int64_t(1) << 28;
inline constexpr int MaxImageSide = 1 << 20;
inline constexpr int64_t MaxImageBytes = MaxImagePixels * 4;

// Marks a pixel loop whose branches follow at most the pixels' values, never
// the file's structure: the fuzz build leaves its comparisons untraced, which
// would otherwise cost most of an execution and teach the fuzzer nothing.
#if defined(PIXORA_FUZZ_BUILD) && defined(__clang__)
#define PIXORA_UNTRACED_PIXEL_LOOP __attribute__((no_sanitize("coverage")))
#else
#define PIXORA_UNTRACED_PIXEL_LOOP
#endif

// Throws ECodecError unless 0 < w, h and the image fits the limits above.
void CheckImageSize(int64_t width, int64_t height, const char* what);
// A zeroed 32-bit bitmap of the given size; lack of memory becomes ECodecError.
// clear = false leaves the pixels unset, for readers that write every byte.
Bitmap NewImage(int width, int height, bool clear = true);

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
// fopen that throws ECodecError naming the file and the system's reason.
// Files opened for writing ("wb") go through the file layer (doc/file_layer.h).
FilePtr OpenFile(const std::string& path, const char* mode);
// Closes a file opened for writing; throws ECodecError naming the file when
// the last writes fail.
void CloseWrittenFile(FilePtr& f, const std::string& path);
// After an encoder gave up: when it was the file that failed, throws
// ECodecError naming the file and the system's reason (which the encoders'
// own messages leave out); otherwise returns.
void ThrowIfWriteFailed(std::FILE* f, const std::string& path);
// A file mapped read-only into memory: no copy, and pages come straight
// from the file cache. Throws ECodecError when it cannot be opened.
class TMappedFile {
public:
    explicit TMappedFile(const std::string& path);
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;
    const uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    const uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// Unbuffered output to a new file in large write() calls.
class TRawWriter {
public:
    explicit TRawWriter(const std::string& path);
    ~TRawWriter();
    TRawWriter(const TRawWriter&) = delete;
    TRawWriter& operator=(const TRawWriter&) = delete;
    void Write(const void* data, std::size_t size);
    // Writes the pieces in order with as few system calls as possible.
    struct TPiece {
        const void* Data;
        std::size_t Size;
    };
    void WritePieces(const TPiece* pieces, std::size_t count);
    // Closes the file, reporting a failure of the last writes.
    void Close();

private:
    std::string path_;
    int fd_ = -1;
};
std::size_t FileSizeOf(std::FILE* f);

// Writes a file through a temporary one beside it: write(temp) creates and
// fills the temporary file, which is then given the target's permissions
// (those of a new file when there is none) and renamed over `path` (over a
// symbolic link's target, not the link). Should either fail, the old file
// is left as it was and no temporary file stays behind; what `write` throws
// goes on to the caller, its message naming the target instead of the
// temporary file. Leftovers of the program's own naming pattern in the
// folder are removed first (RemoveLeftoverTemporaries).
//
// A folder the user may not write to, holding a file the user may write,
// gets the file rewritten in place: the new content is made in memory
// first, room for it is taken before the first byte of the old file
// changes, and a write that fails part-way puts the old bytes back.
void WriteThroughTemporary(const std::string& path, const std::function<void(const std::string& temp)>& write);

// The name a temporary file for `path` gets in `folder`: hidden, marked as
// the program's with its process id, ending in six random characters (a
// pattern for mkstemp).
std::string TemporaryPattern(const std::string& folder, const std::string& path);
// Whether a file name (without folder) is one of the program's temporary
// files; `pid` receives the process that made it.
bool IsTemporaryName(const std::string& name, long& pid);

// Whether any pixel of a 32-bit image has a transparency byte above 0;
// writers store an alpha channel only then.
bool AnyTransparent(const Bitmap& image);

// Turns a bitmap by an EXIF orientation value (1..8); other values leave it.
Bitmap ApplyExifOrientation(const Bitmap& src, int orientation);

} // namespace pixora
