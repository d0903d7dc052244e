#pragma once

#include "doc/bitmap.h"
#include "window_kit/window_class.h"
#include "window_kit/window_support.h"

class QLabel;
class QScrollArea;
class QSlider;

namespace pixora {

// "GIF Image Transparency" (TForm42): the sensitivity track bar TS and a
// preview of which pixels the GIF will key.
class GifTransparencyDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit GifTransparencyDialog(QWidget* parent = nullptr);

    // Takes a copy of the image to be saved and draws the preview.
    void Prepare(const Bitmap& image);
    int Sensitivity() const;
    void SetSensitivity(int value);
    QSlider* SensitivityControl() const { return ts_; }
    const Bitmap& Preview() const { return preview_; }

private:
    void Redraw();

    QSlider* ts_;
    QLabel* image_;
    QScrollArea* scroll_;
    Bitmap source_;
    Bitmap checker_;
    Bitmap preview_;
};

template <> struct WindowClass<TWindow::GifTransparency> { using Type = GifTransparencyDialog; };

} // namespace pixora
