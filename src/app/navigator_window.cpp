#include "app/navigator_window.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "app/view_controls.h"
#include "doc/checkerboard.h"
#include "doc/resample.h"
#include "doc/view_draw.h"
#include "window_kit/window_support.h"

namespace pixora {

namespace {

constexpr int kPanelWidth = 200;
constexpr int kPanelHeight = 150;
constexpr int kMargin = 4;
constexpr int kFramePen = 3;

} // namespace

NavigatorWindow::NavigatorWindow(Workspace& ws, ViewControls& view, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint), ws_(ws), view_(view) {
    setFixedSize(kPanelWidth + 2 * kMargin, kPanelHeight + 2 * kMargin);
    panel_ = new QWidget(this);
    panel_->setObjectName("Panel");
    panel_->setGeometry(kMargin, kMargin, kPanelWidth, kPanelHeight);
    image_ = new PictureWidget(shown_, panel_);
    image_->setObjectName("Image");
    image_->setCursor(Qt::SizeAllCursor);
    connect(image_, &PictureWidget::Pressed, this, [this] { Press(); });
    connect(image_, &PictureWidget::Moved, this, [this](int x, int y) { Drag(x, y); });
    connect(image_, &PictureWidget::Released, this, [this] { Release(); });
}

TViewRect NavigatorWindow::ThumbRect() const {
    return {image_->x(), image_->y(), thumb_.Width(), thumb_.Height()};
}

void NavigatorWindow::showEvent(QShowEvent* e) {
    dragging_ = false;
    if (const auto active = ws_.ActiveImage()) {
        const Bitmap& image = active->Bitmap;
        const TViewRect fit = FitNavigatorThumb(panel_->width(), panel_->height(), image.Width(), image.Height());
        image_->setGeometry(fit.Left, fit.Top, fit.Width, fit.Height);
        thumb_ = Bitmap(fit.Width, fit.Height);
        BilinearResample(image, thumb_);
        // The frame stands for the visible part of the view, whatever the zoom.
        const TViewRect& visible = view_.LastLayout().ScrollPanel;
        frame_ = NavigatorFrameSize(NavigatorScale(fit.Width, image.Width()), visible.Width, visible.Height);
        ShowPlain();
    }
    if (anchor_) {
        const int top = anchor_->mapToGlobal(QPoint(0, 0)).y() - frameGeometry().height();
        const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
        move(screen.center().x() - frameGeometry().width() / 2, top);
    }
    QWidget::showEvent(e);
}

void NavigatorWindow::hideEvent(QHideEvent* e) {
    dragging_ = false;
    thumb_.Clear();
    shown_.Clear();
    QWidget::hideEvent(e);
}

void NavigatorWindow::ShowPlain() {
    CopyBitmapInto(thumb_, shown_);
    image_->update();
}

void NavigatorWindow::ShowFrame(int left, int top) {
    CopyBitmapInto(thumb_, shown_);
    InvertFrame(shown_, left, top, left + frame_.Width, top + frame_.Height, kFramePen);
    image_->update();
}

void NavigatorWindow::Press() {
    if (thumb_.Empty()) return;
    dragging_ = true;
    const TViewLayout& l = view_.LastLayout();
    const TNavigatorFrame f = NavigatorFrameFromScroll(ThumbRect(), frame_, l.ScrollBar1.Position, l.ScrollBar1.Max,
                                                       l.ScrollBar2.Position, l.ScrollBar2.Max);
    ShowFrame(f.Left, f.Top);
    // The pointer jumps to the frame's centre, so the drag starts from there
    // (Wayland keeps the pointer to the user: the drag starts where it is).
    if (!OnWayland())
        QCursor::setPos(image_->mapToGlobal(QPoint(f.Left + frame_.Width / 2, f.Top + frame_.Height / 2)));
}

void NavigatorWindow::Drag(int px, int py) {
    if (!dragging_ || thumb_.Empty()) return;
    const TViewLayout& l = view_.LastLayout();
    const TNavigatorFrame f = NavigatorDrag(ThumbRect(), frame_, px, py, l.ScrollBar1.Max, l.ScrollBar2.Max);
    ShowFrame(f.Left, f.Top);
    view_.ScrollTo(f.HorzPosition, f.VertPosition);
}

void NavigatorWindow::Release() {
    dragging_ = false;
    ShowPlain();
}

} // namespace pixora
