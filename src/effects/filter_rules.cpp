#include "effects/filter_rules.h"

#include "doc/row_ranges.h"
#include "effects/engine/effects.h"
#include "effects/quick/channel_mix.h"

namespace pixora::filter_rules {

namespace {

int16_t Delta(int v) {
    return static_cast<int16_t>(v);
}
uint8_t Byte(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The range type and transparency the shape controls choose; the engine
// keeps them after the dialog.
void ChooseRanges(TEffects& e, int type, int solid) {
    e.RangeType = static_cast<TRangeType>(type);
    e.TransparentRange = solid == kSolidOff;
}

} // namespace

bool ColourAdjust(const TFilterRun& run) {
    const TEffectValues& v = run.Values;
    return run.Effects.ColourAdjust(run.View, kAllChannels, {Delta(v[2]), Delta(v[1]), Delta(v[0]), 0});
}

bool ChannelFilter(const TFilterRun& run) {
    const int channel = run.Values[0];
    if (channel < 0 || channel > 2 || run.View.Empty()) return false;
    const int byte = 2 - channel; // red is the third byte of a pixel
    const Bitmap& doc = run.Document;
    Bitmap& view = run.View;
    const int w = std::min(doc.Width(), view.Width());
    ForRowRanges(std::min(doc.Height(), view.Height()), view.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = doc.Row(y) + byte;
            uint8_t* d = view.Row(y);
            for (int x = 0; x < w; ++x, s += 4, d += 4)
                d[0] = d[1] = d[2] = *s;
        }
    });
    return true;
}

bool Blur(const TFilterRun& run) {
    if (run.Values[0] < 0) return false;
    return run.Effects.Blur(run.Document, run.View, run.Values[0], kAllChannels);
}

bool Brightness(const TFilterRun& run) {
    const int16_t b = Delta(run.Values[0]);
    return run.Effects.ColourAdjust(run.View, kAllChannels, {b, b, b, 0});
}

bool Contrast(const TFilterRun& run) {
    const int16_t c = Delta(run.Values[0]);
    return run.Effects.Contrast(run.View, kAllChannels, {c, c, c, 0});
}

bool ColourFilter(const TFilterRun& run) {
    const TEffectValues& v = run.Values;
    const TPixelBytes lower{Byte(v[4]), Byte(v[2]), Byte(v[0]), 0};
    const TPixelBytes upper{Byte(v[5]), Byte(v[3]), Byte(v[1]), 0};
    // A channel counts when it lies outside its window, so the full
    // windows change nothing; such pixels become black.
    return run.Effects.ColourFilter(run.View, lower, upper, kColourChannels, TPixelBytes{}, true, false);
}

bool Noise(const TFilterRun& run) {
    return run.Effects.Noise(run.View, kAllChannels, Byte(run.Values[0]));
}

bool Pixelization(const TFilterRun& run) {
    const TEffectValues& v = run.Values;
    ChooseRanges(run.Effects, v[2], v[3]);
    return run.Effects.Pixelization(run.View, kAllChannels, v[0], v[1]);
}

bool Posterize(const TFilterRun& run) {
    return run.Effects.Posterize(run.View, kAllChannels, Byte(run.Values[0]));
}

bool RoughBlur(const TFilterRun& run) {
    const TEffectValues& v = run.Values;
    ChooseRanges(run.Effects, v[4], v[5]);
    return run.Effects.RoughBlur(run.View, kAllChannels, v[3] == 0, v[2], v[0], v[1]);
}

bool Saturation(const TFilterRun& run) {
    return run.Effects.Saturation(run.View, kAllChannels, Byte(255 - run.Values[0]));
}

bool Sharpen(const TFilterRun& run) {
    return run.Effects.Sharpen(run.Document, run.View, kAllChannels, 1, Byte(run.Values[0]), run.Values[1],
                               0);
}

bool Solarize(const TFilterRun& run) {
    return run.Effects.Solarize(run.View, kAllChannels, Byte(255 - run.Values[0]));
}

bool GrayScale(const TFilterRun& run) {
    if (run.Values[0] < 0 || run.Values[0] > 3) return false;
    quick::GrayScale(run.Document, run.View, {static_cast<quick::TDominant>(run.Values[0]), run.Values[1]});
    return true;
}

bool ChannelTransfer(const TFilterRun& run) {
    if (run.Values[0] < 0 || run.Values[0] > 5) return false;
    const quick::TTransferPair& pair = quick::kTransferPairs[run.Values[0]];
    quick::ChannelTransfer(run.Document, run.View, {pair.To, pair.From, run.Values[1]});
    return true;
}

} // namespace pixora::filter_rules
