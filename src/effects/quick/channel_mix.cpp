#include "effects/quick/channel_mix.h"

#include <stdexcept>

namespace pixora::quick {

void GrayScale(const Bitmap& source, Bitmap& target, const TGrayScaleParams& params) {
    if (source.BitsPerPixel() != 32) throw std::invalid_argument("GrayScale reads a 32-bit bitmap");
    if (params.Brightness < -255 || params.Brightness > 255)
        throw std::invalid_argument("the brightness runs from -255 to 255");
    if (&source != &target && (target.Width() != source.Width() || target.Height() != source.Height() ||
                               target.BitsPerPixel() != 32)) {
        target.SetBitsPerPixel(32);
        target.SetSize(source.Width(), source.Height());
    }
    // The byte each channel gets for a grey level a (before brightness).
    const bool keep[3] = {params.Dominant == TDominant::RGB || params.Dominant == TDominant::Blue,
                          params.Dominant == TDominant::RGB || params.Dominant == TDominant::Green,
                          params.Dominant == TDominant::RGB || params.Dominant == TDominant::Red};
    uint8_t level[3][256];
    for (int c = 0; c < 3; ++c)
        for (int a = 0; a < 256; ++a)
            level[c][a] = Clamp255((keep[c] ? a : 0) + params.Brightness);
    const int w = source.Width();
    ForRowRanges(source.Height(), source.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = source.Row(y);
            uint8_t* d = target.Row(y);
            for (int x = 0; x < w; ++x, s += 4, d += 4) {
                const int a = (s[0] + s[1] + s[2]) / 3;
                const uint8_t t = s[3];
                d[0] = level[0][a];
                d[1] = level[1][a];
                d[2] = level[2][a];
                d[3] = t;
            }
        }
    });
}

void CheckChannelTransfer(const Bitmap& scratch, const Bitmap& document,
                          const TChannelTransferParams& params) {
    if (scratch.BitsPerPixel() != 32 || document.BitsPerPixel() != 32 ||
        scratch.Width() != document.Width() || scratch.Height() != document.Height())
        throw std::invalid_argument("the channel transfer needs two 32-bit bitmaps of one size");
    if (params.Percent < 1 || params.Percent > 100)
        throw std::invalid_argument("the transfer percent runs from 1 to 100");
    for (int c : {params.To, params.From})
        if (c < 0 || c > 2) throw std::invalid_argument("the transfer channels are blue, green and red");
}

void ChannelTransferRun(const Bitmap& scratch, Bitmap& document, const TChannelTransferParams& params, int y,
                        int x0, int x1) {
    const int p = params.Percent, to = params.To, from = params.From;
    const uint8_t* s = scratch.Row(y) + 4 * static_cast<std::ptrdiff_t>(x0);
    uint8_t* d = document.Row(y) + 4 * static_cast<std::ptrdiff_t>(x0);
    for (int x = x0; x < x1; ++x, s += 4, d += 4) {
        const int mixed = (100 - p) * s[to] / 100 + s[from] * p / 100;
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[to] = Clamp255(mixed);
    }
}

} // namespace pixora::quick
