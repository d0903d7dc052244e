#pragma once
// Records the rectangle of the last paint event of the widget it watches.

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRect>

class PaintProbe : public QObject {
public:
    QRect Last;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) Last = static_cast<QPaintEvent*>(e)->rect();
        return false;
    }
};
