#pragma once
// The view controls of the active tab page: ScrollPanel with the zoomed
// Image, its BorderShape, both scroll bars and the two rulers. They are
// moved onto whichever tab page becomes active. The controls are widgets;
// this object owns none of the pixels, it lays the controls out and routes
// their pointer events.

#include <QObject>

#include "doc/bitmap.h"
#include "doc/view_geometry.h"
#include "doc/workspace.h"
#include "tools/pointer_target.h"
#include "window_kit/picture_widget.h"

class QScrollBar;
class QWheelEvent;

namespace pixora {

class ViewControls : public QObject {
    Q_OBJECT
public:
    ViewControls(Workspace& ws, QWidget* firstPage);

    // The tab page whose client size the layout fills (the active one).
    void SetPage(QWidget* page) { page_ = page; }
    // Moves every view control onto that page, keeping its place and
    // whether it is shown.
    void MoveToPage();
    // Lays out the controls for the active slot (zoom, bars, rulers) and
    // points ScratchRows at the display copy again.
    void Layout(bool rulersShown);
    // Redraws the ruler bitmaps for the active slot's size and zoom.
    void DrawRulerPictures();
    void UpdateImage();
    // Repaints the part of the image control that shows `area` (image
    // pixels) at the active slot's zoom.
    void UpdateImageArea(const TRect& area);
    void SetImageCursor(const QCursor& c);
    void HideAll();

    // Pointer events on the image, in view pixels: mapped to image pixels
    // with the active slot's zoom and handed to the pointer target, the
    // workspace's tool set. A move then marks the pointer on the rulers
    // while they are shown and reports PointerMoved. Moves over the scroll
    // panel around the image come the same way.
    void PointerPress(int X, int Y, int button);
    void PointerMove(int X, int Y);
    void PointerRelease(int X, int Y);
    void PointerDoubleClick();
    // Puts another target in the tool set's place (a test's recorder).
    void SetPointerTarget(PointerTarget* target) { target_ = target; }

    // Sets the active slot's zoom and lays the view out again, keeping the
    // image point under `anchor` (a point of the page) where it is when one
    // is given. A pair the view cannot take is refused (false).
    bool ZoomTo(TZoom z, bool rulersShown, const QPoint* anchor = nullptr);

    // "Fit to Window": the largest zoom step showing the whole image.
    // FitIfLarger does it only for an image the view cannot show whole at
    // its zoom (a picture just opened). False when nothing changed.
    bool Fit(bool rulersShown);
    bool FitIfLarger(bool rulersShown);

    // Sets a bar's position as if the user had moved it (the image follows).
    void ScrollTo(int horzPosition, int vertPosition);
    // The wheel over the canvas (pagePoint: the pointer on the page): it
    // scrolls, with Ctrl it zooms about the pointer.
    void Wheel(QWheelEvent* e, QPoint pagePoint);
    // A navigation key while the canvas has the focus; false for other keys.
    bool Key(int key);

    PictureWidget* Image() const { return image_; }
    QWidget* ScrollPanel() const { return scrollPanel_; }
    QScrollBar* HorzBar() const { return scrollBar1_; }
    QScrollBar* VertBar() const { return scrollBar2_; }
    PictureWidget* TopScale() const { return topScale_; }
    PictureWidget* LeftScale() const { return leftScale_; }
    // The ruler pictures as shown, pointer marks included.
    const Bitmap& TopRulerShown() const { return topShown_; }
    const Bitmap& LeftRulerShown() const { return leftShown_; }
    const TViewLayout& LastLayout() const { return layout_; }

signals:
    // A pointer move over the image has been handled (view pixels).
    void PointerMoved(int X, int Y);
    // A release on the image has been handled.
    void PointerReleased();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The layout's input for the active slot; false when no tab is active.
    bool Input(bool rulersShown, TViewInput& in) const;
    // Moves every control to a layout's places.
    void Apply(const TViewLayout& layout);
    void ApplyScroll();
    // Shows the controls the last layout asks for.
    void ApplyVisibility();
    // Outlines the stamp the active tool would paint at image pixel (x, y),
    // or takes the outline away for a tool without one.
    void ShowStampOutline(int x, int y);
    // The active slot's zoom, or nothing when no tab is active.
    bool ActiveZoom(TZoom& z) const;

    Workspace& ws_;
    PointerTarget* target_;
    QWidget* page_ = nullptr;
    Bitmap topShown_, leftShown_;
    QWidget* scrollPanel_;
    PictureWidget* image_;
    QWidget* borderShape_;
    QScrollBar* scrollBar1_;
    QScrollBar* scrollBar2_;
    QWidget* topSScroll_;
    PictureWidget* topScale_;
    QWidget* leftSScroll_;
    PictureWidget* leftScale_;
    TViewLayout layout_;
    bool shown_ = false; // laid out for an image since the last HideAll
    int zoomPending_ = 0; // part of a Ctrl+wheel notch not yet used
};

} // namespace pixora
