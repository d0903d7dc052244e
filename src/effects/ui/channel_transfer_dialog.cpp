#include "effects/ui/channel_transfer_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>

#include "doc/workspace.h"
#include "effects/colour_previews.h"

namespace pixora {

ChannelTransferDialog::ChannelTransferDialog(WindowHost& host, const TEffectRow& row, QWidget* owner)
    : FilterDialog(host, row, owner) {
    // The transfers are the window's own buttons; the percentage comes from the row.
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
    AddArgumentControls();
}

TEffectValues ChannelTransferDialog::Values() const {
    TEffectValues v = FilterDialog::Values();
    v[0] = pair_; // the transfer: the row's first argument, shown by the buttons above
    return v;
}

void ChannelTransferDialog::ResetBeforeShow() {
    StartChannelTransfer(Ws());
    pair_ = -1;
    ResetArgumentControls();
    Preview();
}

void ChannelTransferDialog::RunPreview() {
    if (pair_ < 0) {
        RunChannelTransfer(Ws(), std::nullopt);
        return;
    }
    const quick::TTransferPair& pair = quick::kTransferPairs[pair_];
    RunChannelTransfer(Ws(), quick::TChannelTransferParams{pair.To, pair.From, Values()[1]});
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
