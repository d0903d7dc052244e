#include "app/palette_style.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionToolButton>
#include <algorithm>

namespace pixora {

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QImage LightenIconInk(const QImage& picture) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = row[x];
            const int a = qAlpha(p);
            if (a == 0) continue;
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
            // Ink: dark and nearly grey (the slate outlines, black text).
            if (hi - lo > 64 || hi + lo > 204) continue;
            QColor c = QColor::fromRgb(r, g, b);
            float h = 0, s = 0, l = 0;
            c.getHslF(&h, &s, &l);
            c.setHslF(h < 0 ? 0 : h, s, 1.0f - l);
            row[x] = qRgba(c.red(), c.green(), c.blue(), a);
        }
    }
    return out;
}

PaletteStyle::PaletteStyle(const QString& key)
    : QProxyStyle(key.isEmpty() && QApplication::style() ? QApplication::style()->name() : key) {}

void PaletteStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
    if (element != CE_ToolButtonLabel || !button || button->icon.isNull() ||
        !IsDarkPalette(option->palette)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap dark = button->icon.pixmap(button->iconSize, ratio, QIcon::Normal, QIcon::Off);
    QPixmap light = QPixmap::fromImage(LightenIconInk(dark.toImage()));
    light.setDevicePixelRatio(dark.devicePixelRatio());
    QStyleOptionToolButton copy(*button);
    copy.icon = QIcon(light);
    QProxyStyle::drawControl(element, &copy, painter, widget);
}

} // namespace pixora
