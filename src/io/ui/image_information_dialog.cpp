#include "io/ui/image_information_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "doc/workspace.h"
#include "io/image_information.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

QLineEdit* AddField(QGridLayout* grid, int row, const QString& caption, const char* name) {
    QWidget* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString(name) + "Caption");
    grid->addWidget(label, row, 0);
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    // Clicked to copy from, never focused on opening (which would select a
    // field's whole text).
    field->setFocusPolicy(Qt::ClickFocus);
    grid->addWidget(field, row, 1);
    return field;
}

void Put(QLineEdit* field, const std::string& text) {
    field->setText(QString::fromStdString(text));
    field->setCursorPosition(0); // long paths show their beginning
}

} // namespace

ImageInformationDialog::ImageInformationDialog(WindowHost& host)
    : CentredDialog(host.Owner(), TWindow::ImageInformation, 500, 348), host_(host) {
    auto* group = new QGroupBox("Image Properties", this);
    group->setObjectName("GroupBox1");
    group->setGeometry(8, 8, 484, 332);
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(1, 1);
    name_ = AddField(grid, 0, "File Name:", "lblName");
    location_ = AddField(grid, 1, "Location:", "lblLocation");
    fullPath_ = AddField(grid, 2, "Full Path:", "lblFullPath");
    originalSize_ = AddField(grid, 3, "Original Dimensions:", "lblODimensions");
    currentSize_ = AddField(grid, 4, "Current Dimensions:", "lblCDimensions");
    fileType_ = AddField(grid, 5, "File Type:", "lblFileType");
    sizeOnDisk_ = AddField(grid, 6, "Size on Disk:", "lblSizeDisk");
    pixels_ = AddField(grid, 7, "Number of pixels:", "lblNPixels");
    layers_ = AddField(grid, 8, "Number of Layers:", "lblNLayers");
    profile_ = AddField(grid, 9, "Colour Profile:", "lblColourProfile");
}

void ImageInformationDialog::Fill() {
    const Workspace& ws = host_.Ws();
    const auto active = ws.ActiveImage();
    if (!active) return;
    const TImageInformation info = ImageInformation(*active);
    Put(name_, info.Name);
    Put(location_, info.Location);
    Put(fullPath_, info.FullPath);
    Put(originalSize_, info.OriginalDimensions);
    Put(currentSize_, info.CurrentDimensions);
    if (info.FileType) Put(fileType_, *info.FileType); // an unknown code leaves the field
    Put(sizeOnDisk_, info.SizeOnDisk);
    Put(pixels_, info.NumberOfPixels);
    Put(layers_, info.NumberOfLayers);
    Put(profile_, info.ColourProfile);
}

void ImageInformationDialog::showEvent(QShowEvent* e) {
    Fill();
    QDialog::showEvent(e);
}

void ShowImageInformation(WindowHost& host) {
    if (!host.Ws().ActiveImage()) return;
    if (auto* d = host.Get<TWindow::ImageInformation>()) d->exec();
}

} // namespace pixora
