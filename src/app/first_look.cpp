#include "app/first_look.h"

#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "doc/view_geometry.h"

namespace pixora {

FirstLook::FirstLook(QTabWidget* pages, Bitmap reduced, int reduce)
    : QWidget(pages), reduced_(std::move(reduced)), reduce_(std::max(reduce, 1)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The page area: the tab widget below the tab bar it will show (none
    // is shown before the first image).
    const QTabBar* bar = pages->tabBar();
    const int top = std::max(bar->sizeHint().height(),
                             bar->fontMetrics().height() + bar->style()->pixelMetric(QStyle::PM_TabBarTabVSpace, nullptr, bar));
    setGeometry(0, top, pages->width(), std::max(0, pages->height() - top));
    TViewInput in;
    in.PageWidth = width();
    in.PageHeight = height();
    in.ImageWidth = reduced_.Width() * reduce_;
    in.ImageHeight = reduced_.Height() * reduce_;
    const TViewLayout layout = LayoutView(in);
    panel_ = QRect(layout.ScrollPanel.Left, layout.ScrollPanel.Top, layout.ScrollPanel.Width,
                   layout.ScrollPanel.Height);
    image_ = QRect(panel_.left() + layout.Image.Left, panel_.top() + layout.Image.Top, in.ImageWidth,
                   in.ImageHeight);
    show();
    raise();
}

void FirstLook::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
    if (reduced_.Empty() || reduced_.BitsPerPixel() != 32) return;
    const QImage picture(reduced_.Data(), reduced_.Width(), reduced_.Height(),
                         static_cast<qsizetype>(reduced_.Stride()), QImage::Format_RGB32);
    // Only the part in the panel: each reduced pixel covers reduce x reduce.
    const QRect shown = image_.intersected(panel_);
    if (shown.isEmpty()) return;
    const QRect from((shown.left() - image_.left()) / reduce_, (shown.top() - image_.top()) / reduce_,
                     (shown.width() + reduce_ - 1) / reduce_, (shown.height() + reduce_ - 1) / reduce_);
    const QRect to(image_.left() + from.left() * reduce_, image_.top() + from.top() * reduce_,
                   from.width() * reduce_, from.height() * reduce_);
    p.setClipRect(shown);
    p.drawImage(to, picture, from);
}

} // namespace pixora
