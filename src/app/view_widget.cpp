#include "app/view_widget.h"

#include "doc/checkerboard.h"
#include "doc/view_rulers.h"
#include "tools/tool_set.h"

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

QRect ToQRect(const TViewRect& r) {
    return QRect(r.Left, r.Top, std::max(0, r.Width), std::max(0, r.Height));
}

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
    p.drawImage(dest, WrapRgb(shown), QRectF(l, t, r - l, b - t));
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

ViewWidget::ViewWidget(Workspace& ws, QWidget* firstPage)
    : QObject(firstPage), ws_(ws), target_(&ToolsOf(ws)) {
    borderShape_ = new QWidget(firstPage);
    borderShape_->setObjectName("BorderShape");
    borderShape_->setAutoFillBackground(true);
    QPalette pal = borderShape_->palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    borderShape_->setPalette(pal);
    scrollPanel_ = new QWidget(firstPage);
    scrollPanel_->setObjectName("ScrollPanel");
    scrollPanel_->setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = new ImageWidget(ws.DisplayCopy, scrollPanel_);
    image_->setObjectName("Image");
    scrollBar1_ = new QScrollBar(Qt::Horizontal, firstPage);
    scrollBar1_->setObjectName("ScrollBar1");
    scrollBar2_ = new QScrollBar(Qt::Vertical, firstPage);
    scrollBar2_->setObjectName("ScrollBar2");
    topSScroll_ = new QWidget(firstPage);
    topSScroll_->setObjectName("TopSScroll");
    topScale_ = new PictureWidget(topShown_, topSScroll_);
    topScale_->setObjectName("TopScale");
    leftSScroll_ = new QWidget(firstPage);
    leftSScroll_->setObjectName("LeftSScroll");
    leftScale_ = new PictureWidget(leftShown_, leftSScroll_);
    leftScale_->setObjectName("LeftScale");
    page_ = firstPage;
    // The one route of pointer events: the image (and the panel around it)
    // to this view, mapped, to the tool set.
    connect(image_, &PictureWidget::Pressed, this, &ViewWidget::PointerPress);
    connect(image_, &PictureWidget::Moved, this, &ViewWidget::PointerMove);
    connect(image_, &PictureWidget::Released, this, &ViewWidget::PointerRelease);
    connect(image_, &PictureWidget::DoubleClicked, this, [this] { PointerDoubleClick(); });
    scrollPanel_->installEventFilter(this);
    scrollPanel_->setMouseTracking(true);
    connect(scrollBar1_, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
    connect(scrollBar2_, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
    HideAll();
}

void ViewWidget::HideAll() {
    shown_ = false;
    for (QWidget* w : {borderShape_, scrollPanel_, static_cast<QWidget*>(scrollBar1_),
                       static_cast<QWidget*>(scrollBar2_), topSScroll_, leftSScroll_})
        w->hide();
}

void ViewWidget::MoveToPage() {
    if (!page_ || scrollPanel_->parentWidget() == page_) return;
    // A widget given a new parent is hidden; the layout says what shows.
    for (QWidget* w : {borderShape_, topSScroll_, leftSScroll_, scrollPanel_,
                       static_cast<QWidget*>(scrollBar1_), static_cast<QWidget*>(scrollBar2_)})
        w->setParent(page_);
    if (shown_) ApplyVisibility();
}

void ViewWidget::ApplyVisibility() {
    scrollBar1_->setVisible(layout_.ScrollBar1.Visible);
    scrollBar2_->setVisible(layout_.ScrollBar2.Visible);
    topSScroll_->setVisible(layout_.RulersVisible);
    leftSScroll_->setVisible(layout_.RulersVisible);
    borderShape_->show();
    scrollPanel_->show();
    image_->show();
    borderShape_->lower();
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
    for (auto [bar, l] :
         {std::pair{scrollBar1_, &layout_.ScrollBar1}, std::pair{scrollBar2_, &layout_.ScrollBar2}}) {
        bar->blockSignals(true);
        bar->setGeometry(ToQRect(l->Bounds));
        bar->setRange(0, l->PositionLimit);
        bar->setPageStep(l->PageSize);
        bar->setValue(l->Position);
        bar->blockSignals(false);
    }
    topSScroll_->setGeometry(ToQRect(layout_.TopSScroll));
    topScale_->setGeometry(ToQRect(layout_.TopScale));
    leftSScroll_->setGeometry(ToQRect(layout_.LeftSScroll));
    leftScale_->setGeometry(ToQRect(layout_.LeftScale));
    shown_ = true;
    ApplyVisibility();
    FillRowTable(ws_.DisplayCopy, ws_.SysData.ScratchRows);
}

void ViewWidget::ApplyScroll() {
    // The layout knows which bars are shown even while the window is hidden.
    layout_.ScrollBar1.Position = layout_.ScrollBar1.Visible ? scrollBar1_->value() : 0;
    layout_.ScrollBar2.Position = layout_.ScrollBar2.Visible ? scrollBar2_->value() : 0;
    layout_.Image.Left = ImageOffsetForPosition(layout_.ScrollBar1.Position);
    layout_.Image.Top = ImageOffsetForPosition(layout_.ScrollBar2.Position);
    layout_.TopScale.Left = layout_.Image.Left;
    layout_.LeftScale.Top = layout_.Image.Top;
    image_->move(layout_.Image.Left, layout_.Image.Top);
    topScale_->move(layout_.TopScale.Left, topScale_->y());
    leftScale_->move(leftScale_->x(), layout_.LeftScale.Top);
}

void ViewWidget::ScrollTo(int horzPosition, int vertPosition) {
    if (layout_.ScrollBar1.Visible) scrollBar1_->setValue(horzPosition);
    if (layout_.ScrollBar2.Visible) scrollBar2_->setValue(vertPosition);
}

bool ViewWidget::ActiveZoom(TZoom& z) const {
    const int slot = ws_.ActiveSlot();
    if (slot < 0) return false;
    z = SlotZoom(ws_.Images[static_cast<std::size_t>(slot)]);
    return true;
}

void ViewWidget::PointerPress(int X, int Y, int button) {
    TZoom z;
    if (ActiveZoom(z)) target_->Down(ViewToImage(X, z), ViewToImage(Y, z), button);
}

void ViewWidget::PointerMove(int X, int Y) {
    TZoom z;
    if (!ActiveZoom(z)) return;
    target_->Move(ViewToImage(X, z), ViewToImage(Y, z));
    if (layout_.RulersVisible) {
        MarkRulers(ws_.TopRuler.Bitmap, ws_.LeftRuler.Bitmap, X, Y, topShown_, leftShown_);
        topScale_->update();
        leftScale_->update();
    }
    emit PointerMoved(X, Y);
}

void ViewWidget::PointerRelease(int X, int Y) {
    TZoom z;
    if (ActiveZoom(z)) target_->Up(ViewToImage(X, z), ViewToImage(Y, z));
}

void ViewWidget::PointerDoubleClick() {
    if (ws_.ActiveSlot() >= 0) target_->DoubleClick();
}

bool ViewWidget::eventFilter(QObject* watched, QEvent* event) {
    // Moves over the panel around the image reach the tools too (the crop
    // handles reach two pixels beyond the image's edge), in the image's own
    // pixels.
    if (watched == scrollPanel_ && event->type() == QEvent::MouseMove) {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint() - image_->pos();
        PointerMove(p.x(), p.y());
    }
    return QObject::eventFilter(watched, event);
}

void ViewWidget::DrawRulerPictures() {
    const int slot = ws_.ActiveSlot();
    if (slot < 0) return;
    const TImages& s = ws_.Images[static_cast<std::size_t>(slot)];
    // The rulers are as long as the zoomed image.
    DrawRulers(ws_.TopRuler.Bitmap, ws_.LeftRuler.Bitmap, layout_.Image.Width, layout_.Image.Height,
               SlotZoom(s));
    ws_.TopRuler.Refill();
    ws_.LeftRuler.Refill();
    CopyBitmapInto(ws_.TopRuler.Bitmap, topShown_);
    CopyBitmapInto(ws_.LeftRuler.Bitmap, leftShown_);
    topScale_->update();
    leftScale_->update();
}

void ViewWidget::UpdateImage() {
    image_->update();
}

void ViewWidget::SetImageCursor(const QCursor& c) {
    image_->setCursor(c);
}

} // namespace pixora
