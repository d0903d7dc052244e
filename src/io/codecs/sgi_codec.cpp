// SGI images: 1 to 4 channels (grey, grey + alpha, RGB, RGBA) of 8 or 16
// bits, verbatim or run-length encoded, rows stored bottom-up.

#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/byte_writer.h"
#include "io/codecs/format_codecs.h"

namespace pixora::sgi {

namespace {

// One run-length encoded row of one channel into `row` (`width` values).
void ExpandRow(TByteReader& r, uint64_t start, uint64_t length, int bpc, std::vector<uint16_t>& row) {
    if (start > r.Size() || length > r.Size() - start) r.Fail("a row lies outside the file");
    TByteReader in(r.Data() + start, static_cast<std::size_t>(length), "SGI");
    auto next = [&]() -> uint16_t { return bpc == 2 ? in.Be16() : in.U8(); };
    std::size_t x = 0;
    while (in.Left() >= static_cast<std::size_t>(bpc)) {
        const uint16_t packet = next();
        const std::size_t count = packet & 0x7F;
        if (count == 0) break;
        if (count > row.size() - x) r.Fail("a row runs past the image width");
        if (packet & 0x80) {
            for (std::size_t i = 0; i < count; ++i)
                row[x++] = next();
        } else {
            const uint16_t v = next();
            for (std::size_t i = 0; i < count; ++i)
                row[x++] = v;
        }
    }
    if (x != row.size()) r.Fail("a row is cut short");
}

TSniff Sniff(const TFileHead& h) {
    return h.Size >= 2 && h.Data[0] == 0x01 && h.Data[1] == 0xDA ? TSniff::Yes : TSniff::No;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "SGI");
    if (r.Be16() != 474) r.Fail("not an SGI image");
    const int storage = r.U8(), bpc = r.U8();
    const int dimension = r.Be16();
    const int w = r.Be16(), h = dimension >= 2 ? r.Be16() : (r.Skip(2), 1);
    const int z = dimension >= 3 ? r.Be16() : (r.Skip(2), 1);
    if (storage > 1 || (bpc != 1 && bpc != 2) || dimension < 1 || dimension > 3)
        r.Fail("unknown storage, depth or dimension");
    if (z < 1 || z > 4) r.Fail(std::to_string(z) + " channels are not supported");
    CheckImageSize(w, h, "SGI");
    r.Skip(4 + 4 + 4 + 80);
    if (r.Be32() != 0) r.Fail("colour-mapped SGI images are not supported");
    const uint64_t planeValues = static_cast<uint64_t>(w) * h;
    std::vector<uint32_t> starts, lengths;
    if (storage == 1) {
        r.Seek(512);
        const std::size_t tables = static_cast<std::size_t>(h) * z;
        if (tables * 8 > r.Left()) r.Short();
        starts.resize(tables);
        lengths.resize(tables);
        for (uint32_t& s : starts)
            s = r.Be32();
        for (uint32_t& l : lengths)
            l = r.Be32();
    } else if (512 + planeValues * z * bpc > file.Size()) {
        r.Short();
    }
    std::vector<std::vector<uint16_t>> rows(static_cast<std::size_t>(z),
                                            std::vector<uint16_t>(static_cast<std::size_t>(w)));
    Bitmap out = NewImage(w, h, false);
    for (int y = 0; y < h; ++y) {
        for (int c = 0; c < z; ++c) {
            auto& row = rows[static_cast<std::size_t>(c)];
            if (storage == 1) {
                const std::size_t i = static_cast<std::size_t>(c) * h + y;
                ExpandRow(r, starts[i], lengths[i], bpc, row);
            } else {
                r.Seek(512 + (static_cast<uint64_t>(c) * h + y) * w * bpc);
                for (uint16_t& v : row)
                    v = bpc == 2 ? r.Be16() : r.U8();
            }
        }
        uint8_t* d = out.Row(h - 1 - y);
        for (int x = 0; x < w; ++x, d += 4) {
            auto at = [&](int c) -> uint8_t {
                const uint16_t v = rows[static_cast<std::size_t>(c)][static_cast<std::size_t>(x)];
                return bpc == 2 ? static_cast<uint8_t>((v * 255u + 32767u) / 65535u)
                                : static_cast<uint8_t>(v);
            };
            const bool colour = z >= 3;
            d[2] = at(0);
            d[1] = colour ? at(1) : d[2];
            d[0] = colour ? at(2) : d[2];
            d[3] = z == 2 || z == 4 ? static_cast<uint8_t>(255 - at(z - 1)) : 0;
        }
    }
    return out;
}

// Verbatim 8-bit channels, rows bottom-up: one grey channel for ".bw",
// otherwise red, green, blue and, when any pixel is transparent, alpha
// (255 - T).
void Write(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    CheckWritableSize(image, 65535, "SGI");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    const bool grey = opts.Extension == ".bw";
    const int z = grey ? 1 : AnyTransparent(image) ? 4 : 3;
    TByteWriter out;
    out.Be16(474);
    out.U8(0); // verbatim
    out.U8(1); // one byte a value
    out.Be16(grey ? 2 : 3);
    out.Be16(static_cast<unsigned>(w));
    out.Be16(static_cast<unsigned>(h));
    out.Be16(static_cast<unsigned>(z));
    out.Be32(0);   // smallest value
    out.Be32(255); // largest value
    out.Zeros(4 + 80);
    out.Be32(0); // no colour map
    out.Zeros(404);
    out.Bytes.reserve(out.Size() + static_cast<std::size_t>(w) * h * z);
    // Channel c of B, G, R, T order; alpha is the complement of T.
    static constexpr int kByte[4] = {2, 1, 0, 3};
    for (int c = 0; c < z; ++c)
        for (int y = h - 1; y >= 0; --y) {
            const uint8_t* s = image.Row(y);
            for (int x = 0; x < w; ++x, s += bpp) {
                if (grey)
                    out.U8(GreyOf(s));
                else
                    out.U8(c == 3 ? 255u - s[3] : s[kByte[c]]);
            }
        }
    out.SaveAs(path);
}

} // namespace

} // namespace pixora::sgi

namespace pixora {

const TCodec kSgiCodec = {
    .Strength = TSniffStrength::Signature, .Sniff = sgi::Sniff,
    .Read = WithoutNotes<sgi::Read>, .Write = sgi::Write};

} // namespace pixora
