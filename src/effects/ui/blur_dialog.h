#pragma once
// "Image Blur" (TForm10): spin edit Int "Blur Intensity:" 0..20. Showing
// the window sets it to 1, which previews; it goes back to 0 after closing.

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

class BlurDialog : public FilterDialog {
    Q_OBJECT
public:
    BlurDialog(WindowHost& host, const TEffectRow& row, QWidget* owner);
    TEffectValues Values() const override;

protected:
    void Shown() override;
    void ResetAfterClose() override;

private:
    QSpinBox* intensity_ = nullptr;
};

template <> struct WindowClass<TWindow::Blur> { using Type = BlurDialog; };

} // namespace pixora
