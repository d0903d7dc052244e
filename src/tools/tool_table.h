#pragma once
// The tool description table: one row per tool number carries everything
// known about the tool. The tool panel, the Tools and pop-up menus, the
// View menu's option-box items, the status hints, the command states, the
// option-box mapping and the pointer dispatcher all read it; a tool's
// pointer behaviour is the Tool object its row makes.
//
// Adding a tool is one row here plus the small class its row makes.

#include <memory>
#include <span>
#include <string_view>

#include "doc/window_ids.h"
#include "tools/tool_options.h"

namespace pixora {

class Tool;

enum ToolNumber : int {
    ToolNone = 0,
    ToolPen = 1,
    ToolLine = 2,
    ToolBezier = 3,
    ToolPolygon = 4,
    ToolRectangle = 5,
    ToolEllipse = 6,
    ToolRoundRect = 7,
    ToolSpray = 8,
    ToolSoften = 9,
    ToolSharpen = 10,
    ToolNoise = 11,
    ToolClone = 12,
    ToolLighten = 13,
    ToolDarken = 14,
    ToolSelection = 15,
    ToolFloodFill = 16,
    ToolText = 17,
    ToolHistoryBrush = 18,
    ToolCustomBrush = 19,
    ToolColourPicker = 20,
    ToolEraser = 21,
    ToolTransparency = 22,
    ToolCrop = 25,
    ToolEffectBrush = 26,
};

// Option boxes by the number they record in OptionBoxId when shown.
enum OptionBox : int {
    BoxNone = 0,
    BoxTForm3 = 1,
    BoxTForm21 = 2,
    BoxTForm22 = 3,
    BoxTForm23 = 4,
    BoxTForm24 = 5,
    BoxTForm43 = 6,
    BoxTForm4 = 7,
    BoxTForm25 = 8,
    BoxTForm44 = 9,
};

// The window of the option box with a recorded number (None for none).
TWindow OptionBoxWindowId(int box);

// A menu item made for a tool: its object name and caption.
struct TToolMenuItem {
    std::string_view Name;
    std::string_view Caption;
};

// A second key that chooses a tool with one control of its option box set
// (W: the selection tool as the magic wand); the hint names it.
struct TToolKeyOption {
    std::string_view Key; // "" = none
    std::string_view Name;
    TOpt Option{};
    int Value = 0;
};

struct TToolDescription {
    int Number = 0;
    // The tool panel's button: object name, icon, hint (the tool's name),
    // status text, and its place in the panel's two columns.
    std::string_view Button;
    std::string_view Icon;
    std::string_view ButtonHint;
    std::string_view StatusHint;
    std::string_view Key; // one-letter key that chooses the tool, "" = none
    TToolKeyOption KeyOption;
    int PanelColumn = 0;
    int PanelRow = 0;
    int Cursor = 0;             // canvas cursor, 0 = the arrow
    TWindow OptionBox = TWindow::None; // window shown on choice
    bool ModalBox = false;      // shown modally, on choice only
    // The box the View menu's items show and close for this tool, and the
    // View menu item that stands for the tool.
    int ToggledBox = BoxNone;
    TToolMenuItem ViewItem;
    std::string_view StepName; // history step named at the press, "" = unnamed
    TToolMenuItem MenuItem;    // the Tools menu
    TToolMenuItem PopupItem;   // the pop-up menu's "Paint Tools"
    // What the dispatcher does at a press before the tool's own routine.
    bool PushesHistory = false;   // stores a snapshot, 32 bits, refills Rows
    bool TakesStrokeBase = false; // copies the image into StrokeBase
    bool ClearsOverlay = false;   // clears StrokeOverlay to white
    // Whether the view is refreshed when the tool's routine leaves
    // RefreshAfter at 1, after a press and after a release.
    bool RefreshAfterPress = false;
    bool RefreshAfterRelease = false;
    // Choosing it is refused while the image has no history step.
    bool NeedsHistoryStep = false;
    // Choosing it keeps a crop rectangle shown (every other choice hides it).
    bool KeepsCropRectangle = false;
    // Makes the tool's pointer behaviour; null for numbers without one.
    std::unique_ptr<Tool> (*Make)() = nullptr;
};

// The program's tools, in number order (0 to 26).
std::span<const TToolDescription> ToolTable();
// The row of a tool number; numbers outside the table give the empty row.
const TToolDescription& ToolDescription(int tool);

} // namespace pixora
