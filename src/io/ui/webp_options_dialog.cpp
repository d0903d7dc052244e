#include "io/ui/webp_options_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QSlider>

#include "window_kit/window_support.h"
#include "io/ui/quality_box.h"

namespace pixora {

WebpOptionsDialog::WebpOptionsDialog(QWidget* parent) : CentredDialog(parent, TWindow::WebpOptions, 220, 200) {
    group_ = MakeRadioGroup(this, "WebP Compression", "RadioGroup1", {"Lossy", "Lossless"}, 0, QRect(8, 8, 204, 76));
    QGroupBox* box = nullptr;
    quality_ = MakeQualityBox(this, "WebP Quality", 90, &box);
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
