#pragma once
// The filter windows' effects: what each dialog asks of the effects engine
// with its control values. A rule reads run.Values in the order of its
// row's arguments (given beside each rule) and changes run.View only.

#include "effects/effects_table.h"

namespace pixora::filter_rules {

// Values of the range-walk filters' shape controls.
inline constexpr int kSolidOff = 0; // "Tranparent" checked: pixels outside the shapes stay

// R, G, B: colour adjust with those deltas, no wrap.
bool ColourAdjust(const TFilterRun& run);
// CHANNEL (0 red, 1 green, 2 blue): every colour byte takes that channel.
bool ChannelFilter(const TFilterRun& run);
// INT: window average of radius INT, document -> view (nothing for INT < 0).
bool Blur(const TFilterRun& run);
// B: colour adjust of blue, green and red by B.
bool Brightness(const TFilterRun& run);
// C: contrast of blue, green and red by C.
bool Contrast(const TFilterRun& run);
// RMIN, RMAX, GMIN, GMAX, BMIN, BMAX: pixels with a colour channel outside
// its window become black.
bool ColourFilter(const TFilterRun& run);
// N: noise of amplitude N.
bool Noise(const TFilterRun& run);
// W, H, TYPE, SOLID: sets the engine's range type and transparency, then
// pixelization with cells of W x H.
bool Pixelization(const TFilterRun& run);
// P: posterize with step P.
bool Posterize(const TFilterRun& run);
// W, H, RADIUS, QUALITY (0 fast, 1 qualitative), TYPE, SOLID.
bool RoughBlur(const TFilterRun& run);
// S: saturation with amount 255 - S (the track bar runs the other way).
bool Saturation(const TFilterRun& run);
// D, P: sharpen of radius 1, threshold D, percentage P, mode 0, document -> view.
bool Sharpen(const TFilterRun& run);
// S: solarize with threshold 255 - S.
bool Solarize(const TFilterRun& run);
// DOMINANT (0 RGB, 1 red, 2 green, 3 blue), B: grey, document -> view.
bool GrayScale(const TFilterRun& run);
// PAIR (the transfer buttons' order "G - R" ...), P: one channel into another.
bool ChannelTransfer(const TFilterRun& run);

} // namespace pixora::filter_rules
