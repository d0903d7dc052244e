#pragma once
// The effects table: one row per filter dialog and quick effect. It drives
// the Image and Colours menus, the pop-up menu and both effect tool bars
// (the command line's effect list reads it too). Adding a quick effect or a
// filter dialog is one row here plus the small unit holding its rule.
//
// A row without an operation is listed everywhere it belongs and does
// nothing yet.

#include <span>
#include <string_view>

#include "doc/bitmap.h"
#include "tools/selection.h"

namespace pixora {

enum class TEffectKind {
    Filter, // a filter dialog (tool bar ToolBar3, the Effects sub-menus)
    Quick,  // a one-click quick effect (tool bar ToolBar4, "Apply Tools", "Image Tools")
};

// The values a quick effect reads from its options window: the channel
// percentages of TForm26 and the radius of TForm27.
struct TEffectSettings {
    int Red = 8, Green = 8, Blue = 8; // R, G, B: percent, 0..255
    int Radius = 8;                   // R of the radius window, 1..24
};

// What an effect's rule works on, prepared by the frame that runs it.
struct TEffectRun {
    Bitmap& Image;                     // the document, 32 bits, changed in place
    const Bitmap& Unchanged;           // a copy of the document as it was (the scratch bitmap)
    const SelectionEditTest& EditTest; // passes every pixel for effects that ignore the selection
    TEffectSettings Settings;
};
using TEffectOperation = void (*)(const TEffectRun& run);

// The object names an effect's items get where it is placed; "" = not there.
struct TEffectPlaces {
    std::string_view ImageMenu;    // "Effects" or "Apply Tools" of the Image menu
    std::string_view ColoursMenu;  // the Colours menu
    std::string_view Popup;        // the pop-up menu's "Effects" or "Image Tools"
    std::string_view PopupColours; // the pop-up menu's "Colour Tools"
};

struct TEffectRow {
    TEffectKind Kind = TEffectKind::Quick;
    std::string_view Caption;       // menu caption
    std::string_view ButtonCaption; // caption on its tool-bar button
    std::string_view Button;        // the button's object name
    std::string_view Icon;          // the button's picture
    std::string_view StatusHint;    // status text of the button, "" = none
    std::string_view StepName;      // history step name
    bool HonoursSelection = true;   // passes pixels through the selection edit test
    std::string_view OptionsWindow; // the dialog (filters) or options window (quick), "" = none
    TEffectPlaces Places;
    TEffectOperation Operation = nullptr;
};

// The program's effects: the filter dialogs in tool-bar order, then the
// quick effects in tool-bar order.
std::span<const TEffectRow> EffectTable();

} // namespace pixora
