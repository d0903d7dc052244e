#pragma once
#include <QDialog>

#include "doc/layer_operations.h"
#include "doc/ui/layer_geometry_dialog.h"
#include "window_kit/window_class.h"

class QSlider;

namespace pixora {

// "New Layer": size taken from the image and transparency 255 on every
// show, position kept from the last time, colour white.
class NewLayerDialog : public LayerGeometryDialog {
    Q_OBJECT
public:
    explicit NewLayerDialog(QWidget* parent = nullptr);
    // Sets the size fields and the transparency before the window is shown.
    void Prepare(int imageWidth, int imageHeight);
    TNewLayer Values() const;
    QSlider* TransparencyBar() const { return t_; }

private:
    QSlider* t_;
};

template <> struct WindowClass<TWindow::NewLayer> { using Type = NewLayerDialog; };

} // namespace pixora
