#pragma once
// A second opinion on what a file holds: ImageMagick's own decoder, run as
// `convert FILE[0] -auto-orient` and read back as PAM. Tests that use it skip
// when the program is not installed.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "doc/bitmap.h"

namespace pixora::testing {

// The decoder program itself, not a wrapper that may stand first on PATH.
inline std::string ReferenceDecoderPath() {
    for (const char* p : {"/usr/bin/convert-im6.q16", "/usr/bin/convert-im6", "/usr/bin/magick"})
        if (access(p, X_OK) == 0) return p;
    return {};
}

// Pixels as the reference decodes them: 8 bits per channel, R G B A with
// A = 255 opaque. Empty when the reference refuses the file.
struct TReferenceImage {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgba;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline TReferenceImage DecodeWithReference(const std::string& program, const std::string& path) {
    TReferenceImage out;
    const std::string cmd =
        ShellQuote(program) + " " + ShellQuote(path + "[0]") + " -auto-orient -depth 8 pam:- 2>/dev/null";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        data.insert(data.end(), buf, buf + n);
    pclose(p);
    // PAM header: "P7\nWIDTH w\nHEIGHT h\nDEPTH d\nMAXVAL 255\nTUPLTYPE t\nENDHDR\n".
    const std::string text(
        data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(data.size(), 256)));
    const std::size_t end = text.find("ENDHDR\n");
    if (text.rfind("P7\n", 0) != 0 || end == std::string::npos) return out;
    auto field = [&](const char* name) {
        const std::size_t at = text.find(name);
        return at == std::string::npos || at > end ? -1
                                                   : std::atoi(text.c_str() + at + std::string(name).size());
    };
    const int w = field("WIDTH "), h = field("HEIGHT "), depth = field("DEPTH "), maxval = field("MAXVAL ");
    if (w <= 0 || h <= 0 || depth < 1 || depth > 4 || maxval != 255) return out;
    const std::size_t start = end + 7;
    if (data.size() < start + static_cast<std::size_t>(w) * h * depth) return out;
    out.Width = w;
    out.Height = h;
    out.Rgba.resize(static_cast<std::size_t>(w) * h * 4);
    const uint8_t* s = data.data() + start;
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i, s += depth) {
        uint8_t* d = out.Rgba.data() + 4 * i;
        const bool grey = depth <= 2;
        d[0] = s[0];
        d[1] = grey ? s[0] : s[1];
        d[2] = grey ? s[0] : s[2];
        d[3] = depth == 2 ? s[1] : depth == 4 ? s[3] : 255;
    }
    return out;
}

// How far a decoded bitmap (B, G, R, T) lies from the reference: the
// largest colour difference over the pixels the reference shows opaque, and
// the largest difference of alpha (255 - T) over all pixels.
struct TReferenceDiff {
    bool SameSize = false;
    int Colour = 0, Alpha = 0;
    int WorstX = -1, WorstY = -1;
};

inline TReferenceDiff CompareWithReference(const Bitmap& ours, const TReferenceImage& ref) {
    TReferenceDiff d;
    d.SameSize = ours.Width() == ref.Width && ours.Height() == ref.Height && ours.BitsPerPixel() == 32;
    if (!d.SameSize) return d;
    for (int y = 0; y < ref.Height; ++y) {
        const uint8_t* o = ours.Row(y);
        const uint8_t* r = ref.Rgba.data() + static_cast<std::size_t>(y) * ref.Width * 4;
        for (int x = 0; x < ref.Width; ++x, o += 4, r += 4) {
            const int alpha = std::abs((255 - o[3]) - r[3]);
            d.Alpha = std::max(d.Alpha, alpha);
            if (r[3] != 255) continue;
            const int c = std::max({std::abs(o[2] - r[0]), std::abs(o[1] - r[1]), std::abs(o[0] - r[2])});
            if (c > d.Colour) {
                d.Colour = c;
                d.WorstX = x;
                d.WorstY = y;
            }
        }
    }
    return d;
}

} // namespace pixora::testing
