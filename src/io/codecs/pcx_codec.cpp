// ZSoft Paintbrush PCX: 1, 2, 3 or 4 planes of 1 bit (2 to 16 colours from
// the header palette), one plane of 2, 4 or 8 bits (the 8-bit palette at
// the end of the file), and 3 or 4 planes of 8 bits (RGB, RGBA). Plain or
// run-length encoded.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/byte_writer.h"
#include "io/codecs/format_codecs.h"

namespace pixora::pcx {

namespace {

// A pixel's bits within a plane never straddle a byte.
bool SupportedDepth(int bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8;
}

TSniff Sniff(const TFileHead& h) {
    if (h.Size < 128 || h.Data[0] != 0x0A || h.Data[1] > 5 || h.Data[2] > 1) return TSniff::No;
    const uint8_t bits = h.Data[3], planes = h.Data[65];
    if (!SupportedDepth(bits) || planes < 1 || planes > 4) return TSniff::No;
    return TSniff::Maybe;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "PCX");
    const uint8_t* hd = r.Take(128);
    if (hd[0] != 0x0A) r.Fail("not a PCX file");
    const int bits = hd[3], planes = hd[65], encoding = hd[2];
    const int xmin = hd[4] | hd[5] << 8, ymin = hd[6] | hd[7] << 8, xmax = hd[8] | hd[9] << 8,
              ymax = hd[10] | hd[11] << 8;
    const int bytesPerLine = hd[66] | hd[67] << 8;
    const int w = xmax - xmin + 1, h = ymax - ymin + 1;
    CheckImageSize(w, h, "PCX");
    // No planes would make a picture of any size out of no data at all.
    if (planes < 1) r.Fail("the image has no colour planes");
    const bool paletted = planes * bits <= 8 && planes <= 4 && (bits == 1 || planes == 1);
    const bool direct = bits == 8 && (planes == 3 || planes == 4);
    if ((!paletted && !direct) || !SupportedDepth(bits))
        r.Fail(std::to_string(planes) + " planes of " + std::to_string(bits) + " bits are not supported");
    if (encoding > 1) r.Fail("unknown encoding");
    if (static_cast<int64_t>(bytesPerLine) * 8 < static_cast<int64_t>(w) * bits || bytesPerLine == 0)
        r.Fail("the line length is too short for the width");
    const std::size_t lineBytes = static_cast<std::size_t>(bytesPerLine) * planes;
    // A run packs at most 63 bytes into two.
    const uint64_t total = static_cast<uint64_t>(lineBytes) * h;
    if (total > (encoding ? static_cast<uint64_t>(r.Left()) * 32 : r.Left())) r.Short();

    uint8_t pal[256][3] = {};
    const int colours = paletted ? 1 << (planes * bits) : 0;
    if (paletted && colours <= 16) {
        std::memcpy(pal, hd + 16, 48);
        // Monochrome is black and white unless a version 5 header gives two
        // different colours.
        const bool twoColours = std::memcmp(pal[0], pal[1], 3) != 0;
        if (colours == 2 && (hd[1] != 5 || !twoColours)) {
            std::memset(pal[0], 0, 3);
            std::memset(pal[1], 255, 3);
        }
    }
    // The whole picture is decoded first: the 8-bit palette follows it.
    std::vector<uint8_t> data(static_cast<std::size_t>(total));
    if (encoding == 0) {
        std::memcpy(data.data(), r.Take(total), data.size());
    } else {
        // Runs may cross lines: the data is one stream.
        std::size_t i = 0;
        while (i < data.size()) {
            const uint8_t b = r.U8();
            std::size_t run = 1;
            uint8_t value = b;
            if ((b & 0xC0) == 0xC0) {
                run = b & 0x3F;
                value = r.U8();
            }
            run = std::min(run, data.size() - i);
            std::memset(data.data() + i, value, run);
            i += run;
        }
    }
    if (paletted && colours == 256) {
        // The 8-bit palette follows a 12 after the image data (or, failing
        // that, ends the file); without one the image is grey.
        const uint8_t* pal8 = nullptr;
        if (r.Left() >= 769 && file.Data()[r.Pos()] == 12)
            pal8 = file.Data() + r.Pos() + 1;
        else if (file.Size() >= 128 + 769 && file.Data()[file.Size() - 769] == 12)
            pal8 = file.Data() + file.Size() - 768;
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                pal[i][c] = pal8 ? pal8[3 * i + c] : static_cast<uint8_t>(i);
    }
    Bitmap out = NewImage(w, h, false);
    for (int y = 0; y < h; ++y) {
        const uint8_t* line = data.data() + lineBytes * static_cast<std::size_t>(y);
        uint8_t* d = out.Row(y);
        for (int x = 0; x < w; ++x, d += 4) {
            if (direct) {
                d[2] = line[x];
                d[1] = line[static_cast<std::size_t>(bytesPerLine) + x];
                d[0] = line[2 * static_cast<std::size_t>(bytesPerLine) + x];
                d[3] = planes == 4
                           ? static_cast<uint8_t>(255 - line[3 * static_cast<std::size_t>(bytesPerLine) + x])
                           : 0;
                continue;
            }
            int index = 0;
            for (int p = 0; p < planes; ++p) {
                const uint8_t* plane = line + static_cast<std::size_t>(p) * bytesPerLine;
                const int bit = x * bits;
                const int v = (plane[bit >> 3] >> (8 - bits - (bit & 7))) & ((1 << bits) - 1);
                index |= v << (p * bits);
            }
            d[0] = pal[index][2], d[1] = pal[index][1], d[2] = pal[index][0], d[3] = 0;
        }
    }
    return out;
}

// One line of one plane, run-length encoded: runs of up to 63 equal bytes,
// and single bytes of the two top bits set written as runs of one.
void PackLine(TByteWriter& out, const uint8_t* line, std::size_t n) {
    for (std::size_t i = 0; i < n;) {
        std::size_t run = 1;
        while (i + run < n && run < 63 && line[i + run] == line[i]) ++run;
        if (run > 1 || (line[i] & 0xC0) == 0xC0) out.U8(0xC0u | static_cast<unsigned>(run));
        out.U8(line[i]);
        i += run;
    }
}

// Version 5, three planes of 8 bits (red, green, blue), run-length
// encoded, 72 dpi. PCX keeps no transparency.
void Write(const std::string& path, const Bitmap& image, const SaveOptions&) {
    CheckWritableSize(image, 65535, "PCX");
    const int w = image.Width(), h = image.Height(), bpp = image.BytesPerPixel();
    const std::size_t bytesPerLine = (static_cast<std::size_t>(w) + 1) & ~std::size_t(1); // even
    TByteWriter out;
    out.U8(0x0A);
    out.U8(5);
    out.U8(1); // run-length encoded
    out.U8(8);
    out.Le16(0), out.Le16(0);
    out.Le16(static_cast<unsigned>(w - 1)), out.Le16(static_cast<unsigned>(h - 1));
    out.Le16(72), out.Le16(72);
    out.Zeros(48 + 1);
    out.U8(3);
    out.Le16(static_cast<unsigned>(bytesPerLine));
    out.Le16(1); // colour
    out.Zeros(128 - out.Size());
    std::vector<uint8_t> line(bytesPerLine, 0);
    for (int y = 0; y < h; ++y)
        for (int plane = 0; plane < 3; ++plane) {
            const uint8_t* s = image.Row(y) + (2 - plane);
            for (int x = 0; x < w; ++x, s += bpp) line[static_cast<std::size_t>(x)] = *s;
            PackLine(out, line.data(), bytesPerLine);
        }
    out.SaveAs(path);
}

} // namespace

} // namespace pixora::pcx

namespace pixora {

const TCodec kPcxCodec = {
    .Strength = TSniffStrength::Guess, .Sniff = pcx::Sniff,
    .Read = WithoutNotes<pcx::Read>, .Write = pcx::Write};

} // namespace pixora
