#include "window_kit/option_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <stdexcept>

namespace pixora {

namespace {

bool OfKind(const QObject* control, TOptKind kind) {
    switch (kind) {
    case TOptKind::Spin:
        return qobject_cast<const QSpinBox*>(control);
    case TOptKind::Check:
        return qobject_cast<const QAbstractButton*>(control);
    case TOptKind::Track:
        return qobject_cast<const QAbstractSlider*>(control);
    case TOptKind::Combo:
        return qobject_cast<const QComboBox*>(control);
    case TOptKind::Radio:
        return qobject_cast<const QGroupBox*>(control);
    case TOptKind::Kept:
        return control != nullptr;
    }
    return false;
}

} // namespace

QString OptionText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

QWidget* MakeBareControl(const TOptionRow& row, QWidget* parent) {
    const QString name = OptionText(row.Control);
    switch (row.Kind) {
    case TOptKind::Spin: {
        auto* s = new QSpinBox(parent);
        s->setObjectName(name);
        s->setRange(row.Min, row.Max);
        s->setValue(row.Default);
        s->setSingleStep(row.Step);
        return s;
    }
    case TOptKind::Check: {
        auto* b = new QCheckBox(OptionText(row.Caption), parent);
        b->setObjectName(name);
        b->setChecked(row.Default != 0);
        return b;
    }
    case TOptKind::Track: {
        auto* t = new QSlider(Qt::Horizontal, parent);
        t->setObjectName(name);
        t->setRange(row.Min, row.Max);
        t->setValue(row.Default);
        return t;
    }
    case TOptKind::Combo: {
        auto* c = new QComboBox(parent);
        c->setObjectName(name);
        for (std::string_view item : row.Items)
            c->addItem(OptionText(item));
        c->setCurrentIndex(row.Default);
        return c;
    }
    case TOptKind::Radio: {
        // The buttons are direct children of the group so that the checked
        // index is their position.
        auto* g = new QGroupBox(OptionText(row.Caption), parent);
        g->setObjectName(name);
        auto* v = new QVBoxLayout(g);
        int i = 0;
        for (std::string_view item : row.Items) {
            auto* r = new QRadioButton(OptionText(item), g);
            r->setChecked(i++ == row.Default);
            v->addWidget(r);
        }
        return g;
    }
    case TOptKind::Kept:
        break;
    }
    return nullptr;
}

} // namespace

QWidget* MakeOptionControl(const TOptionRow& row, QWidget* parent) {
    QWidget* control = MakeBareControl(row, parent);
    if (control && !row.Tip.empty()) control->setToolTip(OptionText(row.Tip));
    return control;
}

void OptionControls::Bind(TOpt id, QObject* control) {
    const TOptionRow& row = OptionRow(id);
    if (!OfKind(control, row.Kind))
        throw std::logic_error("OptionControls: " + std::string(row.Control) + " is not a control of its kind");
    TBinding& b = bound_[static_cast<std::size_t>(id)];
    b.Control = control;
    b.Radios.clear();
    if (row.Kind == TOptKind::Radio)
        for (QRadioButton* r : control->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
            b.Radios.emplace_back(r);
}

bool OptionControls::Bound(TOpt id) const {
    return !bound_[static_cast<std::size_t>(id)].Control.isNull();
}

int OptionControls::Value(TOpt id) const {
    const TBinding& b = bound_[static_cast<std::size_t>(id)];
    QObject* c = b.Control.data();
    if (!c) return 0;
    const TOptionRow& row = OptionRow(id);
    switch (row.Kind) {
    case TOptKind::Spin:
        return static_cast<QSpinBox*>(c)->value();
    case TOptKind::Check:
        return static_cast<QAbstractButton*>(c)->isChecked() ? 1 : 0;
    case TOptKind::Track:
        return static_cast<QAbstractSlider*>(c)->value();
    case TOptKind::Combo:
        return static_cast<QComboBox*>(c)->currentIndex();
    case TOptKind::Radio:
        for (std::size_t i = 0; i < b.Radios.size(); ++i)
            if (b.Radios[i] && b.Radios[i]->isChecked()) return static_cast<int>(i);
        return -1;
    case TOptKind::Kept:
        return c->property(std::string(row.Control).c_str()).toInt();
    }
    return 0;
}

void OptionControls::SetValue(TOpt id, int value) {
    const TBinding& b = bound_[static_cast<std::size_t>(id)];
    QObject* c = b.Control.data();
    if (!c) return;
    const TOptionRow& row = OptionRow(id);
    switch (row.Kind) {
    case TOptKind::Spin:
        static_cast<QSpinBox*>(c)->setValue(value);
        break;
    case TOptKind::Check:
        static_cast<QAbstractButton*>(c)->setChecked(value != 0);
        break;
    case TOptKind::Track:
        static_cast<QAbstractSlider*>(c)->setValue(value);
        break;
    case TOptKind::Combo:
        static_cast<QComboBox*>(c)->setCurrentIndex(value);
        break;
    case TOptKind::Radio:
        if (value >= 0 && static_cast<std::size_t>(value) < b.Radios.size() && b.Radios[static_cast<std::size_t>(value)])
            b.Radios[static_cast<std::size_t>(value)]->setChecked(true);
        break;
    case TOptKind::Kept:
        c->setProperty(std::string(row.Control).c_str(), value);
        break;
    }
}

} // namespace pixora
