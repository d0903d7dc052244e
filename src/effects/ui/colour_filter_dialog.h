#pragma once
// "Colour Filter" (TForm13): a "Minimum" and a "Maximum" track bar (0..255)
// for each of the red, green and blue channels. Before the window shows,
// the minima go to 0 and the maxima to 255, which changes nothing.

#include <array>

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

class ColourFilterDialog : public FilterDialog {
    Q_OBJECT
public:
    ColourFilterDialog(WindowHost& host, const TEffectRow& row, QWidget* owner);
    TEffectValues Values() const override;

protected:
    void ResetBeforeShow() override;

private:
    // RMin, RMax, GMin, GMax, BMin, BMax: the effect's order.
    std::array<QSlider*, 6> tracks_{};
};

template <> struct WindowClass<TWindow::ColourFilter> { using Type = ColourFilterDialog; };

} // namespace pixora
