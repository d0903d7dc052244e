// The Photoshop picture put together from its layers.

#include "io/codecs/psd_layers.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/codecs/format_codecs.h"

namespace pixora::psd {

void UnpackRow(TByteReader& in, uint8_t* d, uint64_t rowBytes) {
    uint64_t x = 0;
    while (x < rowBytes && in.Left() > 0) {
        const int n = static_cast<int8_t>(in.U8());
        if (n == -128) continue;
        const uint64_t len = n >= 0 ? static_cast<uint64_t>(n) + 1 : static_cast<uint64_t>(1 - n);
        if (len > rowBytes - x) in.Fail("a row runs past the image width");
        if (n >= 0)
            std::memcpy(d + x, in.Take(len), static_cast<std::size_t>(len));
        else
            std::memset(d + x, in.U8(), static_cast<std::size_t>(len));
        x += len;
    }
    if (x != rowBytes) in.Fail("a row is cut short");
}

namespace {

struct TChannel {
    int Id;
    uint64_t Length;
};

struct TLayer {
    int32_t Top, Left, Bottom, Right;
    std::vector<TChannel> Channels;
    uint8_t Opacity = 255;
    bool Visible = true;
};

// One channel of a layer, `w` x `h` values scaled to 0..255 (16-bit data
// rounded), from the channel's data (compression first).
std::vector<uint8_t> ReadChannel(TByteReader& in, const TCanvas& c, uint32_t w, uint32_t h) {
    const uint16_t compression = in.Be16();
    const uint64_t rowBytes = static_cast<uint64_t>(w) * (c.Depth / 8);
    // Only as much as the channel's data can hold is taken: raw rows are
    // there in full, PackBits rows need their counts and 2 bytes per 128.
    const uint64_t size = rowBytes * h;
    if (compression == 0 && size > in.Left()) in.Short();
    if (compression == 1 && (static_cast<uint64_t>(h) * (c.Big ? 4 : 2) > in.Left() || size > in.Left() * 64))
        in.Short();
    std::vector<uint8_t> raw(static_cast<std::size_t>(compression <= 1 ? size : 0));
    if (compression == 0) {
        std::memcpy(raw.data(), in.Take(raw.size()), raw.size());
    } else if (compression == 1) {
        std::vector<uint32_t> counts(h);
        for (uint32_t& n : counts)
            n = c.Big ? in.Be32() : in.Be16();
        for (uint32_t y = 0; y < h; ++y) {
            TByteReader row(in.Take(counts[y]), counts[y], "PSD");
            UnpackRow(row, raw.data() + rowBytes * y, rowBytes);
        }
    } else {
        in.Fail("compressed layer data of this kind is not supported");
    }
    if (c.Depth == 8) return raw;
    std::vector<uint8_t> v(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<uint8_t>(((raw[2 * i] << 8 | raw[2 * i + 1]) * 255u + 32767u) / 65535u);
    return v;
}

} // namespace

bool ComposeLayers(TByteReader& r, const TCanvas& c, Bitmap& out) {
    if (c.Depth != 8 && c.Depth != 16) return false;
    const uint64_t infoLength = c.Big ? r.Be64() : r.Be32();
    if (infoLength < 2 || infoLength > r.Left()) return false;
    const std::size_t end = r.Pos() + static_cast<std::size_t>(infoLength);
    const int count = std::abs(static_cast<int16_t>(r.Be16()));
    std::vector<TLayer> layers(static_cast<std::size_t>(count));
    for (TLayer& l : layers) {
        l.Top = static_cast<int32_t>(r.Be32());
        l.Left = static_cast<int32_t>(r.Be32());
        l.Bottom = static_cast<int32_t>(r.Be32());
        l.Right = static_cast<int32_t>(r.Be32());
        const int channels = r.Be16();
        if (channels > 64) r.Fail("a layer has too many channels");
        for (int k = 0; k < channels; ++k) {
            const int id = static_cast<int16_t>(r.Be16());
            l.Channels.push_back({id, c.Big ? r.Be64() : r.Be32()});
        }
        if (std::memcmp(r.Take(4), "8BIM", 4) != 0) r.Fail("a layer record is damaged");
        r.Skip(4); // blend mode
        l.Opacity = r.U8();
        r.Skip(1);
        l.Visible = (r.U8() & 2) == 0;
        r.Skip(1);
        r.Skip(r.Be32()); // mask, blending ranges, name, additional information
        if (l.Bottom < l.Top || l.Right < l.Left) r.Fail("a layer has a negative size");
        if (static_cast<int64_t>(l.Bottom - l.Top) * (l.Right - l.Left) > MaxImagePixels)
            r.Fail("a layer is too large");
    }
    // A clear canvas: T = 255 everywhere.
    out = NewImage(static_cast<int>(c.Width), static_cast<int>(c.Height));
    out.Fill(0, 0, 0, 255);
    for (const TLayer& l : layers) {
        const auto w = static_cast<uint32_t>(l.Right - l.Left), h = static_cast<uint32_t>(l.Bottom - l.Top);
        std::vector<uint8_t> colour[3], alpha;
        for (const TChannel& ch : l.Channels) {
            if (ch.Length > r.Left()) r.Short();
            TByteReader in(r.Take(ch.Length), static_cast<std::size_t>(ch.Length), "PSD");
            if (w == 0 || h == 0 || ch.Id < -1 || ch.Id > 2) continue; // masks and extra channels
            auto values = ReadChannel(in, c, w, h);
            if (ch.Id == -1)
                alpha = std::move(values);
            else
                colour[ch.Id] = std::move(values);
        }
        if (!l.Visible || w == 0 || h == 0) continue;
        const int colours = c.Grey ? 1 : 3;
        for (int k = 0; k < colours; ++k)
            if (colour[k].empty()) r.Fail("a layer lacks a colour channel");
        for (uint32_t y = 0; y < h; ++y) {
            const int64_t cy = l.Top + static_cast<int64_t>(y);
            if (cy < 0 || cy >= c.Height) continue;
            for (uint32_t x = 0; x < w; ++x) {
                const int64_t cx = l.Left + static_cast<int64_t>(x);
                if (cx < 0 || cx >= c.Width) continue;
                const std::size_t i = static_cast<std::size_t>(y) * w + x;
                // The layer over what is below it.
                const double a = (alpha.empty() ? 255.0 : alpha[i]) * l.Opacity / (255.0 * 255.0);
                uint8_t* d = out.Row(static_cast<int>(cy)) + static_cast<std::size_t>(cx) * 4;
                const double below = (255 - d[3]) / 255.0 * (1.0 - a), total = a + below;
                if (total <= 0) continue;
                for (int k = 0; k < 3; ++k) {
                    const double v = (colour[c.Grey ? 0 : k][i] * a + d[2 - k] * below) / total;
                    d[2 - k] = static_cast<uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
                }
                d[3] = static_cast<uint8_t>(255 - std::clamp(total * 255.0 + 0.5, 0.0, 255.0));
            }
        }
    }
    r.Seek(end);
    return true;
}

} // namespace pixora::psd
