#include "effects/ui/histogram_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>

#include "effects/colour/plane_choice.h"
#include "effects/colour/planes.h"
#include "effects/colour_previews.h"

namespace pixora {

namespace {

constexpr int kHistogramHeight = 150;

QStringList Texts(const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& s : items)
        list << QString::fromStdString(s);
    return list;
}

} // namespace

HistogramDialog::HistogramDialog(WindowHost& host, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow{"Histogram", nullptr, false}, owner),
      histogram_(256, kHistogramHeight, QImage::Format_RGB32) {
    QGroupBox* picture = AddGroup(QString());
    image_ = new QLabel(picture);
    image_->setObjectName("ImageHistogram");
    image_->setFixedSize(histogram_.size());
    static_cast<QGridLayout*>(picture->layout())->addWidget(image_, 0, 0);
    space_ = AddRadioGroup("RadioGroupColorSpace", "Color Space", {"RGB", "HSV", "HLS", "CMYK"}, 4, 0);
    plane_ = AddRadioGroup("RadioGroupColorPlane", "Plane", Texts(PlaneItems(0)), 2, 0);
    monochrome_ = AddCheck("CheckBoxMonochrome", "Monochrome", false);
    invert_ = AddCheck("CheckBoxInvert", "Invert", false);
    UseAsBrush()->setText("Use Brush");
    histogram_.fill(QColor(192, 192, 192));
}

TEffectValues HistogramDialog::Values() const {
    return {Plane(), monochrome_->isChecked() ? 1 : 0, invert_->isChecked() ? 1 : 0};
}

int HistogramDialog::Plane() const {
    return PlaneOfChoice(space_->checkedId(), plane_->checkedId());
}

void HistogramDialog::ListPlanes(int space) {
    const QStringList items = Texts(PlaneItems(space));
    const QSignalBlocker quiet(plane_);
    const QList<QAbstractButton*> buttons = plane_->buttons();
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        buttons[i]->setVisible(i < items.size());
        if (i < items.size()) buttons[i]->setText(items[i]);
    }
    CheckButton(plane_, 0);
    listed_ = space;
}

void HistogramDialog::ResetBeforeShow() {
    work_ = HistogramWorkCopy(Ws());
    listed_ = -1;
    CheckButton(space_, 0);
    Preview();
}

void HistogramDialog::ResetAfterClose() {
    work_ = Bitmap();
}

void HistogramDialog::RunPreview() {
    if (space_->checkedId() != listed_) ListPlanes(space_->checkedId());
    const int plane = Plane();
    if (plane < 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setWindowTitle(QString::fromStdString(PlaneName(plane)));
    const bool offered = MonochromeOffered(plane);
    monochrome_->setVisible(offered);
    ShowHistogramPlane(Ws(), work_, plane, offered && !monochrome_->isChecked(), invert_->isChecked(),
                       histogram_);
    image_->setPixmap(QPixmap::fromImage(histogram_));
    QApplication::restoreOverrideCursor();
}

} // namespace pixora
