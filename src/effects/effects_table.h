#pragma once
// The effects table: one row per filter dialog and quick effect. It drives
// the Image and Colours menus, the pop-up menu and both effect tool bars
// (the command line's effect list reads it too). Adding a quick effect or a
// filter dialog is one row here plus the small unit holding its rule.
//
// A row without an operation is listed everywhere it belongs and does
// nothing yet.
//
// A row with a command-line name also runs from pixora-convert --apply,
// on the whole image, with exactly the result the editor gives: through
// the same operation and the same values.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "doc/bitmap.h"
#include "doc/window_ids.h"
#include "effects/effect_arguments.h"
#include "tools/selection.h"

namespace pixora {

class TEffects;

enum class TEffectKind {
    Filter,   // a filter dialog (tool bar ToolBar3, the Effects sub-menus)
    Quick,    // a one-click quick effect (tool bar ToolBar4, "Apply Tools", "Image Tools")
    Geometry, // a whole-image turn, mirror or resize: on the command line only (the
              // Resize Image and Rotate Image windows are the editor's way to them)
};

// The values a quick effect reads from its options window: the channel
// percentages of TForm26 and the radius of TForm27.
struct TEffectSettings {
    int Red = 8, Green = 8, Blue = 8; // R, G, B: percent, 0..255
    int Radius = 8;                   // R of the radius window, 1..24
    uint32_t Seed = 0;                // starts the draws of Noise (fresh for every run)
};

// What an effect's rule works on, prepared by the frame that runs it.
struct TEffectRun {
    Bitmap& Image;                     // the document, 32 bits, changed in place
    const Bitmap& Unchanged;           // a copy of the document as it was (the scratch bitmap)
    const SelectionEditTest& EditTest; // passes every pixel for effects that ignore the selection
    TEffectSettings Settings;
};
using TEffectOperation = void (*)(const TEffectRun& run);

// What a filter's effect works on: the preview of its dialog, and the
// command line's copy of the image.
struct TFilterRun {
    TEffects& Effects;           // the engine component the filter windows share
    Bitmap& Document;            // the image, 32 bits; read, never written
    Bitmap& View;                // the display copy: a copy of Document unless the row
                                 // reads the document (then the effect fills it)
    const TEffectValues& Values; // the dialog's control values, in the row's argument order
};
// False when the effect was refused (the view is then as it was).
using TFilterOperation = bool (*)(const TFilterRun& run);

// A whole-image geometry command: `out` becomes the turned, mirrored or
// resized image. False (out untouched) when refused.
using TReshapeOperation = bool (*)(const Bitmap& image, const TEffectValues& values, Bitmap& out);

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
    TWindow OptionsWindow = TWindow::None; // the dialog (filters) or options window (quick)
    TEffectPlaces Places;
    TEffectOperation Operation = nullptr; // quick effects
    bool InPlace = false;                 // the operation never reads Unchanged (the command line
                                          // then passes the image itself instead of a copy)
    TFilterOperation Filter = nullptr;    // filter windows
    bool ReadsDocument = false;           // the filter reads the document and writes every pixel
                                          // of the view, whatever the view held before
    TReshapeOperation Reshape = nullptr;  // geometry commands
    std::string_view CommandName;         // pixora-convert --apply NAME, "" = not there
    std::span<const TEffectArg> Args;     // its arguments, in the order of the values
    // What the arguments' own ranges cannot say ("" = the values are fine).
    std::string (*CheckValues)(const TEffectValues& values) = nullptr;
};

// The effects of the windows: the filter dialogs in tool-bar order, then
// the quick effects in tool-bar order.
std::span<const TEffectRow> EffectTable();
// Every row with a command-line name or not: EffectTable() followed by the
// geometry commands. pixora-convert --apply and its --help read this.
std::span<const TEffectRow> CommandLineEffects();

// The row of a window or of a command-line name; null if none.
const TEffectRow* EffectForWindow(TWindow window);
const TEffectRow* EffectForCommand(std::string_view name);

// The settings a quick effect takes from its values: R, G, B of the channel
// options window, or the radius of the radius window.
TEffectSettings SettingsFromValues(const TEffectRow& row, const TEffectValues& values);

} // namespace pixora
