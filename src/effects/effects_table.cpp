#include "effects/effects_table.h"

#include <array>

namespace pixora {

namespace {

constexpr TEffectRow Row(TEffectKind kind, std::string_view caption, std::string_view button,
                         std::string_view name, std::string_view icon, std::string_view step,
                         bool honoursSelection, std::string_view window, TEffectPlaces places,
                         std::string_view hint) {
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
                            std::string_view icon, std::string_view step, std::string_view window,
                            TEffectPlaces places, std::string_view hint = {}) {
    return Row(TEffectKind::Filter, caption, button, name, icon, step, true, window, places, hint);
}

// Quick effects name their step after their caption.
constexpr TEffectRow Quick(std::string_view caption, std::string_view button, std::string_view name,
                           std::string_view icon, bool honoursSelection, std::string_view window,
                           TEffectPlaces places, std::string_view hint = {}) {
    return Row(TEffectKind::Quick, caption, button, name, icon, caption, honoursSelection, window, places,
               hint);
}

constexpr std::array kEffects = {
    Filter("Colour Adjustment", "Col. Adjuster", "ToolButton42", ":/icons/fx-1.svg", "Colour Adjust",
           "TForm8", {"ColourAdjustment1", "ColourAdjustment2", "ColourAdjustment3", "ColourAdjustment4"},
           "Use the Colour Adjustor"),
    Filter("Channel Filter", "Chann. Filter", "ToolButton44", ":/icons/fx-2.svg", "Channel Filter", "TForm9",
           {"ChannelFilter1", "ChannelFilter2", "ChannelFilter3", "ChannelFilter4"},
           "Use the Channel Filter"),
    Filter("Colour Transfer", "Col. Transfer", "ToolButton43", ":/icons/fx-3.svg", "Colour Transfer",
           "TForm36", {"ColourTransfer1", "ColourTransfer2", "ColourTransfer3", "ColourTransfer4"},
           "Use the Colour Transfer"),
    Filter("Blur", "Blur", "ToolButton45", ":/icons/fx-4.svg", "Blur", "TForm10", {"Blur1", "", "Blur2", ""}),
    Filter("Brightness", "Brightness", "ToolButton46", ":/icons/fx-5.svg", "Brightness", "TForm11",
           {"Brightness1", "Brightness2", "Brightness3", "Brightness4"}),
    Filter("Contrast", "Contrast", "ToolButton47", ":/icons/fx-6.svg", "Contrast", "TForm12",
           {"Contrast1", "", "Contrast4", ""}),
    Filter("Colour Filter", "Col. Filter", "ToolButton48", ":/icons/fx-7.svg", "Colour Filter", "TForm13",
           {"ColourFilter1", "", "ColourFilter2", ""}, "Use the colour Filter"),
    Filter("Noise", "Noise", "ToolButton49", ":/icons/fx-8.svg", "Noise", "TForm14",
           {"Noise1", "", "Noise5", ""}),
    Filter("Pixelization", "Pixelization", "ToolButton50", ":/icons/fx-9.svg", "Pixelization", "TForm15",
           {"Pixelization1", "", "Pixelization2", ""}),
    Filter("Posterize", "Posterize", "ToolButton51", ":/icons/fx-10.svg", "Posterize", "TForm16",
           {"Posterize1", "", "Posterize2", ""}),
    Filter("Rough Blur", "Rough Blur", "ToolButton52", ":/icons/fx-11.svg", "Rough Blur", "TForm17",
           {"RoughBlur1", "", "RoughBlur2", ""}),
    Filter("Saturation", "Saturation", "ToolButton53", ":/icons/fx-12.svg", "Saturation", "TForm18",
           {"Saturation1", "", "Saturation4", ""}),
    Filter("Sharpen", "Sharpen", "ToolButton54", ":/icons/fx-13.svg", "Sharpen", "TForm19",
           {"Sharpen1", "", "Sharpen5", ""}),
    Filter("Solarize", "Solarize", "ToolButton55", ":/icons/fx-14.svg", "Solarize", "TForm20",
           {"Solarize1", "", "Solarize2", ""}),

    // The GrayScale window works like a filter dialog but sits with the
    // quick effects.
    Quick("Grayscale", "Grayscale", "ToolButton59", ":/icons/qfx-1.svg", true, "TForm35",
          {"Grayscale1", "Grayscale2", "Grayscale3", ""}),
    Quick("Lighten", "Lighten", "ToolButton60", ":/icons/qfx-2.svg", false, "",
          {"Lighten1", "Lighten2", "Lighten5", ""}),
    Quick("Darken", "Darken", "ToolButton61", ":/icons/qfx-3.svg", true, "",
          {"Darken1", "Darken2", "Darken5", ""}),
    Quick("Soften", "Soften", "ToolButton62", ":/icons/qfx-4.svg", true, "",
          {"Soften1", "Soften2", "Soften5", ""}),
    Quick("Sharpen", "Sharpen", "ToolButton63", ":/icons/qfx-5.svg", true, "",
          {"Sharpen2", "Sharpen3", "Sharpen6", ""}),
    Quick("Noise", "Noise", "ToolButton64", ":/icons/qfx-6.svg", true, "",
          {"Noise2", "Noise3", "Noise7", ""}),
    Quick("Tint", "Tint", "ToolButton65", ":/icons/qfx-7.svg", true, "TForm26",
          {"Tint1", "Tint2", "Tint3", ""}),
    Quick("Gamma", "Gamma", "ToolButton66", ":/icons/qfx-8.svg", true, "TForm26",
          {"Gamma1", "Gamma2", "Gamma3", ""}),
    Quick("Contrast", "Contrast", "ToolButton67", ":/icons/qfx-9.svg", true, "TForm26",
          {"Contrast2", "Contrast3", "Contrast5", ""}),
    Quick("Saturation", "Saturation", "ToolButton68", ":/icons/qfx-10.svg", true, "TForm26",
          {"Saturation2", "Saturation3", "Saturation5", ""}),
    Quick("Gaussian Blur", "G. Blur", "ToolButton69", ":/icons/qfx-11.svg", false, "TForm27",
          {"GaussianBlur1", "", "GaussianBlur2", ""}, "Use the Gaussian Blur"),
    Quick("Antialiasing", "Antialiasing", "ToolButton70", ":/icons/qfx-12.svg", true, "",
          {"Antialiasing1", "", "Antialiasing2", ""}),
    Quick("Invert", "Invert", "ToolButton71", ":/icons/qfx-13.svg", false, "", {}),
};

} // namespace

std::span<const TEffectRow> EffectTable() {
    return kEffects;
}

} // namespace pixora
