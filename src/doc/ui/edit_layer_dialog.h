#pragma once
#include "doc/ui/layer_geometry_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

// "Edit Layer": the current layer's size and position.
class EditLayerDialog : public LayerGeometryDialog {
    Q_OBJECT
public:
    explicit EditLayerDialog(QWidget* parent = nullptr);
    void Prepare(int width, int height, int left, int top);
};

template <> struct WindowClass<TWindow::EditLayer> { using Type = EditLayerDialog; };

} // namespace pixora
