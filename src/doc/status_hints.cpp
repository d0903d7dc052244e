#include "doc/status_hints.h"

#include <iterator>

namespace pixora {

const TControlHint kControlHints[] = {
    {"ToolButton20", "Use Pen Tool to FreeHand Draw"},
    {"ToolButton23", "Use Line Tool to draw a straight line"},
    {"ToolButton22", "Use Bezier Tool to draw a bezier curve"},
    {"ToolButton26", "Use Polygon Tool to draw a polygon"},
    {"ToolButton28", "Use the Rect Tool to draw a rectangle"},
    {"ToolButton30", "Use the Ellipse Tool to draw an ellipse"},
    {"ToolButton32", "Use the Round Rect Tool to draw a Round Rectangle"},
    {"ToolButton34", "Use the Spray Tool to spray across the canvas"},
    {"ToolButton36", "Use the Soften Brush to soften certain parts"},
    {"ToolButton38", "Use the Sharpen Brush to sharpen certain parts"},
    {"ToolButton40", "Use the Erase Tool to erase certain parts"},
    {"ToolButton21", "Use the Noise Brush to add noise to certain parts"},
    {"ToolButton24", "Use the Clone Tool to use a certain part of the canvas as a brush"},
    {"ToolButton25", "Use the Lighten Brush to lighten certain parts"},
    {"ToolButton27", "Use the Darken Brush to darken certain parts"},
    {"ToolButton29", "Use the Selection Tool"},
    {"ToolButton31", "Use the Floodfill Tool to fill certain parts with a colour"},
    {"ToolButton33", "Use the Text Tool to add text to the canvas"},
    {"ToolButton35", "Use the History Brush to reveal certain parts of past images"},
    {"ToolButton37", "Use the Custom Brush Tool to draw across the canvas"},
    {"ToolButton39", "Use the Colour Select Tool to select a colour from the canvas"},
    {"ToolButton41", "Use the Transparency Tools to increase or decrease the transparency of the canvas"},
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
const int kControlHintCount = static_cast<int>(std::size(kControlHints));

std::string_view ControlHint(std::string_view control) {
    for (const TControlHint& h : kControlHints)
        if (h.Control == control) return h.Text;
    return {};
}

} // namespace pixora
