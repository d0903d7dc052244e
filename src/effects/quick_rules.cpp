#include "effects/quick_rules.h"

#include "effects/quick/antialias.h"
#include "effects/quick/convolve.h"
#include "effects/quick/gaussian_blur.h"
#include "effects/quick/point_effects.h"

namespace pixora::quick_rules {

namespace {

// Calls fn with the pixel test of the run: the selection edit test when it
// confines anything, else the test every pixel passes (so the kernels
// skip testing altogether).
template <class Fn> void WithPixelTest(const TEffectRun& run, Fn&& fn) {
    if (run.EditTest.Active())
        fn(quick::PixelTestOf(run.EditTest));
    else
        fn(quick::TAllPixels{});
}

quick::TChannelPercents Percents(const TEffectRun& run) {
    return {run.Settings.Red, run.Settings.Green, run.Settings.Blue};
}

} // namespace

void Lighten(const TEffectRun& run) {
    quick::Lighten(run.Image);
}

void Darken(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Darken(run.Image, test); });
}

void Soften(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Soften(run.Unchanged, run.Image, test); });
}

void Sharpen(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Sharpen(run.Unchanged, run.Image, test); });
}

void Noise(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Noise(run.Image, {run.Settings.Seed}, test); });
}

void Tint(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Tint(run.Image, Percents(run), test); });
}

void Gamma(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Gamma(run.Image, Percents(run), test); });
}

void Contrast(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Contrast(run.Image, Percents(run), test); });
}

void Saturation(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Saturation(run.Image, Percents(run), test); });
}

void GaussianBlur(const TEffectRun& run) {
    quick::GaussianBlur(run.Image, {run.Settings.Radius});
}

void Antialiasing(const TEffectRun& run) {
    WithPixelTest(run, [&](const auto& test) { quick::Antialiasing(run.Image, test); });
}

void Invert(const TEffectRun& run) {
    quick::Invert(run.Image);
}

} // namespace pixora::quick_rules
