#pragma once
// What the status bar's first panel says when the pointer rests on a tool
// button, a tool-bar button, an effect button or a colour swatch, keyed by
// the control's name. The texts live with their controls' rows (the tool
// table, the command tables, the effects table); this gathers them.

#include <string_view>
#include <vector>

namespace pixora {

struct TControlHint {
    std::string_view Control;  // objectName of the control
    std::string_view Text;
};

// Every control that has a status text, each once.
std::vector<TControlHint> ControlHints();

// The status text of a control, or an empty view when it has none (the other
// effect buttons).
std::string_view ControlHint(std::string_view control);

} // namespace pixora
