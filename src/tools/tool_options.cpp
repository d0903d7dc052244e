#include "tools/tool_options.h"

#include <array>
#include <stdexcept>

namespace pixora {

namespace {

using K = TOptKind;
using W = TWindow;

constexpr TOptionRow Spin(TOpt id, W box, std::string_view control, std::string_view caption, int min, int max,
                          int value, int step = 1) {
    return {id, box, control, K::Spin, min, max, step, value, caption};
}
constexpr TOptionRow Check(TOpt id, W box, std::string_view control, std::string_view caption, bool checked) {
    return {id, box, control, K::Check, 0, 0, 1, checked ? 1 : 0, caption};
}
constexpr TOptionRow Track(TOpt id, W box, std::string_view control, std::string_view caption, int min, int max,
                           int value, std::span<const std::string_view> ends = {}) {
    return {id, box, control, K::Track, min, max, 1, value, caption, ends};
}
constexpr TOptionRow Choice(K kind, TOpt id, W box, std::string_view control, std::string_view caption,
                            std::span<const std::string_view> items, int index) {
    return {id, box, control, kind, 0, static_cast<int>(items.size()) - 1, 1, index, caption, items};
}
constexpr TOptionRow Suffixed(TOptionRow row, std::string_view suffix) {
    row.Suffix = suffix;
    return row;
}
constexpr TOptionRow Beside(TOptionRow row) {
    row.Beside = true;
    return row;
}

constexpr std::string_view kFillModes[] = {"Color (rgb)", "Color (hue)", "+Light", "+Saturation", "", ""};
constexpr std::string_view kEraserTypes[] = {"Square", "Ellipse", "Floodfill"};
constexpr std::string_view kTransparencyTools[] = {"Pen", "Line", "Rectangle", "Ellipse", "Spray"};
constexpr std::string_view kPlusMinus[] = {"-", "+"};
constexpr std::string_view kSelectionTypes[] = {"Rectangle Selection", "Ellipse Selection",
                                                "Free Hand Selection", "Magic Wand Selection"};
constexpr std::string_view kEditModes[] = {"Edit Selection Area", "Edit Selected Canvas"};

constexpr std::string_view kChangeTransparency = "Change Transparency";

// The rows the pen's box and the shapes' boxes share, from `first` on (the
// ids of each box follow the pen's order); the round rectangle's box spells
// the antialiasing caption without the colon.
constexpr std::array<TOptionRow, 6> PenRows(TOpt first, W box, std::string_view antiCaption) {
    const auto id = [first](int k) { return static_cast<TOpt>(static_cast<int>(first) + k); };
    return {Suffixed(Spin(id(0), box, "Occ", "Occupancy:", 1, 100, 100), "%"),
            Spin(id(1), box, "Size", "Size:", 1, 20, 1),
            Check(id(2), box, "Anti", antiCaption, false),
            Beside(Spin(id(3), box, "AP", {}, 1, 100, 10)),
            Check(id(4), box, "UG", "Use Gradient", false),
            Check(id(5), box, "CT", kChangeTransparency, true)};
}

constexpr auto kTable = [] {
    std::array<TOptionRow, kOptionCount> t{};
    std::size_t n = 0;
    auto add = [&t, &n](const TOptionRow& row) { t[n++] = row; };
    auto addAll = [&add](const auto& rows) {
        for (const TOptionRow& row : rows) add(row);
    };
    addAll(PenRows(TOpt::PenOccupancy, W::PenOptions, "Antialiasing:"));
    addAll(PenRows(TOpt::ShapeOccupancy, W::ShapeOptions, "Antialiasing:"));
    add(Check(TOpt::ShapeClearInterior, W::ShapeOptions, "Clear", "Clear Interior", true));
    addAll(PenRows(TOpt::RoundRectOccupancy, W::RoundRectOptions, "Antialiasing"));
    add(Check(TOpt::RoundRectClearInterior, W::RoundRectOptions, "Clear", "Clear Interior", true));
    add(Spin(TOpt::RoundRectEdges, W::RoundRectOptions, "Edge", "Edges:", 0, 30, 10));

    add(Spin(TOpt::SpraySize, W::SprayOptions, "Size", "Size:", 1, 64, 64, 2));
    add(Spin(TOpt::SprayThickness, W::SprayOptions, "thick", "Thickness:", 1, 328, 128, 2));
    add(Check(TOpt::SprayChangeTransparency, W::SprayOptions, "CT", kChangeTransparency, true));
    add(Spin(TOpt::BrushSize, W::BrushOptions, "size", "Size:", 2, 64, 64));
    add(Check(TOpt::BrushChangeTransparency, W::BrushOptions, "CT", kChangeTransparency, true));
    add(Choice(K::Combo, TOpt::FillMode, W::FillOptions, "ComboBox", {}, kFillModes, 0));
    TOptionRow tolerance = Track(TOpt::FillTolerance, W::FillOptions, "TrackBar", {}, 0, 100, 30);
    tolerance.Tip = "Fill tolerance";
    add(tolerance);
    add(Check(TOpt::FillChangeTransparency, W::FillOptions, "CT", kChangeTransparency, true));
    add(Choice(K::Radio, TOpt::EraserType, W::EraserOptions, "ET", "Eraser Type", kEraserTypes, 0));
    add(Spin(TOpt::EraserSize, W::EraserOptions, "Size", "Size:", 2, 50, 10));
    add(Choice(K::Radio, TOpt::TransparencyTool, W::TransparencyOptions, "T", "Tool", kTransparencyTools, 4));
    add(Spin(TOpt::TransparencySize, W::TransparencyOptions, "Size", "Size:", 1, 20, 1));
    add(Spin(TOpt::TransparencySprayRadius, W::TransparencyOptions, "SR", "Spray Radius:", 2, 64, 64, 2));
    add(Track(TOpt::TransparencyDifference, W::TransparencyOptions, "TD", "Transparency Difference:", -255, 255, 0,
              kPlusMinus));
    add(Check(TOpt::TransparencyForceValue, W::TransparencyOptions, "FV", "Force Value", false));

    add(Choice(K::Radio, TOpt::SelectionType, W::SelectOptions, "RadioGroup1", "Selection Type", kSelectionTypes, 0));
    add(Choice(K::Radio, TOpt::SelectionEdit, W::SelectOptions, "RadioGroup2", "Edit", kEditModes, 1));
    add(Check(TOpt::SelectionApplyInside, W::SelectOptions, "A", "Apply Edit to Selection Only", false));
    add(Check(TOpt::SelectionExclude, W::SelectOptions, "E", "Exclude Selection from Edit", false));
    add(Check(TOpt::SelectionDuplicate, W::SelectOptions, "D", "Duplicate on MouseUp", false));
    add(Check(TOpt::SelectionDeleteUnderlying, W::SelectOptions, "DU", "Delete Underlying", false));
    add(Track(TOpt::SelectionTolerance, W::SelectOptions, "T", "Tolerence:", 0, 100, 0));

    add(Spin(TOpt::HistoryBrushSize, W::HistoryBrushOptions, "size", "Size:", 2, 64, 64));
    add(Track(TOpt::HistoryBrushOccupation, W::HistoryBrushOptions, "Occ", "Occupation:", 1, 100, 100));
    add(Check(TOpt::HistoryBrushChangeTransparency, W::HistoryBrushOptions, "CT", kChangeTransparency, true));

    add(Spin(TOpt::ChannelRed, W::ChannelOptions, "R", "Red:", 0, 255, 8));
    add(Spin(TOpt::ChannelGreen, W::ChannelOptions, "G", "Green:", 0, 255, 8));
    add(Spin(TOpt::ChannelBlue, W::ChannelOptions, "B", "Blue:", 0, 255, 8));
    add(Check(TOpt::ChannelChangeTransparency, W::ChannelOptions, "CT", kChangeTransparency, true));
    add(Spin(TOpt::BlurRadius, W::RadiusOptions, "R", "Radius:", 1, 24, 8));
    add(Check(TOpt::BlurChangeTransparency, W::RadiusOptions, "CT", kChangeTransparency, true));

    add(Check(TOpt::TextClearBackground, W::TextEditor, "C", "Clear Background", true));
    add(Spin(TOpt::TextAngle, W::TextEditor, "A", "Angle:", 0, 360, 0));
    add(Track(TOpt::TextOccupation, W::TextEditor, "Occ", "Occupation:", 1, 100, 100));

    add(Track(TOpt::CustomBrushOccupation, W::CustomBrush, "Occ", "Occupation", 1, 100, 100));

    add({TOpt::GradientKind, W::Gradient, "GradientKind", K::Kept, 0, 2, 1, 0, {}});
    add(Spin(TOpt::GradientSize, W::Gradient, "size", "Size:", 2, 100, 64, 2));
    add(Suffixed(Spin(TOpt::GradientTop, W::Gradient, "sedTop", "Top:", 0, 100, 50), "%"));
    add(Suffixed(Spin(TOpt::GradientLeft, W::Gradient, "sedLeft", "Left:", 0, 100, 50), "%"));
    add(Spin(TOpt::GradientDepth, W::Gradient, "depth", "Depth:", 2, 128, 128));
    add(Check(TOpt::GradientTransparentFG, W::Gradient, "TFG", "Transparent FG", false));
    add(Check(TOpt::GradientTransparentBG, W::Gradient, "TBG", "Transparent BG", true));

    add(Track(TOpt::GifSensitivity, W::GifTransparency, "TS", "Transparency Sensitivity", 0, 255, 0));
    return t;
}();

// Each row sits at its id's place, so OptionRow is an index, and a box's
// rows follow each other, so OptionRowsOf is a run of them.
constexpr bool RowsInIdOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (static_cast<std::size_t>(kTable[i].Id) != i || kTable[i].Control.empty()) return false;
        if (i > 0 && kTable[i].Box != kTable[i - 1].Box)
            for (std::size_t k = 0; k + 1 < i; ++k)
                if (kTable[k].Box == kTable[i].Box) return false;
    }
    return true;
}
static_assert(RowsInIdOrder(), "the option rows follow the ids, each with its control, a box's rows together");

constexpr TStrokeOptionIds kStrokeBoxes[] = {
    {W::PenOptions, TOpt::PenOccupancy, TOpt::PenSize, TOpt::PenAntialiasing, TOpt::PenSoftenStrength,
     TOpt::PenUseGradient, TOpt::PenChangeTransparency, TOpt::Count},
    {W::ShapeOptions, TOpt::ShapeOccupancy, TOpt::ShapeSize, TOpt::ShapeAntialiasing, TOpt::ShapeSoftenStrength,
     TOpt::ShapeUseGradient, TOpt::ShapeChangeTransparency, TOpt::ShapeClearInterior},
    {W::RoundRectOptions, TOpt::RoundRectOccupancy, TOpt::RoundRectSize, TOpt::RoundRectAntialiasing,
     TOpt::RoundRectSoftenStrength, TOpt::RoundRectUseGradient, TOpt::RoundRectChangeTransparency,
     TOpt::RoundRectClearInterior},
};

} // namespace

std::span<const TOptionRow> OptionTable() {
    return kTable;
}

const TOptionRow& OptionRow(TOpt id) {
    return kTable.at(static_cast<std::size_t>(id));
}

std::span<const TOptionRow> OptionRowsOf(TWindow box) {
    std::size_t first = 0;
    while (first < kTable.size() && kTable[first].Box != box) ++first;
    std::size_t end = first;
    while (end < kTable.size() && kTable[end].Box == box) ++end;
    return std::span<const TOptionRow>(kTable).subspan(first, end - first);
}

const TStrokeOptionIds& StrokeOptionIds(TWindow box) {
    for (const TStrokeOptionIds& ids : kStrokeBoxes)
        if (ids.Box == box) return ids;
    throw std::invalid_argument("StrokeOptionIds: not a stroke tool's box");
}

} // namespace pixora
