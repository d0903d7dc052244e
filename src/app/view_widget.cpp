#include "app/view_widget.h"

#include "doc/view_rulers.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace pixora {

namespace {

QImage WrapRgb(const Bitmap& b) {
    // The fourth byte is transparency, not alpha: show the colour bytes only.
    return QImage(b.Data(), b.Width(), b.Height(), static_cast<qsizetype>(b.Stride()), QImage::Format_RGB32);
}

QRect ToQRect(const TViewRect& r) { return QRect(r.Left, r.Top, std::max(0, r.Width), std::max(0, r.Height)); }

int ButtonCode(Qt::MouseButton b) {
    if (b == Qt::RightButton) return 1;
    if (b == Qt::MiddleButton) return 2;
    return 0;
}

} // namespace

ImageWidget::ImageWidget(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setObjectName("Image");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageWidget::paintEvent(QPaintEvent* e) {
    const Bitmap& shown = ws_.DisplayCopy;
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
    p.drawImage(dest, WrapRgb(shown), QRectF(l, t, r - l, b - t));
}

void ImageWidget::mousePressEvent(QMouseEvent* e) {
    if (OnPress) OnPress(e->position().toPoint().x(), e->position().toPoint().y(), ButtonCode(e->button()));
}
void ImageWidget::mouseMoveEvent(QMouseEvent* e) {
    if (OnMove) OnMove(e->position().toPoint().x(), e->position().toPoint().y());
}
void ImageWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (OnRelease) OnRelease(e->position().toPoint().x(), e->position().toPoint().y());
}
void ImageWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (OnDoubleClick) OnDoubleClick(e->position().toPoint().x(), e->position().toPoint().y());
}

RulerWidget::RulerWidget(const Bitmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RulerWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!picture_.Empty()) p.drawImage(0, 0, WrapRgb(picture_));
}

ViewWidget::ViewWidget(Workspace& ws, QWidget* firstPage) : QObject(firstPage), ws_(ws) {
    borderShape_ = new QWidget(firstPage);
    borderShape_->setObjectName("BorderShape");
    borderShape_->setAutoFillBackground(true);
    QPalette pal = borderShape_->palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    borderShape_->setPalette(pal);
    scrollPanel_ = new QWidget(firstPage);
    scrollPanel_->setObjectName("ScrollPanel");
    scrollPanel_->setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = new ImageWidget(ws, scrollPanel_);
    scrollBar1_ = new QScrollBar(Qt::Horizontal, firstPage);
    scrollBar1_->setObjectName("ScrollBar1");
    scrollBar2_ = new QScrollBar(Qt::Vertical, firstPage);
    scrollBar2_->setObjectName("ScrollBar2");
    topSScroll_ = new QWidget(firstPage);
    topSScroll_->setObjectName("TopSScroll");
    topScale_ = new RulerWidget(ws.TopRuler.Bitmap, topSScroll_);
    topScale_->setObjectName("TopScale");
    leftSScroll_ = new QWidget(firstPage);
    leftSScroll_->setObjectName("LeftSScroll");
    leftScale_ = new RulerWidget(ws.LeftRuler.Bitmap, leftSScroll_);
    leftScale_->setObjectName("LeftScale");
    page_ = firstPage;
    connect(scrollBar1_, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
    connect(scrollBar2_, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
    HideAll();
}

void ViewWidget::HideAll() {
    for (QWidget* w : {borderShape_, scrollPanel_, static_cast<QWidget*>(scrollBar1_),
                       static_cast<QWidget*>(scrollBar2_), topSScroll_, leftSScroll_})
        w->hide();
}

void ViewWidget::MoveToPage(QWidget* page) {
    page_ = page;
    for (QWidget* w : {borderShape_, topSScroll_, leftSScroll_, scrollPanel_, static_cast<QWidget*>(scrollBar1_),
                       static_cast<QWidget*>(scrollBar2_)})
        w->setParent(page);
}

void ViewWidget::Layout(bool rulersShown) {
    const int slot = ws_.ActiveSlot();
    if (slot < 0 || !page_) {
        HideAll();
        return;
    }
    const TImages& s = ws_.Images[static_cast<std::size_t>(slot)];
    TViewInput in;
    in.PageWidth = page_->width();
    in.PageHeight = page_->height();
    in.ImageWidth = s.Bitmap.Width();
    in.ImageHeight = s.Bitmap.Height();
    in.Zoom = {s.ZoomNum, s.ZoomDen};
    in.RulersShown = rulersShown;
    in.HorzPosition = scrollBar1_->value();
    in.VertPosition = scrollBar2_->value();
    layout_ = LayoutView(in);

    borderShape_->setGeometry(ToQRect(layout_.BorderShape));
    scrollPanel_->setGeometry(ToQRect(layout_.ScrollPanel));
    image_->setGeometry(ToQRect(layout_.Image));
    for (auto [bar, l] : {std::pair{scrollBar1_, &layout_.ScrollBar1}, std::pair{scrollBar2_, &layout_.ScrollBar2}}) {
        bar->blockSignals(true);
        bar->setGeometry(ToQRect(l->Bounds));
        bar->setRange(0, l->PositionLimit);
        bar->setPageStep(l->PageSize);
        bar->setValue(l->Position);
        bar->setVisible(l->Visible);
        bar->blockSignals(false);
    }
    topSScroll_->setGeometry(ToQRect(layout_.TopSScroll));
    topScale_->setGeometry(ToQRect(layout_.TopScale));
    leftSScroll_->setGeometry(ToQRect(layout_.LeftSScroll));
    leftScale_->setGeometry(ToQRect(layout_.LeftScale));
    topSScroll_->setVisible(layout_.RulersVisible);
    leftSScroll_->setVisible(layout_.RulersVisible);
    borderShape_->show();
    scrollPanel_->show();
    image_->show();
    borderShape_->lower();
}

void ViewWidget::ApplyScroll() {
    image_->move(ImageOffsetForPosition(scrollBar1_->isVisible() ? scrollBar1_->value() : 0),
                 ImageOffsetForPosition(scrollBar2_->isVisible() ? scrollBar2_->value() : 0));
    topScale_->move(image_->x(), topScale_->y());
    leftScale_->move(leftScale_->x(), image_->y());
}

void ViewWidget::DrawRulerPictures() {
    const int slot = ws_.ActiveSlot();
    if (slot < 0) return;
    const TImages& s = ws_.Images[static_cast<std::size_t>(slot)];
    DrawRulers(ws_.TopRuler.Bitmap, ws_.LeftRuler.Bitmap, s.Bitmap.Width(), s.Bitmap.Height(),
               {s.ZoomNum, s.ZoomDen});
    ws_.TopRuler.Refill();
    ws_.LeftRuler.Refill();
    topScale_->update();
    leftScale_->update();
}

void ViewWidget::UpdateImage() { image_->update(); }

void ViewWidget::SetImageCursor(const QCursor& c) { image_->setCursor(c); }

} // namespace pixora
