#include "window_kit/swatch.h"

#include <QIcon>
#include <QPainter>

#include "doc/bitmap.h"

namespace pixora {

void SwatchWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(RedOf(colour_), GreenOf(colour_), BlueOf(colour_)));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

ClickPicture::ClickPicture(const QString& icon, QWidget* parent) : QWidget(parent), icon_(icon) {}

void ClickPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QIcon(icon_).paint(&p, rect());
}

} // namespace pixora
