// Connects the tool option boxes to the main window: the boxes replace their
// start-up frames, and the View menu's toolbar items show, close and follow
// the box of the current tool.
#include "tools/ui/option_boxes.h"

#include <QAction>
#include <QDialog>

#include "tools/tool_table.h"
#include "tools/ui/option_box_forms.h"
#include "tools/ui/option_box_window.h"
#include "window_kit/command_states.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

int CurrentTool(WindowHost& w) {
    const TActiveImage s = w.Ws().ActiveImage();
    return s ? s->Tool : 0;
}

// An item is checked while its box is shown for the tool it stands for.
// `changed` is the box being shown or closed right now, whose visibility is
// given by `shown` (the window is still in the middle of changing it).
void SyncViewItems(WindowHost& w, int changed = BoxNone, bool shown = false) {
    const int tool = CurrentTool(w);
    for (const TToolDescription& row : ToolTable()) {
        if (row.ViewItem.Name.empty()) continue;
        QAction* a = w.Command(
            QString::fromUtf8(row.ViewItem.Name.data(), static_cast<qsizetype>(row.ViewItem.Name.size())));
        if (!a) continue;
        const int box = row.ToggledBox;
        bool visible = shown;
        if (box != changed) {
            const QWidget* window = w.Window(OptionBoxWindowId(box));
            visible = window && window->isVisible();
        }
        a->setChecked(visible && row.Number == tool);
    }
}

} // namespace

TWindow OptionBoxForTool(int tool) {
    return ToolDescription(tool).OptionBox;
}

void ShowOptionBoxForTool(WindowHost& w, int tool) {
    QWidget* box = w.Window(OptionBoxForTool(tool));
    if (!box) return;
    auto* dialog = qobject_cast<QDialog*>(box);
    if (dialog && ToolDescription(tool).ModalBox) {
        dialog->exec();
        return;
    }
    box->show();
    box->raise();
}

void CloseToolBoxes(WindowHost& w) {
    auto close = [&w](TWindow id) {
        QWidget* box = w.Window(id);
        if (box && box->isVisible()) box->close();
    };
    // The boxes the tools show on choice (the modal ones close themselves),
    // the quick effects' channel options, the text editor and the history
    // brush's options (shown after its modal choice of a step).
    for (const TToolDescription& row : ToolTable())
        if (row.OptionBox != TWindow::None && !row.ModalBox) close(row.OptionBox);
    for (TWindow id : {TWindow::ChannelOptions, TWindow::TextEditor, TWindow::HistoryBrushOptions})
        close(id);
}

void ToggleToolBox(WindowHost& w) {
    QWidget* box = w.Window(OptionBoxWindowId(ToolDescription(CurrentTool(w)).ToggledBox));
    if (box) {
        if (box->isVisible())
            box->close();
        else
            box->show();
    }
    // The item clicked has flipped its own check mark; put every item back
    // in line with the boxes.
    SyncViewItems(w);
}

void InstallOptionBoxes(WindowHost& w) {
    MakeOptionBoxes(w);
    for (int number = 1; number <= 9; ++number) {
        auto* box = qobject_cast<OptionBoxWindow*>(w.Window(OptionBoxWindowId(number)));
        if (!box) continue;
        QObject::connect(box, &OptionBoxWindow::Shown, w.Owner(),
                         [&w, number] { SyncViewItems(w, number, true); });
        QObject::connect(box, &OptionBoxWindow::Closed, w.Owner(),
                         [&w, number] { SyncViewItems(w, number, false); });
    }
}

} // namespace pixora
