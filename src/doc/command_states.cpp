#include "doc/command_states.h"

namespace pixora {

const char* OptionBoxWindowName(int box) {
    static const char* const names[] = {"",       "TForm3",  "TForm21", "TForm22", "TForm23",
                                        "TForm24", "TForm43", "TForm4",  "TForm25", "TForm44"};
    return box >= BoxTForm3 && box <= BoxTForm44 ? names[box] : "";
}

int ToggledBoxForTool(int tool) {
    if (tool >= 1 && tool <= 4) return BoxTForm3;
    if (tool == 5 || tool == 6) return BoxTForm21;
    if (tool == 7) return BoxTForm22;
    if (tool == 8) return BoxTForm23;
    if (tool >= 9 && tool <= 14) return BoxTForm24;
    if (tool == 15) return BoxTForm4;
    if (tool == 16) return BoxTForm25;
    return BoxNone;
}

bool LayerSheetAllowed(const Workspace& ws) { return ws.HasOpenImage(); }

bool CommandEnabled(const Workspace& ws, CommandRule rule, int box) {
    if (rule == CommandRule::Always) return true;
    if (!ws.HasOpenImage()) return false;
    const int active = ws.ActiveSlot();
    if (active < 0 || active >= kSlotCount) return rule == CommandRule::NeedsImage;
    const TImages& s = ws.Images[static_cast<std::size_t>(active)];
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
        return s.Tool == 15 && ws.ToolVars.HasSelection == 1;
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
