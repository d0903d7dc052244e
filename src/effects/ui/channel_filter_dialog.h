#pragma once
// "Channel Filter" (TForm9): three radio buttons R, G, B in the group
// "Filter Channel"; the preview shows the chosen channel as grey. All three
// are unchecked again after the window closes.

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

class ChannelFilterDialog : public FilterDialog {
    Q_OBJECT
public:
    ChannelFilterDialog(WindowHost& host, const TEffectRow& row, QWidget* owner);
    TEffectValues Values() const override;

protected:
    void ResetAfterClose() override;

private:
    QButtonGroup* channel_ = nullptr;
};

template <> struct WindowClass<TWindow::ChannelFilter> { using Type = ChannelFilterDialog; };

} // namespace pixora
