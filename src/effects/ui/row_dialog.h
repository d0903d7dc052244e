#pragma once
// A filter window made wholly from its effect row: every control comes from
// the row's arguments (effects/effect_arguments.h), the preview is the
// row's filter and "OK" records the row's step. The Channel Filter, Colour
// Adjustor, Image Blur, Brightness, Contrast, Colour Filter, Noise,
// Pixelization, Posterize, Rough Blur, Saturation, Sharpen and Solarize
// windows are such windows; a new filter row with controls on its arguments
// gets one the same way.

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

// When the opening command puts the controls back to their arguments'
// resets.
enum class TResetTime {
    AfterClose, // neutral values after the window has closed: no preview
    BeforeShow, // before the window shows: they give it its first preview
};

class RowDialog : public FilterDialog {
    Q_OBJECT
public:
    RowDialog(WindowHost& host, const TEffectRow& row, TResetTime resets, QWidget* owner);

protected:
    void ResetBeforeShow() override;
    void ResetAfterClose() override;

private:
    TResetTime resets_;
};

template <> struct WindowClass<TWindow::ChannelFilter> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::ColourAdjustor> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Blur> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Brightness> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Contrast> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::ColourFilter> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Noise> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Pixelization> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Posterize> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::RoughBlur> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Saturation> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Sharpen> { using Type = RowDialog; };
template <> struct WindowClass<TWindow::Solarize> { using Type = RowDialog; };

} // namespace pixora
