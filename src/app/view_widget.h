#pragma once
// The view controls of the active tab page: ScrollPanel with the zoomed
// Image, its BorderShape, both scroll bars and the two rulers. They are
// moved onto whichever tab page becomes active.

#include <QWidget>
#include <functional>

#include "doc/view_geometry.h"
#include "doc/workspace.h"

class QScrollBar;

namespace pixora {

// The picture control: draws the visible part of the display copy scaled
// by the zoom, and reports pointer events in its own pixels.
class ImageWidget : public QWidget {
    Q_OBJECT
public:
    ImageWidget(Workspace& ws, QWidget* parent);
    std::function<void(int X, int Y, int button)> OnPress;
    std::function<void(int X, int Y)> OnMove;
    std::function<void(int X, int Y)> OnRelease;
    std::function<void(int X, int Y)> OnDoubleClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    Workspace& ws_;
};

// A ruler picture: shows one of the ruler bitmaps.
class RulerWidget : public QWidget {
    Q_OBJECT
public:
    RulerWidget(const Bitmap& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const Bitmap& picture_;
};

class ViewWidget : public QObject {
    Q_OBJECT
public:
    ViewWidget(Workspace& ws, QWidget* firstPage);

    // Moves every view control onto a tab page.
    void MoveToPage(QWidget* page);
    // Lays out the controls for the active slot (zoom, bars, rulers).
    void Layout(bool rulersShown);
    // Redraws the ruler bitmaps for the active slot's size and zoom.
    void DrawRulerPictures();
    void UpdateImage();
    void SetImageCursor(const QCursor& c);
    void HideAll();

    ImageWidget* Image() const { return image_; }
    QWidget* ScrollPanel() const { return scrollPanel_; }
    QScrollBar* HorzBar() const { return scrollBar1_; }
    QScrollBar* VertBar() const { return scrollBar2_; }
    const TViewLayout& LastLayout() const { return layout_; }

private:
    void ApplyScroll();

    Workspace& ws_;
    QWidget* page_ = nullptr;
    QWidget* scrollPanel_;
    ImageWidget* image_;
    QWidget* borderShape_;
    QScrollBar* scrollBar1_;
    QScrollBar* scrollBar2_;
    QWidget* topSScroll_;
    RulerWidget* topScale_;
    QWidget* leftSScroll_;
    RulerWidget* leftScale_;
    TViewLayout layout_;
};

} // namespace pixora
