#include "tools/tool_table.h"

namespace pixora {

const TToolInfo& ToolInfo(int tool) {
    static const TToolInfo none{0, "", false, ""};
    static const TToolInfo table[] = {
        {0, "", false, ""},                              // 0
        {1, "TForm3", false, "Pen"},                     // 1
        {2, "TForm3", false, "Line"},                    // 2
        {2, "TForm3", false, "Bezier Curve"},            // 3
        {2, "TForm3", false, "Polygon Line"},            // 4
        {4, "TForm21", false, "Rectangle"},              // 5
        {5, "TForm21", false, "Ellipse"},                // 6
        {6, "TForm22", false, "Round Rectangle"},        // 7
        {3, "TForm23", false, "Spray Brush"},            // 8
        {14, "TForm24", false, "Soften Brush"},          // 9
        {7, "TForm24", false, "Sharpen Brush"},          // 10
        {2, "TForm24", false, "Noise Brush"},            // 11
        {9, "TForm24", false, "Copy Brush"},             // 12
        {2, "TForm24", false, "Lighten Brush"},          // 13
        {2, "TForm24", false, "Darken Brush"},           // 14
        {10, "TForm4", false, ""},                       // 15
        {11, "TForm25", false, "Flood Fill"},            // 16
        {12, "", false, ""},                             // 17
        {13, "TForm31", true, "History Brush"},          // 18
        {15, "TForm40", true, "Custom Brush"},           // 19
        {16, "", false, ""},                             // 20
        {8, "TForm43", false, "Erase"},                  // 21
        {2, "TForm44", false, "Transparency Tool"},      // 22
        {0, "", false, ""},                              // 23
        {0, "", false, ""},                              // 24
        {2, "", false, ""},                              // 25
        {2, "", false, "Effect Brush"},                 // 26
    };
    if (tool < 0 || tool > 26) return none;
    return table[tool];
}

} // namespace pixora
