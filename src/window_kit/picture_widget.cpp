#include "window_kit/picture_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <utility>

#include "window_kit/window_support.h"

namespace pixora {

namespace {

int ButtonCode(Qt::MouseButton b) {
    if (b == Qt::RightButton) return 1;
    if (b == Qt::MiddleButton) return 2;
    return 0;
}

} // namespace

PictureWidget::PictureWidget(const Bitmap& picture, QWidget* parent)
    : PictureWidget([&picture] { return TShown{&picture, false}; }, parent) {}

PictureWidget::PictureWidget(std::function<TShown()> picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::paintEvent(QPaintEvent* e) {
    const TShown what = picture_();
    const Bitmap& shown = *what.Picture;
    const QRect target = e->rect() & rect();
    if (shown.Empty() || target.isEmpty()) return;
    // Only the exposed part is stretched, into an opaque picture: whatever
    // the surface under the widget (a window with alpha, a grab, a
    // compositor dimming the window behind a dialog), the picture shows.
    QPainter p(this);
    p.drawImage(target.topLeft(), StretchedPicture(shown, width(), height(), target, what.BlendsTransparency));
    if (outline_.isEmpty()) return;
    // A black line under a dashed white one: seen on dark and light pixels.
    const QRect line = outline_.adjusted(0, 0, -1, -1);
    p.setBrush(Qt::NoBrush);
    for (const QPen& pen : {QPen(Qt::black, 1), QPen(Qt::white, 1, Qt::DashLine)}) {
        p.setPen(pen);
        if (outlineRound_)
            p.drawEllipse(line);
        else
            p.drawRect(line);
    }
}

void PictureWidget::SetOutline(const QRect& r, bool round) {
    if (r == outline_ && round == outlineRound_) return;
    // The old outline's pixels and the new one's are drawn again.
    for (const QRect& part : {outline_, r})
        if (!part.isEmpty()) update(part.adjusted(-1, -1, 1, 1));
    outline_ = r;
    outlineRound_ = round;
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
