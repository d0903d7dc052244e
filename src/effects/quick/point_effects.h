#pragma once
// The one-click point effects: each colour byte of a pixel becomes a value
// computed from that pixel alone. They work in place on a 32-bit bitmap,
// change only blue, green and red, and never write the fourth byte.
//
// Effects that honour the selection take a pixel test (quick_frame.h);
// the others change every pixel whatever the selection says.

#include <array>
#include <cstdint>

#include "effects/quick/quick_frame.h"

namespace pixora::quick {

// The channel options window: one percentage per colour channel, 0..255.
struct TChannelPercents {
    int R = 8, G = 8, B = 8;
};

// Noise draws its numbers from streams started from this seed; the caller
// gives each run a fresh one from the program's generator.
struct TNoiseParams {
    uint32_t Seed = 0;
};

// The gamma table of the current run: entry i is 128 * 0.33^(i / 255)
// rounded to nearest, halves to even (128 .. 42).
std::array<uint8_t, 256> GammaTable();

// Row kernels of the effects, usable on their own with RunRows.

// c := clamp(c + delta) on the three colour bytes (Lighten +10, Darken -10).
class TShiftKernel final : public TRowKernel {
public:
    explicit TShiftKernel(int delta) : delta_(delta) {}
    void operator()(uint8_t* row, int x0, int x1, int y) const override;

private:
    int delta_;
};

// c := 255 - c on the colour bytes.
class TInvertKernel final : public TRowKernel {
public:
    void operator()(uint8_t* row, int x0, int x1, int y) const override;
};

// Each colour byte through a table of its own channel (Contrast).
class TChannelTableKernel final : public TRowKernel {
public:
    // Tables in pixel byte order: blue, green, red.
    explicit TChannelTableKernel(const std::array<std::array<uint8_t, 256>, 3>& tables);
    void operator()(uint8_t* row, int x0, int x1, int y) const override;

private:
    std::array<std::array<uint32_t, 256>, 3> wide_; // entries pre-shifted to their byte
};

// c := clamp(c + d[c's channel][R + G + B]) with every d >= 0 (Tint, Gamma):
// the additions of one pixel depend only on the sum of its colour bytes.
class TSumDeltaKernel final : public TRowKernel {
public:
    // deltas[k][s]: the addition to channel k (blue, green, red) at sum s.
    explicit TSumDeltaKernel(const std::array<std::array<int, 766>, 3>& deltas);
    void operator()(uint8_t* row, int x0, int x1, int y) const override;

private:
    std::array<uint32_t, 766> packed_; // the three additions, limited to 255, as pixel bytes
};

// m := (max + min) div 2; c := clamp(c + (k * (c - m) * 2) div 256).
class TSaturationKernel final : public TRowKernel {
public:
    explicit TSaturationKernel(const TChannelPercents& p);
    void operator()(uint8_t* row, int x0, int x1, int y) const override;

private:
    int k_[3]; // blue, green, red
};

// c := clamp(c + n - 13), n uniform in 0..25, a fresh number per byte.
class TNoiseKernel final : public TRowKernel {
public:
    explicit TNoiseKernel(uint32_t seed) : seed_(seed) {}
    void operator()(uint8_t* row, int x0, int x1, int y) const override;

private:
    uint32_t seed_;
};

// The kernels of the effects with parameters.
// Contrast: the tables of ContrastKernel's rule, with a vector loop for
// runs of four pixels that gives exactly what the tables give.
class TContrastKernel final : public TRowKernel {
public:
    explicit TContrastKernel(const TChannelPercents& p);
    void operator()(uint8_t* row, int x0, int x1, int y) const override;

private:
    std::array<int, 3> k_; // blue, green, red factors
    TChannelTableKernel tables_;
};

TContrastKernel ContrastKernel(const TChannelPercents& p);
TSumDeltaKernel TintKernel(const TChannelPercents& p);
TSumDeltaKernel GammaKernel(const TChannelPercents& p);

// ---- The effects ---------------------------------------------------------

// Lighten, Invert: every pixel.
inline void Lighten(Bitmap& bitmap) {
    RunRows(bitmap, TShiftKernel(10), TAllPixels{});
}
inline void Invert(Bitmap& bitmap) {
    RunRows(bitmap, TInvertKernel{}, TAllPixels{});
}

// The rest leave alone every pixel the test refuses.
template <class Test = TAllPixels> void Darken(Bitmap& bitmap, const Test& test = {}) {
    RunRows(bitmap, TShiftKernel(-10), test);
}
template <class Test = TAllPixels>
void Noise(Bitmap& bitmap, const TNoiseParams& params, const Test& test = {}) {
    RunRows(bitmap, TNoiseKernel(params.Seed), test);
}
template <class Test = TAllPixels>
void Tint(Bitmap& bitmap, const TChannelPercents& params, const Test& test = {}) {
    RunRows(bitmap, TintKernel(params), test);
}
template <class Test = TAllPixels>
void Gamma(Bitmap& bitmap, const TChannelPercents& params, const Test& test = {}) {
    RunRows(bitmap, GammaKernel(params), test);
}
template <class Test = TAllPixels>
void Contrast(Bitmap& bitmap, const TChannelPercents& params, const Test& test = {}) {
    RunRows(bitmap, ContrastKernel(params), test);
}
template <class Test = TAllPixels>
void Saturation(Bitmap& bitmap, const TChannelPercents& params, const Test& test = {}) {
    RunRows(bitmap, TSaturationKernel(params), test);
}

} // namespace pixora::quick
