#include "window_kit/escape_keys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace pixora {

namespace {

// The button a dialog cancels with: the shown, enabled one captioned "Cancel".
QPushButton* CancelButton(QDialog* dialog) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == QLatin1String("Cancel") && b->isVisibleTo(dialog) && b->isEnabled()) return b;
    return nullptr;
}

} // namespace

EscapeAsCancel::EscapeAsCancel(QObject* owner) : QObject(owner) {
    qApp->installEventFilter(this);
}

bool EscapeAsCancel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) return false;
    auto* dialog = qobject_cast<QDialog*>(static_cast<QWidget*>(watched)->window());
    if (!dialog || !dialog->isVisible()) return false;
    // Without a Cancel button the dialog's own Escape (reject) stands.
    QPushButton* cancel = CancelButton(dialog);
    if (!cancel) return false;
    cancel->click();
    return true;
}

void CloseOnEscape(QWidget* window) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

} // namespace pixora
