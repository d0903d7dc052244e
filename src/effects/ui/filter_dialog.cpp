#include "effects/ui/filter_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "doc/display_copy.h"
#include "doc/workspace.h"
#include "effects/filter_framework.h"
#include "effects/recipes.h"
#include "tools/tool_table.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/window_host.h"
#include "window_kit/window_support.h"
#include "window_kit/value_box.h"

namespace pixora {

namespace {

QStringList Texts(std::span<const std::string_view> list) {
    QStringList texts;
    for (std::string_view s : list)
        texts << Text(s);
    return texts;
}

} // namespace

FilterDialog::FilterDialog(WindowHost& host, const TEffectRow& effect, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(effect), owner) {
    effect_ = &effect;
}

FilterDialog::FilterDialog(WindowHost& host, TFilterWindowRow row, QWidget* owner)
    : QDialog(owner), host_(host), row_(std::move(row)) {
    setModal(true);
    KeepPlace(this, [this]() -> std::optional<QPoint> {
        adjustSize();
        return AboveStatusBar(host_.Owner(), host_.StatusBar(), this);
    });
    auto* outer = new QVBoxLayout(this);
    body_ = new QVBoxLayout;
    outer->addLayout(body_);
    auto* buttons = new QHBoxLayout;
    useAsBrush_ = new QCheckBox("Use as Brush", this);
    useAsBrush_->setObjectName("UB");
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button1");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("Button2");
    // Held down, the view shows the image as it is, without the effect.
    auto* original = new QPushButton("Show Original", this);
    original->setObjectName("ShowOriginal");
    original->setAutoDefault(false);
    buttons->addWidget(useAsBrush_);
    buttons->addWidget(original);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    connect(ok_, &QPushButton::clicked, this, [this] { Commit(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(original, &QPushButton::pressed, this, [this] {
        originalShown_ = true;
        host_.RefreshView();
    });
    connect(original, &QPushButton::released, this, [this] {
        originalShown_ = false;
        if (previewed_ && isVisible()) RunPreview();
    });
}

Workspace& FilterDialog::Ws() const {
    return host_.Ws();
}

void FilterDialog::Open() {
    if (!Ws().ActiveImage()) return;
    previewed_ = false;
    resetting_ = true;
    ResetBeforeShow();
    resetting_ = false;
    // The resets before showing give the window its first preview: one,
    // however many controls they changed.
    if (previewed_) RunPreview();
    exec();
    // The view shows the document again already; the resets after closing
    // put neutral values in and need no preview.
    ResetAfterClose();
}

void FilterDialog::Preview() {
    if (!isVisible() && !resetting_) return;
    if (resetting_) {
        // One preview after the resets, whatever they changed.
        previewed_ = true;
        return;
    }
    previewed_ = true;
    RunPreview();
}

TEffectValues FilterDialog::Values() const {
    TEffectValues v = effect_ ? DefaultValues(*effect_) : TEffectValues{};
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].Control) v[i] = Argument(i);
    return v;
}

void FilterDialog::RunPreview() {
    PreviewFilter(Ws(), row_.Filter, row_.ReadsDocument, Values());
}

Bitmap& FilterDialog::CommitSource() {
    return DisplayCopyToDrawOn(Ws());
}

void FilterDialog::Commit() {
    // Until a preview runs, the display copy holds the view's picture, with
    // transparent pixels blended over the checkerboard: never commit that,
    // nor the unchanged image "Show Original" puts there while held.
    if (!previewed_ || originalShown_) {
        originalShown_ = false;
        Preview();
    }
    const bool brush = useAsBrush_->isChecked();
    const TEffectValues values = Values();
    const std::string recipe = row_.Effect ? RecipeStep(*row_.Effect, values) : std::string();
    if (CommitFilter(Ws(), row_.StepName, CommitSource(), brush, recipe)) {
        // A window whose preview is its own (no filter of the row) cannot be
        // repeated without it.
        RememberFilter(Ws(), {row_.StepName, row_.Filter, row_.ReadsDocument, values, recipe});
        ShowChosenTool(host_, brush ? ToolEffectBrush : ToolNone);
        // The Effect Brush's options window.
        if (QWidget* options = brush ? host_.Window(TWindow::BrushOptions) : nullptr) {
            options->show();
            options->raise();
        }
    }
    accept();
}

void FilterDialog::done(int result) {
    QDialog::done(result);
    // FormClose: the view shows the document again, committed or not.
    Workspace& ws = Ws();
    if (const TActiveImage s = ws.ActiveImage()) FillRowTable(s->Bitmap, s->Rows);
    host_.RefreshView();
}

void FilterDialog::showEvent(QShowEvent* e) {
    if (!e->spontaneous()) adjustSize();
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].Control && controls_[i].Control->Shown != kKeepValue)
            SetArgument(i, controls_[i].Control->Shown);
}

// ---- the arguments' controls ---------------------------------------------------

void FilterDialog::AddArgumentControls() {
    if (!effect_) return;
    const std::span<const TEffectArg> args = effect_->Args;
    controls_.assign(std::min(args.size(), static_cast<std::size_t>(kMaxEffectValues)), {});
    QGroupBox* group = nullptr; // the titled box the last track went into
    for (const bool leading : {true, false})
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (args[i].Control.Leads == leading) AddArgumentControl(i, group);
}

void FilterDialog::AddArgumentControl(std::size_t index, QGroupBox*& group) {
    const TEffectArg& arg = effect_->Args[index];
    const TArgControl& c = arg.Control;
    TArgumentControl& made = controls_[index];
    const QString name = Text(c.Name);
    switch (c.Kind) {
    case TControlKind::None:
    case TControlKind::Own:
        return;
    case TControlKind::Track:
        // Tracks of one group share its box, one after another.
        if (c.Group.empty())
            group = nullptr;
        else if (!group || group->title() != Text(c.Group))
            group = AddGroup(Text(c.Group));
        made.Track = AddTrack(name, Text(c.Caption), arg.Min, arg.Max, c.Start, group);
        if (c.PageStep) made.Track->setPageStep(c.PageStep);
        if (c.TickEvery) made.Track->setTickInterval(c.TickEvery);
        break;
    case TControlKind::Spin:
        made.Spin = AddSpin(name, Text(c.Caption), arg.Min, arg.Max, c.Start);
        break;
    case TControlKind::RadioGroup:
        made.Buttons = AddRadioGroup(name, Text(c.Caption), Texts(c.Items), c.Columns, c.Start);
        break;
    case TControlKind::RadioButtons:
        made.Buttons = AddRadioButtons(Text(c.Caption), Texts(c.ItemNames), Texts(c.Items));
        CheckButton(made.Buttons, c.Start);
        break;
    case TControlKind::Check:
        made.Check = AddCheck(name, Text(c.Caption), (c.Start != 0) != c.Inverted);
        break;
    }
    if (c.Kind != TControlKind::Track) group = nullptr;
    made.Control = &c;
}

int FilterDialog::Argument(std::size_t index) const {
    const TArgumentControl& a = controls_[index];
    if (a.Track) return a.Track->value();
    if (a.Spin) return a.Spin->value();
    if (a.Buttons) return a.Buttons->checkedId();
    if (a.Check) return a.Check->isChecked() != a.Control->Inverted ? 1 : 0;
    return 0;
}

void FilterDialog::SetArgument(std::size_t index, int value) {
    const TArgumentControl& a = controls_[index];
    if (a.Track) a.Track->setValue(value);
    if (a.Spin) a.Spin->setValue(value);
    if (a.Buttons) CheckButton(a.Buttons, value);
    if (a.Check) a.Check->setChecked((value != 0) != a.Control->Inverted);
}

void FilterDialog::ResetArgumentControls() {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].Control && controls_[i].Control->Reset != kKeepValue)
            SetArgument(i, controls_[i].Control->Reset);
}

// ---- controls ----------------------------------------------------------------

void FilterDialog::AddRow(QWidget* label, QWidget* control) {
    // One width for the labels, so the controls of a window line up.
    label->setMinimumWidth(80);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(control, 1);
    body_->addLayout(row);
}

QGroupBox* FilterDialog::AddGroup(const QString& title) {
    auto* group = new QGroupBox(title, this);
    new QGridLayout(group);
    body_->addWidget(group);
    return group;
}

QSlider* FilterDialog::AddTrack(const QString& name, const QString& caption, int min, int max, int start,
                                QGroupBox* group) {
    QWidget* parent = group ? static_cast<QWidget*>(group) : this;
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name + "Label");
    auto* track = new QSlider(Qt::Horizontal, parent);
    track->setObjectName(name);
    track->setRange(min, max);
    track->setValue(start);
    track->setMinimumWidth(260);
    track->setTickPosition(QSlider::TicksBelow);
    track->setTickInterval(std::max(1, (max - min) / 10));
    if (group) {
        auto* grid = static_cast<QGridLayout*>(group->layout());
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(track, row, 1);
    } else {
        AddRow(label, track);
    }
    AddValueBox(track);
    connect(track, &QSlider::valueChanged, this, [this] { Preview(); });
    return track;
}

QSpinBox* FilterDialog::AddSpin(const QString& name, const QString& caption, int min, int max, int start) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name + "Label");
    QSpinBox* spin = MakeSpinBox(this, name.toUtf8().constData(), min, max, start);
    AddRow(label, spin);
    connect(spin, &QSpinBox::valueChanged, this, [this] { Preview(); });
    return spin;
}

QCheckBox* FilterDialog::AddCheck(const QString& name, const QString& caption, bool checked) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setChecked(checked);
    body_->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this] { Preview(); });
    return box;
}

QButtonGroup* FilterDialog::AddRadioGroup(const QString& name, const QString& title, const QStringList& items,
                                          int columns, int checked) {
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    auto* grid = new QGridLayout(box);
    auto* group = new QButtonGroup(box);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        b->setObjectName(QString("%1Item%2").arg(name).arg(i));
        group->addButton(b, i);
        // Items run down the columns, as a radio group lays them out.
        grid->addWidget(b, i % rows, i / rows);
    }
    CheckButton(group, checked);
    body_->addWidget(box);
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) Preview();
    });
    return group;
}

QButtonGroup* FilterDialog::AddRadioButtons(const QString& title, const QStringList& names,
                                            const QStringList& captions) {
    auto* box = new QGroupBox(title, this);
    auto* column = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < names.size(); ++i) {
        auto* b = new QRadioButton(captions.value(i), box);
        b->setObjectName(names[i]);
        group->addButton(b, i);
        column->addWidget(b);
    }
    body_->addWidget(box);
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) Preview();
    });
    return group;
}

void FilterDialog::CheckButton(QButtonGroup* group, int id) {
    if (id >= 0) {
        if (QAbstractButton* b = group->button(id)) b->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; let go of it for a moment.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

} // namespace pixora
