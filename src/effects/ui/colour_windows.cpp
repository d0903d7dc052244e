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
    w.ReplaceWindow("TForm39", new HistogramDialog(w, owner));
    if (const TEffectRow* row = EffectForWindow("TForm35"))
        w.ReplaceWindow("TForm35", new GrayScaleDialog(w, *row, owner));
    if (const TEffectRow* row = EffectForWindow("TForm36"))
        w.ReplaceWindow("TForm36", new ChannelTransferDialog(w, *row, owner));
}

void RunHistogram(WindowHost& w) {
    if (auto* dialog = qobject_cast<FilterDialog*>(w.Window("TForm39"))) dialog->Open();
}

} // namespace pixora
