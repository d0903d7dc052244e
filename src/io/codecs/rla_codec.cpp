// Wavefront RLA (and RPF): run-length encoded colour channels of 8 or 16
// bits with an optional matte (alpha), rows stored bottom-up through an
// offset table.

#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/format_codecs.h"

namespace pixora::rla {

namespace {

constexpr std::size_t kHeaderBytes = 740;

struct THeader {
    int Left, Right, Bottom, Top; // the active window
    int Storage, Colours, Mattes, Aux, ColourBits, MatteBits;
};

THeader Parse(const uint8_t* p) {
    auto s16 = [&](std::size_t o) { return static_cast<int>(static_cast<int16_t>(p[o] << 8 | p[o + 1])); };
    return {s16(8), s16(10), s16(12), s16(14), s16(18), s16(20), s16(22), s16(24), s16(658), s16(662)};
}

bool Plausible(const THeader& h) {
    return h.Right >= h.Left && h.Top >= h.Bottom && h.Storage == 0 && h.Colours >= 1 && h.Colours <= 3 &&
           h.Mattes >= 0 && h.Mattes <= 1 && h.Aux >= 0 && h.Aux <= 8 &&
           (h.ColourBits == 8 || h.ColourBits == 16 || h.ColourBits == 0);
}

// One channel of one row: signed counts, n >= 0 repeats the next byte
// n + 1 times, n < 0 copies -n bytes.
void Expand(TByteReader& r, std::size_t length, uint8_t* out, std::size_t size) {
    TByteReader in(r.Take(length), length, "RLA");
    std::size_t x = 0;
    while (x < size && in.Left() > 0) {
        const int n = static_cast<int8_t>(in.U8());
        const std::size_t len = n >= 0 ? static_cast<std::size_t>(n) + 1 : static_cast<std::size_t>(-n);
        if (len > size - x) r.Fail("a row runs past the image width");
        if (n >= 0)
            std::memset(out + x, in.U8(), len);
        else
            std::memcpy(out + x, in.Take(len), len);
        x += len;
    }
    if (x != size) r.Fail("a row is cut short");
}

TSniff Sniff(const TFileHead& h) {
    if (h.Size < kHeaderBytes || !Plausible(Parse(h.Data))) return TSniff::No;
    return TSniff::Maybe;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "RLA");
    const THeader h = Parse(r.Take(kHeaderBytes));
    if (!Plausible(h)) r.Fail("not a Wavefront image, or a kind of one that is not supported");
    const int w = h.Right - h.Left + 1, ht = h.Top - h.Bottom + 1;
    CheckImageSize(w, ht, "RLA");
    const int colourBytes = h.ColourBits == 16 ? 2 : 1;
    const int matteBytes = h.MatteBits == 16 ? 2 : 1;
    if (static_cast<uint64_t>(ht) * 4 > r.Left()) r.Short();
    std::vector<uint32_t> offsets(static_cast<std::size_t>(ht));
    for (uint32_t& o : offsets)
        o = r.Be32();
    // Every row holds at least a length for each channel.
    const int channels = h.Colours + h.Mattes;
    std::vector<std::vector<uint8_t>> planes(static_cast<std::size_t>(channels));
    for (int c = 0; c < channels; ++c)
        planes[static_cast<std::size_t>(c)].resize(static_cast<std::size_t>(w) * 2);
    Bitmap out = NewImage(w, ht, false);
    for (int y = 0; y < ht; ++y) {
        r.Seek(offsets[static_cast<std::size_t>(y)]);
        for (int c = 0; c < channels; ++c) {
            const int bytes = c < h.Colours ? colourBytes : matteBytes;
            const std::size_t length = r.Be16();
            Expand(r, length, planes[static_cast<std::size_t>(c)].data(),
                   static_cast<std::size_t>(w) * bytes);
        }
        uint8_t* d = out.Row(ht - 1 - y);
        for (int x = 0; x < w; ++x, d += 4) {
            // A 16-bit row holds the high bytes of all pixels, then the low bytes.
            auto at = [&](int c) -> uint8_t {
                const uint8_t* p = planes[static_cast<std::size_t>(c)].data();
                const int bytes = c < h.Colours ? colourBytes : matteBytes;
                if (bytes == 1) return p[x];
                const unsigned v = p[x] << 8 | p[w + x];
                return static_cast<uint8_t>((v * 255u + 32767u) / 65535u);
            };
            d[2] = at(0);
            d[1] = h.Colours >= 3 ? at(1) : d[2];
            d[0] = h.Colours >= 3 ? at(2) : d[2];
            d[3] = h.Mattes ? static_cast<uint8_t>(255 - at(h.Colours)) : 0;
        }
    }
    return out;
}

} // namespace

} // namespace pixora::rla

namespace pixora {

const TCodec kRlaCodec = {
    .Strength = TSniffStrength::Guess, .Sniff = rla::Sniff, .Read = WithoutNotes<rla::Read>};

} // namespace pixora
