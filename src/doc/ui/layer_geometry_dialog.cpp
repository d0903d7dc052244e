#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <climits>

#include "doc/ui/layer_geometry_dialog.h"

namespace pixora {

namespace {

QSpinBox* SpinBox(const char* name, int min, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(min, INT_MAX);
    return box;
}

} // namespace

LayerGeometryDialog::LayerGeometryDialog(const QString& name, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);
    setModal(true);
    grid_ = new QGridLayout(this);
    sedWidth_ = SpinBox("sedWidth", 1, this);
    sedHeight_ = SpinBox("sedHeight", 1, this);
    // Layers may lie partly or wholly outside the image, on any side.
    sedLeft_ = SpinBox("sedLeft", INT_MIN, this);
    sedTop_ = SpinBox("sedTop", INT_MIN, this);
    const std::pair<const char*, QSpinBox*> rows[] = {
        {"Width:", sedWidth_}, {"Height:", sedHeight_}, {"Left:", sedLeft_}, {"Top:", sedTop_}};
    int row = 0;
    for (const auto& [text, box] : rows) {
        grid_->addWidget(new QLabel(text, this), row, 0);
        grid_->addWidget(box, row, 1);
        ++row;
    }
}

void LayerGeometryDialog::AddButtons() {
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button2");
    connect(ok, &QPushButton::clicked, this, [this] {
        cancel_ = false;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        cancel_ = true;
        reject();
    });
    const int row = grid_->rowCount();
    grid_->addWidget(ok, row, 0);
    grid_->addWidget(cancel, row, 1);
}

void LayerGeometryDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

} // namespace pixora
