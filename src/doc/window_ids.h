#pragma once
// Every window of the program, named once: the id the code uses, the
// window's object name (its designer name, which users and tests know it
// by) and its caption. The rows are in the start-up order, the order in
// which the windows are made; the main window comes first.
//
// The tool and effect tables name the windows their options live in, and
// the window port reads an option from a window given by its id, so the
// ids live down here with the port; the window layer keeps the window made
// for each id (window_kit/window_host.h).

#include <array>
#include <cstddef>
#include <string_view>

namespace pixora {

enum class TWindow : int {
    None = 0, // no window
    Main,
    NewImage,
    PenOptions, // pen, line, bezier and polygon
    SelectOptions,
    PixelFormat,
    JpegOptions,
    ColourSelect,
    ColourAdjustor,
    ChannelFilter,
    Blur,
    Brightness,
    Contrast,
    ColourFilter,
    Noise,
    Pixelization,
    Posterize,
    RoughBlur,
    Saturation,
    Sharpen,
    Solarize,
    ShapeOptions, // rectangle and ellipse
    RoundRectOptions,
    SprayOptions,
    BrushOptions, // the retouching brushes and the effect brush
    FillOptions,
    ChannelOptions, // the quick effects' per-channel percentages
    RadiusOptions,  // the quick Gaussian blur's radius
    Resize,
    Reset,
    Rotate,
    UndoHistory,
    Patterns,
    CustomZoom,
    GrayScale,
    ChannelTransfer,
    TextEditor,
    HistoryBrushOptions,
    Histogram,
    CustomBrush,
    Gradient,
    GifTransparency,
    EraserOptions,
    TransparencyOptions,
    ImageInformation,
    Navigator,
    NewLayer,
    EditLayer,
    Processing,
    Message,
    Tips,
    ReplaceFile,
    SaveChanges,
    About,
    WebpOptions,
    Batch,
    Preferences,
};

struct TWindowRow {
    TWindow Id;
    std::string_view Name;
    std::string_view Caption;
};

inline constexpr std::array kWindowTable = {
    TWindowRow{TWindow::Main, "TForm1", "Pixora"},
    TWindowRow{TWindow::NewImage, "TForm2", "New Image"},
    TWindowRow{TWindow::PenOptions, "TForm3", "Options"},
    TWindowRow{TWindow::SelectOptions, "TForm4", "Select Options"},
    TWindowRow{TWindow::PixelFormat, "TForm5", "Pixel Format"},
    TWindowRow{TWindow::JpegOptions, "TForm6", "JPEG Options"},
    TWindowRow{TWindow::ColourSelect, "TForm7", "Colour Select"},
    TWindowRow{TWindow::ColourAdjustor, "TForm8", "Colour Adjustor"},
    TWindowRow{TWindow::ChannelFilter, "TForm9", "Channel Filter"},
    TWindowRow{TWindow::Blur, "TForm10", "Image Blur"},
    TWindowRow{TWindow::Brightness, "TForm11", "Brightness"},
    TWindowRow{TWindow::Contrast, "TForm12", "Contrast"},
    TWindowRow{TWindow::ColourFilter, "TForm13", "Colour Filter"},
    TWindowRow{TWindow::Noise, "TForm14", "Noise"},
    TWindowRow{TWindow::Pixelization, "TForm15", "Pixelization"},
    TWindowRow{TWindow::Posterize, "TForm16", "Posterize"},
    TWindowRow{TWindow::RoughBlur, "TForm17", "Rough Blur"},
    TWindowRow{TWindow::Saturation, "TForm18", "Saturation"},
    TWindowRow{TWindow::Sharpen, "TForm19", "Sharpen"},
    TWindowRow{TWindow::Solarize, "TForm20", "Solarize"},
    TWindowRow{TWindow::ShapeOptions, "TForm21", "Options"},
    TWindowRow{TWindow::RoundRectOptions, "TForm22", "Options"},
    TWindowRow{TWindow::SprayOptions, "TForm23", "Options"},
    TWindowRow{TWindow::BrushOptions, "TForm24", "Options"},
    TWindowRow{TWindow::FillOptions, "TForm25", "Options"},
    TWindowRow{TWindow::ChannelOptions, "TForm26", "Options"},
    TWindowRow{TWindow::RadiusOptions, "TForm27", "Options"},
    TWindowRow{TWindow::Resize, "TForm28", "Resize Image"},
    TWindowRow{TWindow::Reset, "TForm29", "Reset Image"},
    TWindowRow{TWindow::Rotate, "TForm30", "Rotate Image"},
    TWindowRow{TWindow::UndoHistory, "TForm31", "Undo History"},
    TWindowRow{TWindow::Patterns, "TForm32", "Patterns"},
    TWindowRow{TWindow::CustomZoom, "TForm34", "Custom Zoom"},
    TWindowRow{TWindow::GrayScale, "TForm35", "GrayScale"},
    TWindowRow{TWindow::ChannelTransfer, "TForm36", "Colour Channel Transfer"},
    TWindowRow{TWindow::TextEditor, "TForm37", "Text Editor"},
    TWindowRow{TWindow::HistoryBrushOptions, "TForm38", "Options"},
    TWindowRow{TWindow::Histogram, "TForm39", "Image Histogram"},
    TWindowRow{TWindow::CustomBrush, "TForm40", "Custom Brush"},
    TWindowRow{TWindow::Gradient, "TForm41", "Gradient"},
    TWindowRow{TWindow::GifTransparency, "TForm42", "GIF Image Transparency"},
    TWindowRow{TWindow::EraserOptions, "TForm43", "Eraser"},
    TWindowRow{TWindow::TransparencyOptions, "TForm44", "Transparency Options"},
    TWindowRow{TWindow::ImageInformation, "TForm46", "Image Information"},
    TWindowRow{TWindow::Navigator, "TForm47", "Image Navigation"},
    TWindowRow{TWindow::NewLayer, "TForm48", "New Layer"},
    TWindowRow{TWindow::EditLayer, "TForm49", "Edit Layer"},
    TWindowRow{TWindow::Processing, "TForm50", "Proccessing - Please Wait"},
    TWindowRow{TWindow::Message, "TForm51", "Message"},
    TWindowRow{TWindow::Tips, "TForm52", "Tips"},
    TWindowRow{TWindow::ReplaceFile, "TForm53", "Replace File?"},
    TWindowRow{TWindow::SaveChanges, "TForm54", "Save Changes?"},
    TWindowRow{TWindow::About, "TForm55", "About"},
    TWindowRow{TWindow::WebpOptions, "TForm56", "WebP Options"},
    TWindowRow{TWindow::Batch, "TForm33", "Batch File Proccessing"},
    TWindowRow{TWindow::Preferences, "TForm57", "Preferences"},
};

// Row i is the row of id i + 1, so an id finds its row by index; a window
// added to the ids and not here (or out of order) does not compile, nor
// does a name given twice.
static_assert([] {
    for (std::size_t i = 0; i < kWindowTable.size(); ++i) {
        if (static_cast<std::size_t>(kWindowTable[i].Id) != i + 1) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (kWindowTable[j].Name == kWindowTable[i].Name) return false;
    }
    return static_cast<std::size_t>(TWindow::Preferences) == kWindowTable.size();
}());

// The row of a window; None has none.
constexpr const TWindowRow* WindowRow(TWindow id) {
    const auto i = static_cast<std::size_t>(id);
    return i >= 1 && i <= kWindowTable.size() ? &kWindowTable[i - 1] : nullptr;
}
// The object name ("" for None) and caption of a window.
constexpr std::string_view WindowName(TWindow id) {
    const TWindowRow* row = WindowRow(id);
    return row ? row->Name : std::string_view();
}
constexpr std::string_view WindowCaption(TWindow id) {
    const TWindowRow* row = WindowRow(id);
    return row ? row->Caption : std::string_view();
}
// The window with an object name, None when no window has it: for those
// who know the windows by name only (the tests).
constexpr TWindow WindowNamed(std::string_view name) {
    for (const TWindowRow& row : kWindowTable)
        if (row.Name == name) return row.Id;
    return TWindow::None;
}

} // namespace pixora
