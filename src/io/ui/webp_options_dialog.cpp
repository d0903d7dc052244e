#include "io/ui/webp_options_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

#include "app/window_support.h"

namespace pixora {

WebpOptionsDialog::WebpOptionsDialog(QWidget* parent) : CentredDialog(parent, "TForm56", "WebP Options", 220, 200) {
    group_ = MakeRadioGroup(this, "WebP Compression", "RadioGroup1", {"Lossy", "Lossless"}, 0, QRect(8, 8, 204, 76));
    auto* box = new QGroupBox("WebP Quality", this);
    box->setObjectName("GroupBox1");
    box->setGeometry(8, 90, 204, 66);
    quality_ = new QSlider(Qt::Horizontal, box);
    quality_->setObjectName("TrackBar1");
    quality_->setRange(0, 100);
    quality_->setValue(90);
    quality_->setGeometry(10, 24, 150, 26);
    auto* value = new QLabel("90", box);
    value->setObjectName("Label1");
    value->setGeometry(166, 26, 32, 20);
    connect(quality_, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    // The quality means nothing to a lossless file.
    connect(group_, &QButtonGroup::idToggled, box, [box](int id, bool on) {
        if (id == 1) box->setEnabled(!on);
    });
    MakeOkButton(this, 72, 166);
}

bool WebpOptionsDialog::Lossless() const {
    return group_->checkedId() == 1;
}

int WebpOptionsDialog::Quality() const {
    return quality_->value();
}

} // namespace pixora
