#pragma once

#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QButtonGroup;
class QSlider;

namespace pixora {

// "WebP Options" (TForm56): lossy at a quality, or lossless. Built like
// "JPEG Options"; it keeps its last positions between uses.
class WebpOptionsDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit WebpOptionsDialog(QWidget* parent = nullptr);
    bool Lossless() const;
    int Quality() const;

private:
    QButtonGroup* group_;
    QSlider* quality_;
};

template <> struct WindowClass<TWindow::WebpOptions> { using Type = WebpOptionsDialog; };

} // namespace pixora
