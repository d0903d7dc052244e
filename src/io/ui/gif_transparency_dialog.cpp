// "GIF Image Transparency": how many of the image's pixels a GIF will key,
// with a preview over the checkerboard.
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>

#include "doc/checkerboard.h"
#include "io/gif_preview.h"
#include "io/ui/gif_transparency_dialog.h"

#include "window_kit/option_controls.h"
#include "window_kit/window_support.h"
#include "window_kit/value_box.h"

namespace pixora {

GifTransparencyDialog::GifTransparencyDialog(QWidget* parent)
    : CentredDialog(parent, TWindow::GifTransparency) {
    resize(420, 400);
    const TOptionRow& sensitivity = OptionRow(TOpt::GifSensitivity);
    auto* box = new QGroupBox(OptionText(sensitivity.Caption), this);
    box->setObjectName("GroupBox1");
    box->setGeometry(8, 8, 404, 60);
    ts_ = static_cast<QSlider*>(MakeOptionControl(sensitivity, box));
    ts_->setGeometry(10, 24, 384, 26);
    AddValueBox(ts_);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("ScrollBox1");
    scroll_->setGeometry(8, 76, 404, 280);
    image_ = new QLabel;
    image_->setObjectName("Image1");
    scroll_->setWidget(image_);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    ok->setGeometry(172, 366, 75, 26);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ts_, &QSlider::valueChanged, this, [this] {
        if (isVisible()) Redraw();
    });
}

void GifTransparencyDialog::Prepare(const Bitmap& image) {
    source_ = image;
    source_.SetBitsPerPixel(32);
    BuildCheckerboard(checker_, source_.Width(), source_.Height());
    Redraw();
}

int GifTransparencyDialog::Sensitivity() const { return ts_->value(); }
void GifTransparencyDialog::SetSensitivity(int value) { ts_->setValue(value); }

void GifTransparencyDialog::Redraw() {
    DrawGifPreview(source_, checker_, ts_->value(), preview_);
    image_->setPixmap(QPixmap::fromImage(PictureOf(preview_)));
    image_->resize(preview_.Width(), preview_.Height());
}

} // namespace pixora
