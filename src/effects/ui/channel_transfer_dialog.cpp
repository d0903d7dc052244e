#include "effects/ui/channel_transfer_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "doc/workspace.h"
#include "effects/colour_previews.h"

namespace pixora {

ChannelTransferDialog::ChannelTransferDialog(WindowHost& host, const TEffectRow& row, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(row), owner) {
    QGroupBox* transfers = AddGroup("Transfers");
    auto* grid = static_cast<QGridLayout*>(transfers->layout());
    for (int i = 0; i < 6; ++i) {
        const quick::TTransferPair& pair = quick::kTransferPairs[i];
        auto* button = new QPushButton(pair.Caption, transfers);
        button->setObjectName(QString(pair.Caption).remove(' ').replace('-', '_'));
        button->setAutoDefault(false);
        grid->addWidget(button, i / 3, i % 3);
        connect(button, &QPushButton::clicked, this, [this, i] {
            pair_ = i;
            Preview();
        });
    }
    percent_ = AddTrack("P", "Transfer Percent:", 1, 100, 100);
}

TEffectValues ChannelTransferDialog::Values() const {
    return {pair_, percent_->value()};
}

void ChannelTransferDialog::ResetBeforeShow() {
    StartChannelTransfer(Ws());
    pair_ = -1;
    percent_->setValue(100);
    Preview();
}

void ChannelTransferDialog::RunPreview() {
    if (pair_ < 0) {
        RunChannelTransfer(Ws(), std::nullopt);
        return;
    }
    const quick::TTransferPair& pair = quick::kTransferPairs[pair_];
    RunChannelTransfer(Ws(), quick::TChannelTransferParams{pair.To, pair.From, percent_->value()});
}

Bitmap& ChannelTransferDialog::CommitSource() {
    // The image holds the transfer: keep it to commit, and put the image
    // back as it was before the window, which is what the step records.
    Workspace& ws = Ws();
    const TActiveImage active = ws.ActiveImage();
    transferred_ = active ? active->Bitmap : Bitmap();
    RestoreFromScratch(ws);
    return transferred_;
}

void ChannelTransferDialog::done(int result) {
    if (result != QDialog::Accepted) RestoreFromScratch(Ws());
    transferred_ = Bitmap();
    FilterDialog::done(result);
}

} // namespace pixora
