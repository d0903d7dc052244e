#pragma once
// The range-walk filter windows: "Pixelization" (TForm15) and "Rough Blur"
// (TForm17). Both have the radio group rgType "Range type:" (the shapes in
// TRangeType order, 3 columns), the track bars tbWidth "Width:" and
// tbHeight "Height:" (2..50, page size 1, a tick every 4) and the check box
// Trans "Tranparent"; Rough Blur adds tbRadius "Radius:" (1..5) and the
// radio group rgQuality "Quality:" ("Fast", "Qualitative", 2 columns).
// Before showing, every control goes to its start value and the first
// preview runs. The shape and transparency chosen stay with the effects
// engine after the window closes.

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

class RangeDialog : public FilterDialog {
    Q_OBJECT
public:
    // `roughBlur` adds the radius and quality controls.
    RangeDialog(WindowHost& host, const TEffectRow& row, bool roughBlur, QWidget* owner);
    // Pixelization: W, H, TYPE, SOLID; Rough Blur: W, H, RADIUS, QUALITY,
    // TYPE, SOLID (SOLID = 1 when "Tranparent" is unchecked).
    TEffectValues Values() const override;

protected:
    void ResetBeforeShow() override;

private:
    QButtonGroup* type_ = nullptr;
    QSlider* width_ = nullptr;
    QSlider* height_ = nullptr;
    QSlider* radius_ = nullptr;       // Rough Blur only
    QButtonGroup* quality_ = nullptr; // Rough Blur only
    QCheckBox* transparent_ = nullptr;
};

template <> struct WindowClass<TWindow::Pixelization> { using Type = RangeDialog; };
template <> struct WindowClass<TWindow::RoughBlur> { using Type = RangeDialog; };

} // namespace pixora
