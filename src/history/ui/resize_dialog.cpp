#include "history/ui/resize_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <limits>

#include "doc/workspace.h"
#include "effects/recipes.h"

namespace pixora {

ResizeDialog::ResizeDialog(Workspace& ws, QWidget* parent)
    : CentredDialog(parent, TWindow::Resize, 232, 172), ws_(ws) {
    setWindowFlag(Qt::WindowStaysOnTopHint);
    constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    // Beside "Link": the size as a share of the image's, up to ten times.
    // Made before the size fields it sets, so they follow it in the tab order.
    percent_ = MakeSpinBox(this, "Percent", 1, 1000, 100);
    percent_->setSuffix(" %");
    percent_->setKeyboardTracking(false);
    percent_->setAccessibleName("Percent of the image's size");
    percent_->setGeometry(80, 66, 140, 22);
    auto* lw = new QLabel("Width:", this);
    lw->setGeometry(12, 14, 60, 20);
    w_ = MakeSpinBox(this, "W", lo, hi);
    w_->setGeometry(80, 12, 140, 22);
    auto* lh = new QLabel("Height", this);
    lh->setGeometry(12, 42, 60, 20);
    h_ = MakeSpinBox(this, "H", lo, hi);
    h_->setGeometry(80, 40, 140, 22);
    link_ = new QCheckBox("Link", this);
    link_->setObjectName("Link");
    link_->setGeometry(12, 68, 64, 20);
    aspect_ = new QCheckBox("Keep aspect ratio", this);
    aspect_->setObjectName("KeepAspect");
    aspect_->setGeometry(12, 90, 200, 20);
    stretch_ = new QCheckBox("Stretch to fit new Image", this);
    stretch_->setObjectName("S");
    stretch_->setChecked(true);
    stretch_->setGeometry(12, 112, 200, 20);
    connect(MakeDefaultButton(this, "OK", 64, 140), &QPushButton::clicked, this, &ResizeDialog::OkClicked);
    MakeCancelButton(this, 146, 140);
    // The two ways of following the other side exclude each other.
    connect(aspect_, &QCheckBox::toggled, link_, [this](bool on) {
        if (on) link_->setChecked(false);
    });
    connect(link_, &QCheckBox::toggled, aspect_, [this](bool on) {
        if (on) aspect_->setChecked(false);
    });
    connect(percent_, &QSpinBox::valueChanged, this, [this](int p) {
        ResizeToPercent(f_, p);
        ShowFields();
    });

    for (auto [box, field] : {std::pair{w_, TSizeField::Width}, std::pair{h_, TSizeField::Height}}) {
        // A typed number counts once it is finished (Enter, leaving the
        // field, an arrow step), not digit by digit: "150" typed over
        // "100" is one change of 50, as "Link" wants it.
        box->setKeyboardTracking(false);
        box->installEventFilter(this);
        if (QLineEdit* text = box->findChild<QLineEdit*>()) text->installEventFilter(this);
        const TSizeField changed = field;
        connect(box, &QSpinBox::valueChanged, this, [this, changed] { FieldChanged(changed); });
    }
}

void ResizeDialog::Open() {
    const TActiveImage active = ws_.ActiveImage();
    if (!active) return;
    const Bitmap& image = active->Bitmap;
    ShowResizeFields(f_, image.Width(), image.Height());
    ShowFields();
    exec();
}

void ResizeDialog::ShowFields() {
    const QSignalBlocker quietW(w_), quietH(h_), quietP(percent_);
    w_->setValue(f_.Width);
    h_->setValue(f_.Height);
    percent_->setValue(ResizePercent(f_));
}

void ResizeDialog::FieldChanged(TSizeField field) {
    f_.Width = w_->value();
    f_.Height = h_->value();
    f_.Link = link_->isChecked();
    f_.KeepAspect = aspect_->isChecked();
    SizeFieldChanged(f_, field);
    ShowFields();
}

void ResizeDialog::OkClicked() {
    f_.Width = w_->value();
    f_.Height = h_->value();
    TResizeParams params;
    const bool accepted = AcceptResizeFields(f_, params, stretch_->isChecked());
    ShowFields();
    if (!accepted) return;
    if (ResizeActiveImage(ws_, params)) NoteRecipeStep(ws_, ResizeRecipeStep(params));
    accept();
}

bool ResizeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == w_ || watched->parent() == w_) f_.Editing = TSizeField::Width;
        if (watched == h_ || watched->parent() == h_) f_.Editing = TSizeField::Height;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pixora
