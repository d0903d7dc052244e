#include "effects/ui/channel_filter_dialog.h"

#include <QButtonGroup>

namespace pixora {

ChannelFilterDialog::ChannelFilterDialog(WindowHost& host, const TEffectRow& row, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(row), owner) {
    channel_ =
        AddRadioButtons("Filter Channel", {"R", "G", "B"}, {"Red Channel", "Green Channel", "Blue Channel"});
}

TEffectValues ChannelFilterDialog::Values() const {
    // -1 while no channel is chosen: the view shows the document.
    return {channel_->checkedId()};
}

void ChannelFilterDialog::ResetAfterClose() {
    CheckButton(channel_, -1);
}

} // namespace pixora
