#pragma once
// ICC profiles put into and taken out of JPEG, PNG and WebP files byte by
// byte, and Little CMS's own conversion of pixels to sRGB, for the tests
// of colours read through embedded profiles.

#include <lcms2.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "crafted_files.h"
#include "doc/bitmap.h"

namespace pixora::testing {

inline bool IsIccSegment(const Bytes& f, std::size_t at) {
    return f[at + 1] == 0xE2 && at + 18 <= f.size() && std::memcmp(&f[at + 4], "ICC_PROFILE\0", 12) == 0;
}

// Takes the ICC_PROFILE segments out of a JPEG and returns their profile,
// its chunks joined by their sequence numbers (empty when there is none).
inline Bytes TakeJpegProfile(Bytes& jpeg) {
    std::map<int, Bytes> chunks;
    Bytes rest(jpeg.begin(), jpeg.begin() + 2);
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (IsIccSegment(jpeg, at))
            chunks[jpeg[at + 16]].assign(jpeg.begin() + static_cast<long>(at + 18),
                                         jpeg.begin() + static_cast<long>(at + 2 + length));
        else
            rest.insert(rest.end(), jpeg.begin() + static_cast<long>(at),
                        jpeg.begin() + static_cast<long>(at + 2 + length));
        at += 2 + length;
    }
    rest.insert(rest.end(), jpeg.begin() + static_cast<long>(at), jpeg.end());
    jpeg = rest;
    Bytes icc;
    for (const auto& [seq, chunk] : chunks)
        icc.insert(icc.end(), chunk.begin(), chunk.end());
    return icc;
}

// A JPEG with `icc` in ICC_PROFILE segments of at most `chunk` bytes after its SOI.
inline Bytes TagJpeg(const Bytes& jpeg, const Bytes& icc, std::size_t chunk = 65519) {
    Bytes f(jpeg.begin(), jpeg.begin() + 2);
    const std::size_t count = (icc.size() + chunk - 1) / chunk;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t n = std::min(chunk, icc.size() - i * chunk);
        const std::size_t length = n + 16;
        f.insert(f.end(), {0xFF, 0xE2, uint8_t(length >> 8), uint8_t(length)});
        const char* tag = "ICC_PROFILE";
        f.insert(f.end(), tag, tag + 12);
        f.insert(f.end(), {uint8_t(i + 1), uint8_t(count)});
        f.insert(f.end(), icc.begin() + static_cast<long>(i * chunk),
                 icc.begin() + static_cast<long>(i * chunk + n));
    }
    f.insert(f.end(), jpeg.begin() + 2, jpeg.end());
    return f;
}

// A PNG with an iCCP chunk of `icc` after its header.
inline Bytes TagPng(const Bytes& png, const Bytes& icc) {
    Bytes data = {'p', 'r', 'o', 'f', 'i', 'l', 'e', 0, 0};
    uLongf n = compressBound(static_cast<uLong>(icc.size()));
    Bytes z(n);
    compress(z.data(), &n, icc.data(), static_cast<uLong>(icc.size()));
    data.insert(data.end(), z.begin(), z.begin() + static_cast<long>(n));
    Bytes f(png.begin(), png.begin() + 33); // signature and IHDR
    PngChunk(f, "iCCP", data);
    f.insert(f.end(), png.begin() + 33, png.end());
    return f;
}

// The profile of a PNG's iCCP chunk, inflated; empty when it has none.
inline Bytes PngProfile(const Bytes& png) {
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length =
            static_cast<std::size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], "iCCP", 4) == 0) {
            const uint8_t* data = &png[at + 8];
            const std::size_t name = std::strlen(reinterpret_cast<const char*>(data)) + 2;
            Bytes icc(std::size_t(4) << 20);
            uLongf n = static_cast<uLongf>(icc.size());
            if (uncompress(icc.data(), &n, data + name, static_cast<uLong>(length - name)) != Z_OK) return {};
            icc.resize(n);
            return icc;
        }
        at += 12 + length;
    }
    return {};
}

// A simple (one-chunk) WebP file of w x h made extended, with an ICCP chunk.
inline Bytes TagWebp(const Bytes& webp, const Bytes& icc, int w, int h, bool alpha) {
    Bytes body = {'W', 'E', 'B', 'P', 'V', 'P', '8', 'X'};
    PutLe32(body, 10);
    body.insert(body.end(), {uint8_t(0x20 | (alpha ? 0x10 : 0)), 0, 0, 0});
    for (int side : {w - 1, h - 1})
        body.insert(body.end(), {uint8_t(side), uint8_t(side >> 8), uint8_t(side >> 16)});
    body.insert(body.end(), {'I', 'C', 'C', 'P'});
    PutLe32(body, static_cast<uint32_t>(icc.size()));
    body.insert(body.end(), icc.begin(), icc.end());
    if (icc.size() % 2) body.push_back(0);
    body.insert(body.end(), webp.begin() + 12, webp.end());
    Bytes f = {'R', 'I', 'F', 'F'};
    PutLe32(f, static_cast<uint32_t>(body.size()));
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

// Little CMS's own conversion of B, G, R, T pixels (or of other samples in
// `inks`, `inkFormat` saying how: C, M, Y, K bytes, grey) from `icc` to
// sRGB: perceptual when the profile has that table, else relative
// colorimetric with black point compensation. T is kept.
inline Bitmap LcmsToSrgb(const Bitmap& pixels, const Bytes& icc, const Bytes& inks = {},
                         cmsUInt32Number inkFormat = TYPE_CMYK_8) {
    const std::size_t sampleBytes = T_BYTES(inkFormat) * (T_CHANNELS(inkFormat) + T_EXTRA(inkFormat));
    cmsHPROFILE p = cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    const bool perceptual = cmsIsCLUT(p, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT);
    cmsHTRANSFORM t = cmsCreateTransform(p, inks.empty() ? TYPE_BGRA_8 : inkFormat, srgb, TYPE_BGRA_8,
                                         perceptual ? INTENT_PERCEPTUAL : INTENT_RELATIVE_COLORIMETRIC,
                                         perceptual ? 0 : cmsFLAGS_BLACKPOINTCOMPENSATION);
    Bitmap out = pixels;
    for (int y = 0; y < out.Height(); ++y) {
        const void* from = inks.empty()
                               ? static_cast<const void*>(pixels.Row(y))
                               : inks.data() + static_cast<std::size_t>(y) * out.Width() * sampleBytes;
        cmsDoTransform(t, from, out.Row(y), static_cast<cmsUInt32Number>(out.Width()));
    }
    cmsDeleteTransform(t);
    cmsCloseProfile(srgb);
    cmsCloseProfile(p);
    return out;
}

} // namespace pixora::testing
