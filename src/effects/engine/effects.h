#pragma once
// TEffects: the per-pixel effects, two-bitmap effects, range effects and
// rotations of the effects engine.
//
// Every effect comes in two forms: one that works on a single channel
// (0 blue, 1 green, 2 red, 3 fourth byte) and one that takes a channel set.
// Each returns true when its walk ran and false when it was refused (empty
// bitmap, no usable channel, no cell). Effects never leave their callbacks
// installed: the user's OnScan / OnScanPair / OnScanRange are back in place
// when an effect returns or throws.

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "effects/engine/custom_effects.h"
#include "effects/engine/range_tables.h"

namespace pixora {

using TChannelValues = std::array<int16_t, 4>; // per channel, pixel byte order

class TEffects : public TCustomEffects {
public:
    TEffects();

    // Seeds the noise generator (the constructor seeds it from the clock).
    void SetRandomSeed(uint32_t seed) { random_.seed(seed); }

    bool Fill(Bitmap& bitmap, int channel, uint8_t value) override;
    bool Fill(Bitmap& bitmap, const TChannelSet& channels, uint8_t value) override;

    // Rotations and mirrors: source -> target (target resized, 32 bits per
    // pixel). The background colour fills target pixels no source pixel
    // reaches.
    bool FlipVertical(Bitmap& source, Bitmap& target, const TPixelBytes& background);     // "Rotate"
    bool MirrorHorizontal(Bitmap& source, Bitmap& target, const TPixelBytes& background); // "Mirror"
    bool RotateLeft(Bitmap& source, Bitmap& target, const TPixelBytes& background);
    bool RotateRight(Bitmap& source, Bitmap& target, const TPixelBytes& background);
    bool RotateHalf(Bitmap& source, Bitmap& target, const TPixelBytes& background); // "Rotate and Mirror"
    // Turns counter-clockwise on the screen by angle radians.
    bool RotateAngle(Bitmap& source, Bitmap& target, const TPixelBytes& background, double angle);

    bool Invert(Bitmap& bitmap, int channel);
    bool Invert(Bitmap& bitmap, const TChannelSet& channels);

    bool ColourAdjust(Bitmap& bitmap, int channel, int16_t delta, bool wrap);
    bool ColourAdjust(Bitmap& bitmap, const TChannelSet& channels, const TChannelValues& deltas,
                      const TChannelSet& wrap = {});

    bool Contrast(Bitmap& bitmap, int channel, int16_t amount);
    bool Contrast(Bitmap& bitmap, const TChannelSet& channels, const TChannelValues& amounts);

    bool Saturation(Bitmap& bitmap, int channel, uint8_t amount);
    bool Saturation(Bitmap& bitmap, const TChannelSet& channels, uint8_t amount);

    bool Solarize(Bitmap& bitmap, int channel, uint8_t threshold);
    bool Solarize(Bitmap& bitmap, const TChannelSet& channels, uint8_t threshold);

    bool Posterize(Bitmap& bitmap, int channel, uint8_t step);
    bool Posterize(Bitmap& bitmap, const TChannelSet& channels, uint8_t step);

    // Window average of radius r read from source, written into target.
    bool Blur(Bitmap& source, Bitmap& target, int radius, int channel);
    bool Blur(Bitmap& source, Bitmap& target, int radius, const TChannelSet& channels);

    // The draws come from the rows' noise streams (noise_stream.h), started
    // from a seed that the engine's generator gives each walk afresh.
    bool Noise(Bitmap& bitmap, int channel, uint8_t amplitude);
    bool Noise(Bitmap& bitmap, const TChannelSet& channels, uint8_t amplitude);

    // A channel's result is (lower <= c <= upper) XOR outside; the pixel
    // takes the replacement colour when any flagged colour channel's result
    // is true, or when none is and invert is set. The fourth byte never
    // takes part.
    bool ColourFilter(Bitmap& bitmap, int channel, uint8_t lower, uint8_t upper,
                      const TPixelBytes& replacement, bool outside, bool invert);
    bool ColourFilter(Bitmap& bitmap, const TPixelBytes& lower, const TPixelBytes& upper,
                      const TChannelSet& flags, const TPixelBytes& replacement, bool outside, bool invert);

    // mode 0: push away from the neighbour average by percent; mode 1: the
    // contrast rule with amount round(percent * 255 / 100).
    bool Sharpen(Bitmap& source, Bitmap& target, int channel, uint8_t radius, uint8_t threshold,
                 double percent, uint8_t mode);
    bool Sharpen(Bitmap& source, Bitmap& target, const TChannelSet& channels, uint8_t radius,
                 uint8_t threshold, double percent, uint8_t mode);

    bool Pixelization(Bitmap& bitmap, int channel, int cellWidth, int cellHeight);
    bool Pixelization(Bitmap& bitmap, const TChannelSet& channels, int cellWidth, int cellHeight);

    bool RoughBlur(Bitmap& bitmap, int channel, bool fast, int radius, int cellWidth, int cellHeight);
    bool RoughBlur(Bitmap& bitmap, const TChannelSet& channels, bool fast, int radius, int cellWidth,
                   int cellHeight);

private:
    // Runs the single-bitmap walk with a per-pixel routine and its band
    // form, following the effect pattern: install, walk, restore.
    bool ScanWith(Bitmap& bitmap, void* data, TScanEvent routine, const TFastWalk& fast);
    bool ScanPairWith(Bitmap& bitmap, const TLines& lines, void* data, TScanPairEvent routine,
                      const TFastWalk& fast, Bitmap* mask = nullptr);
    bool ScanRangeWith(Bitmap& bitmap, void* data, int w, int h, const Bitmap* ranges,
                       TScanRangeEvent routine, const TFastWalk& fast);

    // Runs a row kernel (see point_kernels.h) as the single-bitmap walk's
    // per-pixel routine and as its band form.
    template <class Kernel>
    bool ScanWithKernel(Bitmap& bitmap, void* data, const Kernel& kernel, bool parallel);
    // Shared body of the per-channel lookup-table effects.
    // `vector` does the same work as the tables on runs of pixels with SSE2
    // (see point_kernels.h).
    template <class Vector>
    bool ApplyTables(Bitmap& bitmap, const TChannelSet& channels,
                     const std::array<std::array<uint8_t, 256>, 4>& t, const Vector& vector);
    // Shared body of blur and sharpen.
    struct TWindowData;
    bool WindowEffect(Bitmap& source, Bitmap& target, TWindowData& data);
    // Shared body of pixelization and rough blur.
    struct TRangeData;
    bool RangeEffect(Bitmap& bitmap, TRangeData& data, int cellWidth, int cellHeight);
    // Its body with sums of the given width.
    template <class Sum>
    bool RangeEffectWith(Bitmap& bitmap, const TRangeData& data, int cellWidth, int cellHeight,
                         std::vector<TRangeEntry<Sum>>& entries);
    // Shared body of the five fixed rotations: map(x, y, W, H) -> target position.
    struct TFixedRotation;
    bool FixedRotation(Bitmap& source, Bitmap& target, const TPixelBytes& background,
                       const TFixedRotation& r);

    // The range effects' per-range tables, kept between runs.
    TRangeTables rangeTables_;

    std::mt19937 random_;
    uint32_t reserved_ = 0; // the component's own spare 4-byte field
};

// True when the channel set has an enabled channel outside the excluded ones.
bool HasChannel(const TChannelSet& channels, const TChannelSet& excluded = {});
// Channel set with only the given channel (0..3); empty for other numbers.
TChannelSet SingleChannel(int channel);

} // namespace pixora
