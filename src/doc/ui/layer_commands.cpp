#include "doc/ui/layer_commands.h"

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QSpinBox>
#include <new>

#include "doc/layer_operations.h"
#include "doc/layer_strip.h"
#include "doc/ui/edit_layer_dialog.h"
#include "doc/ui/new_layer_dialog.h"
#include "window_kit/up_down.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

// Clicks on LSImage choose the layer under the pointer.
class StripClicks : public QObject {
public:
    StripClicks(WindowHost& w) : QObject(w.Owner()), w_(w) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress && watched == w_.LayerStripImage()) {
            const auto* me = static_cast<QMouseEvent*>(e);
            ClickLayerStrip(w_.Ws(), static_cast<int>(me->position().x()));
            return true;
        }
        return false;
    }

private:
    WindowHost& w_;
};

// New Layer and Duplicate Current Layer check "Layer Sheet": the sheet
// becomes visible.
std::function<void()> ShowSheet(WindowHost& w) {
    return [&w] {
        if (QAction* sheet = w.Command("LayerSheet1")) sheet->setChecked(true);
    };
}

// A layer too large for the memory there is leaves the image as it was.
template <class Run> void WithMemoryReport(WindowHost& w, Run run) {
    try {
        run();
    } catch (const std::bad_alloc&) {
        w.Ws().Port->ReportProblem("Not enough memory for the layer.", "");
    }
}

void RunNewLayer(WindowHost& w) {
    Workspace& ws = w.Ws();
    auto* dialog = w.Get<TWindow::NewLayer>();
    const TActiveImage active = ws.ActiveImage();
    if (!dialog || !active) return;
    const TImages& s = *active;
    dialog->Prepare(s.Bitmap.Width(), s.Bitmap.Height());
    dialog->exec();
    if (dialog->Cancelled()) return;
    WithMemoryReport(w, [&] { NewLayer(ws, dialog->Values(), ShowSheet(w)); });
}

void RunEditLayer(WindowHost& w) {
    Workspace& ws = w.Ws();
    auto* dialog = w.Get<TWindow::EditLayer>();
    const TActiveImage active = ws.ActiveImage();
    if (!dialog || !active) return;
    TImages& s = *active;
    if (s.CurrentLayer <= 1) return;
    const TLayer& layer = s.Layer(s.CurrentLayer);
    dialog->Prepare(s.Bitmap.Width(), s.Bitmap.Height(), layer.Left, layer.Top);
    if (dialog->exec() != QDialog::Accepted || dialog->Cancelled()) return;
    WithMemoryReport(w, [&] {
        EditCurrentLayer(ws, dialog->WidthBox()->value(), dialog->HeightBox()->value(),
                         dialog->LeftBox()->value(), dialog->TopBox()->value());
    });
}

} // namespace

TCommandList LayerCommands() {
    constexpr CommandRule I = CommandRule::NeedsImage;
    TCommandList list = {
        Cmd("NewLayer1", "New Layer", I).Dialog().Does(RunNewLayer),
        Cmd("ViewFinalImage1", "View Final Image", I).Does([](WindowHost& w) {
            WithMemoryReport(w, [&] { ViewFinalImage(w.Ws()); });
        }),
        Cmd("EditCurrentLayer1", "Edit Current Layer", CommandRule::EditLayer).Dialog().Does(RunEditLayer),
        Cmd("DeleteCurrentLayer1", "Delete Current Layer", CommandRule::EditLayer).Does([](WindowHost& w) {
            DeleteCurrentLayer(w.Ws());
        }),
        Cmd("DuplicateCurrentLayer1", "Duplicate Current Layer", CommandRule::DuplicateLayer)
            .Does([](WindowHost& w) {
                WithMemoryReport(w, [&] { DuplicateCurrentLayer(w.Ws(), ShowSheet(w)); });
            }),
        // The sheet is hidden until New Layer checks the item (or the user does).
        Cmd("LayerSheet1", "Layer Sheet", I).Check(false),
    };
    list.back().RunOnToggle = true;
    list.back().Run = [](WindowHost& w) { w.UpdateCommandStates(); };
    return list;
}

void InstallLayerWindows(WindowHost& w) {
    w.Install<TWindow::NewLayer>(new NewLayerDialog(w.Owner()));
    w.Install<TWindow::EditLayer>(new EditLayerDialog(w.Owner()));
    w.LayerStripImage()->installEventFilter(new StripClicks(w));
}

void ShowLayerStrip(WindowHost& w, int slot) {
    Workspace& ws = w.Ws();
    if (slot < 0 || slot >= kSlotCount) return;
    TImages& s = ws.Images[static_cast<std::size_t>(slot)];
    if (!s.InUse) return;
    RedrawCurrentLayerCell(s);
    if (slot != ws.ActiveSlot()) return;
    QLabel* label = w.LayerStripImage();
    const Bitmap& strip = s.LayerStrip;
    if (strip.Empty()) {
        label->clear();
    } else {
        const QImage view(strip.Data(), strip.Width(), strip.Height(), static_cast<qsizetype>(strip.Stride()),
                          QImage::Format_RGB32);
        label->setPixmap(QPixmap::fromImage(view.copy()));
    }
    label->resize(strip.Width(), kLayerCellSize);
    if (QWidget* frame = label->parentWidget())
        w.LayerStripUpDown()->SetMax(std::max(0, label->width() - frame->width()));
}

} // namespace pixora
