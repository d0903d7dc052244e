// Windows icons and cursors: the largest entry of the directory (the one
// of most colours among equals), stored as a device-independent bitmap
// with its AND mask or as a PNG. A 32-bit entry with an alpha channel uses
// it; every other entry takes its transparency from the mask.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/byte_writer.h"
#include "io/codecs/format_codecs.h"

namespace pixora::ico {

namespace {

struct TEntry {
    int Width, Height, Bits;
    uint32_t Size, Offset;
};

uint32_t Le32At(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A DIB entry: its colours through the BMP reader (given a file header and
// half the stored height), then the AND mask that follows the colours.
Bitmap ReadDib(TByteReader& r, const uint8_t* dib, std::size_t size) {
    if (size < 16) r.Short();
    const uint32_t headerSize = Le32At(dib);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > size)) r.Fail("unknown bitmap header");
    const int w = core ? (dib[4] | dib[5] << 8) : static_cast<int32_t>(Le32At(dib + 4));
    const int storedHeight =
        core ? static_cast<int16_t>(dib[6] | dib[7] << 8) : static_cast<int32_t>(Le32At(dib + 8));
    const int bits = core ? (dib[10] | dib[11] << 8) : (dib[14] | dib[15] << 8);
    const uint32_t compression = core ? 0 : Le32At(dib + 16);
    const uint32_t used = core ? 0 : Le32At(dib + 32);
    const int h = storedHeight / 2;
    CheckImageSize(w, h, "ICO");
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        r.Fail(std::to_string(bits) + "-bit entries are not supported");
    const uint64_t colours = used ? used : bits <= 8 ? (1u << bits) : 0;
    if (colours > 256) r.Fail("the palette is too large");
    const uint64_t masks = !core && headerSize == 40 && compression == 3 ? 12 : 0;
    const uint64_t pixelsAt = headerSize + masks + colours * (core ? 3 : 4);
    const uint64_t rowBytes = (static_cast<uint64_t>(w) * bits + 31) / 32 * 4;
    const uint64_t xorBytes = rowBytes * h;
    if (pixelsAt + xorBytes > size) r.Short();
    std::vector<uint8_t> bmpFile(14 + pixelsAt + xorBytes);
    bmpFile[0] = 'B', bmpFile[1] = 'M';
    PutLe32(&bmpFile[2], static_cast<uint32_t>(bmpFile.size()));
    PutLe32(&bmpFile[10], static_cast<uint32_t>(14 + pixelsAt));
    std::memcpy(&bmpFile[14], dib, static_cast<std::size_t>(pixelsAt + xorBytes));
    // The fourth byte is told apart from a mask below, so the BMP reader
    // is to keep it as stored whatever alpha mask the header declares.
    if (!core && headerSize >= 56) PutLe32(&bmpFile[14 + 52], 0);
    if (core) {
        bmpFile[14 + 6] = static_cast<uint8_t>(h), bmpFile[14 + 7] = static_cast<uint8_t>(h >> 8);
    } else {
        PutLe32(&bmpFile[14 + 8], static_cast<uint32_t>(h));
        PutLe32(&bmpFile[14 + 20], static_cast<uint32_t>(xorBytes)); // image size
    }
    Bitmap out = bmp::ReadMemory(bmpFile.data(), bmpFile.size());
    if (out.Width() != w || out.Height() != h) r.Fail("the entry's size does not match its header");
    // 32-bit entries: the fourth byte is alpha, unless it is 0 everywhere.
    bool alpha = false;
    if (bits == 32)
        for (int y = 0; y < h && !alpha; ++y)
            for (int x = 0; x < w && !alpha; ++x)
                alpha = out.Row(y)[4 * x + 3] != 0;
    const uint64_t maskRow = (static_cast<uint64_t>(w) + 31) / 32 * 4;
    const uint8_t* mask = dib + pixelsAt + xorBytes;
    // Some writers put an embedded colour profile where the mask would be.
    uint64_t maskEnd = size;
    if (headerSize >= 124 && Le32At(dib + 56) == 0x4D424544 /* 'MBED' */)
        maskEnd = std::min<uint64_t>(size, Le32At(dib + 112));
    const bool haveMask = pixelsAt + xorBytes + maskRow * h <= maskEnd;
    for (int y = 0; y < h; ++y) {
        uint8_t* d = out.Row(y);
        const uint8_t* m = mask + maskRow * static_cast<uint64_t>(h - 1 - y);
        for (int x = 0; x < w; ++x, d += 4) {
            if (alpha)
                d[3] = static_cast<uint8_t>(255 - d[3]);
            else
                d[3] = haveMask && (m[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
        }
    }
    return out;
}

TSniff Sniff(const TFileHead& h) {
    if (h.Size < 22 || h.Data[0] != 0 || h.Data[1] != 0 || (h.Data[2] != 1 && h.Data[2] != 2) ||
        h.Data[3] != 0)
        return TSniff::No;
    const int count = h.Data[4] | h.Data[5] << 8;
    // The first entry's reserved byte is 0 and its data lies past the directory.
    const uint32_t offset = Le32At(h.Data + 6 + 12);
    if (count == 0 || h.Data[6 + 3] != 0 || offset < 6u + 16u * count) return TSniff::No;
    return TSniff::Yes;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "ICO");
    if (r.Le16() != 0) r.Fail("not an icon file");
    const int type = r.Le16(), count = r.Le16();
    if ((type != 1 && type != 2) || count == 0) r.Fail("not an icon file");
    std::vector<TEntry> entries;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = r.Take(16);
        TEntry t{e[0] ? e[0] : 256, e[1] ? e[1] : 256, type == 1 ? (e[6] | e[7] << 8) : 0, Le32At(e + 8),
                 Le32At(e + 12)};
        if (t.Offset >= file.Size()) r.Short();
        entries.push_back(t);
    }
    if (entries.empty()) r.Fail("the icon holds no image");
    const TEntry* best = &entries[0];
    for (const TEntry& e : entries) {
        const int64_t area = static_cast<int64_t>(e.Width) * e.Height,
                      bestArea = static_cast<int64_t>(best->Width) * best->Height;
        if (area > bestArea || (area == bestArea && e.Bits > best->Bits)) best = &e;
    }
    // A size running past the end is cut to the file (a truncated mask).
    const std::size_t size = std::min<uint64_t>(best->Size, file.Size() - best->Offset);
    const uint8_t* data = file.Data() + best->Offset;
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) == 0) return png::ReadMemory(data, size);
    return ReadDib(r, data, size);
}

// One 32-bit entry of at most 256 x 256 pixels: the colours with their
// alpha (255 - T), then the AND mask marking the fully transparent pixels
// for programs that ignore alpha.
void Write(const std::string& path, const Bitmap& image, const SaveOptions&) {
    CheckWritableSize(image, 256, "ICO");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    const uint32_t maskRow = (static_cast<uint32_t>(w) + 31) / 32 * 4;
    const uint32_t colourBytes = static_cast<uint32_t>(w) * static_cast<uint32_t>(h) * 4;
    const uint32_t entryBytes = 40 + colourBytes + maskRow * static_cast<uint32_t>(h);
    TByteWriter out;
    out.Le16(0), out.Le16(1), out.Le16(1); // an icon of one entry
    out.U8(w == 256 ? 0 : static_cast<unsigned>(w));
    out.U8(h == 256 ? 0 : static_cast<unsigned>(h));
    out.U8(0), out.U8(0);   // no palette
    out.Le16(1), out.Le16(32);
    out.Le32(entryBytes);
    out.Le32(6 + 16);
    out.Le32(40); // BITMAPINFOHEADER, twice the height for colours and mask
    out.Le32(static_cast<uint32_t>(w));
    out.Le32(static_cast<uint32_t>(h) * 2);
    out.Le16(1), out.Le16(32);
    out.Le32(0);
    out.Le32(colourBytes);
    out.Zeros(16);
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t* s = image.Row(y);
        for (int x = 0; x < w; ++x, s += bpp) {
            out.U8(s[0]), out.U8(s[1]), out.U8(s[2]);
            out.U8(bpp == 4 ? 255u - s[3] : 255u);
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t* s = image.Row(y);
        const std::size_t at = out.Size();
        out.Zeros(maskRow);
        for (int x = 0; x < w; ++x)
            if (bpp == 4 && s[4 * x + 3] == 255) out.Bytes[at + static_cast<std::size_t>(x) / 8] |= static_cast<uint8_t>(0x80u >> (x & 7));
    }
    out.SaveAs(path);
}

} // namespace

} // namespace pixora::ico

namespace pixora {

const TCodec kIcoCodec = {
    .Strength = TSniffStrength::MarkedHeader, .Sniff = ico::Sniff,
    .Read = WithoutNotes<ico::Read>, .Write = ico::Write};

} // namespace pixora
