#include "window_kit/value_box.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

namespace pixora {

QSpinBox* AddValueBox(QSlider* slider) {
    QWidget* parent = slider->parentWidget();
    auto* box = new QSpinBox(parent);
    box->setObjectName(slider->objectName() + "Value");
    box->setRange(slider->minimum(), slider->maximum());
    box->setValue(slider->value());
    box->setAccelerated(true);
    // Read aloud as the slider's value (accessible_names.h names it).
    box->setProperty(kValueBoxOf, QVariant::fromValue<QObject*>(slider));
    QObject::connect(slider, &QSlider::valueChanged, box, &QSpinBox::setValue);
    QObject::connect(slider, &QSlider::rangeChanged, box, &QSpinBox::setRange);
    QObject::connect(box, &QSpinBox::valueChanged, slider, &QSlider::setValue);

    const bool hidden = slider->isHidden();
    QLayout* layout = parent ? parent->layout() : nullptr;
    auto* row = new QWidget(parent);
    // replaceWidget looks through the nested layouts too.
    if (QLayoutItem* old = layout ? layout->replaceWidget(slider, row) : nullptr) {
        // The slider's cell holds both now, the slider taking the room.
        delete old;
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        slider->setParent(row);
        box->setParent(row);
        h->addWidget(slider, 1);
        h->addWidget(box);
        row->setVisible(!hidden);
        slider->show();
    } else {
        delete row;
        // Placed by hand: the box takes the right end of the slider's place.
        const QRect r = slider->geometry();
        const int w = box->sizeHint().width();
        slider->setGeometry(r.x(), r.y(), std::max(0, r.width() - w - 4), r.height());
        box->setGeometry(r.right() - w + 1, r.y() + (r.height() - box->sizeHint().height()) / 2, w,
                         box->sizeHint().height());
        box->setVisible(!hidden);
    }
    return box;
}

} // namespace pixora
