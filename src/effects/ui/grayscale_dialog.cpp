#include "effects/ui/grayscale_dialog.h"

#include "doc/display_copy.h"
#include "doc/workspace.h"
#include "effects/colour_previews.h"

namespace pixora {

GrayScaleDialog::GrayScaleDialog(WindowHost& host, const TEffectRow& row, QWidget* owner)
    : FilterDialog(host, row, owner) {
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    AddArgumentControls();
}

void GrayScaleDialog::Open() {
    if (!Ws().ActiveImage()) return;
    // The resets show in the one preview below, not one by one.
    quiet_ = true;
    ResetArgumentControls();
    quiet_ = false;
    show();
    raise();
    Preview();
}

void GrayScaleDialog::RunPreview() {
    if (quiet_) return;
    const TEffectValues v = Values();
    PreviewGrayScale(Ws(), {static_cast<quick::TDominant>(v[0]), v[1]});
}

Bitmap& GrayScaleDialog::CommitSource() {
    // The window may have stayed open while the image changed (or another
    // tab became active): commit the grey of the image as it is now.
    RunPreview();
    return DisplayCopyToDrawOn(Ws());
}

} // namespace pixora
