#pragma once
// A pair of arrow buttons that step a position between Min and Max by
// Increment, reporting each click.

#include <QWidget>

class QToolButton;

namespace pixora {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(Qt::Orientation orientation, QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int Increment() const { return increment_; }
    void SetMin(int v);
    void SetMax(int v);
    void SetPosition(int v);
    void SetIncrement(int v) { increment_ = v; }

    // Steps as a click on one of the arrows does.
    void StepUp();
    void StepDown();

signals:
    void Clicked(int position);

private:
    Qt::Orientation orientation_;
    int min_ = 0, max_ = 0, position_ = 0, increment_ = 1;
};

} // namespace pixora
