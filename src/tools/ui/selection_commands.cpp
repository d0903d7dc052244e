#include "tools/ui/selection_commands.h"

#include "tools/selection.h"
#include "tools/selection_invert.h"
#include "tools/tool_table.h"
#include "tools/ui/clipboard_commands.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

constexpr CommandRule A = CommandRule::Always;
constexpr CommandRule I = CommandRule::NeedsImage;
constexpr CommandRule S = CommandRule::Selection;

void RunSelectAll(WindowHost& w) {
    if (!w.Ws().ActiveImage()) return;
    SelectAll(w.Ws());
    ShowChosenTool(w, ToolSelection);
}

void RunSelectNone(WindowHost& w) {
    if (w.Ws().ActiveImage()) SelectNone(w.Ws());
}

void RunInvertSelection(WindowHost& w) {
    if (!InvertSelection(w.Ws())) return;
    if (w.Ws().ActiveImage()->Tool == ToolSelection)
        ShowChosenTool(w, ToolSelection);
    else
        w.UpdateCommandStates();
}

void RunFillFG(WindowHost& w) {
    if (w.Ws().ActiveImage()) FillWithColour(w.Ws(), true);
}

void RunFillBG(WindowHost& w) {
    if (w.Ws().ActiveImage()) FillWithColour(w.Ws(), false);
}

bool ChooseCrop(WindowHost& w) {
    return w.Ws().ActiveImage() && ChooseTool(w, ToolCrop);
}

// "Crop": the crop rectangle tool, with no rectangle shown yet.
void RunCropItem(WindowHost& w) {
    if (!ChooseCrop(w)) return;
    w.Ws().ToolVars.CropShown = 0;
    w.RefreshView();
}

// The Crop tool button: the tool, and the rectangle shown cropped at once.
void RunCropButton(WindowHost& w) {
    if (ChooseCrop(w)) ApplyCrop(w.Ws());
}

void RunCropToSelection(WindowHost& w) {
    CropToSelection(w.Ws());
}

} // namespace

TCommandList SelectionCommands() {
    TCommandList list = {
        Cmd("SelectAll1", "Select All", I).Keys("Ctrl+A").Does(RunSelectAll),
        Cmd("SelectAll2", "Select All", I).Does(RunSelectAll),
        Cmd("SelectAll3", "Select All", I).Does(RunSelectAll),
        Cmd("SelectNone1", "Select None", I).Does(RunSelectNone),
        Cmd("SelectNone2", "Select None", I).Does(RunSelectNone),
        Cmd("SelectNone3", "Select None", I).Does(RunSelectNone),
        Cmd("InvertSelection1", "Invert Selection", I).Keys("Ctrl+Shift+I").Does(RunInvertSelection),
        Cmd("FillwithFGColour1", "Fill with FG Colour", I).Does(RunFillFG),
        Cmd("FillwithFGColour2", "Fill with FG Colour", I).Does(RunFillFG),
        Cmd("FillwithBGColour1", "Fill with BG Colour", I).Does(RunFillBG),
        Cmd("FillwithBGColour2", "Fill with BG Colour", I).Does(RunFillBG),
        Cmd("Crop1", "Crop", I).Keys("C").Does(RunCropItem),
        Cmd("ToolButton16", "Crop", I)
            .Button(":/icons/crop.svg", "Crop Image", "Crop the current image")
            .Does(RunCropButton),
        Cmd("CroptoSelection1", "Crop to Selection", S).Does(RunCropToSelection),
        Cmd("FillCanvas1", "Fill Canvas", S).Does(RunFillCanvas),
        Cmd(kExcludeSelectionItems[0], "Exclude Selection", A).Check(),
        Cmd(kDuplicateOnMouseUpItems[0], "Duplicate on MouseUp", A).Check(),
        Cmd(kDeleteUnderlyingItems[0], "Delete Underlying", I).Check(),
    };
    for (std::string_view name : kEditOnlySelectionItems)
        list.push_back(Cmd(name, "Edit Only Selection", A).Check());
    static constexpr std::string_view kTypeCaptions[] = {"Rectangular Selection", "Ellipse Selection",
                                                         "Free Hand Selection", "Magic Wand Selection"};
    for (std::size_t i = 0; i < kSelectionTypeItems.size(); ++i)
        list.push_back(Cmd(kSelectionTypeItems[i], kTypeCaptions[i], I).Check(i == 0, "SelectionType"));
    return list;
}

} // namespace pixora
