// TIFF reader over libtiff. The first page is read strip by strip or tile
// by tile through libtiff's own decoders, contiguous or planar, and its
// samples turned into colours here (tiff_samples.cpp); only what that path
// does not know (old-style JPEG, subsampled YCbCr without JPEG, the
// logarithmic luminance encodings, shown by libtiff's own tone curve) goes
// through libtiff's RGBA interface. The orientation tag is applied last.
// libtiff's warnings are silenced and its first error becomes the message.

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/colour_profile.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/tiff_samples.h"

namespace pixora::tiff {

namespace {

// The first error is the cause; later ones follow from it. A decoder may
// also give up after warnings alone: the first warning then tells why.
struct TTiffMessages {
    std::string First, FirstWarning;
};

void Keep(std::string& into, const char* module, const char* fmt, va_list ap) {
    if (!into.empty()) return;
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    into = module && *module ? std::string(module) + ": " + buf : std::string(buf);
}

// Both handled here: nothing reaches stderr.
int OnError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    Keep(static_cast<TTiffMessages*>(user)->First, module, fmt, ap);
    return 1;
}

int OnWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    Keep(static_cast<TTiffMessages*>(user)->FirstWarning, module, fmt, ap);
    return 1;
}

struct TOptions {
    TIFFOpenOptions* Opts = TIFFOpenOptionsAlloc();
    ~TOptions() { TIFFOpenOptionsFree(Opts); }
};

struct TTiffFile {
    TIFF* File = nullptr;
    ~TTiffFile() {
        if (File) TIFFClose(File);
    }
};

[[noreturn]] void Fail(const TTiffMessages& m, const char* fallback) {
    const std::string& why = !m.First.empty() ? m.First : m.FirstWarning;
    throw ECodecError("TIFF: " + (why.empty() ? std::string(fallback) : why));
}

// Decode buffers (strips or tiles of every plane) beyond the size of the
// largest picture we accept are refused: no real file needs them, and a
// damaged header must not take the memory.
constexpr uint64_t kMaxBufferBytes = MaxImageBytes;

template <typename T> T Tag(TIFF* t, uint32_t tag, T fallback) {
    T v = fallback;
    return TIFFGetFieldDefaulted(t, tag, &v) == 1 ? v : fallback;
}

// What the direct path makes of the directory; false when it cannot read it.
bool DescribeSamples(TIFF* t, TSampleLayout& L, std::string& why) {
    const uint16_t photometric = Tag<uint16_t>(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    const uint16_t compression = Tag<uint16_t>(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    L.Bits = Tag<uint16_t>(t, TIFFTAG_BITSPERSAMPLE, 1);
    L.Format = Tag<uint16_t>(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    L.Samples = Tag<uint16_t>(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    if (compression == COMPRESSION_OJPEG) return false;
    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
        L.Model = TColourModel::Grey;
        break;
    case PHOTOMETRIC_MINISWHITE:
        L.Model = TColourModel::GreyInverted;
        break;
    case PHOTOMETRIC_RGB:
        L.Model = TColourModel::Rgb;
        break;
    case PHOTOMETRIC_PALETTE:
        L.Model = TColourModel::Palette;
        break;
    case PHOTOMETRIC_SEPARATED:
        if (Tag<uint16_t>(t, TIFFTAG_INKSET, INKSET_CMYK) != INKSET_CMYK) {
            why = "only CMYK inks are supported";
            return false;
        }
        L.Model = TColourModel::Cmyk;
        break;
    case PHOTOMETRIC_YCBCR:
        // JPEG data is turned into RGB by libtiff's JPEG codec itself.
        if (compression != COMPRESSION_JPEG) return false;
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        L.Model = TColourModel::Rgb;
        break;
    case PHOTOMETRIC_CIELAB:
        L.Model = TColourModel::Lab;
        L.SignedAB = true;
        break;
    case PHOTOMETRIC_ICCLAB:
    case PHOTOMETRIC_ITULAB:
        L.Model = TColourModel::Lab;
        break;
    default:
        return false;
    }
    if (L.Format == SAMPLEFORMAT_IEEEFP) {
        if (L.Bits != 16 && L.Bits != 24 && L.Bits != 32 && L.Bits != 64) {
            why = "floating point samples of " + std::to_string(L.Bits) + " bits are not supported";
            return false;
        }
        if (L.Model == TColourModel::Palette) return false;
    } else if (L.Format == SAMPLEFORMAT_UINT || L.Format == SAMPLEFORMAT_INT ||
               L.Format == SAMPLEFORMAT_VOID) {
        if (L.Format == SAMPLEFORMAT_VOID) L.Format = SAMPLEFORMAT_UINT;
        if (L.Bits < 1 || L.Bits > 32) {
            why = std::to_string(L.Bits) + "-bit samples are not supported";
            return false;
        }
        if (L.Model == TColourModel::Palette && L.Bits > 16) return false;
    } else {
        why = "complex samples are not supported";
        return false;
    }
    const int colours = ColourSamples(L.Model);
    if (L.Samples < colours) {
        why = std::to_string(L.Samples) + " samples per pixel are too few for the photometric interpretation";
        return false;
    }
    if (L.Samples > 64) {
        why = "too many samples per pixel";
        return false;
    }
    // The first extra sample is alpha, whatever the file calls it.
    if (L.Samples > colours) {
        L.Alpha = colours;
        uint16_t count = 0;
        uint16_t* kinds = nullptr;
        if (TIFFGetField(t, TIFFTAG_EXTRASAMPLES, &count, &kinds) == 1 && count > 0 && kinds)
            L.Associated = kinds[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    if (L.Model == TColourModel::Palette) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (TIFFGetField(t, TIFFTAG_COLORMAP, &r, &g, &b) != 1 || !r || !g || !b) {
            why = "the palette is missing";
            return false;
        }
        L.Map[0] = r, L.Map[1] = g, L.Map[2] = b;
        // Some writers store 8-bit palettes: no entry above 255.
        const std::size_t n = std::size_t(1) << L.Bits;
        L.Map8 = true;
        for (std::size_t i = 0; i < n && L.Map8; ++i)
            L.Map8 = r[i] < 256 && g[i] < 256 && b[i] < 256;
    }
    return true;
}

// Reads one strip or tile of every plane; planes beyond the first only in
// planar files.
void ReadBlocks(TIFF* t, const TTiffMessages& m, bool tiled, uint32_t x, uint32_t y, int planes,
                std::vector<std::vector<uint8_t>>& bufs, tmsize_t need) {
    for (int p = 0; p < planes; ++p) {
        auto& b = bufs[static_cast<std::size_t>(p)];
        const tmsize_t got =
            tiled ? TIFFReadEncodedTile(t, TIFFComputeTile(t, x, y, 0, static_cast<uint16_t>(p)), b.data(),
                                        static_cast<tmsize_t>(b.size()))
                  : TIFFReadEncodedStrip(t, TIFFComputeStrip(t, y, static_cast<uint16_t>(p)), b.data(),
                                         static_cast<tmsize_t>(b.size()));
        if (got < 0) Fail(m, "cannot read the image data");
        if (got < need) throw ECodecError("TIFF: the image data is cut short");
    }
}

// The colours of the file's ICC profile (tag 34675) for the samples of its
// photometric interpretation: CMYK inks, or colours read as R, G, B (grey
// and palette pictures too); none for L*a*b* and luminance encodings,
// which carry their colours in their own terms.
TColourConversion ColoursOf(TIFF* t) {
    uint32_t size = 0;
    const void* icc = nullptr;
    if (!TIFFGetField(t, TIFFTAG_ICCPROFILE, &size, &icc) || !icc) return {};
    switch (Tag<uint16_t>(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK)) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_RGB:
    case PHOTOMETRIC_PALETTE:
    case PHOTOMETRIC_YCBCR: return TColourConversion(static_cast<const uint8_t*>(icc), size);
    case PHOTOMETRIC_SEPARATED:
        return TColourConversion(static_cast<const uint8_t*>(icc), size, TSampleColours::Cmyk);
    default: return {};
    }
}

// Inks of a row of unpacked 16-bit samples (C, M, Y, K first of each
// pixel's `stride`) to colours through a CMYK profile.
void InksToSrgb(const TColourConversion& colours, const uint16_t* samples, int stride, uint32_t count,
                uint8_t* row, std::vector<uint8_t>& inks) {
    inks.resize(static_cast<std::size_t>(count) * 4);
    for (uint32_t p = 0; p < count; ++p)
        for (int c = 0; c < 4; ++c) inks[4 * p + c] = static_cast<uint8_t>(samples[p * stride + c] >> 8);
    colours.CmykToSrgb(inks.data(), row, static_cast<int>(count));
}

Bitmap ReadDirect(TIFF* t, const TTiffMessages& m, const TSampleLayout& L, uint32_t w, uint32_t h,
                  const TColourConversion& colours) {
    const bool planar =
        Tag<uint16_t>(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_SEPARATE && L.Samples > 1;
    const int planes = planar ? L.Samples : 1;
    const bool tiled = TIFFIsTiled(t) != 0;
    uint32_t bw = w, bh = 0;
    uint64_t blockBytes = 0, rowBytes = 0;
    if (tiled) {
        bw = Tag<uint32_t>(t, TIFFTAG_TILEWIDTH, 0);
        bh = Tag<uint32_t>(t, TIFFTAG_TILELENGTH, 0);
        if (bw == 0 || bh == 0) throw ECodecError("TIFF: invalid tile size");
        blockBytes = TIFFTileSize64(t);
        rowBytes = TIFFTileRowSize64(t);
    } else {
        bh = std::min(Tag<uint32_t>(t, TIFFTAG_ROWSPERSTRIP, h), h);
        if (bh == 0) bh = h;
        blockBytes = TIFFStripSize64(t);
        rowBytes = TIFFScanlineSize64(t);
    }
    const uint64_t samplesPerRow = static_cast<uint64_t>(bw) * (planar ? 1 : L.Samples);
    const uint64_t needRow = (samplesPerRow * static_cast<uint64_t>(L.Bits) + 7) / 8;
    if (blockBytes == 0 || rowBytes < needRow || blockBytes < rowBytes * bh ||
        blockBytes * static_cast<uint64_t>(planes) > kMaxBufferBytes)
        throw ECodecError("TIFF: invalid strip or tile layout");
    std::vector<std::vector<uint8_t>> bufs(static_cast<std::size_t>(planes));
    for (auto& b : bufs)
        b.resize(static_cast<std::size_t>(blockBytes));
    std::vector<uint16_t> samples(static_cast<std::size_t>(bw) * static_cast<std::size_t>(L.Samples));
    const TRowConverter conv(L);
    // A CMYK profile turns the inks into colours; the alpha still comes
    // from the converter.
    const bool inks = L.Model == TColourModel::Cmyk && colours.Converts();
    std::vector<uint8_t> inkRow;
    Bitmap out = NewImage(static_cast<int>(w), static_cast<int>(h), false);
    for (uint32_t y0 = 0; y0 < h; y0 += bh) {
        const uint32_t rows = std::min(bh, h - y0);
        for (uint32_t x0 = 0; x0 < w; x0 += bw) {
            const uint32_t cols = std::min(bw, w - x0);
            // A strip needs only its own rows; a tile is always whole.
            const tmsize_t need = static_cast<tmsize_t>(rowBytes * (tiled ? bh : rows));
            ReadBlocks(t, m, tiled, x0, y0, planes, bufs, need);
            for (uint32_t r = 0; r < rows; ++r) {
                uint8_t* row = out.Row(static_cast<int>(y0 + r)) + static_cast<std::size_t>(x0) * 4;
                if (!planar && conv.HasDirect()) {
                    conv.Direct(bufs[0].data() + rowBytes * r, cols, row);
                    continue;
                }
                for (int p = 0; p < planes; ++p)
                    conv.Unpack(bufs[static_cast<std::size_t>(p)].data() + rowBytes * r, cols, planar ? p : 0,
                                planar ? 1 : L.Samples, samples.data());
                conv.Colour(samples.data(), cols, row);
                if (inks) InksToSrgb(colours, samples.data(), L.Samples, cols, row, inkRow);
            }
        }
    }
    return out;
}

// libtiff's RGBA interface, in the order the rows are stored.
Bitmap ReadThroughRgba(TIFF* t, const TTiffMessages& m, uint32_t w, uint32_t h) {
    char why[1024] = "";
    if (!TIFFRGBAImageOK(t, why)) throw ECodecError(std::string("TIFF: ") + why);
    TIFFRGBAImage img{};
    if (!TIFFRGBAImageBegin(&img, t, 1, why)) throw ECodecError(std::string("TIFF: ") + why);
    // Stored order: the orientation is applied afterwards like the direct path's.
    img.orientation = ORIENTATION_TOPLEFT;
    img.req_orientation = ORIENTATION_TOPLEFT;
    Bitmap out = NewImage(static_cast<int>(w), static_cast<int>(h));
    // The raster is packed R, G, B, A per pixel in memory order, rows of
    // exactly w * 4 bytes, which is the bitmap's own layout.
    const int ok = TIFFRGBAImageGet(&img, reinterpret_cast<uint32_t*>(out.Data()), w, h);
    const bool premultiplied = img.alpha == EXTRASAMPLE_ASSOCALPHA;
    TIFFRGBAImageEnd(&img);
    if (!ok) Fail(m, "cannot read the image");
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* p = out.Row(static_cast<int>(y));
        for (uint32_t x = 0; x < w; ++x, p += 4) {
            const uint8_t r = p[0], a = p[3];
            p[0] = p[2];
            p[2] = r;
            if (premultiplied && a != 255)
                for (int c = 0; c < 3; ++c)
                    p[c] = a ? static_cast<uint8_t>(std::min(255, (p[c] * 255 + a / 2) / a)) : 0;
            p[3] = static_cast<uint8_t>(255 - a);
        }
    }
    return out;
}

} // namespace

Bitmap Read(const std::string& path, TReadNotes& notes) {
    TTiffMessages messages;
    TOptions options;
    if (!options.Opts) throw ECodecError("TIFF: cannot create the reader");
    TIFFOpenOptionsSetErrorHandlerExtR(options.Opts, OnError, &messages);
    TIFFOpenOptionsSetWarningHandlerExtR(options.Opts, OnWarning, &messages);
    // No single buffer bigger than the largest image we accept.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.Opts, static_cast<tmsize_t>(MaxImagePixels * 4));
    TTiffFile t;
    t.File = TIFFOpenExt(path.c_str(), "r", options.Opts);
    if (!t.File) Fail(messages, "cannot open the file");

    uint32_t w = 0, h = 0;
    TIFFGetField(t.File, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(t.File, TIFFTAG_IMAGELENGTH, &h);
    CheckImageSize(w, h, "TIFF");
    const int orientation = Tag<uint16_t>(t.File, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TSampleLayout layout;
    std::string why;
    Bitmap out;
    TColourConversion colours = ColoursOf(t.File);
    if (DescribeSamples(t.File, layout, why)) {
        out = ReadDirect(t.File, messages, layout, w, h, colours);
    } else if (!why.empty()) {
        throw ECodecError("TIFF: " + why);
    } else {
        out = ReadThroughRgba(t.File, messages, w, h);
        // Inks that libtiff turned into colours itself are past converting.
        if (Tag<uint16_t>(t.File, TIFFTAG_PHOTOMETRIC, 0) == PHOTOMETRIC_SEPARATED) colours = {};
    }
    colours.ToSrgb(out);
    notes.ColourProfile = colours.Name();
    if (orientation != ORIENTATION_TOPLEFT) return ApplyExifOrientation(out, orientation);
    return out;
}

namespace {

TSniff Sniff(const TFileHead& h) {
    if (h.Size < 4) return TSniff::No;
    const uint8_t* m = h.Data;
    const bool le = m[0] == 'I' && m[1] == 'I' && (m[2] == 42 || m[2] == 43) && m[3] == 0;
    const bool be = m[0] == 'M' && m[1] == 'M' && m[2] == 0 && (m[3] == 42 || m[3] == 43);
    return le || be ? TSniff::Yes : TSniff::No;
}

} // namespace

} // namespace pixora::tiff

namespace pixora {

const TCodec kTiffCodec = {
    .Strength = TSniffStrength::Signature, .Sniff = tiff::Sniff, .Read = tiff::Read, .Write = tiff::Write};

} // namespace pixora
