#pragma once
// The Gradient box (TForm41): the settings of the gradient that "Use
// Gradient" puts in place of a stroke's flat colour, read live by the pen
// and the shapes, and a picture of the three gradient kinds to choose one
// by clicking its preview. The chosen kind is kept in the box as its
// GradientKind property.

#include <QDialog>

#include "doc/bitmap.h"
#include "tools/shapes/gradient_fill.h"
#include "window_kit/window_class.h"

class QCheckBox;
class QScrollBar;
class QSpinBox;

namespace pixora {

class PictureWidget;
class WindowHost;

class GradientBox : public QDialog {
    Q_OBJECT
public:
    GradientBox(WindowHost& host, QWidget* owner);

    int Kind() const;
    // The settings as the controls hold them.
    TGradientSettings Settings() const;
    // Draws the previews with the active image's colours, and the frames.
    void Redraw();
    // A click on the picture at its pixel (x, y): inside a preview it
    // chooses that kind; elsewhere nothing changes.
    void PictureClicked(int x, int y);
    const Bitmap& Picture() const { return picture_; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void PlacePicture();

    WindowHost& host_;
    Bitmap picture_; // made on show, freed on close
    QSpinBox* size_;
    QSpinBox* top_;
    QSpinBox* left_;
    QSpinBox* depth_;
    QCheckBox* tfg_;
    QCheckBox* tbg_;
    QWidget* panel_;
    PictureWidget* image_;
    QScrollBar* bar_;
};

template <> struct WindowClass<TWindow::Gradient> { using Type = GradientBox; };

} // namespace pixora
