#include "tools/ui/tool_commands.h"

#include <QAction>

#include "tools/tool_dispatch.h"
#include "tools/tool_table.h"
#include "tools/ui/option_boxes.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

void ShowTool(WindowHost& w, int tool, bool chosen) {
    CloseToolBoxes(w);
    const TToolDescription& row = ToolDescription(tool);
    w.SetCanvasCursor(row.Cursor);
    if (tool <= 0) return;
    if (!chosen && row.ModalBox) return;
    ShowOptionBoxForTool(w, tool);
}

} // namespace

void ShowChosenTool(WindowHost& w, int tool) {
    w.ShowToolButtonState();
    w.UpdateCommandStates();
    ShowTool(w, tool, true);
}

void ShowSlotTool(WindowHost& w, int tool) {
    ShowTool(w, tool, false);
}

bool ChooseTool(WindowHost& w, int tool) {
    if (!SelectToolCore(w.Ws(), tool)) {
        w.ShowToolButtonState();
        return false;
    }
    ShowChosenTool(w, tool);
    return true;
}

TCommandList ToolCommands() {
    TCommandList list;
    for (const TToolDescription& row : ToolTable()) {
        const int tool = row.Number;
        auto choose = [tool](WindowHost& w) { ChooseTool(w, tool); };
        for (const TToolMenuItem& item : {row.MenuItem, row.PopupItem})
            if (!item.Name.empty()) list.push_back(Cmd(item.Name, item.Caption).Does(choose));
        if (!row.ViewItem.Name.empty())
            list.push_back(Cmd(row.ViewItem.Name, row.ViewItem.Caption, CommandRule::OptionBox)
                               .Check()
                               .ForBox(row.ToggledBox)
                               .Does([](WindowHost& w) { ToggleToolBox(w); }));
    }
    // Escape: what the tool has under way is dropped (dialogs take their
    // own Escape as Cancel).
    list.push_back(Cmd("CancelToolWork1", "Cancel", CommandRule::NeedsImage).Keys("Esc").Does([](WindowHost& w) {
        if (CancelToolWork(w.Ws())) w.UpdateCommandStates();
    }));
    return list;
}

} // namespace pixora
