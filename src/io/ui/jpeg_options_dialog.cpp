#include "io/ui/jpeg_options_dialog.h"

#include <QButtonGroup>
#include <QSlider>

#include "window_kit/window_support.h"
#include "io/ui/quality_box.h"

namespace pixora {

JpegOptionsDialog::JpegOptionsDialog(QWidget* parent)
    : CentredDialog(parent, TWindow::JpegOptions, 220, 200) {
    group_ = MakeRadioGroup(this, "JPEG PixelFormat", "RadioGroup1", {"8-bit Format", "24-bit Format"}, 1,
                            QRect(8, 8, 204, 76));
    quality_ = MakeQualityBox(this, "JPEG Quality", 100);
    MakeOkButton(this, 72, 166);
}

int JpegOptionsDialog::ItemIndex() const {
    return group_->checkedId();
}
int JpegOptionsDialog::Quality() const {
    return quality_->value();
}

} // namespace pixora
