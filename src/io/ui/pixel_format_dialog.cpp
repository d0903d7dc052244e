#include "io/ui/pixel_format_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>

#include "window_kit/window_support.h"

namespace pixora {

PixelFormatDialog::PixelFormatDialog(QWidget* parent)
    : CentredDialog(parent, TWindow::PixelFormat, 200, 172) {
    group_ = MakeRadioGroup(this, "Select Pixel Format", "RadioGroup1",
                            {"8-bit Bitmap", "16-bit Bitmap", "24-bit Bitmap", "32-bit Bitmap"}, 2,
                            QRect(8, 8, 184, 122));
    MakeOkButton(this, 62, 138);
}

int PixelFormatDialog::ItemIndex() const {
    return group_->checkedId();
}
void PixelFormatDialog::SetItemIndex(int i) {
    if (auto* b = group_->button(i)) b->setChecked(true);
}

} // namespace pixora
