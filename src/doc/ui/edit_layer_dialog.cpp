#include <QSpinBox>

#include "doc/ui/edit_layer_dialog.h"

namespace pixora {

EditLayerDialog::EditLayerDialog(QWidget* parent) : LayerGeometryDialog(TWindow::EditLayer, parent) {
    AddButtons();
}

void EditLayerDialog::Prepare(int width, int height, int left, int top) {
    WidthBox()->setValue(width);
    HeightBox()->setValue(height);
    LeftBox()->setValue(left);
    TopBox()->setValue(top);
}

} // namespace pixora
