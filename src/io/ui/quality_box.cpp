#include "io/ui/quality_box.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

namespace pixora {

QSlider* MakeQualityBox(QDialog* owner, const QString& caption, int value, QGroupBox** made) {
    auto* box = new QGroupBox(caption, owner);
    box->setObjectName("GroupBox1");
    box->setGeometry(8, 90, 204, 66);
    auto* quality = new QSlider(Qt::Horizontal, box);
    quality->setObjectName("TrackBar1");
    quality->setRange(0, 100);
    quality->setValue(value);
    quality->setGeometry(10, 24, 150, 26);
    auto* number = new QLabel(QString::number(value), box);
    number->setObjectName("Label1");
    number->setGeometry(166, 26, 32, 20);
    QObject::connect(quality, &QSlider::valueChanged, number, [number](int v) { number->setNum(v); });
    if (made) *made = box;
    return quality;
}

} // namespace pixora
