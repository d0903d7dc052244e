#include "window_kit/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolButton>
#include <climits>
#include <cstdlib>

#include "window_kit/swatch.h"
#include "window_kit/value_box.h"

namespace pixora {

namespace {

// The kit's pictures that act on a click: read as push buttons, which a
// screen reader can press.
class ClickableAccessible : public QAccessibleWidget {
public:
    explicit ClickableAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::PushButton) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action != pressAction()) return;
        if (auto* swatch = qobject_cast<SwatchWidget*>(widget()); swatch && swatch->OnRelease) swatch->OnRelease();
        if (auto* picture = qobject_cast<ClickPicture*>(widget()); picture && picture->OnClick) picture->OnClick();
    }
};

bool IsClickable(const QObject* o) {
    return qobject_cast<const SwatchWidget*>(o) || qobject_cast<const ClickPicture*>(o);
}

QAccessibleInterface* ClickableFactory(const QString&, QObject* object) {
    return IsClickable(object) ? new ClickableAccessible(static_cast<QWidget*>(object)) : nullptr;
}

bool IsControl(const QWidget* w) {
    return IsClickable(w) || qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// A caption as read aloud: no mnemonic marks, markup or trailing colon.
QString Spoken(QString text) {
    if (Qt::mightBeRichText(text)) text = QTextDocumentFragment::fromHtml(text).toPlainText();
    text.replace(QLatin1String("&&"), QString(QChar(0x1)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0x1), QLatin1Char('&'));
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

// What a label or a check box beside a control says; empty for none and for
// a mark without words (the "-" and "+" at a slider's ends).
QString LabelText(const QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w)) text = Spoken(label->text());
    if (auto* check = qobject_cast<const QCheckBox*>(w)) text = Spoken(check->text());
    for (const QChar c : text)
        if (c.isLetterOrNumber()) return text;
    return {};
}

// The label in the same row of a layout holding `item`, left of it; the
// layouts nested in `layout` are searched too.
QString RowLabel(QLayout* layout, QWidget* item) {
    if (!layout) return {};
    if (auto* form = qobject_cast<QFormLayout*>(layout))
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(item))) return LabelText(label);
    const int index = layout->indexOf(item);
    if (index >= 0) {
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(index, &row, &column, &rows, &columns);
            // Left of it in its row, or else the caption just above it.
            for (int c = column - 1; c >= 0; --c)
                if (QLayoutItem* cell = grid->itemAtPosition(row, c))
                    if (QString text = LabelText(cell->widget()); !text.isEmpty()) return text;
            if (QLayoutItem* above = row > 0 ? grid->itemAtPosition(row - 1, column) : nullptr)
                if (qobject_cast<QLabel*>(above->widget())) return LabelText(above->widget());
        } else if (auto* box = qobject_cast<QBoxLayout*>(layout);
                   box && (box->direction() == QBoxLayout::LeftToRight || box->direction() == QBoxLayout::RightToLeft)) {
            for (int i = index - 1; i >= 0; --i)
                if (QString text = LabelText(box->itemAt(i)->widget()); !text.isEmpty()) return text;
        }
        return {};
    }
    for (int i = 0; i < layout->count(); ++i)
        if (QLayout* inner = layout->itemAt(i)->layout())
            if (QString text = RowLabel(inner, item); !text.isEmpty()) return text;
    return {};
}

// The nearest label beside `w` among its siblings: on its left within its
// height, or else just above it.
QString NeighbourLabel(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    if (!parent) return {};
    const QRect r = w->geometry();
    const QLabel* best = nullptr;
    int bestDistance = INT_MAX;
    for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isHidden() || LabelText(label).isEmpty()) continue;
        const QRect l = label->geometry();
        int distance = INT_MAX;
        if (l.right() <= r.left() + 2 && std::abs(l.center().y() - r.center().y()) <= std::max(r.height(), 12) / 2 + 4)
            distance = r.left() - l.right();
        else if (l.bottom() <= r.top() + 2 && r.top() - l.bottom() <= 24 && l.left() < r.right() && r.left() < l.right())
            distance = r.top() - l.bottom() + 1000; // left beats above
        if (distance < bestDistance) bestDistance = distance, best = label;
    }
    return LabelText(best);
}

} // namespace

QString DerivedAccessibleName(const QWidget* control) {
    if (!IsControl(control)) return {};
    auto* w = const_cast<QWidget*>(control);
    // Scroll bars and arrow buttons say what they do whatever lies beside them.
    if (auto* bar = qobject_cast<QScrollBar*>(w))
        return bar->orientation() == Qt::Horizontal ? QStringLiteral("Horizontal scroll bar")
                                                    : QStringLiteral("Vertical scroll bar");
    if (auto* tool = qobject_cast<QToolButton*>(w)) {
        static const char* const kArrows[] = {nullptr, "Up", "Down", "Left", "Right"};
        if (tool->arrowType() != Qt::NoArrow) return QString::fromLatin1(kArrows[tool->arrowType()]);
        if (tool->objectName() == QLatin1String("qt_toolbar_ext_button")) return QStringLiteral("More");
    }
    // A slider's value box is read as the slider's value.
    if (auto* slider = qobject_cast<QWidget*>(w->property(kValueBoxOf).value<QObject*>())) {
        const QString name = slider->accessibleName().isEmpty() ? DerivedAccessibleName(slider) : slider->accessibleName();
        return name.isEmpty() ? QString() : name + QStringLiteral(" value");
    }
    // A combo box's list of choices is read as the combo box.
    if (qobject_cast<QAbstractItemView*>(w))
        for (QObject* up = w->parent(); up; up = up->parent())
            if (auto* combo = qobject_cast<QComboBox*>(up)) {
                const QString name = combo->accessibleName().isEmpty() ? DerivedAccessibleName(combo) : combo->accessibleName();
                return name.isEmpty() ? Spoken(combo->currentText()) : name;
            }
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && !Spoken(button->text()).isEmpty())
        return Spoken(button->text());
    const QWidget* window = w->window();
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() == w && !LabelText(label).isEmpty()) return LabelText(label);
    // The control, or the row widgets holding it (a slider with its value
    // box, and the marks at its ends), in its parent's layout.
    int level = 0;
    for (QWidget* item = w; item && item != window && level <= 2; item = item->parentWidget(), ++level) {
        QWidget* parent = item->parentWidget();
        if (QString text = parent ? RowLabel(parent->layout(), item) : QString(); !text.isEmpty()) return text;
        if (QString text = NeighbourLabel(item); !text.isEmpty()) return text;
    }
    if (!w->toolTip().isEmpty()) return Spoken(w->toolTip());
    for (QWidget* up = w->parentWidget(); up && up != window; up = up->parentWidget())
        if (auto* group = qobject_cast<QGroupBox*>(up); group && !Spoken(group->title()).isEmpty())
            return Spoken(group->title());
    return {};
}

void NameUnnamedControls(QWidget* window) {
    // A combo box's list is made when first asked for; a reader asks.
    for (QComboBox* combo : window->findChildren<QComboBox*>())
        combo->view();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!IsControl(w) || !w->accessibleName().isEmpty()) continue;
        // What Qt gives already (a button's caption) stays.
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (iface && !iface->text(QAccessible::Name).trimmed().isEmpty()) continue;
        if (const QString name = DerivedAccessibleName(w); !name.isEmpty()) w->setAccessibleName(name);
    }
}

AccessibleNames::AccessibleNames(QObject* owner) : QObject(owner) {
    QAccessible::installFactory(&ClickableFactory); // once, however often asked
    qApp->installEventFilter(this);
}

bool AccessibleNames::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow()) NameUnnamedControls(w);
    }
    return false;
}

} // namespace pixora
