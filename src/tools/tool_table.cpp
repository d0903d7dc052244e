#include "tools/tool_table.h"

#include <array>

#include "tools/brushes/pen_tool.h"
#include "tools/brushes/stamp_brush_tools.h"
#include "tools/brushes/transparency_tool.h"
#include "tools/colour_picker_tool.h"
#include "tools/crop_tool.h"
#include "tools/flood_fill_tool.h"
#include "tools/selection_tool.h"
#include "tools/shapes/shape_tools.h"
#include "tools/text_tool.h"

namespace pixora {

namespace {

template <class T> std::unique_ptr<Tool> Make() {
    return std::make_unique<T>();
}

// A tool that paints: a press stores a snapshot, takes the stroke base and
// clears the overlay, and the view follows the tool's routine.
constexpr TToolDescription Painting(TToolDescription d) {
    d.PushesHistory = d.TakesStrokeBase = d.ClearsOverlay = true;
    d.RefreshAfterPress = d.RefreshAfterRelease = true;
    return d;
}

// The tool buttons' pictures, by tool number.
constexpr std::string_view kButtonIcons[] = {"",
                                             ":/icons/tool-1.svg",
                                             ":/icons/tool-2.svg",
                                             ":/icons/tool-3.svg",
                                             ":/icons/tool-4.svg",
                                             ":/icons/tool-5.svg",
                                             ":/icons/tool-6.svg",
                                             ":/icons/tool-7.svg",
                                             ":/icons/tool-8.svg",
                                             ":/icons/tool-9.svg",
                                             ":/icons/tool-10.svg",
                                             ":/icons/tool-11.svg",
                                             ":/icons/tool-12.svg",
                                             ":/icons/tool-13.svg",
                                             ":/icons/tool-14.svg",
                                             ":/icons/tool-15.svg",
                                             ":/icons/tool-16.svg",
                                             ":/icons/tool-17.svg",
                                             ":/icons/tool-18.svg",
                                             ":/icons/tool-19.svg",
                                             ":/icons/tool-20.svg",
                                             ":/icons/tool-21.svg",
                                             ":/icons/tool-22.svg"};

// Panel places: tools 1 to 10 and 21 in the left column, 11 to 20 and 22
// in the right one.
constexpr TToolDescription Button(TToolDescription d, std::string_view name, std::string_view hint,
                                  std::string_view status) {
    d.Button = name;
    d.Icon = kButtonIcons[d.Number];
    d.ButtonHint = hint;
    d.StatusHint = status;
    const int n = d.Number;
    d.PanelColumn = (n <= 10 || n == 21) ? 0 : 1;
    d.PanelRow = n <= 10 ? n - 1 : n <= 20 ? n - 11 : 10;
    return d;
}

struct TRowBuilder {
    TToolDescription D;
    constexpr TRowBuilder& Cursor(int c) { return D.Cursor = c, *this; }
    constexpr TRowBuilder& Box(TWindow box, int toggled = BoxNone, bool modal = false) {
        D.OptionBox = box;
        D.ToggledBox = toggled;
        D.ModalBox = modal;
        return *this;
    }
    constexpr TRowBuilder& View(std::string_view name, std::string_view caption) {
        return D.ViewItem = {name, caption}, *this;
    }
    constexpr TRowBuilder& Key(std::string_view key) { return D.Key = key, *this; }
    constexpr TRowBuilder& KeyOption(TToolKeyOption option) { return D.KeyOption = option, *this; }
    constexpr TRowBuilder& Step(std::string_view name) { return D.StepName = name, *this; }
    constexpr TRowBuilder& Menu(std::string_view name, std::string_view caption, std::string_view popupName,
                                std::string_view popupCaption) {
        D.MenuItem = {name, caption};
        D.PopupItem = {popupName, popupCaption};
        return *this;
    }
};

constexpr TRowBuilder Row(int number, std::string_view button, std::string_view hint,
                          std::string_view status) {
    TToolDescription d;
    d.Number = number;
    return {Painting(Button(d, button, hint, status))};
}

const std::array<TToolDescription, 27>& Table() {
    static const std::array<TToolDescription, 27> table = [] {
        std::array<TToolDescription, 27> t{};
        for (int n = 0; n < 27; ++n)
            t[static_cast<std::size_t>(n)].Number = n;

        // 0: no tool. Nothing is stored at a press; the release still
        // shows the image.
        t[0].RefreshAfterRelease = true;

        t[1] = Row(1, "ToolButton20", "Pen", "Use Pen Tool to FreeHand Draw")
                   .Key("P")
                   .Cursor(1)
                   .Box(TWindow::PenOptions, BoxTForm3)
                   .View("PenToolbar1", "Pen Toolbar")
                   .Step("Pen")
                   .Menu("Pen1", "Pen", "Pen2", "Pen")
                   .D;
        t[1].Make = &Make<PenTool>;
        t[2] = Row(2, "ToolButton23", "Line", "Use Line Tool to draw a straight line")
                   .Key("L")
                   .Cursor(2)
                   .Box(TWindow::PenOptions, BoxTForm3)
                   .View("LineToolbar1", "Line Toolbar")
                   .Step("Line")
                   .Menu("Line1", "Line", "Line2", "Line")
                   .D;
        t[2].Make = &Make<LineTool>;
        t[3] = Row(3, "ToolButton22", "Bezier Curve", "Use Bezier Tool to draw a bezier curve")
                   .Key("Z")
                   .Cursor(2)
                   .Box(TWindow::PenOptions, BoxTForm3)
                   .View("BezierToolbar1", "Bezier Toolbar")
                   .Step("Bezier Curve")
                   .Menu("BezierCurve1", "Bezier Curve", "BezierCurve2", "Bezier Curve")
                   .D;
        t[3].Make = &Make<BezierTool>;
        t[4] = Row(4, "ToolButton26", "Polygon Lines", "Use Polygon Tool to draw a polygon")
                   .Cursor(2)
                   .Box(TWindow::PenOptions, BoxTForm3)
                   .View("PolygonToolbar1", "Polygon Toolbar")
                   .Step("Polygon Line")
                   .Menu("Polygon1", "Polygon", "Polygon2", "Polygon")
                   .D;
        t[4].Make = &Make<PolygonTool>;
        t[5] = Row(5, "ToolButton28", "Rectangle", "Use the Rect Tool to draw a rectangle")
                   .Key("R")
                   .Cursor(4)
                   .Box(TWindow::ShapeOptions, BoxTForm21)
                   .View("RectangleToolbar1", "Rectangle Toolbar")
                   .Step("Rectangle")
                   .Menu("Rectangle1", "Rectangle", "Rectangle2", "Rectangle")
                   .D;
        t[5].Make = &Make<RectangleTool>;
        t[6] = Row(6, "ToolButton30", "Ellipse", "Use the Ellipse Tool to draw an ellipse")
                   .Key("O")
                   .Cursor(5)
                   .Box(TWindow::ShapeOptions, BoxTForm21)
                   .View("EllipseToolbar1", "Ellipse Toolbar")
                   .Step("Ellipse")
                   .Menu("Ellipse1", "Ellipse", "Ellipse2", "Ellipse")
                   .D;
        t[6].Make = &Make<EllipseTool>;
        t[7] = Row(7, "ToolButton32", "Rectangle with Rounded Edges",
                   "Use the Round Rect Tool to draw a Round Rectangle")
                   .Key("U")
                   .Cursor(6)
                   .Box(TWindow::RoundRectOptions, BoxTForm22)
                   .View("RoundRectToolbar1", "Round Rect Toolbar")
                   .Step("Round Rectangle")
                   .Menu("RoundRectangle1", "Round Rectangle", "RoundRectangle2", "Round Rectangle")
                   .D;
        t[7].Make = &Make<RoundRectTool>;
        t[8] = Row(8, "ToolButton34", "Spray Brush", "Use the Spray Tool to spray across the canvas")
                   .Key("A")
                   .Cursor(3)
                   .Box(TWindow::SprayOptions, BoxTForm23)
                   .View("SprayToolbar1", "Spray Toolbar")
                   .Step("Spray Brush")
                   .Menu("Spray1", "Spray", "Spray2", "Spray")
                   .D;
        t[8].Make = &Make<SprayBrush>;
        t[9] = Row(9, "ToolButton36", "Soften Brush", "Use the Soften Brush to soften certain parts")
                   .Key("S")
                   .Cursor(14)
                   .Box(TWindow::BrushOptions, BoxTForm24)
                   .View("SoftenToolbar1", "Soften Toolbar")
                   .Step("Soften Brush")
                   .Menu("Soften3", "Soften", "Soften4", "Soften")
                   .D;
        t[9].Make = &Make<SoftenBrush>;
        t[10] = Row(10, "ToolButton38", "Sharpen Brush", "Use the Sharpen Brush to sharpen certain parts")
                    .Key("H")
                    .Cursor(7)
                    .Box(TWindow::BrushOptions, BoxTForm24)
                    .View("SharpenToolbar1", "Sharpen Toolbar")
                    .Step("Sharpen Brush")
                    .Menu("Sharpen4", "Sharpen", "Shapen1", "Shapen")
                    .D;
        t[10].Make = &Make<SharpenBrush>;
        t[11] = Row(11, "ToolButton21", "Noise Brush", "Use the Noise Brush to add noise to certain parts")
                    .Key("N")
                    .Cursor(2)
                    .Box(TWindow::BrushOptions, BoxTForm24)
                    .Step("Noise Brush")
                    .Menu("Noise4", "Noise", "Noise6", "Noise")
                    .D;
        t[11].Make = &Make<NoiseBrush>;
        t[12] = Row(12, "ToolButton24", "Clone Tool",
                    "Use the Clone Tool to use a certain part of the canvas as a brush")
                    .Key("K")
                    .Cursor(9)
                    .Box(TWindow::BrushOptions, BoxTForm24)
                    .Step("Copy Brush")
                    .Menu("Clone1", "Clone", "Clone2", "Clone")
                    .D;
        t[12].Make = &Make<CopyBrush>;
        t[13] = Row(13, "ToolButton25", "Lighten Brush", "Use the Lighten Brush to lighten certain parts")
                    .Cursor(2)
                    .Box(TWindow::BrushOptions, BoxTForm24)
                    .View("LightenToolbar1", "Lighten Toolbar")
                    .Step("Lighten Brush")
                    .Menu("Lighten3", "Lighten", "Lighten4", "Lighten")
                    .D;
        t[13].Make = &Make<LightenBrush>;
        t[14] = Row(14, "ToolButton27", "Darken Brush", "Use the Darken Brush to darken certain parts")
                    .Cursor(2)
                    .Box(TWindow::BrushOptions, BoxTForm24)
                    .View("DarkenToolbar1", "Darken Toolbar")
                    .Step("Darken Brush")
                    .Menu("Darken3", "Darken", "Darken4", "Darken")
                    .D;
        t[14].Make = &Make<DarkenBrush>;
        // The selection tool keeps the overlay: it holds the selection's shape.
        t[15] = Row(15, "ToolButton29", "Selection Tool", "Use the Selection Tool")
                    .Key("M")
                    .KeyOption({"W", "Magic Wand", TOpt::SelectionType, SelMagicWand})
                    .Cursor(10)
                    .Box(TWindow::SelectOptions, BoxTForm4)
                    .View("SelectionToolbar1", "Selection Toolbar")
                    .Step("Selection Tool")
                    .D;
        t[15].ClearsOverlay = false;
        t[15].Make = &Make<SelectionTool>;
        t[16] =
            Row(16, "ToolButton31", "Floodfill", "Use the Floodfill Tool to fill certain parts with a colour")
                .Key("F")
                .Cursor(11)
                .Box(TWindow::FillOptions, BoxTForm25)
                .View("FloodFillToolbar1", "Flood Fill Toolbar")
                .Step("Flood Fill")
                .Menu("FloodFill1", "Flood Fill", "FloodFill2", "Flood Fill")
                .D;
        t[16].Make = &Make<FloodFillTool>;
        // The text tool stores nothing at a press and leaves the view alone;
        // its editor opens at the first press.
        t[17] = Button(t[17], "ToolButton33", "Add Text", "Use the Text Tool to add text to the canvas");
        t[17].Cursor = 12;
        t[17].Key = "T";
        t[17].Make = &Make<TextTool>;
        // StrokeBase holds the snapshot the Undo History dialog chose.
        t[18] = Row(18, "ToolButton35", "History Brush",
                    "Use the History Brush to reveal certain parts of past images")
                    .Key("Y")
                    .Cursor(13)
                    .Box(TWindow::UndoHistory, BoxNone, true)
                    .Step("History Brush")
                    .D;
        t[18].Make = &Make<HistoryBrush>;
        t[18].TakesStrokeBase = false;
        t[18].NeedsHistoryStep = true;
        t[19] = Row(19, "ToolButton37", "Custom Brush", "Use the Custom Brush Tool to draw across the canvas")
                    .Key("B")
                    .Cursor(15)
                    .Box(TWindow::CustomBrush, BoxNone, true)
                    .Step("Custom Brush")
                    .D;
        t[19].Make = &Make<CustomBrush>;
        t[20] = Row(20, "ToolButton39", "Colour Selector",
                    "Use the Colour Select Tool to select a colour from the canvas")
                    .Key("I")
                    .Cursor(16)
                    .D;
        t[20].Make = &Make<ColourPicker>;
        t[21] = Row(21, "ToolButton40", "Eraser", "Use the Erase Tool to erase certain parts")
                    .Key("E")
                    .Cursor(8)
                    .Box(TWindow::EraserOptions)
                    .Step("Erase")
                    .D;
        t[21].Make = &Make<Eraser>;
        t[22] = Row(22, "ToolButton41", "Transparency Tools",
                    "Use the Transparency Tools to increase or decrease the transparency of the canvas")
                    .Cursor(2)
                    .Box(TWindow::TransparencyOptions)
                    .Step("Transparency Tool")
                    .D;
        t[22].Make = &Make<TransparencyTool>;
        // 23 and 24 have no button and no pointer behaviour of their own.
        for (int n : {23, 24})
            t[static_cast<std::size_t>(n)] = Painting(t[static_cast<std::size_t>(n)]);
        // The crop rectangle has no panel button ("Crop" is a command).
        t[25] = Painting(t[25]);
        t[25].Cursor = 2;
        t[25].KeepsCropRectangle = true;
        t[25].Make = &Make<CropTool>;
        // Chosen by "Use as Brush" in the filter dialogs.
        t[26] = Painting(t[26]);
        t[26].Cursor = 2;
        t[26].StepName = "Effect Brush";
        t[26].Make = &Make<EffectBrush>;
        return t;
    }();
    return table;
}

} // namespace

TWindow OptionBoxWindowId(int box) {
    static constexpr TWindow windows[] = {
        TWindow::None,         TWindow::PenOptions,         TWindow::ShapeOptions,  TWindow::RoundRectOptions,
        TWindow::SprayOptions, TWindow::BrushOptions,       TWindow::EraserOptions, TWindow::SelectOptions,
        TWindow::FillOptions,  TWindow::TransparencyOptions};
    return box >= BoxTForm3 && box <= BoxTForm44 ? windows[box] : TWindow::None;
}

std::span<const TToolDescription> ToolTable() {
    return Table();
}

const TToolDescription& ToolDescription(int tool) {
    static const TToolDescription none = [] {
        TToolDescription d;
        d.Number = -1;
        return d;
    }();
    if (tool < 0 || tool >= static_cast<int>(Table().size())) return none;
    return Table()[static_cast<std::size_t>(tool)];
}

} // namespace pixora
