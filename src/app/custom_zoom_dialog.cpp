#include "app/custom_zoom_dialog.h"

#include "window_kit/window_support.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <limits>

namespace pixora {

CustomZoomDialog::CustomZoomDialog(QWidget* owner) : CentredDialog(owner, TWindow::CustomZoom, 233, 97) {
    auto* label = new QLabel("Zoom Ratio:", this);
    label->setObjectName("Label1");
    label->setGeometry(12, 16, 70, 21);
    // The spin edits have no bounds of their own.
    auto spin = [this](const char* name, int left) {
        QSpinBox* s =
            MakeSpinBox(this, name, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        s->setGeometry(left, 14, 61, 24);
        return s;
    };
    num_ = spin("SpinEdit1", 86);
    auto* colon = new QLabel(":", this);
    colon->setObjectName("Label2");
    colon->setAlignment(Qt::AlignCenter);
    colon->setGeometry(147, 16, 12, 21);
    den_ = spin("SpinEdit2", 160);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    ok->setGeometry(40, 58, 75, 25);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    cancel->setGeometry(122, 58, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CustomZoomDialog::SetZoom(TZoom z) {
    num_->setValue(z.Num);
    den_->setValue(z.Den);
}

TZoom CustomZoomDialog::Zoom() const { return CustomZoom(num_->value(), den_->value()); }

} // namespace pixora
