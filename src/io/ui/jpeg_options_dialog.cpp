#include "io/ui/jpeg_options_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

#include "window_kit/window_support.h"

namespace pixora {

JpegOptionsDialog::JpegOptionsDialog(QWidget* parent)
    : CentredDialog(parent, TWindow::JpegOptions, 220, 200) {
    group_ = MakeRadioGroup(this, "JPEG PixelFormat", "RadioGroup1", {"8-bit Format", "24-bit Format"}, 1,
                            QRect(8, 8, 204, 76));
    auto* box = new QGroupBox("JPEG Quality", this);
    box->setObjectName("GroupBox1");
    box->setGeometry(8, 90, 204, 66);
    quality_ = new QSlider(Qt::Horizontal, box);
    quality_->setObjectName("TrackBar1");
    quality_->setRange(0, 100);
    quality_->setValue(100);
    quality_->setGeometry(10, 24, 150, 26);
    auto* value = new QLabel("100", box);
    value->setObjectName("Label1");
    value->setGeometry(166, 26, 32, 20);
    connect(quality_, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    MakeOkButton(this, 72, 166);
}

int JpegOptionsDialog::ItemIndex() const {
    return group_->checkedId();
}
int JpegOptionsDialog::Quality() const {
    return quality_->value();
}

} // namespace pixora
