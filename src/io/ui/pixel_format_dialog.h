#pragma once

#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QButtonGroup;

namespace pixora {

// "Pixel Format" (TForm5): 8-, 16-, 24- or 32-bit bitmap.
class PixelFormatDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit PixelFormatDialog(QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int i);

private:
    QButtonGroup* group_;
};

template <> struct WindowClass<TWindow::PixelFormat> { using Type = PixelFormatDialog; };

} // namespace pixora
