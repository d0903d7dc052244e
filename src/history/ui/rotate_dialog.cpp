#include "history/ui/rotate_dialog.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <limits>

#include "doc/workspace.h"
#include "effects/recipes.h"
#include "window_kit/swatch.h"
#include "window_kit/window_host.h"

namespace pixora {

RotateDialog::RotateDialog(WindowHost& host, QWidget* parent)
    : CentredDialog(parent, TWindow::Rotate, 0, 0), host_(host) {
    setWindowFlag(Qt::WindowStaysOnTopHint);
    // Laid out, not placed: every control keeps the room its text needs at
    // any scale, and the dialog takes the size of what it holds.
    auto* la = new QLabel("Rotation Angle:", this);
    ra_ = MakeSpinBox(this, "RA", std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    ra_->setSingleStep(5);
    ra_->setMinimumWidth(90);
    auto* lb = new QLabel("BG Colour:", this);
    shape_ = new SwatchWidget(this);
    shape_->setObjectName("Shape");
    shape_->setFixedSize(40, 26);
    shape_->setCursor(Qt::PointingHandCursor);
    shape_->SetColour(0xFFFFFF);
    shape_->OnRelease = [this] { ShapeClicked(); };
    c_ = MakeRadioGroup(this, "Controls", "C",
                        {"Rotate", "Mirror", "Rotate Left", "Rotate Right", "Rotate and Mirror"}, 0, QRect());
    auto* group = c_->button(0)->parentWidget();
    auto* items = new QVBoxLayout(group);
    for (QAbstractButton* b : c_->buttons())
        items->addWidget(b);
    QPushButton* ok = MakeDefaultButton(this, "OK", 0, 0);
    connect(ok, &QPushButton::clicked, this, &RotateDialog::OkClicked);
    QPushButton* cancel = MakeCancelButton(this, 0, 0);

    auto* fields = new QGridLayout;
    fields->addWidget(la, 0, 0);
    fields->addWidget(ra_, 0, 1);
    fields->addWidget(lb, 1, 0);
    fields->addWidget(shape_, 1, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addWidget(group);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
    connect(ra_, &QSpinBox::valueChanged, this, &RotateDialog::AngleChanged);
    connect(c_, &QButtonGroup::idClicked, this, &RotateDialog::ControlChosen);
}

int32_t RotateDialog::Background() const {
    return shape_->Colour();
}

void RotateDialog::SetBackground(int32_t colour) {
    shape_->SetColour(colour);
}

void RotateDialog::Open() {
    Workspace& ws = host_.Ws();
    if (!ws.ActiveImage()) return;
    // A floating selection goes into the image before it is turned.
    ws.BeforeImageReplaced();
    TImages& s = ws.Active();
    s.Bitmap.SetBitsPerPixel(32);
    StartRotatePreview(s.Bitmap, preview_);
    last_ = TRotateParams{TRotateAction::Angle, 0, Background()};
    anyShown_ = false;
    {
        const QSignalBlocker quiet(ra_);
        ra_->setValue(0);
    }
    open_ = true;
    exec();
}

void RotateDialog::ShowPreview(const TRotateParams& action) {
    Workspace& ws = host_.Ws();
    if (!open_ || !ws.ActiveImage()) return;
    last_ = action;
    // Every preview starts from the unchanged image; a result too large is
    // said and not previewed.
    if (RotationTooLarge(ws, ws.Active().Bitmap, action)) return;
    // The view keeps the image's frame; the result shows in it at its own aspect.
    if (!ShowRotatePreview(preview_, action, ws.DisplayCopy)) return;
    shown_ = action;
    anyShown_ = true;
    FillRowTable(ws.DisplayCopy, ws.SysData.ScratchRows);
    ws.Port->RepaintView();
}

void RotateDialog::AngleChanged() {
    ShowPreview({TRotateAction::Angle, static_cast<double>(ra_->value()), Background()});
}

void RotateDialog::ControlChosen(int item) {
    ShowPreview({static_cast<TRotateAction>(item), 0, Background()});
}

void RotateDialog::ShapeClicked() {
    int32_t colour = Background();
    if (!PickColour || !PickColour(colour)) return;
    SetBackground(colour);
    // A new colour turns the image by the angle again.
    AngleChanged();
}

void RotateDialog::OkClicked() {
    if (!open_) return;
    // The image is turned once, at its own size, by the action shown; an
    // action refused (too large) is not applied, and not noted either.
    if (anyShown_ && RotateActiveImage(host_.Ws(), shown_)) NoteRecipeStep(host_.Ws(), RotateRecipeStep(shown_));
    accept();
}

void RotateDialog::done(int result) {
    // Closing frees the preview; the view shows the image again.
    open_ = false;
    preview_ = TRotatePreview();
    anyShown_ = false;
    QDialog::done(result);
    host_.RefreshView();
}

} // namespace pixora
