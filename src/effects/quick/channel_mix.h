#pragma once
// Grey conversion with a dominant channel and brightness, and the transfer
// of one colour channel into another.

#include <cstdint>

#include "effects/quick/quick_frame.h"

namespace pixora::quick {

// Channels in pixel byte order.
enum TColourChannel { ccBlue = 0, ccGreen = 1, ccRed = 2 };

// The GrayScale window: "RGB", "Red", "Green" or "Blue", brightness -255..255.
enum class TDominant { RGB, Red, Green, Blue };
struct TGrayScaleParams {
    TDominant Dominant = TDominant::RGB;
    int Brightness = 0;
};

// a := (R + G + B) div 3 of each source pixel; the target pixel becomes
// (a, a, a) for RGB, or a in the dominant channel and 0 in the other two,
// and then every colour byte is moved by the brightness, limited to
// 0..255 (the colour adjust rule with the fourth byte's delta 0). The
// target takes the source's size, 32 bits per pixel, and its fourth bytes.
void GrayScale(const Bitmap& source, Bitmap& target, const TGrayScaleParams& params);

// The Colour Channel Transfer window: a transfer "X - Y" mixes channel Y
// into channel X at Percent (1..100).
struct TChannelTransferParams {
    TColourChannel To = ccGreen;
    TColourChannel From = ccRed;
    int Percent = 100;
};

// The transfer buttons in their order, with their captions.
struct TTransferPair {
    const char* Caption;
    TColourChannel To, From;
};
inline constexpr TTransferPair kTransferPairs[6] = {{"G - R", ccGreen, ccRed}, {"R - G", ccRed, ccGreen},
                                                    {"B - R", ccBlue, ccRed},  {"G - B", ccGreen, ccBlue},
                                                    {"R - B", ccRed, ccBlue},  {"B - G", ccBlue, ccGreen}};

// X := (100 - P) * X / 100 + Y * P / 100 (integer divisions), limited to
// 0..255, computed from the scratch copy's pixel; the three colour bytes of
// that pixel are written into the document's pixel. Pixels the test refuses
// are not written. Both bitmaps are 32-bit and of one size.
void ChannelTransferRun(const Bitmap& scratch, Bitmap& document, const TChannelTransferParams& params, int y,
                        int x0, int x1);
void CheckChannelTransfer(const Bitmap& scratch, const Bitmap& document,
                          const TChannelTransferParams& params);

template <class Test = TAllPixels>
void ChannelTransfer(const Bitmap& scratch, Bitmap& document, const TChannelTransferParams& params,
                     const Test& test = {}) {
    CheckChannelTransfer(scratch, document, params);
    const int w = scratch.Width();
    ForRowRanges(scratch.Height(), scratch.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            ForEachPassingRun(test, y, w,
                              [&](int a, int b) { ChannelTransferRun(scratch, document, params, y, a, b); });
    });
}

} // namespace pixora::quick
