// Packed TIFF samples to 16-bit values, and those to screen colours.

#include "io/codecs/tiff_samples.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>

#include "io/codecs/colour_models.h"

namespace pixora::tiff {

int ColourSamples(TColourModel model) {
    switch (model) {
    case TColourModel::Grey:
    case TColourModel::GreyInverted:
    case TColourModel::Palette:
        return 1;
    case TColourModel::Cmyk:
        return 4;
    default:
        return 3;
    }
}

TRowConverter::TRowConverter(const TSampleLayout& layout) : layout_(layout) {
    const int bits = layout.Bits;
    if (layout.Format != SAMPLEFORMAT_IEEEFP) {
        max_ = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        sign_ = 1u << (bits - 1);
        if (bits <= 16) {
            scale_.resize(std::size_t(1) << bits);
            for (uint32_t v = 0; v <= max_; ++v)
                scale_[v] = static_cast<uint16_t>((static_cast<uint64_t>(v) * 65535 + max_ / 2) / max_);
        }
    }
    // 16-bit samples scale to themselves, so a pixel's bytes come from its
    // raw samples alone.
    direct_ = bits == 16 && layout.Format == SAMPLEFORMAT_UINT && layout.Model == TColourModel::Rgb &&
              !layout.SignedAB && layout.Samples >= 3 && layout.Alpha < layout.Samples &&
              (layout.Alpha < 0 || !layout.Associated);
}

void TRowConverter::Direct(const uint8_t* src, std::size_t pixels, uint8_t* d) const {
    const std::size_t spp = static_cast<std::size_t>(layout_.Samples);
    const int alpha = layout_.Alpha;
    for (std::size_t p = 0; p < pixels; ++p, src += 2 * spp, d += 4) {
        uint16_t s[3];
        std::memcpy(s, src, 6);
        d[0] = To8(s[2]);
        d[1] = To8(s[1]);
        d[2] = To8(s[0]);
        if (alpha >= 0) {
            uint16_t a;
            std::memcpy(&a, src + 2 * static_cast<std::size_t>(alpha), 2);
            d[3] = static_cast<uint8_t>(255 - To8(a));
        } else {
            d[3] = 0;
        }
    }
}

uint32_t TRowConverter::ReadRaw(const uint8_t* src, std::size_t i) const {
    // libtiff hands 16, 24, 32 and 64-bit samples over in the machine's byte
    // order; narrower ones stay packed from the high bit down.
    switch (layout_.Bits) {
    case 8:
        return src[i];
    case 16: {
        uint16_t v;
        std::memcpy(&v, src + 2 * i, 2);
        return v;
    }
    case 24: {
        const uint8_t* p = src + 3 * i;
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16;
    }
    case 32: {
        uint32_t v;
        std::memcpy(&v, src + 4 * i, 4);
        return v;
    }
    default: {
        const std::size_t bit = i * static_cast<std::size_t>(layout_.Bits);
        const uint8_t* p = src + bit / 8;
        // Up to 32 bits starting anywhere within a byte span five bytes.
        uint64_t window = 0;
        const int span = static_cast<int>((bit % 8 + static_cast<std::size_t>(layout_.Bits) + 7) / 8);
        for (int k = 0; k < span; ++k)
            window = window << 8 | p[k];
        const int shift = span * 8 - static_cast<int>(bit % 8) - layout_.Bits;
        return static_cast<uint32_t>(window >> shift) & max_;
    }
    }
}

uint16_t TRowConverter::Scale(uint32_t raw, int sample) const {
    const bool isSigned =
        layout_.Format == SAMPLEFORMAT_INT || (layout_.SignedAB && (sample == 1 || sample == 2));
    if (isSigned) raw ^= sign_; // two's complement to offset binary: the lowest value is 0
    if (layout_.Model == TColourModel::Palette && sample == 0) return static_cast<uint16_t>(raw);
    if (!scale_.empty()) return scale_[raw];
    return static_cast<uint16_t>((static_cast<uint64_t>(raw) * 65535 + max_ / 2) / max_);
}

void TRowConverter::Unpack(const uint8_t* src, std::size_t pixels, int first, int channels,
                           uint16_t* out) const {
    const int spp = layout_.Samples;
    if (layout_.Format == SAMPLEFORMAT_IEEEFP) {
        std::size_t i = 0;
        for (std::size_t p = 0; p < pixels; ++p)
            for (int c = 0; c < channels; ++c, ++i) {
                double v;
                if (layout_.Bits == 64) {
                    std::memcpy(&v, src + 8 * i, 8);
                } else if (layout_.Bits == 32) {
                    float f;
                    std::memcpy(&f, src + 4 * i, 4);
                    v = f;
                } else if (layout_.Bits == 24) {
                    v = Float24ToFloat(ReadRaw(src, i));
                } else {
                    v = HalfToFloat(static_cast<uint16_t>(ReadRaw(src, i)));
                }
                out[p * spp + first + c] = UnitTo16(v);
            }
        return;
    }
    if (layout_.Bits == 8 && !layout_.SignedAB && layout_.Format == SAMPLEFORMAT_UINT &&
        layout_.Model != TColourModel::Palette) {
        // The common case, kept free of per-sample branches.
        for (std::size_t p = 0; p < pixels; ++p, src += channels)
            for (int c = 0; c < channels; ++c)
                out[p * spp + first + c] = static_cast<uint16_t>(src[c] * 257u);
        return;
    }
    std::size_t i = 0;
    for (std::size_t p = 0; p < pixels; ++p)
        for (int c = 0; c < channels; ++c, ++i)
            out[p * spp + first + c] = Scale(ReadRaw(src, i), first + c);
}

void TRowConverter::Colour(const uint16_t* s, std::size_t pixels, uint8_t* d) const {
    const int spp = layout_.Samples, alpha = layout_.Alpha;
    const bool associated = layout_.Associated && alpha >= 0;
    for (std::size_t p = 0; p < pixels; ++p, s += spp, d += 4) {
        uint32_t rgb[3] = {0, 0, 0};
        switch (layout_.Model) {
        case TColourModel::Grey:
            rgb[0] = rgb[1] = rgb[2] = s[0];
            break;
        case TColourModel::GreyInverted:
            rgb[0] = rgb[1] = rgb[2] = 65535u - s[0];
            break;
        case TColourModel::Rgb:
            rgb[0] = s[0], rgb[1] = s[1], rgb[2] = s[2];
            break;
        case TColourModel::Palette:
            for (int c = 0; c < 3; ++c) {
                const uint16_t e = layout_.Map[c][s[0]];
                rgb[c] = layout_.Map8 ? (e & 0xFFu) * 257u : e;
            }
            break;
        case TColourModel::Cmyk:
            for (int c = 0; c < 3; ++c)
                rgb[c] = InkToColour16(s[c], s[3]);
            break;
        case TColourModel::Lab: {
            // L* over 0..100; a* and b* in offset form, 0 at the middle.
            const double step = layout_.Bits == 8 ? 257.0 : 256.0;
            const double a = s[1] / step - 128.0, b = s[2] / step - 128.0;
            uint16_t out[3];
            LabToSrgb16(s[0] * (100.0 / 65535.0), a, b, out);
            rgb[0] = out[0], rgb[1] = out[1], rgb[2] = out[2];
            break;
        }
        }
        uint32_t a = alpha >= 0 ? s[alpha] : 65535u;
        if (associated && a < 65535u) {
            for (uint32_t& c : rgb)
                c = a ? std::min<uint32_t>(65535u, (c * 65535u + a / 2) / a) : 0;
        }
        d[0] = To8(rgb[2]);
        d[1] = To8(rgb[1]);
        d[2] = To8(rgb[0]);
        d[3] = static_cast<uint8_t>(255 - To8(a));
    }
}

} // namespace pixora::tiff
