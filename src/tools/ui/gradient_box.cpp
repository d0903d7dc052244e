#include "tools/ui/gradient_box.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "doc/workspace.h"
#include "tools/shapes/gradient_previews.h"
#include "window_kit/option_controls.h"
#include "window_kit/picture_widget.h"
#include "window_kit/window_host.h"
#include "window_kit/window_support.h"

namespace pixora {

namespace {

constexpr int kPanelHeight = 200;

// The property that keeps the chosen kind.
QByteArray KindProperty() {
    const std::string_view name = OptionRow(TOpt::GradientKind).Control;
    return QByteArray(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

GradientBox::GradientBox(WindowHost& host, QWidget* owner) : QDialog(owner), host_(host) {
    setModal(true);
    KeepPlace(this, [this]() -> std::optional<QPoint> { return CentredOnScreen(this); });
    setProperty(KindProperty(), OptionRow(TOpt::GradientKind).Default);
    auto* row = new QHBoxLayout(this);

    // The picture of the previews in a panel, scrolled by the bar beside it.
    panel_ = new QWidget(this);
    panel_->setObjectName("Panel1");
    panel_->setFixedSize(kGradientPictureWidth, kPanelHeight);
    SetBackground(panel_, Qt::white);
    image_ = new PictureWidget(picture_, panel_);
    image_->setObjectName("Image1");
    bar_ = new QScrollBar(Qt::Vertical, this);
    bar_->setObjectName("ScrollBar1");
    bar_->setFixedHeight(kPanelHeight);
    row->addWidget(panel_, 0, Qt::AlignTop);
    row->addWidget(bar_, 0, Qt::AlignTop);

    auto* side = new QVBoxLayout;
    auto* grid = new QGridLayout;
    // The settings' controls, one grid row each: a spin edit beside its
    // label, a check box across.
    OptionControls& options = host.Options();
    int gridRow = 0;
    for (const TOptionRow& r : OptionRowsOf(TWindow::Gradient)) {
        if (r.Kind == TOptKind::Kept) {
            options.Bind(r.Id, this);
            continue;
        }
        if (r.Kind == TOptKind::Spin) {
            auto* label = new QLabel(OptionText(r.Caption), this);
            label->setObjectName(OptionText(r.Control) + "Label");
            grid->addWidget(label, gridRow, 0);
            auto* spin = static_cast<QSpinBox*>(MakeOptionControl(r, this));
            spin->setSuffix(OptionText(r.Suffix));
            grid->addWidget(spin, gridRow, 1);
            options.Bind(r.Id, spin);
        } else {
            QWidget* control = MakeOptionControl(r, this);
            grid->addWidget(control, gridRow, 0, 1, 2);
            options.Bind(r.Id, control);
        }
        ++gridRow;
    }
    size_ = options.Control<QSpinBox>(TOpt::GradientSize);
    top_ = options.Control<QSpinBox>(TOpt::GradientTop);
    left_ = options.Control<QSpinBox>(TOpt::GradientLeft);
    depth_ = options.Control<QSpinBox>(TOpt::GradientDepth);
    tfg_ = options.Control<QCheckBox>(TOpt::GradientTransparentFG);
    tbg_ = options.Control<QCheckBox>(TOpt::GradientTransparentBG);
    side->addLayout(grid);
    side->addStretch();
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    side->addLayout(buttons);
    row->addLayout(side);
    row->setSizeConstraint(QLayout::SetFixedSize);

    // The settings are read live by the tools: both buttons just close.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QSpinBox* spin : {size_, top_, left_, depth_})
        connect(spin, &QSpinBox::valueChanged, this, [this] { Redraw(); });
    for (QCheckBox* check : {tfg_, tbg_})
        connect(check, &QCheckBox::toggled, this, [this] { Redraw(); });
    connect(image_, &PictureWidget::Pressed, this, [this](int x, int y, int) { PictureClicked(x, y); });
    connect(bar_, &QScrollBar::valueChanged, this, [this](int v) { image_->move(0, -v); });
}

int GradientBox::Kind() const {
    return property(KindProperty()).toInt();
}

TGradientSettings GradientBox::Settings() const {
    TGradientSettings g;
    g.Kind = Kind();
    g.Size = size_->value();
    g.TopPercent = top_->value();
    g.LeftPercent = left_->value();
    g.Depth = depth_->value();
    g.TransparentFG = tfg_->isChecked();
    g.TransparentBG = tbg_->isChecked();
    return g;
}

void GradientBox::Redraw() {
    if (picture_.Empty()) return;
    Workspace& ws = host_.Ws();
    int32_t fg = RGBColour(0, 0, 0), bg = RGBColour(255, 255, 255);
    if (const TActiveImage s = ws.ActiveImage()) {
        fg = s->FGColour;
        bg = s->BGColour;
    }
    DrawGradientPreviews(picture_, Settings(), fg, bg);
    DrawGradientFrames(picture_, Kind());
    image_->update();
}

void GradientBox::PictureClicked(int x, int y) {
    const int kind = GradientPreviewAt(x, y);
    if (kind < 0) return;
    setProperty(KindProperty(), kind);
    DrawGradientFrames(picture_, kind);
    image_->update();
}

void GradientBox::PlacePicture() {
    image_->setFixedSize(picture_.Width(), picture_.Height());
    const int over = picture_.Height() - panel_->height();
    bar_->setVisible(over > 0);
    bar_->setRange(0, std::max(over, 0));
    bar_->setValue(0);
    image_->move(0, 0);
}

void GradientBox::showEvent(QShowEvent* e) {
    picture_ = Bitmap(kGradientPictureWidth, GradientPictureHeight(), 32);
    picture_.Fill(255, 255, 255, 0);
    PlacePicture();
    Redraw();
    QDialog::showEvent(e);
}

void GradientBox::hideEvent(QHideEvent* e) {
    picture_ = Bitmap();
    QDialog::hideEvent(e);
}

} // namespace pixora
