#pragma once
// "Custom Zoom": a zoom ratio typed as two numbers, "Zoom Ratio: a : b".

#include "doc/view_geometry.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QSpinBox;

namespace pixora {

class CustomZoomDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit CustomZoomDialog(QWidget* owner);

    // The spin edits take the slot's pair before the dialog is shown.
    void SetZoom(TZoom z);
    // The pair the spin edits ask for; a value below 1 becomes 1, so a
    // zoom pair never holds 0.
    TZoom Zoom() const;

private:
    QSpinBox* num_;
    QSpinBox* den_;
};

template <> struct WindowClass<TWindow::CustomZoom> { using Type = CustomZoomDialog; };

} // namespace pixora
