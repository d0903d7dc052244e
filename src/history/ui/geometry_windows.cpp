#include "history/ui/geometry_windows.h"

#include "history/ui/resize_dialog.h"
#include "history/ui/rotate_dialog.h"
#include "window_kit/window_host.h"

namespace pixora {

void InstallGeometryWindows(WindowHost& w) {
    w.Install<TWindow::Resize>(new ResizeDialog(w.Ws(), w.Owner()));
    w.Install<TWindow::Rotate>(new RotateDialog(w, w.Owner()));
}

void RunResizeImage(WindowHost& w) {
    if (auto* dialog = w.Get<TWindow::Resize>()) dialog->Open();
}

void RunRotateImage(WindowHost& w) {
    if (auto* dialog = w.Get<TWindow::Rotate>()) dialog->Open();
}

} // namespace pixora
