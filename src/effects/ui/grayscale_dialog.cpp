#include "effects/ui/grayscale_dialog.h"

#include <QButtonGroup>
#include <QSignalBlocker>
#include <QSlider>

#include "doc/workspace.h"
#include "effects/colour_previews.h"

namespace pixora {

GrayScaleDialog::GrayScaleDialog(WindowHost& host, const TEffectRow& row, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(row), owner) {
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    dominant_ = AddRadioGroup("D", "Dominant Channel", {"RGB", "Red", "Green", "Blue"}, 2, 0);
    brightness_ = AddTrack("B", QString(), -255, 255, 0, AddGroup("Brightness"));
}

TEffectValues GrayScaleDialog::Values() const {
    return {dominant_->checkedId(), brightness_->value()};
}

void GrayScaleDialog::Open() {
    if (!Ws().ActiveImage()) return;
    {
        const QSignalBlocker quiet(dominant_);
        CheckButton(dominant_, 0);
    }
    show();
    raise();
    Preview();
}

void GrayScaleDialog::RunPreview() {
    PreviewGrayScale(Ws(), {static_cast<quick::TDominant>(dominant_->checkedId()), brightness_->value()});
}

Bitmap& GrayScaleDialog::CommitSource() {
    // The window may have stayed open while the image changed (or another
    // tab became active): commit the grey of the image as it is now.
    RunPreview();
    return Ws().DisplayCopy;
}

} // namespace pixora
