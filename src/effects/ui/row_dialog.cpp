#include "effects/ui/row_dialog.h"

namespace pixora {

RowDialog::RowDialog(WindowHost& host, const TEffectRow& row, TResetTime resets, QWidget* owner)
    : FilterDialog(host, row, owner), resets_(resets) {
    AddArgumentControls();
}

void RowDialog::ResetBeforeShow() {
    if (resets_ != TResetTime::BeforeShow) return;
    ResetArgumentControls();
    // The first preview, even when the controls stood there already.
    Preview();
}

void RowDialog::ResetAfterClose() {
    if (resets_ == TResetTime::AfterClose) ResetArgumentControls();
}

} // namespace pixora
