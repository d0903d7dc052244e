#pragma once
// "Image Navigation": a small tool window that stays on top of the main
// window and shows a thumbnail of the active image with a frame for the
// visible part of the view. Dragging the frame scrolls the view.

#include <QWidget>

#include "doc/bitmap.h"
#include "doc/view_geometry.h"
#include "doc/workspace.h"
#include "window_kit/window_class.h"

namespace pixora {

class PictureWidget;
class ViewControls;

class NavigatorWindow : public QWidget {
    Q_OBJECT
public:
    NavigatorWindow(Workspace& ws, ViewControls& view, QWidget* owner);

    // The window sits just above this widget (the main window's status
    // bar), centred horizontally on the screen.
    void SetAnchor(QWidget* statusBar) { anchor_ = statusBar; }

    // Pointer on the thumbnail, in its own pixels.
    void Press();
    void Drag(int px, int py);
    void Release();

    PictureWidget* Thumb() const { return image_; }
    QWidget* Panel() const { return panel_; }
    const Bitmap& Thumbnail() const { return thumb_; }
    const Bitmap& Shown() const { return shown_; }
    TFrameSize FrameSize() const { return frame_; }
    bool Dragging() const { return dragging_; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    // Shows the thumbnail with the frame at (left, top), or without a frame.
    void ShowFrame(int left, int top);
    void ShowPlain();
    TViewRect ThumbRect() const;

    Workspace& ws_;
    ViewControls& view_;
    QWidget* anchor_ = nullptr;
    QWidget* panel_;
    PictureWidget* image_;
    Bitmap thumb_;  // exists only while the window is shown
    Bitmap shown_;  // thumbnail with the frame drawn in
    TFrameSize frame_;
    bool dragging_ = false;
};

template <> struct WindowClass<TWindow::Navigator> { using Type = NavigatorWindow; };

} // namespace pixora
