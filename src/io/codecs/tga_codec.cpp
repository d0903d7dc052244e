// Truevision TGA: colour-mapped, true-colour and grey images, plain or
// run-length encoded, of 8, 15, 16, 24 and 32 bits, from any of the four
// origins. Attribute bits become transparency when the header counts them
// and the extension area does not say they are unused.

#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/byte_writer.h"
#include "io/codecs/format_codecs.h"

namespace pixora::tga {

namespace {

struct THeader {
    uint8_t IdLength, MapType, ImageType;
    uint16_t MapFirst, MapLength;
    uint8_t MapBits;
    uint16_t Width, Height;
    uint8_t Bits, Descriptor;
};

THeader ParseHeader(const uint8_t* p) {
    THeader h{};
    h.IdLength = p[0];
    h.MapType = p[1];
    h.ImageType = p[2];
    h.MapFirst = static_cast<uint16_t>(p[3] | p[4] << 8);
    h.MapLength = static_cast<uint16_t>(p[5] | p[6] << 8);
    h.MapBits = p[7];
    h.Width = static_cast<uint16_t>(p[12] | p[13] << 8);
    h.Height = static_cast<uint16_t>(p[14] | p[15] << 8);
    h.Bits = p[16];
    h.Descriptor = p[17];
    return h;
}

bool Plausible(const THeader& h) {
    const int type = h.ImageType & ~8;
    if (type < 1 || type > 3 || h.MapType > 1 || h.Width == 0 || h.Height == 0) return false;
    if (type == 1 && (h.MapType != 1 || h.Bits != 8)) return false;
    if (type == 2 && h.Bits != 15 && h.Bits != 16 && h.Bits != 24 && h.Bits != 32) return false;
    if (type == 3 && h.Bits != 8 && h.Bits != 16) return false;
    if (h.MapType == 1 && h.MapBits != 15 && h.MapBits != 16 && h.MapBits != 24 && h.MapBits != 32)
        return false;
    return (h.Descriptor & 0xC0) == 0;
}

// A pixel of the file's layout to B, G, R, alpha (255 opaque).
struct TColour {
    uint8_t B, G, R, A;
};

TColour Decode(const uint8_t* p, int bits, bool grey, bool attribute) {
    if (grey) return {p[0], p[0], p[0], bits == 16 ? p[1] : uint8_t(255)};
    switch (bits) {
    case 15:
    case 16: {
        const unsigned v = p[0] | p[1] << 8;
        auto five = [](unsigned c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
        const uint8_t a = bits == 16 && attribute && !(v & 0x8000) ? 0 : 255;
        return {five(v & 31), five((v >> 5) & 31), five((v >> 10) & 31), a};
    }
    case 24:
        return {p[0], p[1], p[2], 255};
    default:
        return {p[0], p[1], p[2], attribute ? p[3] : uint8_t(255)};
    }
}

TSniff Sniff(const TFileHead& h) {
    // No magic number: a version 2 file ends in its signature, an older
    // one can only be told by a header that makes sense.
    if (h.Size < 18 || !Plausible(ParseHeader(h.Data))) return TSniff::No;
    return TSniff::Maybe;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "TGA");
    const THeader h = ParseHeader(r.Take(18));
    if (!Plausible(h)) {
        if ((h.ImageType & ~8) == 32 || (h.ImageType & ~8) == 33)
            r.Fail("Huffman-compressed images are not supported");
        r.Fail("not a Truevision image (image type " + std::to_string(h.ImageType) + ", " +
               std::to_string(h.Bits) + " bits)");
    }
    CheckImageSize(h.Width, h.Height, "TGA");
    const int type = h.ImageType & ~8;
    const bool rle = (h.ImageType & 8) != 0, grey = type == 3, mapped = type == 1;
    // Attribute (alpha) bits count when the header declares them, unless the
    // version 2 extension area says they hold nothing of use.
    bool attribute = (h.Descriptor & 15) != 0 || (grey && h.Bits == 16);
    if (file.Size() >= 18 + 26 && std::memcmp(file.Data() + file.Size() - 18, "TRUEVISION-XFILE.", 17) == 0) {
        TByteReader foot(file.Data() + file.Size() - 26, 26, "TGA");
        const uint32_t ext = foot.Le32();
        if (ext != 0 && ext + 495 <= file.Size() - 26) {
            const uint8_t kind = file.Data()[ext + 494];
            if (kind == 0 || kind == 1 || kind == 2) attribute = grey && h.Bits == 16;
        }
    }
    r.Skip(h.IdLength);
    const int mapBytes = (h.MapBits + 7) / 8;
    std::vector<TColour> map;
    if (h.MapType == 1) {
        const uint8_t* m = r.Take(static_cast<uint64_t>(h.MapLength) * mapBytes);
        map.resize(h.MapLength);
        const bool mapAlpha = h.MapBits == 32 || (h.MapBits == 16 && attribute);
        for (int i = 0; i < h.MapLength; ++i)
            map[i] = Decode(m + i * mapBytes, h.MapBits, false, mapAlpha);
    }
    const int bpp = (h.Bits + 7) / 8;
    const uint64_t count = static_cast<uint64_t>(h.Width) * h.Height;
    // An uncompressed image must be there in full; a run takes at least 1 + bpp bytes for 128 pixels.
    if (!rle && count * bpp > r.Left()) r.Short();
    if (rle && count > static_cast<uint64_t>(r.Left()) * 128) r.Short();
    Bitmap out = NewImage(h.Width, h.Height, false);
    const bool topDown = (h.Descriptor & 0x20) != 0, rightToLeft = (h.Descriptor & 0x10) != 0;
    auto colourOf = [&](const uint8_t* p) -> TColour {
        if (!mapped) return Decode(p, h.Bits, grey, attribute);
        const int index = p[0] - h.MapFirst;
        if (index < 0 || index >= static_cast<int>(map.size())) r.Fail("a pixel lies outside the colour map");
        return map[static_cast<std::size_t>(index)];
    };
    // Runs may cross rows, so the pixels are read as one stream.
    int left = 0;
    bool repeat = false;
    TColour run{};
    for (int row = 0; row < h.Height; ++row) {
        uint8_t* d = out.Row(topDown ? row : h.Height - 1 - row);
        for (int i = 0; i < h.Width; ++i) {
            TColour c;
            if (!rle) {
                c = colourOf(r.Take(static_cast<uint64_t>(bpp)));
            } else {
                if (left == 0) {
                    const uint8_t packet = r.U8();
                    left = (packet & 0x7F) + 1;
                    repeat = (packet & 0x80) != 0;
                    if (repeat) run = colourOf(r.Take(static_cast<uint64_t>(bpp)));
                }
                c = repeat ? run : colourOf(r.Take(static_cast<uint64_t>(bpp)));
                --left;
            }
            uint8_t* px = d + 4 * (rightToLeft ? h.Width - 1 - i : i);
            px[0] = c.B, px[1] = c.G, px[2] = c.R, px[3] = static_cast<uint8_t>(255 - c.A);
        }
    }
    return out;
}

// Uncompressed true colour, rows top-down: 24 bits, or 32 with eight
// attribute (alpha = 255 - T) bits when any pixel is transparent; the
// version 2 footer marks the file.
void Write(const std::string& path, const Bitmap& image, const SaveOptions&) {
    CheckWritableSize(image, 65535, "TGA");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    const bool alpha = AnyTransparent(image);
    TByteWriter out;
    out.U8(0);                 // no image id
    out.U8(0);                 // no colour map
    out.U8(2);                 // true colour, uncompressed
    out.Zeros(5 + 4);          // colour map description (unused), origin
    out.Le16(static_cast<unsigned>(w));
    out.Le16(static_cast<unsigned>(h));
    out.U8(alpha ? 32 : 24);
    out.U8((alpha ? 8 : 0) | 0x20); // attribute bits, top-down
    out.Bytes.reserve(out.Size() + static_cast<std::size_t>(w) * h * (alpha ? 4 : 3) + 26);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = image.Row(y);
        for (int x = 0; x < w; ++x, s += bpp) {
            out.U8(s[0]), out.U8(s[1]), out.U8(s[2]);
            if (alpha) out.U8(255u - s[3]);
        }
    }
    out.Le32(0); // no extension area
    out.Le32(0); // no developer area
    out.Text("TRUEVISION-XFILE.");
    out.U8(0);
    out.SaveAs(path);
}

} // namespace

} // namespace pixora::tga

namespace pixora {

const TCodec kTgaCodec = {
    .Strength = TSniffStrength::WeakGuess, .Sniff = tga::Sniff,
    .Read = WithoutNotes<tga::Read>, .Write = tga::Write};

} // namespace pixora
