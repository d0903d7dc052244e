#include "tools/ui/option_box_window.h"

#include "window_kit/window_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

#include "doc/workspace.h"
#include "window_kit/option_controls.h"
#include "window_kit/window_host.h"
#include "window_kit/value_box.h"

namespace pixora {

namespace {

// Opacity of a numbered box while the pointer is elsewhere.
constexpr double kDimmedOpacity = 100 / 255.0;

// A track bar with a label at each end ("-" and "+").
QWidget* TrackWithEnds(QWidget* track, std::span<const std::string_view> ends, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(new QLabel(OptionText(ends[0]), row));
    track->setParent(row);
    h->addWidget(track, 1);
    h->addWidget(new QLabel(OptionText(ends[1]), row));
    return row;
}

} // namespace

OptionBoxWindow::OptionBoxWindow(WindowHost& main, int number, QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), main_(main),
      number_(number), placed_(number > 0), grid_(new QGridLayout(this)) {
    setModal(false);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    grid_->setSizeConstraint(QLayout::SetFixedSize);
    grid_->setContentsMargins(8, 8, 8, 8);
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(4);
    KeepPlace(this, [this]() -> std::optional<QPoint> {
        if (placed_) return PlaceAboveStatusBar();
        return std::nullopt;
    });
}

void OptionBoxWindow::AddControls(std::span<const TOptionRow> rows) {
    for (const TOptionRow& c : rows) {
        const int row = c.Beside ? std::max(0, grid_->rowCount() - 1) : grid_->rowCount();
        const int col = c.Beside ? 1 : 0;
        const bool captioned = !c.Caption.empty() && !c.Beside;
        auto caption = [&](int r) {
            if (!captioned) return;
            auto* l = new QLabel(OptionText(c.Caption), this);
            l->setObjectName(OptionText(c.Control) + "Label");
            grid_->addWidget(l, r, 0);
        };
        QWidget* control = nullptr;
        switch (c.Kind) {
        case TOptKind::Spin:
            caption(row);
            control = MakeOptionControl(c, this);
            control->setMinimumWidth(64);
            grid_->addWidget(control, row, captioned ? 1 : col);
            if (!c.Suffix.empty()) grid_->addWidget(new QLabel(OptionText(c.Suffix), this), row, 2);
            break;
        case TOptKind::Check:
            control = MakeOptionControl(c, this);
            grid_->addWidget(control, row, col, 1, col == 0 ? 1 : 2);
            break;
        case TOptKind::Track: {
            // Caption above, the bar across the box below it.
            caption(row);
            auto* t = static_cast<QSlider*>(MakeOptionControl(c, this));
            t->setTickPosition(QSlider::TicksBelow);
            t->setTickInterval(std::max(1, (c.Max - c.Min) / 10));
            t->setMinimumWidth(150);
            const int barRow = captioned ? row + 1 : row;
            grid_->addWidget(c.Items.empty() ? static_cast<QWidget*>(t) : TrackWithEnds(t, c.Items, this), barRow,
                             0, 1, 3);
            AddValueBox(t);
            control = t;
            break;
        }
        case TOptKind::Combo:
            control = MakeOptionControl(c, this);
            control->setMinimumWidth(150);
            caption(row);
            grid_->addWidget(control, row, captioned ? 1 : 0, 1, captioned ? 2 : 3);
            break;
        case TOptKind::Radio:
            control = MakeOptionControl(c, this);
            grid_->addWidget(control, row, 0, 1, 3);
            break;
        case TOptKind::Kept:
            continue;
        }
        main_.Options().Bind(c.Id, control);
    }
}

QPoint PlaceAboveStatusBar(WindowHost& main, const QWidget* box) {
    return AboveStatusBar(main.Owner(), main.StatusBar(), box);
}

QPoint OptionBoxWindow::PlaceAboveStatusBar() const {
    return pixora::PlaceAboveStatusBar(main_, this);
}

void OptionBoxWindow::showEvent(QShowEvent* e) {
    if (!e->spontaneous()) {
        if (number_ > 0) {
            SetOpacity(this, kDimmedOpacity);
            main_.Ws().ToolVars.OptionBoxId = number_;
        }
    }
    QDialog::showEvent(e);
    if (!e->spontaneous()) emit Shown();
}

void OptionBoxWindow::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (!e->spontaneous()) emit Closed();
}

bool OptionBoxWindow::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::MouseMove:
        Brighten();
        break;
    default:
        break;
    }
    return QDialog::event(e);
}

void OptionBoxWindow::Brighten() {
    if (number_ > 0 && windowOpacity() < 1.0) SetOpacity(this, 1.0);
}

// ---- history brush size -------------------------------------------------

HistorySizeSpin::HistorySizeSpin(QWidget* parent) : QSpinBox(parent) {
    // Values below the range that are not reset (1) go to the nearest bound.
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State HistorySizeSpin::validate(QString& text, int& pos) const {
    // Let 0 and negative numbers be typed; they are replaced when the field
    // is left.
    const QString t = text.trimmed();
    bool ok = false;
    const int v = t.toInt(&ok);
    if ((ok && v <= 0) || t == "-") return QValidator::Intermediate;
    return QSpinBox::validate(text, pos);
}

void HistorySizeSpin::fixup(QString& text) const {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok && v <= 0) {
        text = QString::number(maximum());
        return;
    }
    QSpinBox::fixup(text);
}

} // namespace pixora
