#include "app/menu_layout.h"

#include <array>
#include <span>

#include "effects/effects_table.h"
#include "io/ui/file_commands.h"
#include "tools/tool_table.h"
#include "tools/ui/selection_commands.h"

namespace pixora {

namespace {

class TLayout {
public:
    TLayout& Menu(std::string_view caption, std::string_view name = {}) {
        return Add(TEntryKind::Menu, caption, name);
    }
    TLayout& End() { return Add(TEntryKind::End, {}, {}); }
    TLayout& Separator() { return Add(TEntryKind::Separator, {}, {}); }
    TLayout& Items(std::initializer_list<std::string_view> names) {
        for (std::string_view n : names)
            Add(TEntryKind::Item, {}, n);
        return *this;
    }
    template <class Range> TLayout& ItemsOf(const Range& names) {
        for (std::string_view n : names)
            Add(TEntryKind::Item, {}, n);
        return *this;
    }
    // The tools' items in the menus' own order of tool numbers.
    TLayout& Tools(std::span<const int> numbers, TToolMenuItem TToolDescription::*item) {
        for (int n : numbers)
            Add(TEntryKind::Item, {}, (ToolDescription(n).*item).Name);
        return *this;
    }
    TLayout& Tools(std::initializer_list<int> numbers, TToolMenuItem TToolDescription::*item) {
        return Tools(std::span<const int>(numbers.begin(), numbers.size()), item);
    }
    // The effects of a kind where they are placed, in the table's order.
    TLayout& Effects(TEffectKind kind, std::string_view TEffectPlaces::*place) {
        for (const TEffectRow& row : EffectTable())
            if (row.Kind == kind && !(row.Places.*place).empty())
                Add(TEntryKind::Item, {}, row.Places.*place);
        return *this;
    }
    std::vector<TMenuEntry> Take() { return std::move(entries_); }

private:
    TLayout& Add(TEntryKind kind, std::string_view text, std::string_view name) {
        entries_.push_back({kind, text, name});
        return *this;
    }
    std::vector<TMenuEntry> entries_;
};

// The Tools menu and the pop-up's "Paint Tools" list the tools in this order.
constexpr std::array<int, 15> kPaintTools = {
    ToolPen,   ToolLine,   ToolBezier,  ToolPolygon, ToolRectangle, ToolRoundRect, ToolEllipse, ToolFloodFill,
    ToolSpray, ToolSoften, ToolSharpen, ToolNoise,   ToolClone,     ToolLighten,   ToolDarken};

} // namespace

std::vector<TMenuEntry> MainMenuLayout() {
    TLayout m;
    m.Menu("File", "File1")
        .Items({"NewImage1", "OpenFile1", "ReOpenFile1"})
        .Menu("Re-Open", "ReOpen1")
        .ItemsOf(kRecentMenuItems)
        .End()
        .Items({"ConvertFiles1"})
        .Separator()
        .Items({"Save1", "SaveAs1", "SaveaCopy1"})
        .Separator()
        .Items({"Duplicate1", "PrintImage1"})
        .Separator()
        .Items({"Close1", "CloseAll1"})
        .Separator()
        .Items({"Exit1"})
        .End();
    m.Menu("Edit", "Edit1")
        .Items({"Undo1", "Redo1", "UndoHistory1", "CancelToolWork1"})
        .Separator()
        .Items({"CopyStepsasRecipe1", "SaveStepsasRecipe1"})
        .Separator()
        .Items({"Cut1", "Copy1", "Paste1", "Delete1", "PastetoFitCanvas1", "PastetoFitSelection1"})
        .Separator()
        .Items({"SelectAll1", "SelectNone1", kEditOnlySelectionItems[0]})
        .Separator()
        .Items({"FillwithFGColour1", "FillwithBGColour1", "FillwithPattern1"})
        .Separator()
        .Items({"Preferences1"})
        .End();
    m.Menu("View", "View1")
        .Tools({ToolSelection}, &TToolDescription::ViewItem)
        .Items({"HistoryDialog1", "LayerSheet1", "ScaleBars1", "FittoWindow1", "OpenAt100Percent1"})
        .Separator()
        .Tools({ToolPen, ToolLine, ToolBezier, ToolPolygon, ToolRectangle, ToolRoundRect, ToolFloodFill,
                ToolEllipse, ToolSpray, ToolSoften, ToolSharpen, ToolLighten, ToolDarken},
               &TToolDescription::ViewItem)
        .End();
    m.Menu("Selection", "Selection1")
        .Items({"SelectAll2", "SelectNone2", "InvertSelection1"})
        .Separator()
        .ItemsOf(kSelectionTypeItems)
        .Separator()
        .Items({"PastetoFit1", "ImportfromFiletoFit1", "CroptoSelection1", "ArchiveasPattern1",
                "ArchiveasBrush1", "FillCanvas1"})
        .Separator()
        .Items({kDuplicateOnMouseUpItems[0], kDeleteUnderlyingItems[0], kExcludeSelectionItems[0],
                kEditOnlySelectionItems[1]})
        .End();
    m.Menu("Zoom", "Zoom1")
        .Items({"ZoomIn1", "ZoomOut1", "CustomZoom1"})
        .Separator()
        .Items({"N16116001", "N818001", "N414001", "N212001", "N111001", "N12501", "N14251", "N181251",
                "N1166251"})
        .Separator()
        .Items({"Reset1"})
        .End();
    m.Menu("Image", "Image1")
        .Items({"NewLayer1", "ViewFinalImage1", "EditCurrentLayer1", "DeleteCurrentLayer1",
                "DuplicateCurrentLayer1"})
        .Separator()
        .Items({"Duplicate2"})
        .Items({"RepeatLastFilter1"})
        .Menu("Effects", "Effects1")
        .Effects(TEffectKind::Filter, &TEffectPlaces::ImageMenu)
        .End()
        .Menu("Apply Tools", "ApplyTools1")
        .Effects(TEffectKind::Quick, &TEffectPlaces::ImageMenu)
        .End()
        .Items({"RotateandFlip1", "ResetImage1", "Histogram1", "EasyScroll1", "Crop1", "Resize1",
                "PasteAsNewImage1", "Properties1"})
        .End();
    m.Menu("Colours", "Colours1")
        .Items({"SelectFGColour1", "SelectBGColour1", "SwapColours1", "DefaultColours1", "ColourAdjustment2", "ColourTransfer2",
                "ChannelFilter2", "Brightness2", "Grayscale2", "Lighten2", "Darken2", "Soften2", "Sharpen3",
                "Noise3", "Contrast3", "Saturation3", "Histogram2", "Gamma2", "Tint2"})
        .End();
    m.Menu("Tools", "Tools1").Tools(kPaintTools, &TToolDescription::MenuItem).End();
    m.Menu("Help", "Help1").Items({"HelpContents1", "TipoftheDay1", "About1"}).End();
    return m.Take();
}

std::vector<TMenuEntry> PopupMenuLayout() {
    TLayout m;
    m.Items({"Undo2", "Redo2", "UndoHistory2"})
        .Separator()
        .Items({"Cut2", "Copy2", "Paste2", "Delete2"})
        .Separator()
        .Menu("Effects")
        .Effects(TEffectKind::Filter, &TEffectPlaces::Popup)
        .End()
        .Menu("Paint Tools")
        .Tools(kPaintTools, &TToolDescription::PopupItem)
        .End()
        .Menu("Image Tools")
        .Effects(TEffectKind::Quick, &TEffectPlaces::Popup)
        .End()
        .Menu("Colour Tools")
        .Items({"SelectFGColour2", "SelectBGColour2", "ColourAdjustment4", "ColourTransfer4",
                "ChannelFilter4", "Brightness4"})
        .End()
        .Separator()
        .Items({"Histogram3", "RotateandFlip2", "Duplicate3", "ResetImage2"})
        .Menu("Zoom")
        .Items({"ZoomIn2", "ZoomOut2", "CustomZoom2", "N16116002", "N818002", "N414002", "N212002", "N111002",
                "N12502", "N14252", "N181252", "N1166252", "Reset2"})
        .End()
        .Menu("Select")
        .Items({"SelectAll3", "SelectNone3", kEditOnlySelectionItems[2]})
        .End()
        .Menu("Fill Canvas")
        .Items({"FillwithFGColour2", "FillwithBGColour2", "FillwithPattern2"})
        .End()
        .Separator()
        .Items({"Properties2", "Close2"});
    return m.Take();
}

std::vector<TToolBarEntry> TopToolBarLayout() {
    return {
        {"ToolButton1", {}, {}},
        {"ToolButton2", "OpenDown", {kRecentDropDownItems.begin(), kRecentDropDownItems.end()}},
        {"ToolButton3", {}, {}},
        {{}, {}, {}},
        {"ToolButton4", {}, {}},
        {"ToolButton5", {}, {}},
        {"ToolButton6", {}, {}},
        {"ToolButton7", {}, {}},
        {{}, {}, {}},
        {"ToolButton10", "UndoDown", {}},
        {"ToolButton11", "RedoDown", {}},
        {{}, {}, {}},
        {"ToolButton13", {}, {}},
        {"ToolButton14", {}, {}},
        {"ToolButton19", {}, {}},
        {{}, {}, {}},
        {"ToolButton16", {}, {}},
        {"ToolButton17", {}, {}},
        {"ToolButton18", {}, {}},
    };
}

} // namespace pixora
