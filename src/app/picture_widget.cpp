#include "app/picture_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/window_support.h"

namespace pixora {

namespace {

int ButtonCode(Qt::MouseButton b) {
    if (b == Qt::RightButton) return 1;
    if (b == Qt::MiddleButton) return 2;
    return 0;
}

} // namespace

PictureWidget::PictureWidget(const Bitmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::paintEvent(QPaintEvent* e) {
    const Bitmap& shown = picture_;
    if (shown.Empty() || width() <= 0 || height() <= 0) return;
    QPainter p(this);
    // Only the exposed part is scaled: map it back to source pixels.
    const QRect target = e->rect();
    const double sx = static_cast<double>(shown.Width()) / width();
    const double sy = static_cast<double>(shown.Height()) / height();
    const int l = std::clamp(static_cast<int>(std::floor(target.left() * sx)), 0, shown.Width() - 1);
    const int t = std::clamp(static_cast<int>(std::floor(target.top() * sy)), 0, shown.Height() - 1);
    const int r = std::clamp(static_cast<int>(std::ceil((target.right() + 1) * sx)), l + 1, shown.Width());
    const int b = std::clamp(static_cast<int>(std::ceil((target.bottom() + 1) * sy)), t + 1, shown.Height());
    const QRectF dest(l / sx, t / sy, (r - l) / sx, (b - t) / sy);
    p.drawImage(dest, ColourView(shown), QRectF(l, t, r - l, b - t));
}

void PictureWidget::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit Pressed(p.x(), p.y(), ButtonCode(e->button()));
}
void PictureWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit Moved(p.x(), p.y());
}
void PictureWidget::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit Released(p.x(), p.y());
}
void PictureWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second click of a double click is a press as well, after the
    // double click itself.
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton) emit DoubleClicked(p.x(), p.y());
    emit Pressed(p.x(), p.y(), ButtonCode(e->button()));
}

} // namespace pixora
