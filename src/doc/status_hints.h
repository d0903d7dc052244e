#pragma once
// What the status bar's first panel says when the pointer rests on a tool
// button, a tool-bar button or a colour swatch, keyed by the control's name.

#include <string_view>

namespace pixora {

struct TControlHint {
    std::string_view Control;  // objectName of the control
    std::string_view Text;
};

extern const TControlHint kControlHints[];
extern const int kControlHintCount;

// The status text of a control, or an empty view when it has none (the other
// effect buttons).
std::string_view ControlHint(std::string_view control);

} // namespace pixora
