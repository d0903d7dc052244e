#include "window_kit/up_down.h"

#include <QBoxLayout>
#include <QToolButton>
#include <algorithm>

namespace pixora {

UpDown::UpDown(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), orientation_(orientation) {
    auto* layout = orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                                                 : static_cast<QBoxLayout*>(new QVBoxLayout(this));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* down = new QToolButton(this);
    auto* up = new QToolButton(this);
    // Left / up lowers the position, right / down raises it (scrolling on).
    down->setArrowType(orientation == Qt::Horizontal ? Qt::LeftArrow : Qt::UpArrow);
    up->setArrowType(orientation == Qt::Horizontal ? Qt::RightArrow : Qt::DownArrow);
    down->setAutoRepeat(true);
    up->setAutoRepeat(true);
    layout->addWidget(down);
    layout->addWidget(up);
    connect(down, &QToolButton::clicked, this, &UpDown::StepDown);
    connect(up, &QToolButton::clicked, this, &UpDown::StepUp);
    if (orientation == Qt::Horizontal)
        setFixedSize(32, 16);
    else
        setFixedSize(16, 32);
}

void UpDown::SetMin(int v) {
    min_ = v;
    SetPosition(position_);
}

void UpDown::SetMax(int v) {
    max_ = v;
    SetPosition(position_);
}

void UpDown::SetPosition(int v) { position_ = std::clamp(v, min_, std::max(min_, max_)); }

void UpDown::StepUp() {
    SetPosition(position_ + increment_);
    emit Clicked(position_);
}

void UpDown::StepDown() {
    SetPosition(position_ - increment_);
    emit Clicked(position_);
}

} // namespace pixora
