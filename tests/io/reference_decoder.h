#pragma once
// A second opinion on what a file holds: ImageMagick's own decoder, run as
// `convert FILE[0] -auto-orient` and read back as PAM. Tests that use it skip
// when the program is not installed.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// Output of a command, all of it.
inline std::vector<uint8_t> RunForOutput(const std::string& cmd) {
    std::vector<uint8_t> data;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return data;
    uint8_t buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        data.insert(data.end(), buf, buf + n);
    pclose(p);
    return data;
}

// The frame of the picture a reader shows: the first, or for files that
// hold one picture at several sizes (icons, Photo-CD), the largest; and
// whether the reference keeps it in a colour space other than RGB.
struct TReferenceFrame {
    int Index = 0;
    bool Convert = false;
};

inline TReferenceFrame ChooseReferenceFrame(const std::string& program, const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Photo-CD: the reference reads the base size by default, and its
    // frame numbers choose among the smaller ones.
    if (ext == ".pcd") return {-1, true};
    TReferenceFrame best;
    if (ext == ".ico" || ext == ".cur") {
        // The reference keeps the directory's order: the largest entry, of
        // equal ones the one of most bits per pixel, is shown.
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const int count = d.size() >= 6 ? d[4] | d[5] << 8 : 0;
        long bestArea = -1;
        int bestBits = -1;
        for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(d.size()); ++i) {
            const uint8_t* e = d.data() + 6 + 16 * i;
            const long area = static_cast<long>(e[0] ? e[0] : 256) * (e[1] ? e[1] : 256);
            const int bits = d[2] == 1 ? e[6] | e[7] << 8 : 0;
            if (area > bestArea || (area == bestArea && bits > bestBits)) {
                bestArea = area;
                bestBits = bits;
                best.Index = i;
            }
        }
        return best;
    }
    // Only these formats hold inks or L*a*b*.
    if (ext != ".psd" && ext != ".psb" && ext != ".tif" && ext != ".tiff") return best;
    const auto text = RunForOutput(ShellQuote(program) + " " + ShellQuote(path + "[0]") +
                                   " -format '%[colorspace]' info: 2>/dev/null");
    const std::string space(text.begin(), text.end());
    best.Convert = space == "CMYK" || space == "LAB" || space == "CIELab";
    return best;
}

inline TReferenceImage DecodeWithReference(const std::string& program, const std::string& path) {
    TReferenceImage out;
    const TReferenceFrame f = ChooseReferenceFrame(program, path);
    std::string frame;
    if (f.Index >= 0) {
        frame = "[";
        frame += std::to_string(f.Index);
        frame += ']';
    }
    const std::string cmd = ShellQuote(program) + " " + ShellQuote(path + frame) + " -auto-orient" +
                            (f.Convert ? " -colorspace sRGB" : "") + " -depth 8 pam:- 2>/dev/null";
    const std::vector<uint8_t> data = RunForOutput(cmd);
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
