#pragma once
// "Colour Channel Transfer" (TForm36): mixes one colour channel into
// another, live on the image while the window is open. "Cancel" puts the
// image back; "OK" records the image as it was before the window as the
// step "Colour Transfer" and commits the transfer.

#include "effects/ui/filter_dialog.h"
#include "window_kit/window_class.h"

namespace pixora {

class ChannelTransferDialog : public FilterDialog {
    Q_OBJECT
public:
    ChannelTransferDialog(WindowHost& host, const TEffectRow& row, QWidget* owner);
    // The chosen transfer (-1 before any) and the percentage.
    TEffectValues Values() const override;

protected:
    void ResetBeforeShow() override;
    void RunPreview() override;
    Bitmap& CommitSource() override;
    void done(int result) override;

private:
    int pair_ = -1; // the transfer button last clicked, -1 before any
    Bitmap transferred_;
};

template <> struct WindowClass<TWindow::ChannelTransfer> { using Type = ChannelTransferDialog; };

} // namespace pixora
