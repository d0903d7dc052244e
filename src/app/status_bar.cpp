#include "app/status_bar.h"

#include <QIcon>
#include <QPainter>

namespace pixora {

StatusBarWidget::StatusBarWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("StatusBar");
    setFixedHeight(20);
    setMouseTracking(true);
    texts_[1] = "0 x 0";
    picture38_ = QIcon(":/icons/status-38.svg").pixmap(QSize(20, 16));
    picture39_ = QIcon(":/icons/status-39.svg").pixmap(QSize(20, 16));
    noteTimer_.setSingleShot(true);
    connect(&noteTimer_, &QTimer::timeout, this, [this] {
        note_.clear();
        update(PanelRect(0));
    });
}

void StatusBarWidget::ShowNote(const QString& text, int ms) {
    note_ = text;
    noteTimer_.start(ms);
    update(PanelRect(0));
}

void StatusBarWidget::SetPanelText(int panel, const QString& text) {
    if (texts_[panel] == text) return;
    texts_[panel] = text;
    update(PanelRect(panel));
}

QRect StatusBarWidget::PanelRect(int panel) const {
    const int left = panel == 0 ? 0 : widths_[0] + 2;
    // The last panel takes the rest of the bar.
    const int width = panel == 0 ? widths_[0] : std::max(widths_[1], this->width() - left);
    return QRect(left, 2, width, height() - 2);
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xF0, 0xF0, 0xF0));
    for (int i = 0; i < 2; ++i) {
        const QRect r = PanelRect(i);
        p.fillRect(r, QColor(0xF0, 0xF0, 0xF0));
        // The first panel (starting left of x 10) carries picture 39.
        p.drawPixmap(r.left() + 5, r.top(), r.left() < 10 ? picture39_ : picture38_);
        p.setPen(Qt::black);
        p.drawText(QRect(r.left() + 31, r.top(), r.width() - 31, r.height()), Qt::AlignLeft | Qt::AlignTop,
                   i == 0 && !note_.isEmpty() ? note_ : texts_[i]);
        p.setPen(QColor(0xA0, 0xA0, 0xA0));
        p.drawLine(r.right() + 1, r.top(), r.right() + 1, r.bottom());
    }
}

} // namespace pixora
