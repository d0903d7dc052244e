#include "history/ui/geometry_windows.h"

#include "history/ui/resize_dialog.h"
#include "history/ui/rotate_dialog.h"
#include "window_kit/window_host.h"

namespace pixora {

void InstallGeometryWindows(WindowHost& w) {
    w.ReplaceWindow("TForm28", new ResizeDialog(w.Ws(), w.Owner()));
    w.ReplaceWindow("TForm30", new RotateDialog(w, w.Owner()));
}

void RunResizeImage(WindowHost& w) {
    if (auto* dialog = qobject_cast<ResizeDialog*>(w.Window("TForm28"))) dialog->Open();
}

void RunRotateImage(WindowHost& w) {
    if (auto* dialog = qobject_cast<RotateDialog*>(w.Window("TForm30"))) dialog->Open();
}

} // namespace pixora
