#pragma once
// Every option control the tools and the quick effects read, one row each:
// its id, the box it sits in, the control's object name, its kind, range,
// increment, start value and caption. The option boxes are built from these
// rows, and a tool reads a control by its id (ToolContext::Option), live,
// through the window port: the window keeps a pointer to each control, so
// nothing is looked up by name while a tool draws, and an id without a
// control cannot be written.

#include <cstdint>
#include <span>
#include <string_view>

#include "doc/window_ids.h"

namespace pixora {

// In the order of the rows (OptionTable); a box's rows in the order its
// controls are laid out.
enum class TOpt : int {
    // The pen's box (pen, line, bezier curve, polygon).
    PenOccupancy,
    PenSize,
    PenAntialiasing,
    PenSoftenStrength,
    PenUseGradient,
    PenChangeTransparency,
    // The box of the rectangle and the ellipse.
    ShapeOccupancy,
    ShapeSize,
    ShapeAntialiasing,
    ShapeSoftenStrength,
    ShapeUseGradient,
    ShapeChangeTransparency,
    ShapeClearInterior,
    // The round rectangle's box.
    RoundRectOccupancy,
    RoundRectSize,
    RoundRectAntialiasing,
    RoundRectSoftenStrength,
    RoundRectUseGradient,
    RoundRectChangeTransparency,
    RoundRectClearInterior,
    RoundRectEdges,
    // The spray's box.
    SpraySize,
    SprayThickness,
    SprayChangeTransparency,
    // The box of the retouching brushes and the effect brush.
    BrushSize,
    BrushChangeTransparency,
    // The flood fill's box.
    FillMode,
    FillTolerance,
    FillChangeTransparency,
    // The eraser's box.
    EraserType,
    EraserSize,
    // The transparency tool's box.
    TransparencyTool,
    TransparencySize,
    TransparencySprayRadius,
    TransparencyDifference,
    TransparencyForceValue,
    // The selection's box.
    SelectionType,
    SelectionEdit,
    SelectionApplyInside,
    SelectionExclude,
    SelectionDuplicate,
    SelectionDeleteUnderlying,
    SelectionTolerance,
    // The history brush's box.
    HistoryBrushSize,
    HistoryBrushOccupation,
    HistoryBrushChangeTransparency,
    // The quick effects' channel percentages and radius.
    ChannelRed,
    ChannelGreen,
    ChannelBlue,
    ChannelChangeTransparency,
    BlurRadius,
    BlurChangeTransparency,
    // The text editor.
    TextClearBackground,
    TextAngle,
    TextOccupation,
    // The custom brush library.
    CustomBrushOccupation,
    // The Gradient box (its kind is kept by the box, not by a control).
    GradientKind,
    GradientSize,
    GradientTop,
    GradientLeft,
    GradientDepth,
    GradientTransparentFG,
    GradientTransparentBG,
    // The GIF transparency window.
    GifSensitivity,
    Count
};

inline constexpr int kOptionCount = static_cast<int>(TOpt::Count);

enum class TOptKind : uint8_t {
    Spin,  // its value
    Check, // 1 checked, 0 not
    Track, // its value
    Combo, // the chosen item's index
    Radio, // the checked button's index among the group's buttons, -1 none
    Kept,  // a value the box keeps without a control: its property of the name
};

struct TOptionRow {
    TOpt Id;
    TWindow Box;
    std::string_view Control; // the control's object name
    TOptKind Kind;
    int Min = 0, Max = 0; // spin and track bounds; combo and radio 0 .. items - 1
    int Step = 1;         // spin increment
    int Default = 0;      // start value, index, or 1 = checked
    std::string_view Caption; // label (spin, track), text (check), group title (radio)
    std::span<const std::string_view> Items = {}; // combo items, radio buttons, or a
                                                  // track bar's end labels
    std::string_view Suffix = {};                 // text after the control ("%")
    bool Beside = false; // sits right of the previous row's first column
    std::string_view Tip = {}; // what a control without a caption sets
};

// Every row, in the order of the ids.
std::span<const TOptionRow> OptionTable();
const TOptionRow& OptionRow(TOpt id);
// The rows of one box, in layout order.
std::span<const TOptionRow> OptionRowsOf(TWindow box);

// The controls the pen's box and the shapes' boxes have in common, as the
// stroke tools of each box read them.
struct TStrokeOptionIds {
    TWindow Box;
    TOpt Occupancy, Size, Antialiasing, SoftenStrength, UseGradient, ChangeTransparency;
    TOpt ClearInterior; // TOpt::Count for the pen's box: its shapes are open
};
// Those of the pen's box, the shapes' box or the round rectangle's box.
const TStrokeOptionIds& StrokeOptionIds(TWindow box);

} // namespace pixora
