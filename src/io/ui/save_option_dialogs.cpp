// The small dialogs of saving: "Pixel Format", "JPEG Options" and
// "Replace File?". They keep their last choices between uses.
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>

#include "io/ui/file_dialogs.h"

namespace pixora {

namespace {

// A radio group: a box with one button per item, ids 0.. in order.
QButtonGroup* RadioGroup(QDialog* owner, const QString& caption, const QString& name, const QStringList& items,
                         int checked, const QRect& box) {
    auto* frame = new QGroupBox(caption, owner);
    frame->setObjectName(name);
    frame->setGeometry(box);
    auto* group = new QButtonGroup(owner);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], frame);
        b->setObjectName(QString("%1Item%2").arg(name).arg(i));
        b->setGeometry(12, 22 + 24 * i, box.width() - 24, 22);
        group->addButton(b, i);
    }
    group->button(checked)->setChecked(true);
    return group;
}

QPushButton* OkButton(QDialog* owner, int x, int y) {
    auto* ok = new QPushButton("OK", owner);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    ok->setGeometry(x, y, 75, 26);
    QObject::connect(ok, &QPushButton::clicked, owner, &QDialog::accept);
    return ok;
}

} // namespace

// ---- "Pixel Format" -------------------------------------------------------------

PixelFormatDialog::PixelFormatDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm5");
    setWindowTitle("Pixel Format");
    setModal(true);
    setFixedSize(200, 172);
    group_ = RadioGroup(this, "Select Pixel Format", "RadioGroup1",
                        {"8-bit Bitmap", "16-bit Bitmap", "24-bit Bitmap", "32-bit Bitmap"}, 2, QRect(8, 8, 184, 122));
    OkButton(this, 62, 138);
}

int PixelFormatDialog::ItemIndex() const { return group_->checkedId(); }
void PixelFormatDialog::SetItemIndex(int i) {
    if (auto* b = group_->button(i)) b->setChecked(true);
}

void PixelFormatDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CentreOnScreen(this);
}

// ---- "JPEG Options" -------------------------------------------------------------

JpegOptionsDialog::JpegOptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm6");
    setWindowTitle("JPEG Options");
    setModal(true);
    setFixedSize(220, 200);
    group_ = RadioGroup(this, "JPEG PixelFormat", "RadioGroup1", {"8-bit Format", "24-bit Format"}, 1,
                        QRect(8, 8, 204, 76));
    auto* box = new QGroupBox("JPEG Quality", this);
    box->setObjectName("GroupBox1");
    box->setGeometry(8, 90, 204, 66);
    quality_ = new QSlider(Qt::Horizontal, box);
    quality_->setObjectName("TrackBar1");
    quality_->setRange(0, 100);
    quality_->setValue(100);
    quality_->setGeometry(10, 24, 150, 26);
    auto* value = new QLabel("100", box);
    value->setObjectName("Label1");
    value->setGeometry(166, 26, 32, 20);
    connect(quality_, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    OkButton(this, 72, 166);
}

int JpegOptionsDialog::ItemIndex() const { return group_->checkedId(); }
int JpegOptionsDialog::Quality() const { return quality_->value(); }

void JpegOptionsDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CentreOnScreen(this);
}

// ---- "Replace File?" ------------------------------------------------------------

ReplaceFileDialog::ReplaceFileDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm53");
    setWindowTitle("Replace File?");
    setModal(true);
    setFixedSize(280, 110);
    auto* l1 = new QLabel("The File you Selected already exists.", this);
    l1->setObjectName("Label1");
    l1->setGeometry(16, 14, 250, 20);
    auto* l2 = new QLabel("Would you like to replace the file?", this);
    l2->setObjectName("Label2");
    l2->setGeometry(16, 38, 250, 20);
    auto* yes = new QPushButton("Yes", this);
    yes->setObjectName("Button1");
    yes->setGeometry(58, 74, 75, 26);
    auto* no = new QPushButton("No", this);
    no->setObjectName("Button2");
    no->setDefault(true);
    no->setGeometry(146, 74, 75, 26);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
}

void ReplaceFileDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CentreOnScreen(this);
}

} // namespace pixora
