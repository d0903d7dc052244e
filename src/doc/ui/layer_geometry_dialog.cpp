#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <climits>

#include "doc/ui/layer_geometry_dialog.h"

#include "window_kit/window_support.h"

namespace pixora {

LayerGeometryDialog::LayerGeometryDialog(TWindow id, QWidget* parent) : CentredDialog(parent, id) {
    grid_ = new QGridLayout(this);
    sedWidth_ = AddLabelledSpinBox(grid_, 0, "Width:", "sedWidth", 1, INT_MAX, 1);
    sedHeight_ = AddLabelledSpinBox(grid_, 1, "Height:", "sedHeight", 1, INT_MAX, 1);
    // Layers may lie partly or wholly outside the image, on any side.
    sedLeft_ = AddLabelledSpinBox(grid_, 2, "Left:", "sedLeft", INT_MIN, INT_MAX);
    sedTop_ = AddLabelledSpinBox(grid_, 3, "Top:", "sedTop", INT_MIN, INT_MAX);
}

void LayerGeometryDialog::AddButtons() {
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    connect(ok, &QPushButton::clicked, this, [this] {
        cancel_ = false;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        cancel_ = true;
        reject();
    });
    const int row = grid_->rowCount();
    grid_->addWidget(ok, row, 0);
    grid_->addWidget(cancel, row, 1);
}

} // namespace pixora
