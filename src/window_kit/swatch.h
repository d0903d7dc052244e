#pragma once
// A colour swatch (Shape1 foreground, Shape2 background).

#include <QWidget>
#include <cstdint>
#include <functional>

namespace pixora {

class SwatchWidget : public QWidget {
    Q_OBJECT
public:
    explicit SwatchWidget(QWidget* parent = nullptr) : QWidget(parent) {}
    void SetColour(int32_t colour) {
        colour_ = colour;
        update();
    }
    int32_t Colour() const { return colour_; }
    // Releasing the mouse on the swatch.
    std::function<void()> OnRelease;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override {
        if (OnRelease) OnRelease();
    }

private:
    int32_t colour_ = 0;
};

// A small picture that acts on a click (Image2, Image3).
class ClickPicture : public QWidget {
    Q_OBJECT
public:
    ClickPicture(const QString& icon, QWidget* parent);
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override {
        if (OnClick) OnClick();
    }

private:
    QString icon_;
};

} // namespace pixora
