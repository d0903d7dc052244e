// GIF reader (first frame) and single-frame writer over giflib.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "io/codecs/format_codecs.h"
#include "io/codecs/median_cut.h"

namespace pixora::gif {

namespace {

std::string Message(int code) {
    const char* s = GifErrorString(code);
    return std::string("GIF: ") + (s ? s : "unknown error");
}

struct TReadGuard {
    GifFileType* File = nullptr;
    ~TReadGuard() {
        int e = 0;
        if (File) DGifCloseFile(File, &e);
    }
};

// Keyed (transparent) pixels: pure red, fully transparent.
constexpr uint32_t kKeyedPixel = 0xFFFF0000u; // bytes B=0, G=0, R=255, T=255

inline uint32_t Pack(const GifColorType& c) {
    return static_cast<uint32_t>(c.Blue) | static_cast<uint32_t>(c.Green) << 8 | static_cast<uint32_t>(c.Red) << 16;
}

} // namespace

Bitmap Read(const std::string& path) {
    int error = 0;
    TReadGuard g;
    g.File = DGifOpenFileName(path.c_str(), &error);
    if (!g.File) throw ECodecError(Message(error));
    GifFileType* gif = g.File;
    int transparent = -1;
    bool haveImage = false;
    while (!haveImage) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) throw ECodecError(Message(gif->Error));
        if (type == TERMINATE_RECORD_TYPE) throw ECodecError("GIF: the file holds no image");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) throw ECodecError(Message(gif->Error));
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
            }
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) throw ECodecError(Message(gif->Error));
            }
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR) throw ECodecError(Message(gif->Error));
            haveImage = true;
        }
    }

    const GifImageDesc& desc = gif->Image;
    const int screenW = gif->SWidth > 0 ? gif->SWidth : desc.Width;
    const int screenH = gif->SHeight > 0 ? gif->SHeight : desc.Height;
    CheckImageSize(screenW, screenH, "GIF");
    if (desc.Width <= 0 || desc.Height <= 0) throw ECodecError("GIF: the frame is empty");
    // Every pixel of the frame is decoded, those off the screen too.
    CheckImageSize(desc.Width, desc.Height, "GIF frame");

    // Colours of the frame's active table; a pixel past its end (other than
    // the transparent one) makes the file refused. A file without any table
    // is read as a gray ramp.
    uint32_t palette[256] = {};
    int colours = 256;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (map && map->Colors) {
        colours = std::clamp(map->ColorCount, 0, 256);
        for (int i = 0; i < colours; ++i)
            palette[i] = Pack(map->Colors[i]);
    } else {
        for (uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
    }
    const bool keyed = transparent >= 0 && transparent < 256;
    if (keyed) palette[transparent] = kKeyedPixel;

    // The frame is decoded first, keeping the part that lies on the screen
    // in a buffer that grows with the data: a small file posing as a huge
    // picture fails before the picture's memory is taken.
    const int x0 = std::clamp(desc.Left, 0, screenW), x1 = std::clamp(desc.Left + desc.Width, x0, screenW);
    const std::size_t shown = static_cast<std::size_t>(x1 - x0);
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width)), kept;
    std::vector<int> keptRows; // screen row of each kept line
    auto readRow = [&](int frameRow) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) throw ECodecError(Message(gif->Error));
        for (const GifPixelType v : line)
            if (v >= colours && !(keyed && v == transparent))
                throw ECodecError("GIF: a pixel uses colour " + std::to_string(v) + " of a table of " +
                                  std::to_string(colours));
        const int y = desc.Top + frameRow;
        if (y < 0 || y >= screenH || shown == 0) return;
        kept.insert(kept.end(), line.begin() + (x0 - desc.Left), line.begin() + (x1 - desc.Left));
        keptRows.push_back(y);
    };
    if (desc.Interlace) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int r = start[pass]; r < desc.Height; r += step[pass]) readRow(r);
    } else {
        for (int r = 0; r < desc.Height; ++r) readRow(r);
    }

    Bitmap out = NewImage(screenW, screenH, false);
    // Outside the frame: the background colour, or keyed when the frame has
    // a transparent index.
    uint32_t background = 0;
    if (keyed)
        background = kKeyedPixel;
    else if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount)
        background = Pack(gif->SColorMap->Colors[gif->SBackGroundColor]);
    for (int y = 0; y < screenH; ++y)
        std::fill_n(reinterpret_cast<uint32_t*>(out.Row(y)), screenW, background);
    for (std::size_t k = 0; k < keptRows.size(); ++k) {
        uint32_t* d = reinterpret_cast<uint32_t*>(out.Row(keptRows[k])) + x0;
        const GifPixelType* s = kept.data() + k * shown;
        for (std::size_t x = 0; x < shown; ++x)
            d[x] = palette[s[x]];
    }
    return out;
}

namespace {

struct TWriteGuard {
    GifFileType* File = nullptr;
    ColorMapObject* Map = nullptr;
    ~TWriteGuard() {
        int e = 0;
        if (File) EGifCloseFile(File, &e);
        if (Map) GifFreeMapObject(Map);
    }
};

// The encoder's output goes to a stream of the file layer.
int PutBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* f = static_cast<std::FILE*>(gif->UserData);
    return static_cast<int>(std::fwrite(data, 1, static_cast<std::size_t>(length), f));
}

} // namespace

void Write(const std::string& path, const Bitmap& image) {
    if (image.Empty()) throw ECodecError("GIF: the image is empty");
    if (image.Width() > 65535 || image.Height() > 65535) throw ECodecError("GIF: the image is too large for a GIF file");
    const uint32_t key = static_cast<uint32_t>(GifKeyRed) << 16 | static_cast<uint32_t>(GifKeyGreen) << 8 | GifKeyBlue;
    // At most 255 colours of the picture plus the key, which comes last.
    const TIndexedImage indexed = ReduceColours(image, 255, key);
    const int keyIndex = static_cast<int>(indexed.Palette.size()) - 1;
    int bits = 1;
    while ((1 << bits) < static_cast<int>(indexed.Palette.size())) ++bits;

    FilePtr out; // outlives the encoder, which writes into it until closed
    TWriteGuard g;
    g.Map = GifMakeMapObject(1 << bits, nullptr);
    if (!g.Map) throw ECodecError("GIF: not enough memory for the colour table");
    for (std::size_t i = 0; i < indexed.Palette.size(); ++i) {
        g.Map->Colors[i].Red = static_cast<GifByteType>(indexed.Palette[i] >> 16);
        g.Map->Colors[i].Green = static_cast<GifByteType>(indexed.Palette[i] >> 8);
        g.Map->Colors[i].Blue = static_cast<GifByteType>(indexed.Palette[i]);
    }
    int error = 0;
    out = OpenFile(path, "wb");
    // The encoder says only that a write failed; the stream knows why.
    auto Fail = [&](int code) {
        ThrowIfWriteFailed(out.get(), path);
        throw ECodecError(Message(code));
    };
    g.File = EGifOpen(out.get(), PutBytes, &error);
    if (!g.File) Fail(error);
    GifFileType* gif = g.File;
    EGifSetGifVersion(gif, true);
    const int w = image.Width(), h = image.Height();
    if (EGifPutScreenDesc(gif, w, h, bits, 0, g.Map) == GIF_ERROR) Fail(gif->Error);
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.UserInputFlag = false;
    gcb.DelayTime = 0;
    gcb.TransparentColor = keyIndex;
    GifByteType ext[4];
    const std::size_t extLen = EGifGCBToExtension(&gcb, ext);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extLen), ext) == GIF_ERROR)
        Fail(gif->Error);
    if (EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR) Fail(gif->Error);
    for (int y = 0; y < h; ++y) {
        auto* row = const_cast<GifPixelType*>(indexed.Indices.data() +
                                              static_cast<std::size_t>(y) * static_cast<std::size_t>(w));
        if (EGifPutLine(gif, row, w) == GIF_ERROR) Fail(gif->Error);
    }
    g.File = nullptr;
    if (EGifCloseFile(gif, &error) == GIF_ERROR) Fail(error);
    CloseWrittenFile(out, path);
}

namespace {

TSniff Sniff(const TFileHead& h) {
    const bool gif =
        h.Size >= 6 && (std::memcmp(h.Data, "GIF87a", 6) == 0 || std::memcmp(h.Data, "GIF89a", 6) == 0);
    return gif ? TSniff::Yes : TSniff::No;
}

// Pixels as transparent as the sensitivity asks become the key colour.
void WriteKeyed(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    Write(path, ApplyGifKey(image, opts.GifSensitivity));
}

} // namespace

} // namespace pixora::gif

namespace pixora {

Bitmap ApplyGifKey(const Bitmap& src, int sensitivity) {
    Bitmap out = NewImage(src.Width(), src.Height());
    const int bpp = src.BytesPerPixel();
    for (int y = 0; y < src.Height(); ++y) {
        const uint8_t* s = src.Row(y);
        uint8_t* d = out.Row(y);
        for (int x = 0; x < src.Width(); ++x, s += bpp, d += 4) {
            const int t = bpp == 4 ? s[3] : 0;
            if (sensitivity >= 255 - t) {
                d[0] = GifKeyBlue;
                d[1] = GifKeyGreen;
                d[2] = GifKeyRed;
            } else {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if (d[0] == GifKeyBlue && d[1] == GifKeyGreen && d[2] == GifKeyRed) d[0] = GifKeyBlue - 1;
            }
        }
    }
    return out;
}

const TCodec kGifCodec = {.Strength = TSniffStrength::Signature,
                          .Sniff = gif::Sniff,
                          .Read = WithoutNotes<gif::Read>,
                          .Write = gif::WriteKeyed};

} // namespace pixora
