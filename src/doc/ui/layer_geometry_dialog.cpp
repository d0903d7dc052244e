#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <climits>

#include "doc/ui/layer_geometry_dialog.h"

#include "app/window_support.h"

namespace pixora {

LayerGeometryDialog::LayerGeometryDialog(const QString& name, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);
    setModal(true);
    grid_ = new QGridLayout(this);
    sedWidth_ = MakeSpinBox(this, "sedWidth", 1, INT_MAX, 1);
    sedHeight_ = MakeSpinBox(this, "sedHeight", 1, INT_MAX, 1);
    // Layers may lie partly or wholly outside the image, on any side.
    sedLeft_ = MakeSpinBox(this, "sedLeft", INT_MIN, INT_MAX);
    sedTop_ = MakeSpinBox(this, "sedTop", INT_MIN, INT_MAX);
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
    CentreOnScreen(this);
}

} // namespace pixora
