#pragma once
// What the two layer windows ("New Layer" TForm48, "Edit Layer" TForm49)
// share: a layer's size and position in sedWidth, sedHeight, sedLeft and
// sedTop, and an "OK" (Button1) / "Cancel" (Button2) pair that sets a cancel
// flag and closes; the flag keeps its last value when the window is closed
// any other way. Centred on the screen when shown.

#include "window_kit/window_support.h"

class QGridLayout;
class QSpinBox;

namespace pixora {

class LayerGeometryDialog : public CentredDialog {
    Q_OBJECT
public:
    bool Cancelled() const { return cancel_; }
    QSpinBox* WidthBox() const { return sedWidth_; }
    QSpinBox* HeightBox() const { return sedHeight_; }
    QSpinBox* LeftBox() const { return sedLeft_; }
    QSpinBox* TopBox() const { return sedTop_; }

protected:
    LayerGeometryDialog(TWindow id, QWidget* parent);
    QGridLayout* Grid() const { return grid_; }
    // Adds "OK" and "Cancel" below the rows added so far.
    void AddButtons();

private:
    QGridLayout* grid_;
    QSpinBox* sedWidth_;
    QSpinBox* sedHeight_;
    QSpinBox* sedLeft_;
    QSpinBox* sedTop_;
    bool cancel_ = false;
};

} // namespace pixora
