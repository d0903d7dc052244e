// Autodesk Animator cels and pictures: a 32-byte header, a palette of 256
// six-bit colours and one byte per pixel.

#include <cstring>
#include <string>

#include "io/codecs/byte_reader.h"
#include "io/codecs/byte_writer.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/median_cut.h"

namespace pixora::cel {

namespace {

TSniff Sniff(const TFileHead& h) {
    if (h.Size < 32 || h.Data[0] != 0x19 || h.Data[1] != 0x91) return TSniff::No;
    return h.Data[10] == 8 ? TSniff::Yes : TSniff::No; // 8 bits per pixel
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "CEL");
    if (r.Le16() != 0x9119) r.Fail("not an Autodesk Animator image");
    const int w = r.Le16(), h = r.Le16();
    r.Skip(4); // where the cel sits on the screen
    const int depth = r.U8(), compression = r.U8();
    if (depth != 8 || compression != 0) r.Fail("only uncompressed 8-bit images are supported");
    CheckImageSize(w, h, "CEL");
    r.Seek(32);
    const uint8_t* pal = r.Take(768);
    const uint8_t* pixels = r.Take(static_cast<uint64_t>(w) * h);
    uint8_t colour[256][3];
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) {
            if (pal[3 * i + c] > 63) r.Fail("the palette holds values above 63");
            colour[i][c] = static_cast<uint8_t>((pal[3 * i + c] * 255 + 31) / 63);
        }
    Bitmap out = NewImage(w, h, false);
    for (int y = 0; y < h; ++y) {
        uint8_t* d = out.Row(y);
        const uint8_t* s = pixels + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x, d += 4) {
            const uint8_t* c = colour[s[x]];
            d[0] = c[2], d[1] = c[1], d[2] = c[0], d[3] = 0;
        }
    }
    return out;
}

// Up to 256 colours (more are reduced by median cut) with six bits a
// component in the palette; no transparency.
void Write(const std::string& path, const Bitmap& image, const SaveOptions&) {
    CheckWritableSize(image, 65535, "CEL");
    const int w = image.Width(), h = image.Height();
    const TIndexedImage indexed = ReduceColours(image, 256);
    TByteWriter out;
    out.Le16(0x9119);
    out.Le16(static_cast<unsigned>(w)), out.Le16(static_cast<unsigned>(h));
    out.Le16(0), out.Le16(0); // where the cel sits on the screen
    out.U8(8), out.U8(0);     // 8 bits, uncompressed
    out.Le32(static_cast<uint32_t>(w) * static_cast<uint32_t>(h));
    out.Zeros(16);
    for (std::size_t i = 0; i < 256; ++i) {
        const uint32_t c = i < indexed.Palette.size() ? indexed.Palette[i] : 0;
        for (const int shift : {16, 8, 0}) out.U8(((c >> shift & 255u) * 63u + 127u) / 255u);
    }
    out.Bytes.insert(out.Bytes.end(), indexed.Indices.begin(), indexed.Indices.end());
    out.SaveAs(path);
}

} // namespace

} // namespace pixora::cel

namespace pixora {

const TCodec kCelCodec = {
    .Strength = TSniffStrength::MarkedHeader, .Sniff = cel::Sniff,
    .Read = WithoutNotes<cel::Read>, .Write = cel::Write};

} // namespace pixora
