#include "app/tips_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "doc/workspace.h"

namespace pixora {

TipsDialog::TipsDialog(Workspace& ws, QWidget* parent)
    : CentredDialog(parent, TWindow::Tips, 400, 172), ws_(ws) {
    auto* frame = new QGroupBox(this);
    frame->setObjectName("GroupBox1");
    frame->setGeometry(8, 8, 384, 90);
    SetBackground(frame, Qt::white);
    const char* names[3] = {"lblTip1", "lblTip2", "lblTip3"};
    for (int i = 0; i < 3; ++i) {
        lines_[i] = new QLabel(frame);
        lines_[i]->setObjectName(names[i]);
        lines_[i]->setGeometry(12, 10 + 24 * i, 364, 22);
    }
    showAtStartup_ = new QCheckBox("Show Tips at Startup", this);
    showAtStartup_->setObjectName("CheckBox1");
    showAtStartup_->setGeometry(10, 106, 200, 22);
    auto* next = new QPushButton("Next Tip", this);
    next->setObjectName("Button2");
    next->setGeometry(236, 136, 75, 26);
    connect(next, &QPushButton::clicked, this, &TipsDialog::ShowNextTip);
    MakeOkButton(this, 317, 136);
}

void TipsDialog::ShowTip() {
    const TTipLines& tip = TipLines(state_.TipNumber);
    lines_[1]->clear();
    lines_[2]->clear();
    lines_[0]->setText(tip.Line1);
    lines_[1]->setText(tip.Line2);
    lines_[2]->setText(tip.Line3);
}

void TipsDialog::ShowNextTip() {
    NextTip(state_);
    ShowTip();
}

void TipsDialog::showEvent(QShowEvent* e) {
    if (!e->spontaneous()) {
        state_ = OpenTips(ws_);
        showAtStartup_->setChecked(state_.ShowAtStartup);
        ShowTip();
    }
    QDialog::showEvent(e);
}

void TipsDialog::done(int r) {
    // "OK", the close box and Escape all end here.
    state_.ShowAtStartup = showAtStartup_->isChecked();
    CloseTips(ws_, state_);
    CentredDialog::done(r);
}

} // namespace pixora
