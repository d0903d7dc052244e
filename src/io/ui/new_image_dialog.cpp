// "New Image": size, background colour and transparency of a new image.
#include <QColorDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <limits>

#include "io/ui/new_image_dialog.h"

#include "window_kit/window_support.h"
#include "window_kit/value_box.h"

namespace pixora {

NewImageDialog::NewImageDialog(QWidget* parent) : CentredDialog(parent, TWindow::NewImage, 250, 236) {

    auto* dims = new QGroupBox("Dimensions", this);
    dims->setObjectName("GroupBox1");
    dims->setGeometry(8, 8, 234, 80);
    auto* lw = new QLabel("Width:", dims);
    lw->setGeometry(12, 22, 60, 20);
    // No limit of its own: "OK" checks the size.
    width_ =
        MakeSpinBox(dims, "sedWidth", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 400);
    width_->setGeometry(80, 20, 140, 22);
    auto* lh = new QLabel("Height:", dims);
    lh->setGeometry(12, 50, 60, 20);
    height_ =
        MakeSpinBox(dims, "sedHeight", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 400);
    height_->setGeometry(80, 48, 140, 22);

    auto* back = new QGroupBox("Background", this);
    back->setObjectName("GroupBox2");
    back->setGeometry(8, 94, 234, 100);
    auto* lc = new QLabel("Colour:", back);
    lc->setGeometry(12, 24, 60, 20);
    shape_ = new QLabel(back);
    shape_->setObjectName("Shape");
    shape_->setGeometry(80, 20, 40, 26);
    shape_->setFrameShape(QFrame::Box);
    shape_->setCursor(Qt::PointingHandCursor);
    shape_->installEventFilter(this);
    auto* lt = new QLabel("Transparency:", back);
    lt->setGeometry(12, 58, 90, 20);
    t_ = new QSlider(Qt::Horizontal, back);
    t_->setObjectName("T");
    t_->setRange(0, 255);
    t_->setValue(0);
    t_->setGeometry(100, 56, 124, 24);
    AddValueBox(t_);

    connect(MakeDefaultButton(this, "OK", 84, 202), &QPushButton::clicked, this, &NewImageDialog::OkClicked);
    MakeCancelButton(this, 166, 202);
    SetColour(0xFFFFFF);
}

TNewImage NewImageDialog::Values() const {
    return TNewImage{width_->value(), height_->value(), colour_, t_->value()};
}

void NewImageDialog::SetColour(int32_t colour) {
    colour_ = colour;
    SetBackground(shape_, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
}

void NewImageDialog::OkClicked() {
    if (width_->value() <= 1) {
        width_->setValue(100);
        return;
    }
    if (height_->value() <= 1) {
        height_->setValue(100);
        return;
    }
    const TNewImage values = Values();
    accept();
    if (OnCreate) OnCreate(values);
}

bool NewImageDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == shape_ && event->type() == QEvent::MouseButtonRelease) {
        int32_t c = colour_;
        bool chosen = false;
        if (PickColour) {
            chosen = PickColour(c);
        } else {
            const QColor q = QColorDialog::getColor(QColor(RedOf(c), GreenOf(c), BlueOf(c)), this, "Colour");
            chosen = q.isValid();
            if (chosen) c = RGBColour(q.red(), q.green(), q.blue());
        }
        if (chosen) SetColour(c);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pixora
