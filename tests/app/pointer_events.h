#pragma once
// Pointer events as the window system delivers them, and screenshots of
// windows for looking at them, for the window-level tests.

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QWidget>

#include "support/screenshots.h"

namespace pixora::testing {

// Mouse events as the window system delivers them to a widget.
inline void Mouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    const bool held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    QMouseEvent e(type, QPointF(p), target->mapToGlobal(QPointF(p)),
                  type == QEvent::MouseMove ? Qt::NoButton : button,
                  held ? Qt::MouseButtons{button} : Qt::MouseButtons{Qt::NoButton}, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

// A press at from, moves in `steps` equal steps to to, and the release.
inline void DragOn(QWidget* target, QPoint from, QPoint to, int steps = 4) {
    Mouse(target, QEvent::MouseButtonPress, from);
    for (int k = 1; k <= steps; ++k)
        Mouse(target, QEvent::MouseMove, from + (to - from) * k / steps);
    Mouse(target, QEvent::MouseButtonRelease, to);
}


} // namespace pixora::testing
