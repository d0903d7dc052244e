#include "effects/effects_table.h"

#include <array>

#include "effects/filter_rules.h"
#include "effects/geometry_rules.h"
#include "effects/quick_rules.h"

namespace pixora {

namespace {

// ---- the arguments of the command line -----------------------------------------

// The range types in their TRangeType order, as rgType lists them.
constexpr std::string_view kRangeTypes[] = {"rect",      "ellipse",   "frame",     "star5",
                                            "star6",     "triangle0", "triangle1", "triangle2",
                                            "triangle3", "rhomb",     "cross"};
constexpr std::string_view kSolid[] = {"solid"};
constexpr std::string_view kQuality[] = {"fast", "qualitative"};
constexpr std::string_view kChannels[] = {"red", "green", "blue"};
constexpr std::string_view kDominant[] = {"rgb", "red", "green", "blue"};
constexpr std::string_view kTransfers[] = {"G-R", "R-G", "B-R", "G-B", "R-B", "B-G"};
constexpr std::string_view kNoStretch[] = {"nostretch"};

constexpr TEffectArg kPercentArgs[] = {OptionalNumber("R", 0, 255, 8), OptionalNumber("G", 0, 255, 8),
                                       OptionalNumber("B", 0, 255, 8)};
constexpr TEffectArg kRadiusArgs[] = {OptionalNumber("RADIUS", 1, 24, 8)};

// ---- how the filter windows show them ---------------------------------------------

// A track bar of a filter window: at `start` when made, and put back to
// `reset` by the window's resets.
constexpr TEffectArg Track(TEffectArg arg, std::string_view name, std::string_view caption, int start = 0,
                           int reset = 0, std::string_view group = {}) {
    return Shown(arg, {.Kind = TControlKind::Track,
                       .Name = name,
                       .Caption = caption,
                       .Start = start,
                       .Reset = reset,
                       .Group = group});
}
// A cell size of the range-walk filters: page size 1, a tick every 4.
constexpr TEffectArg CellSize(std::string_view arg, std::string_view name, std::string_view caption) {
    TEffectArg a = Track(NumberArg(arg, 2, 50), name, caption, 8, 8);
    a.Control.PageStep = 1;
    a.Control.TickEvery = 4;
    return a;
}

// The range types' captions in rgType, in TRangeType order.
constexpr std::string_view kRangeTypeItems[] = {"Rect",       "Ellipse",    "Frame",      "Star 1",
                                                "Star 2",     "Triangle 1", "Triangle 2", "Triangle 3",
                                                "Triangle 4", "Rhomb",      "Cross"};
constexpr std::string_view kQualityItems[] = {"Fast", "Qualitative"};
constexpr std::string_view kChannelItems[] = {"Red Channel", "Green Channel", "Blue Channel"};
constexpr std::string_view kChannelNames[] = {"R", "G", "B"};
constexpr std::string_view kDominantItems[] = {"RGB", "Red", "Green", "Blue"};

// The shape of the range-walk filters, shown first in their windows.
constexpr TEffectArg kRangeTypeArg = Shown(OptionalWord("TYPE", kRangeTypes, 0), {.Kind = TControlKind::RadioGroup,
                                                                                    .Name = "rgType",
                                                                                    .Caption = "Range type:",
                                                                                    .Reset = 0,
                                                                                    .Items = kRangeTypeItems,
                                                                                    .Columns = 3,
                                                                                    .Leads = true});
// "solid" on the command line is "Tranparent" unchecked.
constexpr TEffectArg kSolidArg = Shown(FlagArg(kSolid), {.Kind = TControlKind::Check,
                                                         .Name = "Trans",
                                                         .Caption = "Tranparent",
                                                         .Reset = 0,
                                                         .Inverted = true});

constexpr TEffectArg kAdjustArgs[] = {Track(NumberArg("R", -255, 255), "R", "Red:"),
                                      Track(NumberArg("G", -255, 255), "G", "Green:"),
                                      Track(NumberArg("B", -255, 255), "B", "Blue:")};
// No channel is chosen when the window opens, nor after it closes.
constexpr TEffectArg kChannelArgs[] = {Shown(WordArg("", kChannels), {.Kind = TControlKind::RadioButtons,
                                                                      .Caption = "Filter Channel",
                                                                      .Start = -1,
                                                                      .Reset = -1,
                                                                      .Items = kChannelItems,
                                                                      .ItemNames = kChannelNames})};
// Showing the Blur window sets its radius to 1, which previews.
constexpr TEffectArg kBlurArgs[] = {Shown(NumberArg("INT", 0, 20), {.Kind = TControlKind::Spin,
                                                                    .Name = "Int",
                                                                    .Caption = "Blur Intensity:",
                                                                    .Reset = 0,
                                                                    .Shown = 1})};
constexpr TEffectArg kBrightnessArgs[] = {Track(NumberArg("B", -255, 255), "B", "Brightness:")};
constexpr TEffectArg kContrastArgs[] = {Track(NumberArg("C", -255, 255), "C", "Contrast:")};
// The resets put the minima to 0 and the maxima to 255, which changes nothing.
constexpr TEffectArg kColourFilterArgs[] = {
    Track(NumberArg("RMIN", 0, 255), "RMin", "Minimum", 0, 0, "Red Channel"),
    Track(NumberArg("RMAX", 0, 255), "RMax", "Maximum", 0, 255, "Red Channel"),
    Track(NumberArg("GMIN", 0, 255), "GMin", "Minimum", 0, 0, "Green Channel"),
    Track(NumberArg("GMAX", 0, 255), "GMax", "Maximum", 0, 255, "Green Channel"),
    Track(NumberArg("BMIN", 0, 255), "BMin", "Minimum", 0, 0, "Blue Channel"),
    Track(NumberArg("BMAX", 0, 255), "BMax", "Maximum", 0, 255, "Blue Channel")};
constexpr TEffectArg kNoiseArgs[] = {Track(NumberArg("N", 0, 255), "N", "Noise:")};
constexpr TEffectArg kPixelizationArgs[] = {CellSize("W", "tbWidth", "Width:"), CellSize("H", "tbHeight", "Height:"),
                                            kRangeTypeArg, kSolidArg};
constexpr TEffectArg kPosterizeArgs[] = {Track(NumberArg("P", 0, 255), "P", "Posterize:")};
constexpr TEffectArg kRoughBlurArgs[] = {
    CellSize("W", "tbWidth", "Width:"),
    CellSize("H", "tbHeight", "Height:"),
    Track(NumberArg("RADIUS", 1, 5), "tbRadius", "Radius:", 1, 1),
    Shown(OptionalWord("", kQuality, 0), {.Kind = TControlKind::RadioGroup,
                                          .Name = "rgQuality",
                                          .Caption = "Quality:",
                                          .Reset = 0,
                                          .Items = kQualityItems,
                                          .Columns = 2}),
    kRangeTypeArg,
    kSolidArg};
constexpr TEffectArg kSaturationArgs[] = {Track(NumberArg("S", 0, 255), "S", "Saturation:")};
constexpr TEffectArg kSharpenArgs[] = {Track(NumberArg("D", 0, 50), "D", "Difference:"),
                                       Track(NumberArg("P", 0, 100), "P", "Percent:")};
constexpr TEffectArg kSolarizeArgs[] = {Track(NumberArg("S", 0, 255), "S", "Solarize:")};
// Opening the GrayScale window chooses "RGB" and keeps the brightness.
constexpr TEffectArg kGrayScaleArgs[] = {
    Shown(WordArg("", kDominant), {.Kind = TControlKind::RadioGroup,
                                   .Name = "D",
                                   .Caption = "Dominant Channel",
                                   .Reset = 0,
                                   .Items = kDominantItems,
                                   .Columns = 2}),
    Track(OptionalNumber("B", -255, 255, 0), "B", {}, 0, kKeepValue, "Brightness")};
// The transfer buttons are the window's own; the percentage goes back to 100.
constexpr TEffectArg kTransferArgs[] = {Shown(WordArg("X-Y", kTransfers), {.Kind = TControlKind::Own}),
                                        Track(NumberArg("P", 1, 100), "P", "Transfer Percent:", 100, 100)};
// Whole degrees, as the rotate window's spin edit takes them.
constexpr TEffectArg kRotateArgs[] = {NumberArg("DEG", -2147483647, 2147483647), OptionalColour("RRGGBB", 0)};
constexpr TEffectArg kResizeArgs[] = {NumberArg("W", 1, 1 << 20), NumberArg("H", 1, 1 << 20),
                                      FlagArg(kNoStretch)};
constexpr TEffectArg kCropArgs[] = {NumberArg("X", 0, (1 << 20) - 1), NumberArg("Y", 0, (1 << 20) - 1),
                                    NumberArg("W", 1, 1 << 20), NumberArg("H", 1, 1 << 20)};

// ---- the rows --------------------------------------------------------------------

constexpr TEffectRow Row(TEffectKind kind, std::string_view caption, std::string_view button,
                         std::string_view name, std::string_view icon, std::string_view step,
                         bool honoursSelection, TWindow window, TEffectPlaces places, std::string_view hint) {
    TEffectRow r;
    r.Kind = kind;
    r.Caption = caption;
    r.ButtonCaption = button;
    r.Button = name;
    r.Icon = icon;
    r.StatusHint = hint;
    r.StepName = step;
    r.HonoursSelection = honoursSelection;
    r.OptionsWindow = window;
    r.Places = places;
    return r;
}

// Filter dialogs commit through the filter apply operation, which always
// passes the selection edit test.
constexpr TEffectRow Filter(std::string_view caption, std::string_view button, std::string_view name,
                            std::string_view icon, std::string_view step, TWindow window,
                            TEffectPlaces places, std::string_view hint = {}) {
    return Row(TEffectKind::Filter, caption, button, name, icon, step, true, window, places, hint);
}

// Quick effects name their step after their caption.
constexpr TEffectRow Quick(std::string_view caption, std::string_view button, std::string_view name,
                           std::string_view icon, bool honoursSelection, TWindow window, TEffectPlaces places,
                           std::string_view hint = {}) {
    return Row(TEffectKind::Quick, caption, button, name, icon, caption, honoursSelection, window, places,
               hint);
}

// The row with its filter effect and command-line name.
constexpr TEffectRow Runs(TEffectRow r, TFilterOperation filter, std::string_view name,
                          std::span<const TEffectArg> args = {}, bool readsDocument = false) {
    r.Filter = filter;
    r.ReadsDocument = readsDocument;
    r.CommandName = name;
    r.Args = args;
    return r;
}
// The row with its quick effect's operation and command-line name.
constexpr TEffectRow Runs(TEffectRow r, TEffectOperation operation, std::string_view name,
                          std::span<const TEffectArg> args = {}) {
    r.Operation = operation;
    r.CommandName = name;
    r.Args = args;
    return r;
}
// A geometry command of the command line.
constexpr TEffectRow Geometry(std::string_view caption, std::string_view step, TReshapeOperation reshape,
                              std::string_view name, std::span<const TEffectArg> args = {}) {
    TEffectRow r;
    r.Kind = TEffectKind::Geometry;
    r.Caption = caption;
    r.StepName = step;
    r.HonoursSelection = false;
    r.Reshape = reshape;
    r.CommandName = name;
    r.Args = args;
    return r;
}

// A quick effect whose operation works on the image alone.
constexpr TEffectRow InPlace(TEffectRow r) {
    r.InPlace = true;
    return r;
}

// The row with a check of its values as a whole.
constexpr TEffectRow Checked(TEffectRow r, std::string (*check)(const TEffectValues&)) {
    r.CheckValues = check;
    return r;
}

namespace fr = filter_rules;
namespace qr = quick_rules;
namespace gr = geometry_rules;

constexpr std::array kEffects = {
    Runs(Filter("Colour Adjustment", "Col. Adjuster", "ToolButton42", ":/icons/fx-1.svg", "Colour Adjust",
                TWindow::ColourAdjustor,
                {"ColourAdjustment1", "ColourAdjustment2", "ColourAdjustment3", "ColourAdjustment4"},
                "Use the Colour Adjustor"),
         &fr::ColourAdjust, "colour-adjust", kAdjustArgs),
    Runs(Filter("Channel Filter", "Chann. Filter", "ToolButton44", ":/icons/fx-2.svg", "Channel Filter",
                TWindow::ChannelFilter,
                {"ChannelFilter1", "ChannelFilter2", "ChannelFilter3", "ChannelFilter4"},
                "Use the Channel Filter"),
         &fr::ChannelFilter, "channel-filter", kChannelArgs),
    Runs(Filter("Colour Transfer", "Col. Transfer", "ToolButton43", ":/icons/fx-3.svg", "Colour Transfer",
                TWindow::ChannelTransfer,
                {"ColourTransfer1", "ColourTransfer2", "ColourTransfer3", "ColourTransfer4"},
                "Use the Colour Transfer"),
         &fr::ChannelTransfer, "channel-transfer", kTransferArgs),
    Runs(Filter("Blur", "Blur", "ToolButton45", ":/icons/fx-4.svg", "Blur", TWindow::Blur,
                {"Blur1", "", "Blur2", ""}),
         &fr::Blur, "blur", kBlurArgs, true),
    Runs(Filter("Brightness", "Brightness", "ToolButton46", ":/icons/fx-5.svg", "Brightness",
                TWindow::Brightness, {"Brightness1", "Brightness2", "Brightness3", "Brightness4"}),
         &fr::Brightness, "brightness", kBrightnessArgs),
    Runs(Filter("Contrast", "Contrast", "ToolButton47", ":/icons/fx-6.svg", "Contrast", TWindow::Contrast,
                {"Contrast1", "", "Contrast4", ""}),
         &fr::Contrast, "contrast-filter", kContrastArgs),
    Runs(Filter("Colour Filter", "Col. Filter", "ToolButton48", ":/icons/fx-7.svg", "Colour Filter",
                TWindow::ColourFilter, {"ColourFilter1", "", "ColourFilter2", ""}, "Use the colour Filter"),
         &fr::ColourFilter, "colour-filter", kColourFilterArgs),
    Runs(Filter("Noise", "Noise", "ToolButton49", ":/icons/fx-8.svg", "Noise", TWindow::Noise,
                {"Noise1", "", "Noise5", ""}),
         &fr::Noise, "noise-filter", kNoiseArgs),
    Runs(Filter("Pixelization", "Pixelization", "ToolButton50", ":/icons/fx-9.svg", "Pixelization",
                TWindow::Pixelization, {"Pixelization1", "", "Pixelization2", ""}),
         &fr::Pixelization, "pixelization", kPixelizationArgs),
    Runs(Filter("Posterize", "Posterize", "ToolButton51", ":/icons/fx-10.svg", "Posterize",
                TWindow::Posterize, {"Posterize1", "", "Posterize2", ""}),
         &fr::Posterize, "posterize", kPosterizeArgs),
    Runs(Filter("Rough Blur", "Rough Blur", "ToolButton52", ":/icons/fx-11.svg", "Rough Blur",
                TWindow::RoughBlur, {"RoughBlur1", "", "RoughBlur2", ""}),
         &fr::RoughBlur, "rough-blur", kRoughBlurArgs),
    Runs(Filter("Saturation", "Saturation", "ToolButton53", ":/icons/fx-12.svg", "Saturation",
                TWindow::Saturation, {"Saturation1", "", "Saturation4", ""}),
         &fr::Saturation, "saturation-filter", kSaturationArgs),
    Runs(Filter("Sharpen", "Sharpen", "ToolButton54", ":/icons/fx-13.svg", "Sharpen", TWindow::Sharpen,
                {"Sharpen1", "", "Sharpen5", ""}),
         &fr::Sharpen, "sharpen-filter", kSharpenArgs, true),
    Runs(Filter("Solarize", "Solarize", "ToolButton55", ":/icons/fx-14.svg", "Solarize", TWindow::Solarize,
                {"Solarize1", "", "Solarize2", ""}),
         &fr::Solarize, "solarize", kSolarizeArgs),

    // The GrayScale window works like a filter dialog but sits with the
    // quick effects.
    Runs(Quick("Grayscale", "Grayscale", "ToolButton59", ":/icons/qfx-1.svg", true, TWindow::GrayScale,
               {"Grayscale1", "Grayscale2", "Grayscale3", ""}),
         &fr::GrayScale, "grayscale", kGrayScaleArgs, true),
    InPlace(Runs(Quick("Lighten", "Lighten", "ToolButton60", ":/icons/qfx-2.svg", false, TWindow::None,
                       {"Lighten1", "Lighten2", "Lighten5", ""}),
                 &qr::Lighten, "lighten")),
    InPlace(Runs(Quick("Darken", "Darken", "ToolButton61", ":/icons/qfx-3.svg", true, TWindow::None,
                       {"Darken1", "Darken2", "Darken5", ""}),
                 &qr::Darken, "darken")),
    Runs(Quick("Soften", "Soften", "ToolButton62", ":/icons/qfx-4.svg", true, TWindow::None,
               {"Soften1", "Soften2", "Soften5", ""}),
         &qr::Soften, "soften"),
    Runs(Quick("Sharpen", "Sharpen", "ToolButton63", ":/icons/qfx-5.svg", true, TWindow::None,
               {"Sharpen2", "Sharpen3", "Sharpen6", ""}),
         &qr::Sharpen, "sharpen"),
    InPlace(Runs(Quick("Noise", "Noise", "ToolButton64", ":/icons/qfx-6.svg", true, TWindow::None,
                       {"Noise2", "Noise3", "Noise7", ""}),
                 &qr::Noise, "noise")),
    InPlace(Runs(Quick("Tint", "Tint", "ToolButton65", ":/icons/qfx-7.svg", true, TWindow::ChannelOptions,
                       {"Tint1", "Tint2", "Tint3", ""}),
                 &qr::Tint, "tint", kPercentArgs)),
    InPlace(Runs(Quick("Gamma", "Gamma", "ToolButton66", ":/icons/qfx-8.svg", true, TWindow::ChannelOptions,
                       {"Gamma1", "Gamma2", "Gamma3", ""}),
                 &qr::Gamma, "gamma", kPercentArgs)),
    InPlace(Runs(Quick("Contrast", "Contrast", "ToolButton67", ":/icons/qfx-9.svg", true,
                       TWindow::ChannelOptions, {"Contrast2", "Contrast3", "Contrast5", ""}),
                 &qr::Contrast, "contrast", kPercentArgs)),
    InPlace(Runs(Quick("Saturation", "Saturation", "ToolButton68", ":/icons/qfx-10.svg", true,
                       TWindow::ChannelOptions, {"Saturation2", "Saturation3", "Saturation5", ""}),
                 &qr::Saturation, "saturation", kPercentArgs)),
    InPlace(Runs(Quick("Gaussian Blur", "G. Blur", "ToolButton69", ":/icons/qfx-11.svg", false,
                       TWindow::RadiusOptions, {"GaussianBlur1", "", "GaussianBlur2", ""},
                       "Use the Gaussian Blur"),
                 &qr::GaussianBlur, "gaussian-blur", kRadiusArgs)),
    InPlace(Runs(Quick("Antialiasing", "Antialiasing", "ToolButton70", ":/icons/qfx-12.svg", true,
                       TWindow::None, {"Antialiasing1", "", "Antialiasing2", ""}),
                 &qr::Antialiasing, "antialiasing")),
    InPlace(Runs(Quick("Invert", "Invert", "ToolButton71", ":/icons/qfx-13.svg", false, TWindow::None, {}),
                 &qr::Invert, "invert")),

    // The rotate window's turns and mirrors and the resize window's resize.
    Geometry("Rotate", "Image Rotate", &gr::RotateByAngle, "rotate", kRotateArgs),
    Geometry("Flip", "Image Rotate", &gr::FlipVertical, "flip"),
    Geometry("Mirror", "Image Rotate", &gr::MirrorHorizontal, "mirror"),
    Geometry("Rotate Left", "Image Rotate", &gr::RotateLeft, "rotate-left"),
    Geometry("Rotate Right", "Image Rotate", &gr::RotateRight, "rotate-right"),
    Geometry("Rotate and Mirror", "Image Rotate", &gr::RotateHalf, "rotate-half"),
    Checked(Geometry("Resize", "Resize", &gr::Resize, "resize", kResizeArgs), &gr::CheckResize),
    Geometry("Crop", "Crop", &gr::Crop, "crop", kCropArgs),
};

// The geometry rows close the table; the windows' rows come before them.
constexpr std::size_t kWindowRows = [] {
    std::size_t n = 0;
    while (n < kEffects.size() && kEffects[n].Kind != TEffectKind::Geometry)
        ++n;
    return n;
}();

} // namespace

std::span<const TEffectRow> EffectTable() {
    return std::span<const TEffectRow>(kEffects).first(kWindowRows);
}

std::span<const TEffectRow> CommandLineEffects() {
    return kEffects;
}

const TEffectRow* EffectForWindow(TWindow window) {
    if (window == TWindow::None) return nullptr;
    for (const TEffectRow& row : kEffects)
        if (row.OptionsWindow == window) return &row;
    return nullptr;
}

const TEffectRow* EffectForCommand(std::string_view name) {
    if (name.empty()) return nullptr;
    for (const TEffectRow& row : kEffects)
        if (row.CommandName == name) return &row;
    return nullptr;
}

TEffectSettings SettingsFromValues(const TEffectRow& row, const TEffectValues& values) {
    TEffectSettings s;
    if (row.OptionsWindow == TWindow::RadiusOptions) {
        s.Radius = values[0];
    } else if (row.OptionsWindow == TWindow::ChannelOptions) {
        s.Red = values[0];
        s.Green = values[1];
        s.Blue = values[2];
    }
    return s;
}

} // namespace pixora
