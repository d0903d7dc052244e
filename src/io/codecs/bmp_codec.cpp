// Windows BMP reader and writer.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "doc/file_layer.h"
#include "doc/row_ranges.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/median_cut.h"

namespace pixora::bmp {

namespace {

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5, kAlphaBitFields = 6 };

inline uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }
inline uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
inline int32_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

[[noreturn]] void Fail(const std::string& what) { throw ECodecError("BMP: " + what); }

// One colour channel described by a bit mask, scaled to 0..255.
struct TChannel {
    int Shift = 0;
    uint32_t Max = 0; // mask value shifted down; 0 when the channel is absent
    explicit TChannel(uint32_t mask = 0) {
        if (!mask) return;
        while (!(mask & 1)) mask >>= 1, ++Shift;
        Max = mask;
    }
    uint8_t Get(uint32_t v) const {
        if (!Max) return 0;
        const uint64_t c = (v >> Shift) & Max;
        return static_cast<uint8_t>((c * 255 + Max / 2) / Max);
    }
};

struct THeader {
    int64_t Width = 0, Height = 0;
    bool TopDown = false;
    int Bits = 0;
    uint32_t Compression = kRgb;
    uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    bool HasMasks = false;
    // 32-bit pixels carry alpha: the header declares an alpha mask (a V4 or
    // V5 header, or bit fields with alpha). Plain 32-bit files, the history
    // snapshots among them, keep their fourth byte as it is.
    bool Alpha = false;
    uint32_t Palette[256] = {};       // B, G, R, 0 as stored in a 32-bit pixel
    int Colours = 0;                  // entries of the palette the file holds
};

[[noreturn]] void FailIndex(int index, int colours) {
    Fail("a pixel uses colour " + std::to_string(index) + " of a palette of " + std::to_string(colours));
}

// Walks RLE8 / RLE4 data, rows bottom-up, calling put(x, y, index) for
// every pixel it codes inside the picture; returns the row the stream ends
// in (h once every row is done).
template <class Put> int WalkRle(const uint8_t* p, const uint8_t* end, bool four, int w, int h, Put&& emit) {
    int x = 0, y = 0;
    auto put = [&](uint8_t v) {
        if (x < w && y < h) emit(x, y, v);
        ++x;
    };
    while (y < h) {
        if (end - p < 2) Fail("RLE data ends early");
        const uint8_t count = p[0], value = p[1];
        p += 2;
        if (count) {
            for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return y;
        } else if (value == 2) { // delta
            if (end - p < 2) Fail("RLE data ends early");
            x += p[0];
            y += p[1];
            p += 2;
        } else { // absolute run of `value` pixels, padded to 16 bits
            const std::size_t bytes = four ? (value + 1u) / 2 : value;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (static_cast<std::size_t>(end - p) < bytes) Fail("RLE data ends early");
            for (int i = 0; i < value; ++i) put(four ? ((i & 1) ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            p += std::min(padded, static_cast<std::size_t>(end - p));
        }
    }
    return y;
}

// One row of 24-bit file pixels into B, G, R, 0. Four bytes are loaded per
// pixel and the fourth cleared; the last pixel copies its three alone, so
// nothing past the row is read.
void Row24To32(const uint8_t* s, uint8_t* d, int w) {
    int x = 0;
    for (; x + 1 < w; ++x) {
        uint32_t v;
        std::memcpy(&v, s + 3 * static_cast<std::size_t>(x), 4);
        v &= 0x00FFFFFFu;
        std::memcpy(d + 4 * static_cast<std::size_t>(x), &v, 4);
    }
    const uint8_t* sl = s + 3 * static_cast<std::size_t>(x);
    uint8_t* dl = d + 4 * static_cast<std::size_t>(x);
    dl[0] = sl[0];
    dl[1] = sl[1];
    dl[2] = sl[2];
    dl[3] = 0;
}

// A palette shorter than the bit count allows: every pixel must name one
// of its colours.
void CheckIndices(const THeader& hd, const uint8_t* bits, std::size_t stride, int w, int h) {
    const int per = 8 / hd.Bits, mask = (1 << hd.Bits) - 1;
    for (int r = 0; r < h; ++r) {
        const uint8_t* s = bits + stride * static_cast<std::size_t>(r);
        for (int x = 0; x < w; ++x) {
            const int v = hd.Bits == 8 ? s[x] : (s[x / per] >> (8 - hd.Bits * (x % per + 1))) & mask;
            if (v >= hd.Colours) FailIndex(v, hd.Colours);
        }
    }
}

THeader ParseHeader(const uint8_t* data, std::size_t size, std::size_t& paletteEnd) {
    THeader hd;
    if (size < 26 || data[0] != 'B' || data[1] != 'M') Fail("not a BMP file");
    const uint32_t hsize = U32(data + 14);
    const uint8_t* h = data + 14;
    if (hsize < 12 || hsize > 0x10000 || 14 + static_cast<std::size_t>(hsize) > size) Fail("bad header size");
    int paletteEntryBytes = 4;
    if (hsize == 12) { // OS/2 core header
        hd.Width = U16(h + 4);
        hd.Height = U16(h + 6);
        if (U16(h + 8) != 1) Fail("bad plane count");
        hd.Bits = static_cast<int>(U16(h + 10));
        paletteEntryBytes = 3;
    } else {
        if (hsize < 16) Fail("bad header size");
        // Short OS/2 2.x headers leave the later fields zero.
        uint8_t full[124] = {};
        std::memcpy(full, h, std::min<std::size_t>(hsize, sizeof full));
        hd.Width = S32(full + 4);
        hd.Height = S32(full + 8);
        if (U16(full + 12) != 1) Fail("bad plane count");
        hd.Bits = static_cast<int>(U16(full + 14));
        hd.Compression = U32(full + 16);
        if (hd.Height < 0) {
            hd.TopDown = true;
            hd.Height = -hd.Height;
        }
        if (hsize >= 52) {
            for (int i = 0; i < 3; ++i) hd.Masks[i] = U32(full + 40 + 4 * i);
            if (hsize >= 56) hd.Masks[3] = U32(full + 52);
        } else if (hd.Compression == kBitFields || hd.Compression == kAlphaBitFields) {
            // Masks follow a 40-byte header.
            const int n = hd.Compression == kAlphaBitFields ? 4 : 3;
            if (14 + hsize + 4u * n > size) Fail("file is truncated");
            for (int i = 0; i < n; ++i) hd.Masks[i] = U32(h + hsize + 4 * i);
            paletteEnd = 4u * n; // skipped before the palette
        }
        hd.HasMasks = hd.Compression == kBitFields || hd.Compression == kAlphaBitFields;
        hd.Alpha = hd.Bits == 32 && hd.Masks[3] != 0 && (hd.HasMasks || hsize >= 56);
    }
    if (hd.Compression == kJpeg || hd.Compression == kPng) Fail("embedded JPEG or PNG data is not supported");
    switch (hd.Bits) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: Fail("unsupported bit count " + std::to_string(hd.Bits));
    }
    if (hd.Compression > kAlphaBitFields) Fail("unknown compression " + std::to_string(hd.Compression));
    if ((hd.Compression == kRle8 && hd.Bits != 8) || (hd.Compression == kRle4 && hd.Bits != 4)) Fail("bad compression for bit count");
    if (hd.HasMasks && hd.Bits != 16 && hd.Bits != 32) Fail("bit fields need 16 or 32 bits");
    if ((hd.Compression == kRle8 || hd.Compression == kRle4) && hd.TopDown) Fail("compressed files cannot be top-down");
    CheckImageSize(hd.Width, hd.Height, "BMP");

    // Palette: clrUsed entries (0 = all the bit count allows).
    std::size_t pos = 14 + hsize + paletteEnd;
    if (hd.Bits <= 8) {
        const uint32_t clrUsed = hsize >= 36 ? U32(h + 32) : 0;
        std::size_t count = clrUsed ? clrUsed : (1u << hd.Bits);
        count = std::min<std::size_t>(count, 1u << hd.Bits);
        // A pixel offset inside the palette marks a shorter one (usual for
        // core headers, which have no colour count).
        const std::size_t offset = U32(data + 10);
        if (offset > pos && offset < pos + count * paletteEntryBytes) count = (offset - pos) / paletteEntryBytes;
        if (pos + count * paletteEntryBytes > size) Fail("palette runs past the end of the file");
        hd.Colours = static_cast<int>(count);
        for (std::size_t i = 0; i < count; ++i) {
            const uint8_t* e = data + pos + i * paletteEntryBytes;
            hd.Palette[i] = static_cast<uint32_t>(e[0]) | static_cast<uint32_t>(e[1]) << 8 | static_cast<uint32_t>(e[2]) << 16;
        }
        pos += count * paletteEntryBytes;
    }
    paletteEnd = pos;
    return hd;
}

// 32-bit pixels laid out as B, G, R and a fourth byte (alpha or not), which
// are copied whole.
bool PlainLayout32(const THeader& hd) {
    if (hd.Bits != 32) return false;
    if (!hd.HasMasks) return true;
    return hd.Masks[0] == 0xFF0000 && hd.Masks[1] == 0xFF00 && hd.Masks[2] == 0xFF &&
           (!hd.Alpha || hd.Masks[3] == 0xFF000000u);
}

// Alpha in the fourth byte of copied rows becomes transparency.
void AlphaToTransparency(uint8_t* row, int width) {
    for (int x = 0; x < width; ++x) row[4 * x + 3] = static_cast<uint8_t>(255 - row[4 * x + 3]);
}

} // namespace

Bitmap ReadMemory(const uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    THeader hd = ParseHeader(data, size, pos);
    const int w = static_cast<int>(hd.Width), h = static_cast<int>(hd.Height);
    std::size_t offset = U32(data + 10);
    if (offset < pos || offset >= size) offset = pos; // a bad offset: assume the data follows the palette
    const uint8_t* bits = data + offset;
    const std::size_t avail = size - offset;
    const std::size_t stride = ((static_cast<std::size_t>(w) * static_cast<std::size_t>(hd.Bits) + 31) / 32) * 4;

    const bool rle = hd.Compression == kRle8 || hd.Compression == kRle4;
    if (!rle && stride * static_cast<std::size_t>(h) > avail) Fail("file is truncated");

    if (!rle && hd.Bits <= 8 && hd.Colours < (1 << hd.Bits)) CheckIndices(hd, bits, stride, w, h);

    if (rle) {
        // Pixels the stream skips take colour 0. A stream that ends before
        // its last row is a cut-short file (or a few bytes posing as a huge
        // picture): it is refused before the picture's memory is taken.
        const bool four = hd.Compression == kRle4;
        if (hd.Colours == 0) Fail("the palette is empty");
        const int reached = WalkRle(bits, bits + avail, four, w, h, [&](int, int, uint8_t v) {
            if (v >= hd.Colours) FailIndex(v, hd.Colours);
        });
        if (reached < h - 1)
            Fail("the RLE data ends in row " + std::to_string(reached + 1) + " of " + std::to_string(h));
        Bitmap out = NewImage(w, h, false);
        for (int r = 0; r < h; ++r)
            std::fill_n(reinterpret_cast<uint32_t*>(out.Row(r)), w, hd.Palette[0]);
        WalkRle(bits, bits + avail, four, w, h, [&](int x, int y, uint8_t v) {
            reinterpret_cast<uint32_t*>(out.Row(h - 1 - y))[x] = hd.Palette[v];
        });
        return out;
    }

    // Every path below writes every byte of every row.
    Bitmap out = NewImage(w, h, false);
    auto destRow = [&](int fileRow) { return out.Row(hd.TopDown ? fileRow : h - 1 - fileRow); };

    // The rows are independent: large images are done on two threads.
    const std::size_t work = stride * static_cast<std::size_t>(h) + out.ByteSize();
    if (hd.Bits <= 8) {
        const int per = 8 / hd.Bits, mask = (1 << hd.Bits) - 1;
        ForRowRanges(h, work, [&](int r0, int r1) {
            for (int r = r0; r < r1; ++r) {
                const uint8_t* s = bits + stride * static_cast<std::size_t>(r);
                uint32_t* d = reinterpret_cast<uint32_t*>(destRow(r));
                if (hd.Bits == 8) {
                    for (int x = 0; x < w; ++x) d[x] = hd.Palette[s[x]];
                } else {
                    for (int x = 0; x < w; ++x) {
                        const int shift = 8 - hd.Bits * (x % per + 1);
                        d[x] = hd.Palette[(s[x / per] >> shift) & mask];
                    }
                }
            }
        });
    } else if (hd.Bits == 16) {
        if (!hd.HasMasks) hd.Masks[0] = 0x7C00, hd.Masks[1] = 0x3E0, hd.Masks[2] = 0x1F;
        // Every 16-bit value maps through one table.
        const TChannel red(hd.Masks[0] & 0xFFFF), green(hd.Masks[1] & 0xFFFF), blue(hd.Masks[2] & 0xFFFF);
        std::vector<uint32_t> lut(65536);
        for (uint32_t v = 0; v < 65536; ++v)
            lut[v] = blue.Get(v) | static_cast<uint32_t>(green.Get(v)) << 8 | static_cast<uint32_t>(red.Get(v)) << 16;
        ForRowRanges(h, work, [&](int r0, int r1) {
            for (int r = r0; r < r1; ++r) {
                const uint8_t* s = bits + stride * static_cast<std::size_t>(r);
                uint32_t* d = reinterpret_cast<uint32_t*>(destRow(r));
                for (int x = 0; x < w; ++x) d[x] = lut[U16(s + 2 * x)];
            }
        });
    } else if (hd.Bits == 24) {
        ForRowRanges(h, work, [&](int r0, int r1) {
            for (int r = r0; r < r1; ++r) {
                Row24To32(bits + stride * static_cast<std::size_t>(r), destRow(r), w);
            }
        });
    } else { // 32 bits
        const bool plain = PlainLayout32(hd);
        const TChannel red(hd.Masks[0]), green(hd.Masks[1]), blue(hd.Masks[2]), alpha(hd.Alpha ? hd.Masks[3] : 0);
        ForRowRanges(h, work, [&](int r0, int r1) {
            for (int r = r0; r < r1; ++r) {
                const uint8_t* s = bits + stride * static_cast<std::size_t>(r);
                uint8_t* d = destRow(r);
                if (plain) {
                    // B, G, R and the fourth byte as stored; alpha becomes transparency.
                    std::memcpy(d, s, stride);
                    if (hd.Alpha) AlphaToTransparency(d, w);
                    continue;
                }
                for (int x = 0; x < w; ++x, s += 4, d += 4) {
                    const uint32_t v = U32(s);
                    d[0] = blue.Get(v);
                    d[1] = green.Get(v);
                    d[2] = red.Get(v);
                    d[3] = hd.Alpha ? static_cast<uint8_t>(255 - alpha.Get(v)) : 0;
                }
            }
        });
    }
    return out;
}

namespace {

// Reads exactly `size` bytes at `offset`, or fails as a truncated file.
void ReadAt(int fd, void* into, std::size_t size, std::size_t offset) {
    auto* p = static_cast<uint8_t*>(into);
    while (size > 0) {
        const ssize_t n = pread(fd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail(std::string("cannot read the file: ") + std::strerror(errno));
        if (n == 0) Fail("file is truncated");
        p += n;
        offset += static_cast<std::size_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

struct TFd {
    int Fd = -1;
    ~TFd() {
        if (Fd >= 0) close(Fd);
    }
};

// The common uncompressed 24- and 32-bit files are read with plain reads
// straight into the image (32 bits) or through a small buffer that stays in
// the cache (24 bits), which costs less than mapping the file. Returns false
// for every other kind, which the mapped reader handles.
bool ReadPlain(int fd, std::size_t fileSize, Bitmap& out) {
    // Room for the largest header, bit masks and palette we accept.
    std::vector<uint8_t> head(std::min<std::size_t>(fileSize, 14 + 0x10000 + 16 + 1024));
    ReadAt(fd, head.data(), head.size(), 0);
    std::size_t pos = 0;
    THeader hd;
    try {
        hd = ParseHeader(head.data(), head.size(), pos);
    } catch (const ECodecError&) {
        return false;  // the mapped reader gives the reason
    }
    const bool plain32 = PlainLayout32(hd);
    if (hd.Compression != kRgb && hd.Compression != kBitFields && hd.Compression != kAlphaBitFields) return false;
    if (hd.Bits != 24 && !plain32) return false;
    const std::size_t offset = U32(head.data() + 10);
    if (offset < pos || offset >= fileSize) return false;
    const int w = static_cast<int>(hd.Width), h = static_cast<int>(hd.Height);
    const std::size_t stride = ((static_cast<std::size_t>(w) * static_cast<std::size_t>(hd.Bits) + 31) / 32) * 4;
    if (stride * static_cast<std::size_t>(h) > fileSize - offset) Fail("file is truncated");
    out = NewImage(w, h, false);
    auto destRow = [&](int fileRow) { return out.Row(hd.TopDown ? fileRow : h - 1 - fileRow); };
    if (plain32) {
        // B, G, R and the fourth byte exactly as stored, row by row into place.
        for (int r0 = 0; r0 < h;) {
            iovec v[IOV_MAX];
            int n = 0;
            for (int r = r0; r < h && n < IOV_MAX; ++r, ++n) v[n] = {destRow(r), stride};
            std::size_t want = stride * static_cast<std::size_t>(n), at = offset + stride * static_cast<std::size_t>(r0);
            const ssize_t got = preadv(fd, v, n, static_cast<off_t>(at));
            if (got < 0 && errno != EINTR) Fail(std::string("cannot read the file: ") + std::strerror(errno));
            if (got != static_cast<ssize_t>(want)) {
                // Rare short read: finish these rows one by one.
                for (int i = 0; i < n; ++i) ReadAt(fd, v[i].iov_base, stride, at + stride * static_cast<std::size_t>(i));
            }
            r0 += n;
        }
        if (hd.Alpha)
            ForRowRanges(h, out.ByteSize(), [&](int r0, int r1) {
                for (int r = r0; r < r1; ++r) AlphaToTransparency(out.Row(r), w);
            });
        return true;
    }
    const int band = static_cast<int>(std::max<std::size_t>(1, (std::size_t(1) << 20) / stride));
    std::vector<uint8_t> buf(stride * static_cast<std::size_t>(band));
    for (int r0 = 0; r0 < h; r0 += band) {
        const int rows = std::min(band, h - r0);
        ReadAt(fd, buf.data(), stride * static_cast<std::size_t>(rows), offset + stride * static_cast<std::size_t>(r0));
        ForRowRanges(rows, stride * static_cast<std::size_t>(rows) * 2, [&](int i0, int i1) {
            for (int i = i0; i < i1; ++i) Row24To32(buf.data() + stride * static_cast<std::size_t>(i), destRow(r0 + i), w);
        });
    }
    return true;
}

} // namespace

Bitmap Read(const std::string& path) {
    {
        TFd f;
        f.Fd = FileLayer().Open(path, O_RDONLY, 0);
        if (f.Fd < 0) throw ECodecError("Cannot open " + path + ": " + std::strerror(errno));
        struct stat st {};
        if (fstat(f.Fd, &st) != 0 || !S_ISREG(st.st_mode)) throw ECodecError("Not a readable file: " + path);
        Bitmap out;
        if (ReadPlain(f.Fd, static_cast<std::size_t>(st.st_size), out)) return out;
    }
    const TMappedFile file(path);
    return ReadMemory(file.Data(), file.Size());
}

namespace {

inline void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

} // namespace

std::vector<uint8_t> FileHead(int width, int height, int bits, const std::vector<uint32_t>& palette) {
    const std::size_t stride = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
    const std::size_t offset = 14 + 40 + palette.size() * 4;
    const uint64_t fileSize = offset + static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    std::vector<uint8_t> head(offset, 0);
    head[0] = 'B';
    head[1] = 'M';
    Put32(&head[2], static_cast<uint32_t>(fileSize));
    Put32(&head[10], static_cast<uint32_t>(offset));
    Put32(&head[14], 40);
    Put32(&head[18], static_cast<uint32_t>(width));
    Put32(&head[22], static_cast<uint32_t>(height)); // bottom-up
    Put16(&head[26], 1);
    Put16(&head[28], static_cast<uint32_t>(bits));
    Put32(&head[34], static_cast<uint32_t>(stride * static_cast<std::size_t>(height)));
    Put32(&head[38], 2835); // 72 dpi
    Put32(&head[42], 2835);
    if (!palette.empty()) {
        Put32(&head[46], static_cast<uint32_t>(palette.size()));
        for (std::size_t i = 0; i < palette.size(); ++i) Put32(&head[54 + 4 * i], palette[i]);
    }
    return head;
}

namespace {

// A BITMAPV5HEADER file head for 32-bit pixels with bit fields: B, G, R
// and alpha in the fourth byte, sRGB.
std::vector<uint8_t> AlphaFileHead(int width, int height) {
    constexpr std::size_t kOffset = 14 + 124;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    std::vector<uint8_t> head(kOffset, 0);
    head[0] = 'B';
    head[1] = 'M';
    Put32(&head[2], static_cast<uint32_t>(kOffset + stride * static_cast<std::size_t>(height)));
    Put32(&head[10], static_cast<uint32_t>(kOffset));
    uint8_t* h = &head[14];
    Put32(h, 124);
    Put32(h + 4, static_cast<uint32_t>(width));
    Put32(h + 8, static_cast<uint32_t>(height)); // bottom-up
    Put16(h + 12, 1);
    Put16(h + 14, 32);
    Put32(h + 16, kBitFields);
    Put32(h + 20, static_cast<uint32_t>(stride * static_cast<std::size_t>(height)));
    Put32(h + 24, 2835); // 72 dpi
    Put32(h + 28, 2835);
    Put32(h + 40, 0x00FF0000); // red
    Put32(h + 44, 0x0000FF00); // green
    Put32(h + 48, 0x000000FF); // blue
    Put32(h + 52, 0xFF000000); // alpha
    Put32(h + 56, 0x73524742); // 'sRGB'
    Put32(h + 108, 4);         // rendering intent: pictures
    return head;
}

} // namespace

void Write(const std::string& path, const Bitmap& image, int bits) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) throw ECodecError("BMP: cannot write " + std::to_string(bits) + " bits per pixel");
    if (image.Empty()) throw ECodecError("BMP: the image is empty");
    const int w = image.Width(), h = image.Height(), srcBpp = image.BytesPerPixel();
    const std::size_t stride = ((static_cast<std::size_t>(w) * static_cast<std::size_t>(bits) + 31) / 32) * 4;

    TIndexedImage indexed;
    if (bits == 8) indexed = ReduceColours(image, 256);
    const std::size_t paletteBytes = bits == 8 ? indexed.Palette.size() * 4 : 0;
    const std::size_t offset = (bits == 32 ? 14 + 124 : 14 + 40) + paletteBytes;
    const uint64_t fileSize = offset + static_cast<uint64_t>(stride) * static_cast<uint64_t>(h);
    if (fileSize > 0xFFFFFFFFull) throw ECodecError("BMP: the image is too large for a BMP file");

    const std::vector<uint8_t> head = bits == 32 ? AlphaFileHead(w, h) : FileHead(w, h, bits, indexed.Palette);
    TRawWriter out(path);
    out.Write(head.data(), head.size());

    {
        // Convert a band of rows at a time into one buffer.
        const int band = static_cast<int>(std::max<std::size_t>(1, (std::size_t(4) << 20) / stride));
        std::vector<uint8_t> buf(stride * static_cast<std::size_t>(band), 0);
        for (int y0 = h - 1; y0 >= 0; y0 -= band) {
            const int rows = std::min(band, y0 + 1);
            // Rows of a band are independent: two threads for a large one.
            ForRowRanges(rows, stride * static_cast<std::size_t>(rows) * 2, [&](int i0, int i1) {
                for (int i = i0; i < i1; ++i) {
                    const int y = y0 - i;
                    const uint8_t* s = image.Row(y);
                    uint8_t* d = buf.data() + stride * static_cast<std::size_t>(i);
                    switch (bits) {
                    case 8:
                        std::memcpy(d, indexed.Indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w), static_cast<std::size_t>(w));
                        break;
                    case 16:
                        for (int x = 0; x < w; ++x, s += srcBpp)
                            Put16(d + 2 * x, static_cast<uint32_t>(s[2] >> 3) << 10 | static_cast<uint32_t>(s[1] >> 3) << 5 | (s[0] >> 3));
                        break;
                    case 24:
                        if (srcBpp == 4 && w > 1) {
                            // Four bytes stored per pixel, the next pixel
                            // overwriting the fourth; the last one alone.
                            for (int x = 0; x + 1 < w; ++x)
                                std::memcpy(d + 3 * static_cast<std::size_t>(x), s + 4 * static_cast<std::size_t>(x), 4);
                            std::memcpy(d + 3 * static_cast<std::size_t>(w - 1), s + 4 * static_cast<std::size_t>(w - 1), 3);
                        } else {
                            for (int x = 0; x < w; ++x, s += srcBpp, d += 3) {
                                d[0] = s[0];
                                d[1] = s[1];
                                d[2] = s[2];
                            }
                        }
                        break;
                    case 32: // alpha = 255 - T (a 24-bit source is opaque)
                        if (srcBpp == 4) {
                            std::memcpy(d, s, stride);
                            AlphaToTransparency(d, w); // the same turn both ways
                        } else {
                            for (int x = 0; x < w; ++x, s += srcBpp, d += 4) {
                                d[0] = s[0];
                                d[1] = s[1];
                                d[2] = s[2];
                                d[3] = 255;
                            }
                        }
                        break;
                    }
                }
            });
            out.Write(buf.data(), stride * static_cast<std::size_t>(rows));
        }
    }
    out.Close();
}

namespace {

TSniff Sniff(const TFileHead& h) {
    return h.Size >= 2 && std::memcmp(h.Data, "BM", 2) == 0 ? TSniff::Yes : TSniff::No;
}

void WriteWithOptions(const std::string& path, const Bitmap& image, const SaveOptions& opts) {
    Write(path, image, opts.BmpBits);
}

} // namespace

} // namespace pixora::bmp

namespace pixora {

const TCodec kBmpCodec = {.Strength = TSniffStrength::Signature,
                          .Sniff = bmp::Sniff,
                          .Read = WithoutNotes<bmp::Read>,
                          .Write = bmp::WriteWithOptions};

} // namespace pixora
