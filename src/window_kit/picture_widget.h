#pragma once
// A picture control (the view's Image, the rulers, the navigator's
// thumbnail).

#include <QWidget>

#include <functional>

#include "doc/bitmap.h"

namespace pixora {

// A picture control: shows a bitmap stretched to its own size (nearest
// pixel, colour bytes only) and reports pointer events in its own pixels.
// Only the exposed part is scaled, so a repaint costs the visible area, not
// the whole zoomed picture.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(const Bitmap& picture, QWidget* parent);
    // What the control shows as it paints: a bitmap, and whether its
    // transparency is still to be blended with the view's checkerboard.
    struct TShown {
        const Bitmap* Picture = nullptr;
        bool BlendsTransparency = false;
    };
    PictureWidget(std::function<TShown()> picture, QWidget* parent);

    // An outline drawn over the picture, not into it (the stamp a brush
    // would paint at the pointer), in the control's pixels: an ellipse
    // inside the rectangle when round, else the rectangle. An empty
    // rectangle takes it away.
    void SetOutline(const QRect& r, bool round);
    QRect Outline() const { return outline_; }
    bool OutlineRound() const { return outlineRound_; }

signals:
    // Pointer events in the control's own pixels; button 0 left, 1 right,
    // 2 middle. The second click of a double click is a press as well.
    void Pressed(int X, int Y, int button);
    void Moved(int X, int Y);
    void Released(int X, int Y);
    void DoubleClicked(int X, int Y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    std::function<TShown()> picture_;
    QRect outline_;
    bool outlineRound_ = true;
};

} // namespace pixora
