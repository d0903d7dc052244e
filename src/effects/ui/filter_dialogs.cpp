#include "effects/ui/filter_dialogs.h"

#include "effects/ui/blur_dialog.h"
#include "effects/ui/channel_filter_dialog.h"
#include "effects/ui/colour_filter_dialog.h"
#include "effects/ui/range_dialog.h"
#include "effects/ui/track_dialog.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

constexpr TTrackControl kColourAdjust[] = {
    {"R", "Red:", -255, 255}, {"G", "Green:", -255, 255}, {"B", "Blue:", -255, 255}};
constexpr TTrackControl kBrightness[] = {{"B", "Brightness:", -255, 255}};
constexpr TTrackControl kContrast[] = {{"C", "Contrast:", -255, 255}};
constexpr TTrackControl kNoise[] = {{"N", "Noise:", 0, 255}};
constexpr TTrackControl kPosterize[] = {{"P", "Posterize:", 0, 255}};
constexpr TTrackControl kSaturation[] = {{"S", "Saturation:", 0, 255}};
constexpr TTrackControl kSharpen[] = {{"D", "Difference:", 0, 50}, {"P", "Percent:", 0, 100}};
constexpr TTrackControl kSolarize[] = {{"S", "Solarize:", 0, 255}};

// A window takes the place of its frame only where its row is in the table.
template <TWindow id, class Make> void Place(WindowHost& w, Make make) {
    if (const TEffectRow* row = EffectForWindow(id)) w.Install<id>(make(*row));
}

// A window of track bars.
template <TWindow id> void PlaceTracks(WindowHost& w, std::span<const TTrackControl> tracks) {
    Place<id>(w, [&](const TEffectRow& row) { return new TrackDialog(w, row, tracks, w.Owner()); });
}

} // namespace

void InstallFilterDialogs(WindowHost& w) {
    QWidget* owner = w.Owner();
    PlaceTracks<TWindow::ColourAdjustor>(w, kColourAdjust);
    PlaceTracks<TWindow::Brightness>(w, kBrightness);
    PlaceTracks<TWindow::Contrast>(w, kContrast);
    PlaceTracks<TWindow::Noise>(w, kNoise);
    PlaceTracks<TWindow::Posterize>(w, kPosterize);
    PlaceTracks<TWindow::Saturation>(w, kSaturation);
    PlaceTracks<TWindow::Sharpen>(w, kSharpen);
    PlaceTracks<TWindow::Solarize>(w, kSolarize);
    Place<TWindow::ChannelFilter>(
        w, [&](const TEffectRow& row) { return new ChannelFilterDialog(w, row, owner); });
    Place<TWindow::Blur>(w, [&](const TEffectRow& row) { return new BlurDialog(w, row, owner); });
    Place<TWindow::ColourFilter>(
        w, [&](const TEffectRow& row) { return new ColourFilterDialog(w, row, owner); });
    Place<TWindow::Pixelization>(
        w, [&](const TEffectRow& row) { return new RangeDialog(w, row, false, owner); });
    Place<TWindow::RoughBlur>(w, [&](const TEffectRow& row) { return new RangeDialog(w, row, true, owner); });
}

} // namespace pixora
