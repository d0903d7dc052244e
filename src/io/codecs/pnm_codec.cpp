// Portable bitmaps, grey maps and pixmaps (P1..P6, plain and raw) and the
// arbitrary map PAM (P7), with any maxval up to 65535; samples are scaled
// to 8 bits by their maxval.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "doc/row_ranges.h"
#include "io/codecs/byte_reader.h"
#include "io/codecs/byte_writer.h"
#include "io/codecs/format_codecs.h"

namespace pixora::pnm {

namespace {

bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Header and plain-text tokens: whitespace and # comments between them.
class TTokens {
public:
    explicit TTokens(TByteReader& r) : r_(r) {}
    void SkipBlank() {
        while (r_.Left() > 0) {
            const uint8_t c = r_.Data()[r_.Pos()];
            if (c == '#') {
                while (r_.Left() > 0 && r_.Data()[r_.Pos()] != '\n' && r_.Data()[r_.Pos()] != '\r')
                    r_.Skip(1);
            } else if (IsSpace(c)) {
                r_.Skip(1);
            } else {
                return;
            }
        }
    }
    // A decimal number; `digits` = 1 reads one digit alone (plain bitmaps
    // may write their bits without spaces).
    uint32_t Number(int digits = 10) {
        SkipBlank();
        uint64_t v = 0;
        int n = 0;
        while (r_.Left() > 0 && n < digits) {
            const uint8_t c = r_.Data()[r_.Pos()];
            if (c < '0' || c > '9') break;
            v = v * 10 + (c - '0');
            if (v > 0xFFFFFFFFu) r_.Fail("a number in the header is too large");
            r_.Skip(1);
            ++n;
        }
        if (n == 0) r_.Left() == 0 ? r_.Short() : r_.Fail("a number was expected");
        return static_cast<uint32_t>(v);
    }
    std::string Word() {
        SkipBlank();
        std::string w;
        while (r_.Left() > 0 && !IsSpace(r_.Data()[r_.Pos()]) && w.size() < 64)
            w += static_cast<char>(r_.U8());
        return w;
    }

private:
    TByteReader& r_;
};

struct THeader {
    int Kind = 0; // 1..7
    uint32_t Width = 0, Height = 0, MaxVal = 1, Depth = 1;
    bool BlackIsOne = false; // P1 and P4 store black as 1
};

THeader ReadHeader(TByteReader& r, TTokens& tok) {
    THeader h;
    const uint8_t* m = r.Take(2);
    if (m[0] != 'P' || m[1] < '1' || m[1] > '7') r.Fail("not a portable pixmap");
    h.Kind = m[1] - '0';
    if (h.Kind == 7) {
        std::string tuple;
        for (;;) {
            const std::string key = tok.Word();
            if (key.empty()) r.Short();
            if (key == "ENDHDR") break;
            if (key == "WIDTH")
                h.Width = tok.Number();
            else if (key == "HEIGHT")
                h.Height = tok.Number();
            else if (key == "DEPTH")
                h.Depth = tok.Number();
            else if (key == "MAXVAL")
                h.MaxVal = tok.Number();
            else if (key == "TUPLTYPE")
                tuple = tok.Word();
            else
                r.Fail("unknown header line " + key);
        }
        if (h.Depth < 1 || h.Depth > 4) r.Fail("depth " + std::to_string(h.Depth) + " is not supported");
    } else {
        h.Width = tok.Number();
        h.Height = tok.Number();
        h.Depth = h.Kind == 3 || h.Kind == 6 ? 3 : 1;
        h.BlackIsOne = h.Kind == 1 || h.Kind == 4;
        if (h.Kind != 1 && h.Kind != 4) h.MaxVal = tok.Number();
    }
    if (h.MaxVal < 1 || h.MaxVal > 65535) r.Fail("maxval " + std::to_string(h.MaxVal) + " is out of range");
    CheckImageSize(h.Width, h.Height, "PNM");
    // Raw data starts after exactly one whitespace character.
    if (h.Kind >= 4) {
        if (h.Kind != 7 && (r.Left() == 0 || !IsSpace(r.U8()))) r.Fail("no space before the pixel data");
        if (h.Kind == 7 && r.Left() > 0 && r.Data()[r.Pos()] == '\n') r.Skip(1);
    }
    return h;
}

TSniff Sniff(const TFileHead& h) {
    if (h.Size < 3 || h.Data[0] != 'P' || h.Data[1] < '1' || h.Data[1] > '7') return TSniff::No;
    return IsSpace(h.Data[2]) ? TSniff::Yes : TSniff::No;
}

// The common case of raw 8-bit colour: every byte as it is, each row
// straight from the file into its bitmap row, the rows on both cores.
Bitmap ReadRgb8(TByteReader& r, uint32_t w, uint32_t height) {
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    const uint8_t* data = r.Take(rowBytes * height);
    Bitmap out = NewImage(static_cast<int>(w), static_cast<int>(height), false);
    ForRowRanges(out.Height(), out.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = data + rowBytes * static_cast<std::size_t>(y);
            uint8_t* d = out.Row(y);
            // Four bytes loaded per pixel (the next pixel's first one
            // dropped), their order turned; the row's last pixel alone, so
            // no load runs past the file's data.
            uint32_t x = 0;
            for (; x + 1 < w; ++x, s += 3, d += 4) {
                uint32_t v;
                std::memcpy(&v, s, 4);
                v = __builtin_bswap32(v) >> 8;
                std::memcpy(d, &v, 4);
            }
            for (; x < w; ++x, s += 3, d += 4) {
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
                d[3] = 0;
            }
        }
    });
    return out;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "PNM");
    TTokens tok(r);
    const THeader h = ReadHeader(r, tok);
    const bool plain = h.Kind <= 3;
    const bool bits = h.Kind == 1 || h.Kind == 4;
    const uint32_t w = h.Width, depth = h.Depth, maxval = h.MaxVal;
    const int bytesPer = maxval > 255 ? 2 : 1;
    // Raw data must be all there before memory is taken for it.
    const uint64_t rowBytes = bits ? (w + 7) / 8 : static_cast<uint64_t>(w) * depth * bytesPer;
    if (!plain && rowBytes * h.Height > r.Left()) r.Short();
    if (plain && static_cast<uint64_t>(w) * h.Height * depth > r.Left()) r.Short(); // a digit at least each
    if (!plain && !bits && depth == 3 && maxval == 255) return ReadRgb8(r, w, h.Height);
    std::vector<uint8_t> scale(static_cast<std::size_t>(maxval) + 1);
    for (uint32_t v = 0; v <= maxval; ++v)
        scale[v] = static_cast<uint8_t>((v * 255u + maxval / 2) / maxval);
    std::vector<uint32_t> sample(static_cast<std::size_t>(w) * depth);
    Bitmap out = NewImage(static_cast<int>(w), static_cast<int>(h.Height), false);
    for (uint32_t y = 0; y < h.Height; ++y) {
        if (plain) {
            for (uint32_t& s : sample) {
                s = tok.Number(bits ? 1 : 10);
                if (s > maxval) r.Fail("a sample is larger than maxval");
            }
        } else if (bits) {
            const uint8_t* p = r.Take(rowBytes);
            for (uint32_t x = 0; x < w; ++x)
                sample[x] = (p[x >> 3] >> (7 - (x & 7))) & 1;
        } else {
            const uint8_t* p = r.Take(rowBytes);
            for (std::size_t i = 0; i < sample.size(); ++i) {
                const uint32_t s = bytesPer == 2 ? static_cast<uint32_t>(p[2 * i] << 8 | p[2 * i + 1]) : p[i];
                // Out-of-range samples are taken as the largest.
                sample[i] = s > maxval ? maxval : s;
            }
        }
        uint8_t* d = out.Row(static_cast<int>(y));
        const uint32_t* s = sample.data();
        for (uint32_t x = 0; x < w; ++x, s += depth, d += 4) {
            if (h.BlackIsOne) {
                d[0] = d[1] = d[2] = s[0] ? 0 : 255;
                d[3] = 0;
                continue;
            }
            const bool colour = depth >= 3;
            d[2] = scale[s[0]];
            d[1] = colour ? scale[s[1]] : d[2];
            d[0] = colour ? scale[s[2]] : d[2];
            const bool alpha = depth == 2 || depth == 4;
            d[3] = alpha ? static_cast<uint8_t>(255 - scale[s[depth - 1]]) : 0;
        }
    }
    return out;
}

// Raw (binary) maps chosen by the name: ".pgm" 8-bit grey (P5), ".pbm"
// black and white at half brightness (P4), anything else 8-bit colour
// (P6). The maps hold no transparency.
void Write(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    CheckWritableSize(image, MaxImageSide, "PNM");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    const bool grey = opts.Extension == ".pgm", bits = opts.Extension == ".pbm";
    const std::string head = std::string(bits ? "P4" : grey ? "P5" : "P6") + "\n" + std::to_string(w) + " " +
                             std::to_string(h) + "\n" + (bits ? "" : "255\n");
    const std::size_t rowBytes = bits ? (static_cast<std::size_t>(w) + 7) / 8 : static_cast<std::size_t>(w) * (grey ? 1 : 3);
    // The rows go out a few hundred kilobytes at a time through one small
    // buffer, not as a second whole picture in memory.
    constexpr std::size_t kBlock = std::size_t(256) << 10;
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, kBlock / rowBytes);
    std::vector<uint8_t> block(rowBytes * rowsPerBlock);
    TRawWriter out(path);
    out.Write(head.data(), head.size());
    for (int y0 = 0; y0 < h; y0 += static_cast<int>(rowsPerBlock)) {
        const int y1 = static_cast<int>(std::min<std::size_t>(h, y0 + rowsPerBlock));
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = image.Row(y);
            uint8_t* d = block.data() + static_cast<std::size_t>(y - y0) * rowBytes;
            if (bits) {
                std::fill_n(d, rowBytes, uint8_t(0));
                for (int x = 0; x < w; ++x) // 1 is black
                    if (GreyOf(s + static_cast<std::size_t>(x) * bpp) < 128)
                        d[static_cast<std::size_t>(x) / 8] |= static_cast<uint8_t>(0x80u >> (x & 7));
                continue;
            }
            if (grey) {
                for (int x = 0; x < w; ++x, s += bpp) *d++ = GreyOf(s);
            } else if (bpp == 4) {
                // The common case in fixed steps, which the compiler makes vector shuffles of.
                for (int x = 0; x < w; ++x)
                    d[3 * x] = s[4 * x + 2], d[3 * x + 1] = s[4 * x + 1], d[3 * x + 2] = s[4 * x];
            } else {
                for (int x = 0; x < w; ++x, s += bpp, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
            }
        }
        out.Write(block.data(), static_cast<std::size_t>(y1 - y0) * rowBytes);
    }
    out.Close();
}

} // namespace

} // namespace pixora::pnm

namespace pixora {

const TCodec kPnmCodec = {
    .Strength = TSniffStrength::MarkedHeader, .Sniff = pnm::Sniff,
    .Read = WithoutNotes<pnm::Read>, .Write = pnm::Write};

} // namespace pixora
