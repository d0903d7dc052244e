#include "io/ui/replace_file_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "window_kit/window_support.h"

namespace pixora {

ReplaceFileDialog::ReplaceFileDialog(QWidget* parent)
    : CentredDialog(parent, TWindow::ReplaceFile, 280, 110) {
    auto* l1 = new QLabel("The File you Selected already exists.", this);
    l1->setObjectName("Label1");
    l1->setGeometry(16, 14, 250, 20);
    auto* l2 = new QLabel("Would you like to replace the file?", this);
    l2->setObjectName("Label2");
    l2->setGeometry(16, 38, 250, 20);
    auto* yes = new QPushButton("Yes", this);
    yes->setObjectName("Button1");
    yes->setGeometry(58, 74, 75, 26);
    auto* no = new QPushButton("No", this);
    no->setObjectName("Button2");
    no->setDefault(true);
    no->setGeometry(146, 74, 75, 26);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace pixora
