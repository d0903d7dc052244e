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
#include "window_kit/window_host.h"
#include "window_kit/value_box.h"

namespace pixora {

namespace {

// Opacity of a numbered box while the pointer is elsewhere.
constexpr double kDimmedOpacity = 100 / 255.0;

QSlider* MakeTrackBar(const OptionControl& c, QWidget* parent) {
    auto* t = new QSlider(Qt::Horizontal, parent);
    t->setObjectName(c.Name);
    t->setRange(c.Min, c.Max);
    t->setValue(c.Value);
    t->setTickPosition(QSlider::TicksBelow);
    t->setTickInterval(std::max(1, (c.Max - c.Min) / 10));
    t->setMinimumWidth(150);
    return t;
}

// A track bar with a label at each end ("-" and "+").
QWidget* TrackWithEnds(QSlider* track, const QStringList& ends, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(new QLabel(ends.value(0), row));
    track->setParent(row);
    h->addWidget(track, 1);
    h->addWidget(new QLabel(ends.value(1), row));
    return row;
}

QGroupBox* MakeRadioGroup(const OptionControl& c, QWidget* parent) {
    // The buttons are direct children of the group so that the checked
    // index can be read by position.
    auto* g = new QGroupBox(c.Caption, parent);
    g->setObjectName(c.Name);
    auto* v = new QVBoxLayout(g);
    for (int i = 0; i < c.Items.size(); ++i) {
        auto* r = new QRadioButton(c.Items[i], g);
        r->setChecked(i == c.Value);
        v->addWidget(r);
    }
    return g;
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

QWidget* OptionBoxWindow::AddControls(const std::vector<OptionControl>& controls) {
    QWidget* last = nullptr;
    for (const OptionControl& c : controls) {
        const int row = c.Beside ? std::max(0, grid_->rowCount() - 1) : grid_->rowCount();
        const int col = c.Beside ? 1 : 0;
        auto caption = [&](int r) {
            if (c.Caption.isEmpty() || c.Beside) return;
            auto* l = new QLabel(c.Caption, this);
            l->setObjectName(QString(c.Name) + "Label");
            grid_->addWidget(l, r, 0);
        };
        switch (c.Type) {
        case OptionControl::Spin: {
            QSpinBox* s = c.Caption.isEmpty() || c.Beside
                              ? MakeSpinBox(this, c.Name, c.Min, c.Max, c.Value)
                              : AddLabelledSpinBox(grid_, row, c.Caption, c.Name, c.Min, c.Max, c.Value);
            s->setSingleStep(c.Step);
            s->setMinimumWidth(64);
            if (c.Caption.isEmpty() || c.Beside) grid_->addWidget(s, row, col);
            if (!c.Suffix.isEmpty()) grid_->addWidget(new QLabel(c.Suffix, this), row, 2);
            last = s;
            break;
        }
        case OptionControl::Check: {
            auto* b = new QCheckBox(c.Caption, this);
            b->setObjectName(c.Name);
            b->setChecked(c.Value != 0);
            grid_->addWidget(b, row, col, 1, col == 0 ? 1 : 2);
            last = b;
            break;
        }
        case OptionControl::Track: {
            // Caption above, the bar across the box below it.
            caption(row);
            QSlider* t = MakeTrackBar(c, this);
            const int barRow = c.Caption.isEmpty() ? row : row + 1;
            grid_->addWidget(c.Items.isEmpty() ? static_cast<QWidget*>(t) : TrackWithEnds(t, c.Items, this),
                             barRow, 0, 1, 3);
            AddValueBox(t);
            last = t;
            break;
        }
        case OptionControl::Combo: {
            auto* box = new QComboBox(this);
            box->setObjectName(c.Name);
            box->addItems(c.Items);
            box->setCurrentIndex(c.Value);
            box->setMinimumWidth(150);
            caption(row);
            grid_->addWidget(box, row, c.Caption.isEmpty() ? 0 : 1, 1, c.Caption.isEmpty() ? 3 : 2);
            last = box;
            break;
        }
        case OptionControl::Radio: {
            QGroupBox* g = MakeRadioGroup(c, this);
            grid_->addWidget(g, row, 0, 1, 3);
            last = g;
            break;
        }
        }
    }
    return last;
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
    setRange(2, 64);
    setValue(64);
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
        text = QString::number(64);
        return;
    }
    QSpinBox::fixup(text);
}

} // namespace pixora
