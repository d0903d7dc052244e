#include "effects/ui/filter_dialogs.h"

#include "effects/ui/row_dialog.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

// A window takes the place of its frame only where its row is in the table.
template <TWindow id> void Place(WindowHost& w, TResetTime resets) {
    if (const TEffectRow* row = EffectForWindow(id)) w.Install<id>(new RowDialog(w, *row, resets, w.Owner()));
}

} // namespace

void InstallFilterDialogs(WindowHost& w) {
    using enum TResetTime;
    Place<TWindow::ColourAdjustor>(w, AfterClose);
    Place<TWindow::Brightness>(w, AfterClose);
    Place<TWindow::Contrast>(w, AfterClose);
    Place<TWindow::Noise>(w, AfterClose);
    Place<TWindow::Posterize>(w, AfterClose);
    Place<TWindow::Saturation>(w, AfterClose);
    Place<TWindow::Sharpen>(w, AfterClose);
    Place<TWindow::Solarize>(w, AfterClose);
    Place<TWindow::ChannelFilter>(w, AfterClose);
    Place<TWindow::Blur>(w, AfterClose);
    Place<TWindow::ColourFilter>(w, BeforeShow);
    Place<TWindow::Pixelization>(w, BeforeShow);
    Place<TWindow::RoughBlur>(w, BeforeShow);
}

} // namespace pixora
