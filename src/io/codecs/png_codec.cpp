// PNG reader and writer over libpng.
//
// libpng reports errors by longjmp. Every setjmp sits in a small function
// that holds no C++ object with a destructor; the callers own all resources
// and turn a failure into ECodecError with libpng's message.

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/colour_profile.h"
#include "io/codecs/format_codecs.h"

namespace pixora::png {

namespace {

struct TPngError {
    std::jmp_buf Jump;
    char Message[256];
};

void OnError(png_structp png, png_const_charp message) {
    auto* err = static_cast<TPngError*>(png_get_error_ptr(png));
    std::snprintf(err->Message, sizeof err->Message, "%s", message ? message : "unknown error");
    std::longjmp(err->Jump, 1);
}

void OnWarning(png_structp, png_const_charp) {}

[[noreturn]] void Throw(const TPngError& err) { throw ECodecError(std::string("PNG: ") + err.Message); }

struct TReadInfo {
    png_uint_32 Width = 0, Height = 0;
    int ColourType = 0, BitDepth = 0, Interlace = 0;
    bool HasAlpha = false;
    // Palette images come as one index per byte and are coloured here, so
    // that an index past the palette's end is caught.
    bool Indexed = false;
    int Colours = 0;
    uint32_t Palette[256] = {}; // B, G, R, T
};

// What libpng may take besides the picture. The chunks it still keeps
// (palette, transparency, gamma and the like) are a few hundred bytes each;
// the colour profile (iCCP), the one large one, is inflated only up to this
// size: a larger one is dropped with a warning and the picture still reads.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(8) << 20;
constexpr png_uint_32 kMaxKeptChunks = 64;

// Chunks the reader has no use for, skipped unread: text (libpng would keep
// every one, and inflate the compressed ones), suggested palettes and EXIF
// data.
constexpr png_byte kSkippedChunks[] = "tEXt\0zTXt\0iTXt\0sPLT\0eXIf";

// Reads the header and sets up the transforms that turn any PNG into
// B, G, R, T rows (T = 255 - alpha, or 0 without alpha), or index rows.
// The source (a file or memory) is set up beforehand.
bool ReadHeader(png_structp png, png_infop info, TPngError* err, TReadInfo* out) {
    if (setjmp(err->Jump)) return false;
    png_set_user_limits(png, MaxImageSide, MaxImageSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxKeptChunks);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, sizeof kSkippedChunks / 5);
#ifdef PNG_IGNORE_ADLER32
    // Every chunk's CRC already guards the compressed data; the second sum
    // over the inflated bytes costs time and catches nothing more.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_read_info(png, info);
    png_get_IHDR(png, info, &out->Width, &out->Height, &out->BitDepth, &out->ColourType, &out->Interlace, nullptr, nullptr);
    out->HasAlpha = (out->ColourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    out->Indexed = out->ColourType == PNG_COLOR_TYPE_PALETTE;
    if (out->Indexed) {
        png_colorp plte = nullptr;
        png_bytep trans = nullptr;
        int trns = 0;
        png_get_PLTE(png, info, &plte, &out->Colours);
        png_get_tRNS(png, info, &trans, &trns, nullptr);
        out->Colours = plte ? std::clamp(out->Colours, 0, 256) : 0;
        for (int i = 0; i < out->Colours; ++i) {
            const uint32_t t = trans && i < trns ? 255u - trans[i] : 0u;
            out->Palette[i] = plte[i].blue | static_cast<uint32_t>(plte[i].green) << 8 |
                              static_cast<uint32_t>(plte[i].red) << 16 | t << 24;
        }
        if (out->BitDepth < 8) png_set_packing(png);
    } else {
        if (out->ColourType == PNG_COLOR_TYPE_GRAY && out->BitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
        if (out->BitDepth == 16) png_set_scale_16(png);
        if (out->ColourType == PNG_COLOR_TYPE_GRAY || out->ColourType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_bgr(png);
        if (out->HasAlpha)
            png_set_invert_alpha(png);
        else
            png_set_filler(png, 0, PNG_FILLER_AFTER); // opaque: T = 0
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(out->Width) * (out->Indexed ? 1 : 4))
        png_error(png, "unexpected row layout");
    return true;
}

bool ReadRows(png_structp png, png_infop info, TPngError* err, png_bytepp rows) {
    if (setjmp(err->Jump)) return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

struct TReadGuard {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    ~TReadGuard() { png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr); }
};

struct TWriteGuard {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    ~TWriteGuard() { png_destroy_write_struct(&Png, Info ? &Info : nullptr); }
};

// Deflate settings: level 6 with the adaptive filter choice keeps files close
// to what other tools produce at a fraction of the higher levels' time.
constexpr int kCompressionLevel = 6;

// Bytes deflate makes of `data` with the given strategy at our level.
std::size_t DeflatedSize(const std::vector<uint8_t>& data, int strategy) {
    z_stream z{};
    if (deflateInit2(&z, kCompressionLevel, Z_DEFLATED, 15, 8, strategy) != Z_OK) return SIZE_MAX;
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = deflate(&z, Z_FINISH);
    const std::size_t n = r == Z_STREAM_END ? z.total_out : SIZE_MAX;
    deflateEnd(&z);
    return n;
}

} // namespace

static_assert(TPngSettings{}.Strategy == Z_FILTERED && TPngSettings{}.Filters == PNG_ALL_FILTERS);

TPngSettings ChooseSettings(const Bitmap& image, bool alpha) {
    // Photographs carry a fine noise that leaves deflate's string matching
    // almost nothing to find: there, matching runs only (Z_RLE) gives files
    // of the same size in a fraction of the time. A sample of rows is
    // filtered as the writer would filter it and
    // compressed both ways, to tell such images from the drawings,
    // screenshots and flat areas that need the full search. The same sample
    // shows which filters the per-row choice takes: when one filter wins on
    // nearly every row, the writer is given that one alone and spares
    // trying the other four on every row of the image.
    TPngSettings settings;
    const int w = image.Width(), h = image.Height();
    const int channels = alpha ? 4 : 3;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(channels);
    // Three bands of 16 rows, at a quarter, a half and three quarters down.
    constexpr int kBands = 3, kBandRows = 16;
    const int band = std::min(h, kBandRows);
    if (rowBytes * static_cast<std::size_t>(band * kBands) < (std::size_t(256) << 10)) return settings;  // small
    auto bytesOf = [&](int y, std::vector<uint8_t>& out) {
        const uint8_t* src = image.Row(y);
        uint8_t* d = out.data();
        for (int x = 0; x < w; ++x, src += 4, d += channels) std::memcpy(d, src, static_cast<std::size_t>(channels));
    };
    std::vector<uint8_t> filtered;
    filtered.reserve((rowBytes + 1) * static_cast<std::size_t>(band * kBands));
    std::vector<uint8_t> trial[5], cur(rowBytes), up(rowBytes);
    for (auto& t : trial) t.resize(rowBytes);
    int wins[5] = {0, 0, 0, 0, 0}, rows = 0;
    for (int b = 1; b <= kBands; ++b) {
        const int y0 = std::clamp(h * b / (kBands + 1) - band / 2, 0, h - band);
        for (int y = y0; y < y0 + band; ++y, ++rows) {
            bytesOf(y, cur);
            const bool hasUp = y > 0;
            if (hasUp) bytesOf(y - 1, up);
            uint64_t sums[5] = {0, 0, 0, 0, 0};
            for (std::size_t k = 0; k < rowBytes; ++k) {
                const bool hasLeft = k >= static_cast<std::size_t>(channels);
                const int left = hasLeft ? cur[k - channels] : 0;
                const int above = hasUp ? up[k] : 0;
                const int corner = hasUp && hasLeft ? up[k - channels] : 0;
                const int p = left + above - corner, pa = std::abs(p - left), pb = std::abs(p - above),
                          pc = std::abs(p - corner);
                const int paeth = pa <= pb && pa <= pc ? left : pb <= pc ? above : corner;
                const int pred[5] = {0, left, above, (left + above) / 2, paeth};
                for (int f = 0; f < 5; ++f) {
                    const auto v = static_cast<uint8_t>(cur[k] - pred[f]);
                    trial[f][k] = v;
                    sums[f] += static_cast<uint64_t>(std::abs(static_cast<int8_t>(v)));
                }
            }
            // The writer's own rule: the smallest sum of the bytes taken as signed.
            const int best = static_cast<int>(std::min_element(sums, sums + 5) - sums);
            ++wins[best];
            filtered.push_back(static_cast<uint8_t>(best));
            filtered.insert(filtered.end(), trial[best].begin(), trial[best].end());
        }
    }
    const std::size_t full = DeflatedSize(filtered, Z_FILTERED), runs = DeflatedSize(filtered, Z_RLE);
    if (full != SIZE_MAX && runs <= full + full / 50) settings.Strategy = Z_RLE;
    static const int kFilterFlags[5] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG,
                                        PNG_FILTER_PAETH};
    const int top = static_cast<int>(std::max_element(wins, wins + 5) - wins);
    if (wins[top] * 10 >= rows * 9) settings.Filters = kFilterFlags[top];
    return settings;
}

namespace {

bool WriteAll(png_structp png, png_infop info, std::FILE* f, TPngError* err, int width, int height, bool alpha,
              const TPngSettings& settings, png_bytepp rows) {
    if (setjmp(err->Jump)) return false;
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, kCompressionLevel);
    png_set_compression_strategy(png, settings.Strategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.Filters);
    png_write_info(png, info);
    png_set_bgr(png);
    if (alpha)
        png_set_invert_alpha(png);
    else
        png_set_filler(png, 0, PNG_FILLER_AFTER); // drop the (all zero) fourth byte
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

} // namespace

namespace {

struct TMemorySource {
    const uint8_t* Data;
    std::size_t Size, Pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* m = static_cast<TMemorySource*>(png_get_io_ptr(png));
    if (n > m->Size - m->Pos) png_error(png, "the data is cut short");
    std::memcpy(out, m->Data + m->Pos, n);
    m->Pos += n;
}

// Walks the chunk list up to IEND. libpng takes (and clears) a buffer of a
// chunk's stated length before it finds the file too short for it, which
// for a damaged length costs up to 2 GiB and many seconds: such a file is
// refused here first, down to a last chunk of which only the length and
// type are there. `at8(offset, out)` reads 8 bytes or returns false.
template <typename TRead8> void CheckChunkLengths(uint64_t size, TRead8 at8) {
    uint8_t h[8];
    for (uint64_t at = 8; at + 8 <= size && at8(at, h);) {
        const uint64_t length = static_cast<uint64_t>(h[0]) << 24 | h[1] << 16 | h[2] << 8 | h[3];
        if (length + 12 > size - at) throw ECodecError("PNG: a chunk runs past the end of the file");
        if (std::memcmp(h + 4, "IEND", 4) == 0) break;
        at += 12 + length;
    }
}

bool SetFileSource(png_structp png, TPngError* err, std::FILE* f) {
    if (setjmp(err->Jump)) return false;
    png_init_io(png, f);
    return true;
}

bool SetMemorySource(png_structp png, TPngError* err, TMemorySource* m) {
    if (setjmp(err->Jump)) return false;
    png_set_read_fn(png, m, ReadFromMemory);
    return true;
}

// Reads a PNG of `size` bytes from the source that `setSource` installs.
template <typename TSetSource> Bitmap ReadFrom(std::size_t size, TSetSource setSource, TReadNotes& notes) {
    TPngError err{};
    TReadGuard g;
    g.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &err, OnError, OnWarning);
    if (!g.Png) throw ECodecError("PNG: cannot create the reader");
    g.Info = png_create_info_struct(g.Png);
    if (!g.Info) throw ECodecError("PNG: cannot create the reader");
    TReadInfo ri;
    if (!setSource(g.Png, &err) || !ReadHeader(g.Png, g.Info, &err, &ri)) Throw(err);
    CheckImageSize(ri.Width, ri.Height, "PNG");
    // Deflate packs at most about 1032 bytes into one; a file too small for
    // its claimed size is broken, and is refused before any memory is taken.
    // The rows as stored: the samples the colour type has, not the four the
    // picture gets, or a well-packed RGB file is taken for a broken one.
    const int samples = ri.ColourType == PNG_COLOR_TYPE_RGB          ? 3
                        : ri.ColourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                        : ri.ColourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                     : 1;
    const double rawBytes = (static_cast<double>(ri.Width) * ri.BitDepth * samples / 8 + 1) * ri.Height;
    if (rawBytes > 1100.0 * static_cast<double>(size) + 65536.0) throw ECodecError("PNG: file is truncated");
    Bitmap out = NewImage(static_cast<int>(ri.Width), static_cast<int>(ri.Height));
    std::vector<png_bytep> rows(ri.Height);
    for (png_uint_32 y = 0; y < ri.Height; ++y) rows[y] = out.Row(static_cast<int>(y));
    if (!ReadRows(g.Png, g.Info, &err, rows.data())) Throw(err);
    if (ri.Indexed) {
        // Each row holds one index per byte at its start: coloured in place
        // from the end backwards.
        for (png_uint_32 y = 0; y < ri.Height; ++y) {
            uint8_t* row = out.Row(static_cast<int>(y));
            uint32_t* px = reinterpret_cast<uint32_t*>(row);
            for (png_uint_32 x = ri.Width; x-- > 0;) {
                const int i = row[x];
                if (i >= ri.Colours)
                    throw ECodecError("PNG: a pixel uses colour " + std::to_string(i) + " of a palette of " +
                                      std::to_string(ri.Colours));
                px[x] = ri.Palette[i];
            }
        }
    }
    png_charp name = nullptr;
    png_bytep icc = nullptr;
    png_uint_32 iccSize = 0;
    int method = 0;
    if (png_get_iCCP(g.Png, g.Info, &name, &method, &icc, &iccSize) & PNG_INFO_iCCP) {
        const TColourConversion colours(icc, iccSize);
        colours.ToSrgb(out);
        notes.ColourProfile = colours.Name();
    }
    return out;
}

} // namespace

Bitmap Read(const std::string& path) {
    TReadNotes ignored;
    return Read(path, ignored);
}

Bitmap Read(const std::string& path, TReadNotes& notes) {
    FilePtr f = OpenFile(path, "rb");
    const std::size_t fileSize = FileSizeOf(f.get());
    CheckChunkLengths(fileSize, [&](uint64_t at, uint8_t* out) {
        return fseeko(f.get(), static_cast<off_t>(at), SEEK_SET) == 0 && std::fread(out, 1, 8, f.get()) == 8;
    });
    if (fseeko(f.get(), 0, SEEK_SET) != 0) throw ECodecError("PNG: cannot read the file");
    return ReadFrom(
        fileSize, [&](png_structp png, TPngError* err) { return SetFileSource(png, err, f.get()); }, notes);
}

Bitmap ReadMemory(const uint8_t* data, std::size_t size) {
    CheckChunkLengths(size, [&](uint64_t at, uint8_t* out) {
        if (at + 8 > size) return false;
        std::memcpy(out, data + at, 8);
        return true;
    });
    TMemorySource m{data, size, 0};
    TReadNotes ignored;
    return ReadFrom(
        size, [&](png_structp png, TPngError* err) { return SetMemorySource(png, err, &m); }, ignored);
}

namespace {

// Writes a PNG of the image to an open file: with an alpha channel
// (255 - T) unless T is 0 everywhere. `where` names the target in messages.
void WriteTo(std::FILE* f, const Bitmap& image, const std::string& where) {
    if (image.Empty()) throw ECodecError("PNG: the image is empty");
    Bitmap converted;
    const Bitmap* src = &image;
    if (image.BitsPerPixel() != 32) {
        converted = image;
        converted.SetBitsPerPixel(32);
        src = &converted;
    }
    // An image with T = 0 everywhere is written without an alpha channel:
    // the same pixels come back, and the file is smaller and faster to make.
    bool alpha = false;
    for (int y = 0; y < src->Height() && !alpha; ++y) {
        const uint8_t* p = src->Row(y);
        uint8_t any = 0;
        for (int x = 0; x < src->Width(); ++x) any |= p[4 * x + 3];
        alpha = any != 0;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(src->Height()));
    for (int y = 0; y < src->Height(); ++y) rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(src->Row(y));

    TPngError err{};
    TWriteGuard g;
    g.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &err, OnError, OnWarning);
    if (!g.Png) throw ECodecError("PNG: cannot create the writer");
    g.Info = png_create_info_struct(g.Png);
    if (!g.Info) throw ECodecError("PNG: cannot create the writer");
    const TPngSettings settings = ChooseSettings(*src, alpha);
    if (!WriteAll(g.Png, g.Info, f, &err, src->Width(), src->Height(), alpha, settings, rows.data())) {
        ThrowIfWriteFailed(f, where);
        Throw(err);
    }
}

} // namespace

void Write(const std::string& path, const Bitmap& image) {
    if (image.Empty()) throw ECodecError("PNG: the image is empty");
    FilePtr f = OpenFile(path, "wb");
    WriteTo(f.get(), image, path);
    CloseWrittenFile(f, path);
}

std::vector<uint8_t> WriteMemory(const Bitmap& image) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&data, &size);
    if (!stream) throw ECodecError(std::string("PNG: cannot write to memory: ") + std::strerror(errno));
    struct TFreeData {
        char*& Data;
        ~TFreeData() { std::free(Data); }
    } freeData{data};
    {
        FilePtr f(stream);
        WriteTo(f.get(), image, "memory");
    } // closing the stream fixes data and size
    return std::vector<uint8_t>(data, data + size);
}

namespace {

TSniff Sniff(const TFileHead& h) {
    return h.Size >= 8 && std::memcmp(h.Data, "\x89PNG\r\n\x1A\n", 8) == 0 ? TSniff::Yes : TSniff::No;
}

void WriteWithOptions(const std::string& path, const Bitmap& image, const SaveOptions&) {
    Write(path, image);
}

} // namespace

} // namespace pixora::png

namespace pixora {

const TCodec kPngCodec = {.Strength = TSniffStrength::Signature,
                          .Sniff = png::Sniff,
                          .Read = png::Read,
                          .Write = png::WriteWithOptions};

} // namespace pixora
