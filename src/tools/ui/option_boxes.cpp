// Connects the tool option boxes to the main window: the boxes replace their
// start-up frames, and the View menu's toolbar items show, close and follow
// the box of the current tool.
#include "tools/ui/option_boxes.h"

#include <QAction>
#include <QDialog>

#include "app/installers.h"
#include "app/main_window.h"
#include "doc/command_states.h"
#include "tools/tool_table.h"
#include "tools/ui/option_box_forms.h"
#include "tools/ui/option_box_window.h"

namespace pixora {

namespace {

// The View menu's toolbar items and the tool each one stands for.
struct ViewItem {
    int Tool;
    const char* Name;
};
constexpr ViewItem kViewItems[] = {
    {1, "PenToolbar1"},        {2, "LineToolbar1"},       {3, "BezierToolbar1"},    {4, "PolygonToolbar1"},
    {5, "RectangleToolbar1"},  {6, "EllipseToolbar1"},    {7, "RoundRectToolbar1"}, {8, "SprayToolbar1"},
    {9, "SoftenToolbar1"},     {10, "SharpenToolbar1"},   {13, "LightenToolbar1"},  {14, "DarkenToolbar1"},
    {15, "SelectionToolbar1"}, {16, "FloodFillToolbar1"},
};

int CurrentTool(MainWindow& w) {
    const int slot = w.Ws().ActiveSlot();
    return slot >= 0 && slot < kSlotCount ? w.Ws().Images[static_cast<std::size_t>(slot)].Tool : 0;
}

// An item is checked while its box is shown for the tool it stands for.
// `changed` is the box being shown or closed right now, whose visibility is
// given by `shown` (the window is still in the middle of changing it).
void SyncViewItems(MainWindow& w, int changed = BoxNone, bool shown = false) {
    const int tool = CurrentTool(w);
    for (const ViewItem& item : kViewItems) {
        QAction* a = w.Command(item.Name);
        if (!a) continue;
        const int box = ToggledBoxForTool(item.Tool);
        bool visible = shown;
        if (box != changed) {
            const QWidget* window = w.Window(OptionBoxWindowName(box));
            visible = window && window->isVisible();
        }
        a->setChecked(visible && item.Tool == tool);
    }
}

} // namespace

QString OptionBoxForTool(int tool) {
    return QString::fromUtf8(ToolInfo(tool).Box.data(), ToolInfo(tool).Box.size());
}

void ShowOptionBoxForTool(MainWindow& w, int tool) {
    QWidget* box = w.Window(OptionBoxForTool(tool));
    if (!box) return;
    auto* dialog = qobject_cast<QDialog*>(box);
    if (dialog && ToolInfo(tool).ModalBox) {
        dialog->exec();
        return;
    }
    box->show();
    box->raise();
}

void CloseToolBoxes(MainWindow& w) {
    for (const char* name : {"TForm3", "TForm4", "TForm21", "TForm22", "TForm23", "TForm24", "TForm25",
                             "TForm26", "TForm37", "TForm43", "TForm44"})
        if (QWidget* box = w.Window(name); box && box->isVisible()) box->close();
}

void ToggleToolBox(MainWindow& w) {
    QWidget* box = w.Window(OptionBoxWindowName(ToggledBoxForTool(CurrentTool(w))));
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

void InstallOptionBoxes(MainWindow& w) {
    MakeOptionBoxes(w);
    for (int number = 1; number <= 9; ++number) {
        auto* box = qobject_cast<OptionBoxWindow*>(w.Window(OptionBoxWindowName(number)));
        if (!box) continue;
        QObject::connect(box, &OptionBoxWindow::Shown, &w, [&w, number] { SyncViewItems(w, number, true); });
        QObject::connect(box, &OptionBoxWindow::Closed, &w,
                         [&w, number] { SyncViewItems(w, number, false); });
    }
    for (const ViewItem& item : kViewItems)
        if (QAction* a = w.Command(item.Name))
            QObject::connect(a, &QAction::triggered, &w, [&w] { ToggleToolBox(w); });
}

} // namespace pixora
