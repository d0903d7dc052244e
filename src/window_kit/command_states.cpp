#include "window_kit/command_states.h"

namespace pixora {

int ToggledBoxForTool(int tool) { return ToolDescription(tool).ToggledBox; }

bool LayerSheetAllowed(const Workspace& ws) { return ws.HasOpenImage(); }

bool CommandEnabled(const Workspace& ws, CommandRule rule, int box) {
    if (rule == CommandRule::Always) return true;
    if (!ws.HasOpenImage()) return false;
    const auto active = ws.ActiveImage();
    if (!active) return rule == CommandRule::NeedsImage;
    const TImages& s = *active;
    switch (rule) {
    case CommandRule::Always:
    case CommandRule::NeedsImage:
        return true;
    case CommandRule::ReOpen:
        return s.HasFile == 1;
    case CommandRule::Undo:
        return s.HistoryPos > 0;
    case CommandRule::Redo:
        return s.HistoryPos < s.HistoryCount - 1;
    case CommandRule::UndoHistory:
        return s.HistoryCount > 0;
    case CommandRule::Selection:
        return s.Tool == ToolSelection && ws.ToolVars.HasSelection == 1;
    case CommandRule::DuplicateLayer:
        return s.CurrentLayer > 0;
    case CommandRule::EditLayer:
        return s.CurrentLayer > 1;
    case CommandRule::OptionBox:
        return box != BoxNone && ToggledBoxForTool(s.Tool) == box;
    }
    return false;
}

} // namespace pixora
