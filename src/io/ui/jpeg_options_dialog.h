#pragma once

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

} // namespace pixora
