#pragma once
// Pointer, wheel and key events for window tests, sent straight to a widget
// as the window system would deliver them.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace pixora::testing {

// A press, move, release or double click at p (the widget's own pixels).
// Moves carry no button; presses hold the button they press.
inline void SendMouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const bool held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    QMouseEvent e(type, QPointF(p), target->mapToGlobal(QPointF(p)),
                  type == QEvent::MouseMove ? Qt::NoButton : button,
                  held ? Qt::MouseButtons{button} : Qt::MouseButtons{Qt::NoButton}, modifiers);
    QApplication::sendEvent(target, &e);
}

// A wheel turned at p: `angle` in eighths of a degree (120 a notch, positive
// away from the user), `pixels` as a touchpad reports them.
inline void SendWheel(QWidget* target, QPoint p, QPoint angle, QPoint pixels = QPoint(),
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent e(QPointF(p), target->mapToGlobal(QPointF(p)), pixels, angle, Qt::NoButton, modifiers,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
}

// One notch of the wheel: +1 away from the user, -1 towards.
inline void SendNotches(QWidget* target, QPoint p, int notches,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendWheel(target, p, QPoint(0, 120 * notches), QPoint(), modifiers);
}

// A key pressed and released on `target`. A key press sent by a program
// meets the window's shortcuts first, as a typed one does.
inline void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

} // namespace pixora::testing
