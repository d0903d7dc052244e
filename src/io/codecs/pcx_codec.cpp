// ZSoft Paintbrush PCX: 1, 2, 3 or 4 planes of 1 bit (2 to 16 colours from
// the header palette), one plane of 2, 4 or 8 bits (the 8-bit palette at
// the end of the file), and 3 or 4 planes of 8 bits (RGB, RGBA). Plain or
// run-length encoded.

#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/reader_table.h"

namespace pixora::pcx {

namespace {

// The colours of CGA mode 4 (palette info of the header): green/red/brown
// or cyan/magenta/white, each dim or bright; entry 0 is the background.
void CgaPalette(const uint8_t* header, uint8_t (*pal)[3]) {
    static const uint8_t kEga[16][3] = {{0, 0, 0},       {0, 0, 170},     {0, 170, 0},     {0, 170, 170},
                                        {170, 0, 0},     {170, 0, 170},   {170, 85, 0},    {170, 170, 170},
                                        {85, 85, 85},    {85, 85, 255},   {85, 255, 85},   {85, 255, 255},
                                        {255, 85, 85},   {255, 85, 255},  {255, 255, 85},  {255, 255, 255}};
    const uint8_t background = header[16] >> 4, info = header[19];
    const bool bright = (info & 0x20) != 0 ? (info & 0x40) == 0 : (info & 0x80) != 0;
    const bool cyan = (info & 0x40) != 0 || (info & 0x20) == 0 ? (info & 0x40) != 0 : false;
    static const int kSets[2][3] = {{2, 4, 6}, {3, 5, 7}};
    std::memcpy(pal[0], kEga[background], 3);
    for (int i = 0; i < 3; ++i) std::memcpy(pal[i + 1], kEga[kSets[cyan][i] + (bright ? 8 : 0)], 3);
}

} // namespace

TSniff Sniff(const TFileHead& h) {
    if (h.Size < 128 || h.Data[0] != 0x0A || h.Data[1] > 5 || h.Data[2] > 1) return TSniff::No;
    const uint8_t bits = h.Data[3], planes = h.Data[65];
    if ((bits != 1 && bits != 2 && bits != 4 && bits != 8) || planes < 1 || planes > 4) return TSniff::No;
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
    const bool paletted = planes * bits <= 8 && planes <= 4 && (bits == 1 || planes == 1);
    const bool direct = bits == 8 && (planes == 3 || planes == 4);
    if (!paletted && !direct)
        r.Fail(std::to_string(planes) + " planes of " + std::to_string(bits) + " bits are not supported");
    if (encoding > 1) r.Fail("unknown encoding");
    if (static_cast<int64_t>(bytesPerLine) * 8 < static_cast<int64_t>(w) * bits || bytesPerLine == 0)
        r.Fail("the line length is too short for the width");
    const std::size_t lineBytes = static_cast<std::size_t>(bytesPerLine) * planes;
    // A run packs at most 63 bytes into two.
    const uint64_t total = static_cast<uint64_t>(lineBytes) * h;
    if (total > (encoding ? static_cast<uint64_t>(r.Left()) * 32 : r.Left())) r.Short();

    uint8_t pal[256][3] = {};
    const int colours = 1 << (planes * bits);
    if (paletted) {
        if (colours == 256) {
            // The 8-bit palette follows a 12 at the end of the file; without it, grey.
            const std::size_t at = file.Size() >= 769 ? file.Size() - 769 : 0;
            const bool found = at >= 128 && file.Data()[at] == 12;
            for (int i = 0; i < 256; ++i)
                for (int c = 0; c < 3; ++c)
                    pal[i][c] = found ? file.Data()[at + 1 + 3 * i + c] : static_cast<uint8_t>(i);
        } else if (colours == 2 && hd[1] != 5) {
            // Monochrome: black and white whatever the header palette holds.
            std::memset(pal[1], 255, 3);
        } else if (colours == 4 && planes == 1) {
            CgaPalette(hd, pal);
        } else {
            std::memcpy(pal, hd + 16, 48);
            if (colours == 2 && pal[0][0] == pal[1][0] && pal[0][1] == pal[1][1] && pal[0][2] == pal[1][2])
                std::memset(pal[1], 255, 3), std::memset(pal[0], 0, 3);
        }
    }
    std::vector<uint8_t> line(lineBytes);
    Bitmap out = NewImage(w, h, false);
    // Runs may cross lines: the data is one stream.
    int runLeft = 0;
    uint8_t runValue = 0;
    for (int y = 0; y < h; ++y) {
        if (encoding == 0) {
            std::memcpy(line.data(), r.Take(lineBytes), lineBytes);
        } else {
            for (std::size_t i = 0; i < lineBytes; ++i) {
                if (runLeft == 0) {
                    const uint8_t b = r.U8();
                    if ((b & 0xC0) == 0xC0) {
                        runLeft = b & 0x3F;
                        runValue = r.U8();
                    } else {
                        runLeft = 1;
                        runValue = b;
                    }
                    if (runLeft == 0) {
                        --i;
                        continue;
                    }
                }
                line[i] = runValue;
                --runLeft;
            }
        }
        uint8_t* d = out.Row(y);
        for (int x = 0; x < w; ++x, d += 4) {
            if (direct) {
                d[2] = line[x];
                d[1] = line[static_cast<std::size_t>(bytesPerLine) + x];
                d[0] = line[2 * static_cast<std::size_t>(bytesPerLine) + x];
                d[3] = planes == 4 ? static_cast<uint8_t>(255 - line[3 * static_cast<std::size_t>(bytesPerLine) + x]) : 0;
                continue;
            }
            int index = 0;
            for (int p = 0; p < planes; ++p) {
                const uint8_t* plane = line.data() + static_cast<std::size_t>(p) * bytesPerLine;
                const int bit = x * bits;
                const int v = (plane[bit >> 3] >> (8 - bits - (bit & 7))) & ((1 << bits) - 1);
                index |= v << (p * bits);
            }
            d[0] = pal[index][2], d[1] = pal[index][1], d[2] = pal[index][0], d[3] = 0;
        }
    }
    return out;
}

} // namespace pixora::pcx
