#pragma once
// The two layer windows: "New Layer" (TForm48) and "Edit Layer" (TForm49).
// Both carry a layer's size and position in sedWidth, sedHeight, sedLeft
// and sedTop, and an "OK" (Button1) / "Cancel" (Button2) pair that sets a
// cancel flag and closes; the flag keeps its last value when the window is
// closed any other way.

#include <QDialog>

#include "doc/layers.h"

class QGridLayout;
class QLabel;
class QSlider;
class QSpinBox;

namespace pixora {

class LayerGeometryDialog : public QDialog {
    Q_OBJECT
public:
    bool Cancelled() const { return cancel_; }
    QSpinBox* WidthBox() const { return sedWidth_; }
    QSpinBox* HeightBox() const { return sedHeight_; }
    QSpinBox* LeftBox() const { return sedLeft_; }
    QSpinBox* TopBox() const { return sedTop_; }

protected:
    LayerGeometryDialog(const QString& name, const QString& caption, QWidget* parent);
    void showEvent(QShowEvent* e) override;
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

// "New Layer": size taken from the image and transparency 255 on every
// show, position kept from the last time, colour white.
class NewLayerDialog : public LayerGeometryDialog {
    Q_OBJECT
public:
    explicit NewLayerDialog(QWidget* parent = nullptr);
    // Sets the size fields and the transparency before the window is shown.
    void Prepare(int imageWidth, int imageHeight);
    TNewLayer Values() const;
    QSlider* TransparencyBar() const { return t_; }

private:
    QSlider* t_;
};

// "Edit Layer": the current layer's size and position.
class EditLayerDialog : public LayerGeometryDialog {
    Q_OBJECT
public:
    explicit EditLayerDialog(QWidget* parent = nullptr);
    void Prepare(int width, int height, int left, int top);
};

} // namespace pixora
