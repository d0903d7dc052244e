#pragma once
// Per-tool facts: cursor, option box and the name of the history step made
// at pointer-down.

#include <string_view>

namespace pixora {

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

struct TToolInfo {
    int Cursor;                 // 0 = the arrow
    std::string_view Box;       // option box window shown on choice, "" = none
    bool ModalBox;
    std::string_view StepName;  // "" = the step stays unnamed
};

const TToolInfo& ToolInfo(int tool);

} // namespace pixora
