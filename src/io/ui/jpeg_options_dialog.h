#pragma once

#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QButtonGroup;
class QSlider;

namespace pixora {

// "JPEG Options" (TForm6): 8-bit or 24-bit format and the quality.
class JpegOptionsDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit JpegOptionsDialog(QWidget* parent = nullptr);
    int ItemIndex() const;
    int Quality() const;

private:
    QButtonGroup* group_;
    QSlider* quality_;
};

template <> struct WindowClass<TWindow::JpegOptions> { using Type = JpegOptionsDialog; };

} // namespace pixora
