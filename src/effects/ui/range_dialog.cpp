#include "effects/ui/range_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QSlider>

namespace pixora {

namespace {

QSlider* CellSize(QSlider* t) {
    t->setPageStep(1);
    t->setTickInterval(4);
    return t;
}

} // namespace

RangeDialog::RangeDialog(WindowHost& host, const TEffectRow& row, bool roughBlur, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(row), owner) {
    type_ = AddRadioGroup("rgType", "Range type:",
                          {"Rect", "Ellipse", "Frame", "Star 1", "Star 2", "Triangle 1", "Triangle 2",
                           "Triangle 3", "Triangle 4", "Rhomb", "Cross"},
                          3, 0);
    width_ = CellSize(AddTrack("tbWidth", "Width:", 2, 50, 8));
    height_ = CellSize(AddTrack("tbHeight", "Height:", 2, 50, 8));
    if (roughBlur) {
        radius_ = AddTrack("tbRadius", "Radius:", 1, 5, 1);
        quality_ = AddRadioGroup("rgQuality", "Quality:", {"Fast", "Qualitative"}, 2, 0);
    }
    transparent_ = AddCheck("Trans", "Tranparent", true);
}

TEffectValues RangeDialog::Values() const {
    const int solid = transparent_->isChecked() ? 0 : 1;
    if (!radius_) return {width_->value(), height_->value(), type_->checkedId(), solid};
    return {width_->value(),       height_->value(),   radius_->value(),
            quality_->checkedId(), type_->checkedId(), solid};
}

void RangeDialog::ResetBeforeShow() {
    CheckButton(type_, 0);
    width_->setValue(8);
    height_->setValue(8);
    if (radius_) {
        radius_->setValue(radius_->minimum());
        CheckButton(quality_, 0);
    }
    transparent_->setChecked(true);
    Preview();
}

} // namespace pixora
