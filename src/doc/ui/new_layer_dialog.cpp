#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

#include "doc/ui/new_layer_dialog.h"
#include "window_kit/value_box.h"

namespace pixora {

NewLayerDialog::NewLayerDialog(QWidget* parent) : LayerGeometryDialog(TWindow::NewLayer, parent) {
    // The colour is always white and cannot be changed.
    auto* colour = new QFrame(this);
    colour->setObjectName("Shape1");
    colour->setFrameShape(QFrame::Box);
    colour->setFixedSize(40, 20);
    SetBackground(colour, Qt::white);
    t_ = new QSlider(Qt::Horizontal, this);
    t_->setObjectName("T");
    t_->setRange(0, 255);
    t_->setValue(255);
    const int row = Grid()->rowCount();
    Grid()->addWidget(new QLabel("Colour:", this), row, 0);
    Grid()->addWidget(colour, row, 1);
    Grid()->addWidget(new QLabel("Transparency:", this), row + 1, 0);
    Grid()->addWidget(t_, row + 1, 1);
    AddValueBox(t_);
    AddButtons();
}

void NewLayerDialog::Prepare(int imageWidth, int imageHeight) {
    WidthBox()->setValue(imageWidth);
    HeightBox()->setValue(imageHeight);
    // Every new layer starts clear; the position is kept from last time.
    t_->setValue(255);
}

TNewLayer NewLayerDialog::Values() const {
    TNewLayer v;
    v.Width = WidthBox()->value();
    v.Height = HeightBox()->value();
    v.Left = LeftBox()->value();
    v.Top = TopBox()->value();
    v.Transparency = t_->value();
    return v;
}

} // namespace pixora
