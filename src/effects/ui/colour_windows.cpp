#include "effects/ui/colour_windows.h"

#include "effects/ui/channel_transfer_dialog.h"
#include "effects/ui/colour_select_dialog.h"
#include "effects/ui/grayscale_dialog.h"
#include "effects/ui/histogram_dialog.h"
#include "window_kit/window_host.h"

namespace pixora {

void InstallColourWindows(WindowHost& w) {
    InstallColourSelect(w);
    QWidget* owner = w.Owner();
    w.Install<TWindow::Histogram>(new HistogramDialog(w, owner));
    if (const TEffectRow* row = EffectForWindow(TWindow::GrayScale))
        w.Install<TWindow::GrayScale>(new GrayScaleDialog(w, *row, owner));
    if (const TEffectRow* row = EffectForWindow(TWindow::ChannelTransfer))
        w.Install<TWindow::ChannelTransfer>(new ChannelTransferDialog(w, *row, owner));
}

void RunHistogram(WindowHost& w) {
    if (auto* dialog = w.Get<TWindow::Histogram>()) dialog->Open();
}

} // namespace pixora
