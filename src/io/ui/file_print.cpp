#include "io/ui/file_print.h"

#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

#include "doc/workspace.h"
#include "io/save_commands.h"
#include "window_kit/window_host.h"
#include "window_kit/window_support.h"

namespace pixora {

bool PrintBitmap(QPaintDevice& device, const Bitmap& image) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // The painter's units on a printer are printer pixels, so a target of
    // the image's own size puts one image pixel on each.
    const QImage picture = PictureOf(image);
    bool ok = !picture.isNull();
    if (ok) painter.drawImage(QRect(0, 0, image.Width(), image.Height()), picture);
    painter.end();
    return ok;
}

void PrintImage(WindowHost& w) {
    Workspace& ws = w.Ws();
    const TActiveImage active = ws.ActiveImage();
    if (!active) return;
    const int slot = active.Slot;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, w.Owner());
    dialog.setObjectName("PrintDialog1");
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted) return;
    printer.setDocName(w.PageCaption(slot));
    WithComposedImage(ws, slot, [&](const Bitmap& merged) { PrintBitmap(printer, merged); });
}

} // namespace pixora
