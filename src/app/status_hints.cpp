#include "app/status_hints.h"

#include <iterator>

#include "tools/tool_table.h"

namespace pixora {

namespace {

// Controls whose rows do not carry their texts yet.
const TControlHint kOtherHints[] = {
    {"Image2", "Exchange FG and BG Colours"},
    {"Image3", "Set Default Colours"},
    {"ToolButton1", "New Image"},
    {"ToolButton2", "Open a new image"},
    {"ToolButton3", "Save the current image"},
    {"ToolButton4", "Cut the current selection"},
    {"ToolButton5", "Copy the current selection to the clipboard"},
    {"ToolButton6", "Paste from the clipboard to the canvas"},
    {"ToolButton7", "Delete the current selection"},
    {"ToolButton10", "Undo the previous step"},
    {"ToolButton11", "Redo the previous step"},
    {"ToolButton13", "Enlarge the canvas"},
    {"ToolButton14", "Decrease the size of the canvas"},
    {"ToolButton19", "Use the image navigator to scroll through the current image"},
    {"ToolButton16", "Crop the current image"},
    {"ToolButton17", "Resize the current canvas"},
    {"ToolButton18", "Flip, Mirror and Rotate the current image"},
    {"ToolButton42", "Use the Colour Adjustor"},
    {"ToolButton44", "Use the Channel Filter"},
    {"ToolButton43", "Use the Colour Transfer"},
    {"ToolButton48", "Use the colour Filter"},
    {"ToolButton69", "Use the Gaussian Blur"},
};

} // namespace

std::vector<TControlHint> ControlHints() {
    std::vector<TControlHint> hints;
    for (const TToolDescription& row : ToolTable())
        if (!row.Button.empty() && !row.StatusHint.empty()) hints.push_back({row.Button, row.StatusHint});
    hints.insert(hints.end(), std::begin(kOtherHints), std::end(kOtherHints));
    return hints;
}

std::string_view ControlHint(std::string_view control) {
    for (const TControlHint& h : ControlHints())
        if (h.Control == control) return h.Text;
    return {};
}

} // namespace pixora
