// Per-pixel effects: invert, colour adjust, contrast, saturation, solarize,
// posterize, noise and colour filter.
#include "effects/engine/point_kernels.h"

namespace pixora {

namespace {

using TTables = std::array<std::array<uint8_t, 256>, 4>;

// round(v / step) * step with halves to even, limited to 0..255.
uint8_t PosterizeValue(int v, int step) {
    int q = v / step;
    const int r2 = 2 * (v % step);
    if (r2 > step || (r2 == step && (q & 1))) ++q;
    return kernels::Clamp255(q * step);
}

// Contrast: c - a * (127 - c) / 255, limited to 0..255.
uint8_t ContrastValue(int c, int a) {
    return kernels::Clamp255(c - a * (127 - c) / 255);
}

} // namespace

// Exposed for the sharpen rule, which reuses the contrast rule.
uint8_t EngineContrastValue(int c, int a) {
    return ContrastValue(c, a);
}

bool TEffects::Invert(Bitmap& bitmap, int channel) {
    return Invert(bitmap, SingleChannel(channel));
}

bool TEffects::Invert(Bitmap& bitmap, const TChannelSet& channels) {
    TTables t;
    for (auto& table : t)
        for (int v = 0; v < 256; ++v)
            table[v] = static_cast<uint8_t>(255 - v);
    uint32_t mask = 0;
    for (int k = 0; k < 4; ++k)
        if (channels[k]) mask |= 0xFFu << (8 * k);
    return ApplyTables(bitmap, channels, t, kernels::TInvertVector{mask});
}

bool TEffects::ColourAdjust(Bitmap& bitmap, int channel, int16_t delta, bool wrap) {
    TChannelValues deltas{};
    TChannelSet wraps{};
    if (channel >= 0 && channel < 4) {
        deltas[channel] = delta;
        wraps[channel] = wrap;
    }
    return ColourAdjust(bitmap, SingleChannel(channel), deltas, wraps);
}

bool TEffects::ColourAdjust(Bitmap& bitmap, const TChannelSet& channels, const TChannelValues& deltas,
                            const TChannelSet& wrap) {
    TTables t;
    for (int k = 0; k < 4; ++k)
        for (int v = 0; v < 256; ++v)
            t[k][v] =
                wrap[k] ? static_cast<uint8_t>((v + deltas[k]) & 0xFF) : kernels::Clamp255(v + deltas[k]);
    return ApplyTables(bitmap, channels, t, kernels::TAdjustVector(channels, deltas, wrap));
}

bool TEffects::Contrast(Bitmap& bitmap, int channel, int16_t amount) {
    TChannelValues amounts{};
    if (channel >= 0 && channel < 4) amounts[channel] = amount;
    return Contrast(bitmap, SingleChannel(channel), amounts);
}

bool TEffects::Contrast(Bitmap& bitmap, const TChannelSet& channels, const TChannelValues& amounts) {
    TTables t;
    for (int k = 0; k < 4; ++k)
        for (int v = 0; v < 256; ++v)
            t[k][v] = ContrastValue(v, amounts[k]);
    return ApplyTables(bitmap, channels, t, kernels::TContrastVector(channels, amounts));
}

bool TEffects::Posterize(Bitmap& bitmap, int channel, uint8_t step) {
    return Posterize(bitmap, SingleChannel(channel), step);
}

bool TEffects::Posterize(Bitmap& bitmap, const TChannelSet& channels, uint8_t step) {
    // Posterize works on all four bytes; the channel set only has to allow
    // the effect at all.
    if (!HasChannel(channels)) return false;
    const int l = step == 0 ? 1 : step;
    TTables t;
    for (auto& table : t)
        for (int v = 0; v < 256; ++v)
            table[v] = PosterizeValue(v, l);
    return ApplyTables(bitmap, kAllChannels, t, kernels::TPosterizeVector{l});
}

struct TSaturationData {
    TChannelSet Channels;
    uint8_t Amount;
};

bool TEffects::Saturation(Bitmap& bitmap, int channel, uint8_t amount) {
    return Saturation(bitmap, SingleChannel(channel), amount);
}

bool TEffects::Saturation(Bitmap& bitmap, const TChannelSet& channels, uint8_t amount) {
    if (bitmap.Empty() || !HasChannel(channels)) return false;
    TSaturationData data{channels, amount};
    const kernels::TSaturationKernel kernel(channels, amount);
    return ScanWithKernel(bitmap, &data, kernel, true);
}

struct TSolarizeData {
    TChannelSet Channels;
    uint8_t Threshold;
};

bool TEffects::Solarize(Bitmap& bitmap, int channel, uint8_t threshold) {
    return Solarize(bitmap, SingleChannel(channel), threshold);
}

bool TEffects::Solarize(Bitmap& bitmap, const TChannelSet& channels, uint8_t threshold) {
    if (bitmap.Empty() || !HasChannel(channels)) return false;
    TSolarizeData data{channels, threshold};
    const kernels::TSolarizeKernel kernel(channels, threshold);
    return ScanWithKernel(bitmap, &data, kernel, true);
}

struct TNoiseData {
    TChannelSet Channels;
    uint8_t Amplitude;
    uint32_t Seed;
};

bool TEffects::Noise(Bitmap& bitmap, int channel, uint8_t amplitude) {
    return Noise(bitmap, SingleChannel(channel), amplitude);
}

bool TEffects::Noise(Bitmap& bitmap, const TChannelSet& channels, uint8_t amplitude) {
    if (bitmap.Empty() || !HasChannel(channels)) return false;
    TNoiseData data{channels, amplitude, static_cast<uint32_t>(random_())};
    kernels::TNoiseKernel kernel{data.Seed, {}};
    for (int k = 0; k < 4; ++k)
        kernel.N[k] = channels[k] ? amplitude : 0;
    return ScanWithKernel(bitmap, &data, kernel, true);
}

struct TColourFilterData {
    TChannelSet Channels;
    TPixelBytes Lower, Upper, Replacement;
    bool Outside, Invert;
};

bool TEffects::ColourFilter(Bitmap& bitmap, int channel, uint8_t lower, uint8_t upper,
                            const TPixelBytes& replacement, bool outside, bool invert) {
    // One channel: its window alone decides.
    const TPixelBytes lo{lower, lower, lower, lower}, hi{upper, upper, upper, upper};
    return ColourFilter(bitmap, lo, hi, SingleChannel(channel), replacement, outside, invert);
}

bool TEffects::ColourFilter(Bitmap& bitmap, const TPixelBytes& lower, const TPixelBytes& upper,
                            const TChannelSet& flags, const TPixelBytes& replacement, bool outside,
                            bool invert) {
    // The fourth byte never takes part in the colour filter.
    if (bitmap.Empty() || !HasChannel(flags, {false, false, false, true})) return false;
    TColourFilterData data{flags, lower, upper, replacement, outside, invert};
    const kernels::TColourFilterKernel kernel(lower, upper, flags, replacement, outside, invert);
    return ScanWithKernel(bitmap, &data, kernel, true);
}

} // namespace pixora
