#include "app/view_controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "doc/checkerboard.h"
#include "doc/display_copy.h"
#include "doc/view_rulers.h"
#include "doc/view_scroll.h"
#include "tools/tool_set.h"
#include "window_kit/window_support.h"

namespace pixora {

namespace {

QRect ToQRect(const TViewRect& r) {
    return QRect(r.Left, r.Top, std::max(0, r.Width), std::max(0, r.Height));
}

} // namespace

ViewControls::ViewControls(Workspace& ws, QWidget* firstPage)
    : QObject(firstPage), ws_(ws), target_(&ToolsOf(ws)) {
    borderShape_ = new QWidget(firstPage);
    borderShape_->setObjectName("BorderShape");
    SetBackground(borderShape_, QColor(0x80, 0x80, 0x80));
    scrollPanel_ = new QWidget(firstPage);
    scrollPanel_->setObjectName("ScrollPanel");
    scrollPanel_->setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = new PictureWidget(
        [&ws] { return PictureWidget::TShown{&ShownPicture(ws), DisplayCopyRests(ws)}; }, scrollPanel_);
    image_->setObjectName("Image");
    // The canvas takes the focus for the navigation keys.
    image_->setFocusPolicy(Qt::WheelFocus);
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
    connect(image_, &PictureWidget::Pressed, this, &ViewControls::PointerPress);
    connect(image_, &PictureWidget::Moved, this, &ViewControls::PointerMove);
    connect(image_, &PictureWidget::Released, this, &ViewControls::PointerRelease);
    connect(image_, &PictureWidget::DoubleClicked, this, [this] { PointerDoubleClick(); });
    scrollPanel_->installEventFilter(this);
    image_->installEventFilter(this);
    scrollPanel_->setMouseTracking(true);
    connect(scrollBar1_, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
    connect(scrollBar2_, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
    HideAll();
}

void ViewControls::HideAll() {
    shown_ = false;
    for (QWidget* w : {borderShape_, scrollPanel_, static_cast<QWidget*>(scrollBar1_),
                       static_cast<QWidget*>(scrollBar2_), topSScroll_, leftSScroll_})
        w->hide();
}

void ViewControls::MoveToPage() {
    if (!page_ || scrollPanel_->parentWidget() == page_) return;
    // A widget given a new parent is hidden; the layout says what shows.
    for (QWidget* w : {borderShape_, topSScroll_, leftSScroll_, scrollPanel_,
                       static_cast<QWidget*>(scrollBar1_), static_cast<QWidget*>(scrollBar2_)})
        w->setParent(page_);
    if (shown_) ApplyVisibility();
}

void ViewControls::ApplyVisibility() {
    scrollBar1_->setVisible(layout_.ScrollBar1.Visible);
    scrollBar2_->setVisible(layout_.ScrollBar2.Visible);
    topSScroll_->setVisible(layout_.RulersVisible);
    leftSScroll_->setVisible(layout_.RulersVisible);
    borderShape_->show();
    scrollPanel_->show();
    image_->show();
    borderShape_->lower();
}

bool ViewControls::Input(bool rulersShown, TViewInput& in) const {
    const auto active = ws_.ActiveImage();
    if (!active || !page_) return false;
    const TImages& s = *active;
    in.PageWidth = page_->width();
    in.PageHeight = page_->height();
    in.ImageWidth = s.Bitmap.Width();
    in.ImageHeight = s.Bitmap.Height();
    in.Zoom = {s.ZoomNum, s.ZoomDen};
    in.RulersShown = rulersShown;
    in.HorzPosition = scrollBar1_->value();
    in.VertPosition = scrollBar2_->value();
    return true;
}

void ViewControls::Layout(bool rulersShown) {
    TViewInput in;
    if (!Input(rulersShown, in)) {
        HideAll();
        return;
    }
    Apply(LayoutView(in));
}

void ViewControls::Apply(const TViewLayout& layout) {
    layout_ = layout;
    borderShape_->setGeometry(ToQRect(layout_.BorderShape));
    scrollPanel_->setGeometry(ToQRect(layout_.ScrollPanel));
    image_->setGeometry(ToQRect(layout_.Image));
    for (auto [bar, l] :
         {std::pair{scrollBar1_, &layout_.ScrollBar1}, std::pair{scrollBar2_, &layout_.ScrollBar2}}) {
        bar->blockSignals(true);
        bar->setGeometry(ToQRect(l->Bounds));
        bar->setRange(0, l->PositionLimit);
        bar->setPageStep(l->PageStep);
        bar->setSingleStep(l->SingleStep);
        bar->setValue(l->Position);
        bar->blockSignals(false);
    }
    topSScroll_->setGeometry(ToQRect(layout_.TopSScroll));
    topScale_->setGeometry(ToQRect(layout_.TopScale));
    leftSScroll_->setGeometry(ToQRect(layout_.LeftSScroll));
    leftScale_->setGeometry(ToQRect(layout_.LeftScale));
    shown_ = true;
    // An outline drawn at the old zoom or place waits for the next move.
    image_->SetOutline({}, true);
    ApplyVisibility();
    FillRowTable(ws_.DisplayCopy, ws_.SysData.ScratchRows);
}

bool ViewControls::ZoomTo(TZoom z, bool rulersShown, const QPoint* anchor) {
    TViewInput in;
    if (!Input(rulersShown, in) || !ZoomFits(z, in.ImageWidth, in.ImageHeight)) return false;
    SetSlotZoom(ws_.Images[static_cast<std::size_t>(ws_.ActiveSlot())], z);
    if (anchor) {
        Apply(LayoutZoomedAbout(in, z, anchor->x(), anchor->y()));
    } else {
        in.Zoom = z;
        Apply(LayoutView(in));
    }
    DrawRulerPictures();
    return true;
}

bool ViewControls::Fit(bool rulersShown) {
    TViewInput in;
    if (!Input(rulersShown, in)) return false;
    const TZoom z = FitZoom(in);
    return !(z == in.Zoom) && ZoomTo(z, rulersShown);
}

bool ViewControls::FitIfLarger(bool rulersShown) {
    TViewInput in;
    return Input(rulersShown, in) && NeedsScrolling(in) && Fit(rulersShown);
}

void ViewControls::ApplyScroll() {
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

void ViewControls::Wheel(QWheelEvent* e, QPoint pagePoint) {
    const TActiveImage active = ws_.ActiveImage();
    if (!active) return;
    if (e->modifiers() & Qt::ControlModifier) {
        // Zoom steps about the pointer.
        const int steps = WheelZoomSteps(zoomPending_, e->angleDelta().y());
        TZoom z = SlotZoom(*active);
        for (int i = 0; i < std::abs(steps); ++i)
            z = steps > 0 ? ZoomIn(z) : ZoomOut(z);
        if (steps != 0) ZoomTo(z, layout_.RulersVisible, &pagePoint);
        return;
    }
    TWheel w;
    w.AngleX = e->angleDelta().x();
    w.AngleY = e->angleDelta().y();
    w.PixelX = e->pixelDelta().x();
    w.PixelY = e->pixelDelta().y();
    w.Shift = (e->modifiers() & Qt::ShiftModifier) != 0;
    w.LinesPerNotch = QApplication::wheelScrollLines();
    const TScrollPosition p = ScrollForWheel(layout_, w);
    ScrollTo(p.Horz, p.Vert);
}

bool ViewControls::Key(int key) {
    static constexpr std::pair<int, TScrollKey> kKeys[] = {
        {Qt::Key_Left, TScrollKey::Left},     {Qt::Key_Right, TScrollKey::Right},
        {Qt::Key_Up, TScrollKey::Up},         {Qt::Key_Down, TScrollKey::Down},
        {Qt::Key_PageUp, TScrollKey::PageUp}, {Qt::Key_PageDown, TScrollKey::PageDown},
        {Qt::Key_Home, TScrollKey::Home},     {Qt::Key_End, TScrollKey::End},
    };
    for (const auto& [code, scrollKey] : kKeys) {
        if (code != key) continue;
        // A tool's drag keeps the view where it is.
        if (ws_.ActiveImage() && ws_.SysData.MouseDown != 1) {
            const TScrollPosition p = ScrollForKey(layout_, scrollKey);
            ScrollTo(p.Horz, p.Vert);
        }
        return true;
    }
    return false;
}

void ViewControls::ScrollTo(int horzPosition, int vertPosition) {
    if (layout_.ScrollBar1.Visible) scrollBar1_->setValue(horzPosition);
    if (layout_.ScrollBar2.Visible) scrollBar2_->setValue(vertPosition);
}

bool ViewControls::ActiveZoom(TZoom& z) const {
    const auto active = ws_.ActiveImage();
    if (!active) return false;
    z = SlotZoom(*active);
    return true;
}

void ViewControls::PointerPress(int X, int Y, int button) {
    TZoom z;
    if (ActiveZoom(z)) target_->Down(ViewToImage(X, z), ViewToImage(Y, z), button);
}

void ViewControls::PointerMove(int X, int Y) {
    TZoom z;
    if (!ActiveZoom(z)) return;
    const int x = ViewToImage(X, z), y = ViewToImage(Y, z);
    target_->Move(x, y);
    ShowStampOutline(x, y);
    if (layout_.RulersVisible) {
        MarkRulers(ws_.TopRuler.Bitmap, ws_.LeftRuler.Bitmap, X, Y, topShown_, leftShown_);
        topScale_->update();
        leftScale_->update();
    }
    emit PointerMoved(X, Y);
}

void ViewControls::ShowStampOutline(int x, int y) {
    const auto active = ws_.ActiveImage();
    const auto outline = active ? ToolsOf(ws_).StampOutline(x, y) : std::nullopt;
    if (!outline) {
        image_->SetOutline({}, true);
        return;
    }
    image_->SetOutline(ViewRectOf(outline->Box, active->Bitmap.Width(), active->Bitmap.Height(), image_->width(),
                                  image_->height()),
                       outline->Round);
}

void ViewControls::PointerRelease(int X, int Y) {
    TZoom z;
    if (!ActiveZoom(z)) return;
    target_->Up(ViewToImage(X, z), ViewToImage(Y, z));
    emit PointerReleased();
}

void ViewControls::PointerDoubleClick() {
    if (ws_.ActiveImage()) target_->DoubleClick();
}

bool ViewControls::eventFilter(QObject* watched, QEvent* event) {
    // Moves over the panel around the image reach the tools too (the crop
    // handles reach two pixels beyond the image's edge), in the image's own
    // pixels.
    if (watched != scrollPanel_ && watched != image_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Leave:
        // The pointer has left the canvas: no stamp to show.
        if (watched == image_) image_->SetOutline({}, true);
        break;
    case QEvent::MouseMove:
        if (watched == scrollPanel_) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint() - image_->pos();
            PointerMove(p.x(), p.y());
        }
        break;
    // The wheel and the keys over the canvas, on the image or the panel.
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint onPanel =
            static_cast<QWidget*>(watched)->mapTo(scrollPanel_, wheel->position().toPoint());
        Wheel(wheel, scrollPanel_->mapToParent(onPanel));
        return true;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::NoModifier && Key(key->key())) return true;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ViewControls::DrawRulerPictures() {
    const auto active = ws_.ActiveImage();
    if (!active) return;
    const TImages& s = *active;
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

void ViewControls::UpdateImage() {
    image_->update();
}

void ViewControls::UpdateImageArea(const TRect& area) {
    const auto active = ws_.ActiveImage();
    if (!active) return;
    const QRect part = ViewPartShowing(area, active->Bitmap.Width(), active->Bitmap.Height(), image_->width(),
                                       image_->height());
    if (!part.isEmpty()) image_->update(part);
}

void ViewControls::SetImageCursor(const QCursor& c) {
    image_->setCursor(c);
}

} // namespace pixora
