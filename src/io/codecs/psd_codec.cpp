// Photoshop documents (PSD and the large PSB): the merged composite that
// the file keeps beside its layers, in bitmap, grey, duotone, indexed, RGB,
// CMYK, multichannel and L*a*b* modes of 1, 8, 16 and 32 bits, raw,
// PackBits or deflate, with transparency where the file gives the
// composite one. Photoshop mattes a transparent composite against white;
// that is undone. The EXIF orientation is applied.

#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/byte_reader.h"
#include "io/codecs/colour_models.h"
#include "io/codecs/exif.h"
#include "io/codecs/byte_writer.h"
#include "io/codecs/format_codecs.h"
#include "io/codecs/psd_layers.h"

namespace pixora::psd {

namespace {

enum TMode {
    mBitmap = 0,
    mGrey = 1,
    mIndexed = 2,
    mRgb = 3,
    mCmyk = 4,
    mMultichannel = 7,
    mDuotone = 8,
    mLab = 9
};

struct TInfo {
    bool Big = false;
    int Channels = 0, Depth = 0, Mode = 0;
    uint32_t Width = 0, Height = 0;
    const uint8_t* Palette = nullptr; // 768 bytes: reds, greens, blues
    int TransparentIndex = -1;
    int Orientation = 1;
    bool NoMergedImage = false;
    bool MergedAlpha = false; // the first extra channel is the composite's transparency
};

void ReadResources(TByteReader& r, uint64_t length, TInfo& info) {
    const std::size_t end = r.Pos() + static_cast<std::size_t>(length);
    while (r.Pos() + 12 <= end) {
        if (std::memcmp(r.Take(4), "8BIM", 4) != 0) break;
        const uint16_t id = r.Be16();
        const uint8_t nameLength = r.U8();
        r.Skip(nameLength + (nameLength % 2 == 0 ? 1 : 0)); // the name, padded to even with its length byte
        const uint32_t size = r.Be32();
        if (size > end - r.Pos()) break;
        const uint8_t* data = r.Take(size);
        if (id == 0x0417 && size >= 2) info.TransparentIndex = data[0] << 8 | data[1];
        if (id == 0x0421 && size >= 5) info.NoMergedImage = data[4] == 0;
        if (id == 0x0422) info.Orientation = ExifOrientationOf(data, size);
        if (size & 1) r.Skip(std::min<std::size_t>(1, end - r.Pos()));
    }
    r.Seek(end);
}

// The merged image's channels, one plane after the other.
struct TPlanes {
    std::vector<uint8_t> Bytes;
    uint64_t PlaneBytes = 0;
    const uint8_t* operator[](int p) const { return Bytes.data() + PlaneBytes * static_cast<uint64_t>(p); }
};

// Decodes the merged image's channels: no more of them than the largest
// picture we accept takes, and only as much as the data can hold.
TPlanes ReadPlanes(TByteReader& r, const TInfo& info, int planes) {
    const uint64_t rowBytes = (static_cast<uint64_t>(info.Width) * info.Depth + 7) / 8;
    const uint64_t planeBytes = rowBytes * info.Height;
    const uint16_t compression = r.Be16();
    if (compression > 3) r.Fail("unknown compression " + std::to_string(compression));
    // Raw data is there in full; PackBits packs 128 bytes into 2 at best.
    const uint64_t need = planeBytes * static_cast<uint64_t>(planes);
    if (compression == 0 && need > r.Left()) r.Short();
    if (compression == 1 && need > static_cast<uint64_t>(r.Left()) * 64) r.Short();
    if (compression >= 2 && need > static_cast<uint64_t>(r.Left()) * 1100 + 65536) r.Short();
    if (need > static_cast<uint64_t>(MaxImageBytes))
        r.Fail("the channels would take more than " + std::to_string(MaxImageBytes >> 20) + " MiB");
    TPlanes out;
    out.PlaneBytes = planeBytes;
    if (compression == 0) {
        const uint8_t* raw = r.Take(need);
        out.Bytes.assign(raw, raw + need);
        return out;
    }
    out.Bytes.resize(static_cast<std::size_t>(need));
    if (compression == 1) {
        // Counts of every row of every channel (all of them, used or not).
        const uint64_t rows = static_cast<uint64_t>(info.Height) * info.Channels;
        if (rows * (info.Big ? 4 : 2) > r.Left()) r.Short();
        std::vector<uint32_t> counts(static_cast<std::size_t>(rows));
        for (uint32_t& c : counts)
            c = info.Big ? r.Be32() : r.Be16();
        for (int p = 0; p < planes; ++p)
            for (uint32_t y = 0; y < info.Height; ++y) {
                const uint32_t n = counts[static_cast<std::size_t>(p) * info.Height + y];
                TByteReader in(r.Take(n), n, "PSD");
                UnpackRow(in, out.Bytes.data() + planeBytes * static_cast<uint64_t>(p) + rowBytes * y,
                          rowBytes);
            }
        return out;
    }
    // One deflate stream of all channels, with or without row deltas.
    uLongf got = static_cast<uLongf>(out.Bytes.size());
    if (uncompress(out.Bytes.data(), &got, r.Data() + r.Pos(), static_cast<uLong>(r.Left())) != Z_OK ||
        got != out.Bytes.size())
        r.Fail("the compressed image data is damaged");
    if (compression == 3 && info.Depth == 32) r.Fail("predicted 32-bit data is not supported");
    for (int p = 0; p < planes && compression == 3; ++p) {
        uint8_t* d = out.Bytes.data() + planeBytes * static_cast<uint64_t>(p);
        if (info.Depth == 8)
            for (uint32_t y = 0; y < info.Height; ++y)
                for (uint64_t x = 1; x < rowBytes; ++x)
                    d[rowBytes * y + x] += d[rowBytes * y + x - 1];
        if (info.Depth == 16)
            for (uint32_t y = 0; y < info.Height; ++y) {
                uint8_t* row = d + rowBytes * y;
                for (uint64_t x = 2; x < rowBytes; x += 2) {
                    const unsigned v = ((row[x] << 8 | row[x + 1]) + (row[x - 2] << 8 | row[x - 1])) & 0xFFFF;
                    row[x] = static_cast<uint8_t>(v >> 8), row[x + 1] = static_cast<uint8_t>(v);
                }
            }
    }
    return out;
}

void ReleasePages(const uint8_t* p, std::size_t n) {
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(p) + n) & ~(page - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

// Value x of a plane, scaled to 16 bits.
uint16_t Sample(const uint8_t* plane, uint64_t rowStart, uint32_t x, int depth) {
    const uint8_t* p = plane + rowStart;
    switch (depth) {
    case 1:
        return (p[x >> 3] >> (7 - (x & 7)) & 1) ? 0 : 65535; // 1 is black
    case 8:
        return static_cast<uint16_t>(p[x] * 257u);
    case 16:
        return static_cast<uint16_t>(p[2 * x] << 8 | p[2 * x + 1]);
    default: {
        const uint8_t* q = p + 4 * static_cast<std::size_t>(x);
        const uint32_t bits = static_cast<uint32_t>(q[0]) << 24 | q[1] << 16 | q[2] << 8 | q[3];
        float f;
        std::memcpy(&f, &bits, 4);
        return UnitTo16(f);
    }
    }
}

TSniff Sniff(const TFileHead& h) {
    return h.Size >= 4 && std::memcmp(h.Data, "8BPS", 4) == 0 ? TSniff::Yes : TSniff::No;
}

Bitmap Read(const std::string& path) {
    const TMappedFile file(path);
    TByteReader r(file.Data(), file.Size(), "PSD");
    if (std::memcmp(r.Take(4), "8BPS", 4) != 0) r.Fail("not a Photoshop file");
    TInfo info;
    const uint16_t version = r.Be16();
    if (version != 1 && version != 2) r.Fail("unknown version " + std::to_string(version));
    info.Big = version == 2;
    r.Skip(6);
    info.Channels = r.Be16();
    info.Height = r.Be32();
    info.Width = r.Be32();
    info.Depth = r.Be16();
    info.Mode = r.Be16();
    CheckImageSize(info.Width, info.Height, "PSD");
    if (info.Channels < 1 || info.Channels > 99) r.Fail("invalid channel count");
    if (info.Depth != 1 && info.Depth != 8 && info.Depth != 16 && info.Depth != 32)
        r.Fail(std::to_string(info.Depth) + "-bit channels are not supported");
    int colours = 0;
    switch (info.Mode) {
    case mBitmap:
    case mGrey:
    case mDuotone:
    case mIndexed:
        colours = 1;
        break;
    case mRgb:
    case mLab:
        colours = 3;
        break;
    case mCmyk:
        colours = 4;
        break;
    // Multichannel: one or two channels show as grey, three or more as inks.
    case mMultichannel:
        colours = info.Channels < 3 ? 1 : std::min(info.Channels, 4);
        break;
    default:
        r.Fail("colour mode " + std::to_string(info.Mode) + " is not supported");
    }
    if ((info.Mode == mBitmap) != (info.Depth == 1)) r.Fail("bitmap mode needs 1-bit channels");
    if (info.Mode == mIndexed && info.Depth != 8) r.Fail("indexed images need 8-bit channels");
    if (info.Channels < colours) r.Fail("too few channels for the colour mode");
    const uint32_t modeData = r.Be32();
    const uint8_t* modeBytes = r.Take(modeData);
    if (info.Mode == mIndexed) {
        if (modeData < 768) r.Fail("the palette is missing");
        info.Palette = modeBytes;
    }
    ReadResources(r, r.Be32(), info);
    // Layers and masks: only whether the first extra channel is the
    // composite's transparency (a negative layer count says so).
    const uint64_t layersLength = info.Big ? r.Be64() : r.Be32();
    const std::size_t layersStart = r.Pos();
    const std::size_t layersEnd =
        r.Pos() + static_cast<std::size_t>(std::min<uint64_t>(layersLength, r.Left()));
    if (layersLength > r.Left()) r.Short();
    if (layersLength >= (info.Big ? 10u : 6u)) {
        const uint64_t layerInfo = info.Big ? r.Be64() : r.Be32();
        if (layerInfo >= 2) info.MergedAlpha = static_cast<int16_t>(r.Be16()) < 0;
    }
    r.Seek(layersEnd);
    if (info.NoMergedImage) {
        // Saved without a composite: the layers make the picture.
        TByteReader layers(file.Data(), layersEnd, "PSD");
        layers.Seek(layersStart);
        Bitmap out;
        const bool rgb = info.Mode == mRgb, grey = info.Mode == mGrey;
        if ((rgb || grey) &&
            ComposeLayers(layers, {info.Big, info.Width, info.Height, info.Depth, grey}, out))
            return info.Orientation != 1 ? ApplyExifOrientation(out, info.Orientation) : out;
        r.Fail("the file keeps no merged image (it was saved without maximised compatibility)");
    }
    // The layers (often as large as the composite) are not read: their
    // pages of the mapped file go back to the system.
    ReleasePages(file.Data() + layersStart, layersEnd - layersStart);
    const bool alpha = info.Channels > colours && info.MergedAlpha;
    const int planes = colours + (alpha ? 1 : 0);
    const auto data = ReadPlanes(r, info, planes);
    const uint64_t rowBytes = (static_cast<uint64_t>(info.Width) * info.Depth + 7) / 8;
    Bitmap out = NewImage(static_cast<int>(info.Width), static_cast<int>(info.Height), false);
    for (uint32_t y = 0; y < info.Height; ++y) {
        uint8_t* d = out.Row(static_cast<int>(y));
        const uint64_t at = rowBytes * y;
        for (uint32_t x = 0; x < info.Width; ++x, d += 4) {
            uint32_t s[4];
            for (int c = 0; c < colours; ++c)
                s[c] = Sample(data[c], at, x, info.Depth);
            uint32_t rgb[3];
            switch (info.Mode) {
            case mIndexed: {
                const int i = static_cast<int>(data[0][at + x]);
                for (int c = 0; c < 3; ++c)
                    rgb[c] = info.Palette[256 * c + i] * 257u;
                break;
            }
            case mRgb:
                rgb[0] = s[0], rgb[1] = s[1], rgb[2] = s[2];
                break;
            case mCmyk:
            case mMultichannel:
                if (colours >= 3) {
                    // Stored as what is left of the paper: 65535 - ink.
                    const uint32_t black = colours == 4 ? 65535u - s[3] : 0;
                    for (int c = 0; c < 3; ++c)
                        rgb[c] = InkToColour16(65535u - s[c], black);
                } else {
                    rgb[0] = rgb[1] = rgb[2] = s[0];
                }
                break;
            case mLab: {
                const double step = info.Depth == 8 ? 257.0 : 256.0;
                uint16_t v[3];
                LabToSrgb16(s[0] * (100.0 / 65535.0), s[1] / step - 128.0, s[2] / step - 128.0, v);
                rgb[0] = v[0], rgb[1] = v[1], rgb[2] = v[2];
                break;
            }
            default:
                rgb[0] = rgb[1] = rgb[2] = s[0];
                break;
            }
            uint32_t a = alpha ? Sample(data[colours], at, x, info.Depth) : 65535u;
            if (info.Mode == mIndexed && static_cast<int>(data[0][at + x]) == info.TransparentIndex) a = 0;
            if (alpha && a > 0 && a < 65535u)
                for (uint32_t& c : rgb) {
                    // Composite = colour * a + white * (1 - a).
                    const int64_t v =
                        (static_cast<int64_t>(c) - (65535 - static_cast<int64_t>(a))) * 65535 / a;
                    c = static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 65535));
                }
            d[0] = To8(rgb[2]), d[1] = To8(rgb[1]), d[2] = To8(rgb[0]);
            d[3] = static_cast<uint8_t>(255 - To8(a));
        }
    }
    if (info.Orientation != 1) return ApplyExifOrientation(out, info.Orientation);
    return out;
}

// One channel of the image, w x h bytes: 0..2 red, green, blue, 3 alpha
// (255 - T); `matte` lays colours over white as a merged composite stores
// a partly transparent pixel.
void PutChannel(TByteWriter& out, const Bitmap& image, int channel, bool matte) {
    static constexpr int kByte[3] = {2, 1, 0};
    const int bpp = image.BytesPerPixel();
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* s = image.Row(y);
        for (int x = 0; x < image.Width(); ++x, s += bpp) {
            const unsigned alpha = bpp == 4 ? 255u - s[3] : 255u;
            if (channel == 3)
                out.U8(alpha);
            else if (matte)
                out.U8((s[kByte[channel]] * alpha + 255u * (255u - alpha) + 127u) / 255u);
            else
                out.U8(s[kByte[channel]]);
        }
    }
}

// A flat 8-bit RGB file, uncompressed. A transparent image also gets one
// layer holding it, and a fourth channel of the merged image that the
// negative layer count marks as its transparency.
void Write(const std::string& path, const Bitmap& image, const SaveOptions&) {
    CheckWritableSize(image, 30000, "PSD");
    const uint32_t w = static_cast<uint32_t>(image.Width()), h = static_cast<uint32_t>(image.Height());
    const bool alpha = AnyTransparent(image);
    const int channels = alpha ? 4 : 3;
    const uint32_t plane = w * h;
    TByteWriter out;
    out.Text("8BPS");
    out.Be16(1);
    out.Zeros(6);
    out.Be16(static_cast<unsigned>(channels));
    out.Be32(h), out.Be32(w);
    out.Be16(8), out.Be16(3); // 8 bits, RGB
    out.Be32(0);              // no colour mode data
    out.Be32(0);              // no image resources
    if (!alpha) {
        out.Be32(0); // no layers
    } else {
        const char name[] = "\x05Image\0\0"; // a Pascal string padded to four bytes
        const uint32_t record = 16 + 2 + 4 * 6 + 4 + 4 + 4 + 4 + (4 + 4 + 8);
        const uint32_t data = 4 * (2 + plane);
        uint32_t info = 2 + record + data;
        info += info & 1;
        out.Be32(4 + info + 4); // layer and mask section
        out.Be32(info);
        out.Be16(0x10000u - 1); // -1: one layer, alpha of the merged image
        out.Be32(0), out.Be32(0), out.Be32(h), out.Be32(w);
        out.Be16(4);
        for (const int id : {-1, 0, 1, 2}) {
            out.Be16(static_cast<unsigned>(id) & 0xFFFFu);
            out.Be32(2 + plane);
        }
        out.Text("8BIMnorm");
        out.U8(255), out.U8(0), out.U8(0), out.U8(0); // opacity, clipping, flags (visible), filler
        out.Be32(4 + 4 + 8);
        out.Be32(0), out.Be32(0); // no mask, no blending ranges
        for (std::size_t i = 0; i < 8; ++i) out.U8(static_cast<unsigned char>(name[i]));
        for (const int c : {3, 0, 1, 2}) {
            out.Be16(0);
            PutChannel(out, image, c, false);
        }
        if ((2 + record + data) & 1) out.U8(0);
        out.Be32(0); // no global mask
    }
    out.Be16(0); // the merged image, uncompressed
    out.Bytes.reserve(out.Size() + static_cast<std::size_t>(plane) * static_cast<std::size_t>(channels));
    for (int c = 0; c < channels; ++c) PutChannel(out, image, c, alpha);
    out.SaveAs(path);
}

} // namespace

} // namespace pixora::psd

namespace pixora {

const TCodec kPsdCodec = {
    .Strength = TSniffStrength::Signature, .Sniff = psd::Sniff,
    .Read = WithoutNotes<psd::Read>, .Write = psd::Write};

} // namespace pixora
