#pragma once
// A filter window whose controls are track bars alone, every one put back
// to 0 after the window closes: the Colour Adjustor, Brightness, Contrast,
// Noise, Posterize, Saturation, Sharpen and Solarize windows. The effect's
// values are the positions in the order of the tracks.

#include <span>
#include <vector>

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

struct TTrackControl {
    const char* Name;    // designer name ("R", "B")
    const char* Caption; // its label ("Red:")
    int Min, Max;
};

class TrackDialog : public FilterDialog {
    Q_OBJECT
public:
    TrackDialog(WindowHost& host, const TEffectRow& row, std::span<const TTrackControl> tracks,
                QWidget* owner);
    TEffectValues Values() const override;

protected:
    void ResetAfterClose() override;

private:
    std::vector<QSlider*> tracks_;
};

template <> struct WindowClass<TWindow::ColourAdjustor> { using Type = TrackDialog; };
template <> struct WindowClass<TWindow::Brightness> { using Type = TrackDialog; };
template <> struct WindowClass<TWindow::Contrast> { using Type = TrackDialog; };
template <> struct WindowClass<TWindow::Noise> { using Type = TrackDialog; };
template <> struct WindowClass<TWindow::Posterize> { using Type = TrackDialog; };
template <> struct WindowClass<TWindow::Saturation> { using Type = TrackDialog; };
template <> struct WindowClass<TWindow::Sharpen> { using Type = TrackDialog; };
template <> struct WindowClass<TWindow::Solarize> { using Type = TrackDialog; };

} // namespace pixora
