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

struct TTrackWindow {
    const char* Name;
    std::span<const TTrackControl> Tracks;
};
constexpr TTrackWindow kTrackWindows[] = {
    {"TForm8", kColourAdjust}, {"TForm11", kBrightness}, {"TForm12", kContrast}, {"TForm14", kNoise},
    {"TForm16", kPosterize},   {"TForm18", kSaturation}, {"TForm19", kSharpen},  {"TForm20", kSolarize},
};

} // namespace

void InstallFilterDialogs(WindowHost& w) {
    QWidget* owner = w.Owner();
    // A window takes the place of its frame only where its row is in the table.
    auto place = [&w](const char* name, auto make) {
        if (const TEffectRow* row = EffectForWindow(name)) w.ReplaceWindow(name, make(*row));
    };
    for (const TTrackWindow& t : kTrackWindows)
        place(t.Name, [&](const TEffectRow& row) { return new TrackDialog(w, row, t.Tracks, owner); });
    place("TForm9", [&](const TEffectRow& row) { return new ChannelFilterDialog(w, row, owner); });
    place("TForm10", [&](const TEffectRow& row) { return new BlurDialog(w, row, owner); });
    place("TForm13", [&](const TEffectRow& row) { return new ColourFilterDialog(w, row, owner); });
    place("TForm15", [&](const TEffectRow& row) { return new RangeDialog(w, row, false, owner); });
    place("TForm17", [&](const TEffectRow& row) { return new RangeDialog(w, row, true, owner); });
}

} // namespace pixora
