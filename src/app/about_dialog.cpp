#include "app/about_dialog.h"

#include <QIcon>
#include <QLabel>

#include "io/image_information.h"

namespace pixora {

AboutDialog::AboutDialog(QWidget* parent) : CentredDialog(parent, TWindow::About, 340, 150) {
    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(QIcon(":/icons/about.svg").pixmap(64, 64));
    picture->setGeometry(16, 16, 64, 64);
    auto* title = new QLabel(kAboutTitleLine, this);
    title->setObjectName("Label1");
    QFont big = title->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title->setFont(big);
    title->setGeometry(96, 18, 228, 26);
    auto* line = new QLabel(kAboutSecondLine, this);
    line->setObjectName("Label2");
    line->setWordWrap(true);
    line->setGeometry(96, 48, 228, 40);
    MakeOkButton(this, 132, 112);
}

} // namespace pixora
