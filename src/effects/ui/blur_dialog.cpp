#include "effects/ui/blur_dialog.h"

#include <QSpinBox>

namespace pixora {

BlurDialog::BlurDialog(WindowHost& host, const TEffectRow& row, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(row), owner) {
    intensity_ = AddSpin("Int", "Blur Intensity:", 0, 20, 0);
}

TEffectValues BlurDialog::Values() const {
    return {intensity_->value()};
}

void BlurDialog::Shown() {
    intensity_->setValue(1);
}

void BlurDialog::ResetAfterClose() {
    intensity_->setValue(0);
}

} // namespace pixora
