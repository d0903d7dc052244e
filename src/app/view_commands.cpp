// Connects the custom zoom dialog, the navigator, the ruler marks and the
// pointer routing of the view to the main window.
#include <QAction>

#include "app/custom_zoom_dialog.h"
#include "app/installers.h"
#include "app/main_window.h"
#include "app/navigator_window.h"
#include "app/status_bar.h"
#include "app/view_widget.h"

namespace pixora {

void InstallViewCommands(MainWindow& w) {
    ViewWidget* view = w.View();
    auto* zoomDialog = new CustomZoomDialog(&w);
    w.ReplaceWindow("TForm34", zoomDialog);
    auto* navigator = new NavigatorWindow(w.Ws(), *view, &w);
    navigator->SetAnchor(w.Status());
    w.ReplaceWindow("TForm47", navigator);

    // "Custom Zoom": OK stores the pair and lays the view out again.
    QAction* scaleBars = w.Command("ScaleBars1");
    QObject::connect(w.Command("CustomZoom1"), &QAction::triggered, &w, [&w, view, zoomDialog, scaleBars] {
        const int slot = w.ActivePage();
        if (slot < 0) return;
        zoomDialog->SetZoom(SlotZoom(w.Ws().Images[static_cast<std::size_t>(slot)]));
        if (zoomDialog->exec() != QDialog::Accepted) return;
        // The active page cannot change while the dialog is modal. A pair
        // too large for the view is refused: the zoom stays as it was.
        TImages& s = w.Ws().Images[static_cast<std::size_t>(slot)];
        const TZoom z = zoomDialog->Zoom();
        if (!ZoomFits(z, s.Bitmap.Width(), s.Bitmap.Height())) return;
        SetSlotZoom(s, z);
        view->Layout(scaleBars->isChecked());
        view->DrawRulerPictures();
    });

    // "Easy Scroll" and the "Scroll" button show the navigator.
    for (const char* name : {"EasyScroll1", "ToolButton19"})
        QObject::connect(w.Command(name), &QAction::triggered, navigator, [&w, navigator] {
            if (w.ActivePage() < 0) return;
            // Showing again rebuilds the thumbnail for the image now active.
            navigator->hide();
            navigator->show();
        });

    // Pointer events on the image. The main window's own move handler (the
    // pixel read-out) runs last, after the tools and the ruler marks.
    ImageWidget* image = view->Image();
    image->OnPress = [view](int X, int Y, int button) { view->PointerPress(X, Y, button); };
    image->OnRelease = [view](int X, int Y) { view->PointerRelease(X, Y); };
    image->OnDoubleClick = [view](int, int) { view->PointerDoubleClick(); };
    image->OnMove = [view, readout = image->OnMove](int X, int Y) {
        view->PointerMove(X, Y);
        if (readout) readout(X, Y);
    };
}

} // namespace pixora
